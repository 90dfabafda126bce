// What the page's modules share: the module, the game folder that plays, and the page's elements.
export const stage = document.getElementById("stage");
export const bar = document.getElementById("bar");
export const statusLine = document.getElementById("status");
export const folderInput = document.getElementById("folder");

export const FASTEST_TIMER_MS = 16; // no timer of the page runs faster than a frame, as the window's

export const page = {
    M: null, // the module
    game: null, // { key, dir, name, urls: Map(path -> URL of a file kept outside the module), rest }
    running: false, // whether a game runs (not ended by its run-time error)
    // What the last view said of the screen: whether the title is up, the text area (its control's id,
    // while it takes clicks), the control the menu opens from, and the keyboard's focus.
    shown: { title: false, textArea: null, menuAnchor: null, focus: null },
    pointer: { x: 40, y: 40 },
    clockRate: 1, // the tests run the page's clock faster
};

export function px(v) {
    return `${Math.round(v)}px`;
}
