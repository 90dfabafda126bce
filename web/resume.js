// The player's place: the running game is kept in the browser's storage when the page is hidden or
// closed, and the next visit offers to go on from there or to start from the title.
import { t } from "./messages.js";
import { page } from "./page.js";
import { showChoice } from "./modal.js";

function storageKey() {
    return `rumena-place:${page.game.key}`;
}

function store(act) {
    try {
        act(window.localStorage);
    } catch {
        // Storage the browser refuses (a private window, or full): the place is not kept.
    }
}

// Keeps the game as it stands; at the title, or after the game ended, there is no place to keep.
export function keepPlace() {
    if (!page.M || !page.game) return;
    const kept = page.running ? page.M.ccall("rumena_snapshot", "string", [], []) : "";
    store((s) => (kept ? s.setItem(storageKey(), kept) : s.removeItem(storageKey())));
}

// At the title of a new visit: where a place was kept, the player chooses; goOn is told when the game
// went back to it.
export function offerPlace(goOn) {
    let kept = null;
    store((s) => (kept = s.getItem(storageKey())));
    if (!kept) return;
    const forget = () => store((s) => s.removeItem(storageKey()));
    showChoice(t("The game you were playing was kept when the page closed."), [
        {
            label: t("Go on from where you left"),
            act: () => {
                // A place this story can no longer take (its scene was changed) is forgotten.
                if (page.running && page.M.ccall("rumena_restore", "number", ["string"], [kept]) === 0) goOn();
                else forget();
            },
        },
        { label: t("Start from the title"), act: forget },
    ]);
}

export function watchPlace() {
    document.addEventListener("visibilitychange", () => {
        if (document.visibilityState === "hidden") keepPlace();
    });
    window.addEventListener("pagehide", keepPlace);
}
