// Calls into the module: each input of the player, then what it changed is drawn.
import { page } from "./page.js";
import { render } from "./view.js";
import { wakeWatchdog } from "./timers.js";
import { afterLoading } from "./loading.js";

// What an input must wait for: the save slot read from the browser's storage and, once the story has
// begun, the pictures still coming (the title and the opening have theirs already).
function pending() {
    const g = page.game;
    if (!g) return null;
    return g.rest ?? (page.shown.title ? null : g.pictures) ?? null;
}

// The shell's names for the keys (shell/Keys.h), and the modifiers' bits.
const KEYS = { Enter: 1, " ": 2, Escape: 3, Tab: 4, PageUp: 5, PageDown: 6, F11: 7, ArrowUp: 8, ArrowDown: 9,
    ArrowLeft: 10, ArrowRight: 11, Control: 12, v: 13, V: 13 };
export const KEY_TAKEN = 1,
    KEY_FULL_SCREEN = 2,
    KEY_OPEN_LOG = 4,
    KEY_CLOSE_LOG = 8,
    KEY_VOICE = 16,
    KEY_ENDED = 32;

// Delivers one event and draws what it changed; returns the module's outcome (0 delivered,
// 1 ignored, 3 the game ended). The event may have switched the music on: the watchdog looks soon.
export function call(name, ...args) {
    if (!page.running) return 3;
    const types = args.map((a) => (typeof a === "string" ? "string" : "number"));
    const outcome = page.M.ccall(name, "number", types, args);
    render();
    wakeWatchdog();
    return outcome;
}

// A tick of one of the game's timers; the watchdog's own tick does not wake it again.
export function tick(name, watchdog) {
    if (!page.running) return;
    page.M.ccall("rumena_tick", "number", ["string"], [name]);
    render();
    if (!watchdog) wakeWatchdog();
}

export function text(fn) {
    return JSON.parse(page.M.UTF8ToString(page.M[fn]()));
}

// An event of the player: the game hears of it once the game's files are all there.
export function input(name, ...args) {
    const wait = pending();
    if (wait) {
        afterLoading(wait, () => input(name, ...args));
        return 1;
    }
    return call(name, ...args);
}

// A key going down, through the shell's key table; the answer's bits say what the page does itself.
export function keyDown(e) {
    const key = KEYS[e.key];
    if (key === undefined || !page.running) return 0;
    const mods = (e.shiftKey ? 1 : 0) | (e.ctrlKey && e.key !== "Control" ? 2 : 0) | (e.altKey ? 4 : 0) | (e.metaKey ? 8 : 0) | (e.repeat ? 16 : 0);
    const wait = pending();
    if (wait && page.M._rumena_key_reaches_game(key, mods)) {
        // The game's files are still coming: the key waits for them, as a click does.
        afterLoading(wait, () => keyDown(e));
        return KEY_TAKEN;
    }
    const answer = page.M._rumena_key_down(key, mods);
    render();
    wakeWatchdog();
    return answer;
}

export function keyUp(e) {
    const key = KEYS[e.key];
    if (key === undefined || !page.running) return;
    page.M._rumena_key_up(key, e.repeat ? 16 : 0);
    render();
}

export function setFastForward(on) {
    if (!page.running) return;
    page.M._rumena_fast_forward(on ? 1 : 0);
    render();
}
