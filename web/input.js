// The player's input: the mouse and touch on the stage, the wheel, and the keys (through the shell's key
// table, the same as the window's).
import { page, stage } from "./page.js";
import { KEY_CLOSE_LOG, KEY_FULL_SCREEN, KEY_OPEN_LOG, KEY_TAKEN, KEY_VOICE, input, keyDown, keyUp, setFastForward } from "./engine.js";
import { toggleVoice } from "./voice.js";
import { closeLog, logAtEnd, logOpen, openLog, showLog } from "./log.js";
import { menuKey, menuOpen } from "./menu.js";
import { closeModal, lastChoice, modalOpen } from "./modal.js";
import { toggleFullScreen } from "./stage.js";
import { controlAt, elementOf } from "./view.js";
import { startScreenShown, unblockAudio } from "./audio.js";

const LONG_PRESS_MS = 500;
// What the button or finger went down on, and whether a gesture (long press, swipe) took it over.
let pressed = null;
let swallowPress = false;
// Whether the menu about to open was asked for where the pointer is (not from the keyboard).
let menuAtPointer = false;

// A press that closed the menus does nothing else.
export function swallowNextPress() {
    swallowPress = true;
}

// Where the menu opens: where the player asked for it, or over the control it opens from.
export function menuPlace() {
    const anchor = elementOf(page.shown.menuAnchor)?.getBoundingClientRect();
    if (!menuAtPointer && anchor?.width) page.pointer = { x: anchor.left + anchor.width / 2, y: anchor.top + anchor.height / 2 };
    menuAtPointer = false;
    return page.pointer;
}

// Where "MENU CLICKME" could be clicked, the menu opens, as that click opens it.
function openMenuAt(x, y) {
    if (!page.running || !page.M._rumena_menu_available()) return;
    page.pointer = { x, y };
    menuAtPointer = true;
    input("rumena_open_menu");
}

// A finger is broad: what can be chosen (a place, an answer, a difficulty, the menu) takes a tap within
// 44 CSS pixels of its middle, up and down and across, and of two the nearer takes it. What is drawn
// does not move.
const TOUCH_TARGET_PX = 44;
function touchedControl(x, y) {
    let best = null;
    for (const el of stage.querySelectorAll('[role="button"], button.c')) {
        if (el.getAttribute("aria-hidden") === "true" || !el.offsetParent) continue;
        const r = el.getBoundingClientRect();
        const halfW = Math.max(r.width, TOUCH_TARGET_PX) / 2,
            halfH = Math.max(r.height, TOUCH_TARGET_PX) / 2;
        const dx = Math.abs(x - (r.left + r.width / 2)),
            dy = Math.abs(y - (r.top + r.height / 2));
        if (dx > halfW || dy > halfH) continue;
        const d = dy / halfH + dx / halfW;
        if (!best || d < best.d) best = { d, id: Number(el.dataset.id) };
    }
    return best ? { id: best.id } : controlAt(x, y);
}

function overTextArea(x, y) {
    const area = elementOf(page.shown.textArea);
    if (!area) return false;
    const r = area.getBoundingClientRect();
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

stage.addEventListener("pointerdown", (e) => {
    unblockAudio();
    if (swallowPress || e.button !== 0) {
        swallowPress = false;
        return;
    }
    page.pointer = { x: e.clientX, y: e.clientY };
    const at = e.pointerType === "touch" ? touchedControl(e.clientX, e.clientY) : controlAt(e.clientX, e.clientY);
    pressed = at && { ...at, x: e.clientX, y: e.clientY, touch: e.pointerType === "touch", gesture: false };
    if (!pressed) return;
    if (pressed.touch) {
        const p = pressed;
        p.longPress = setTimeout(() => {
            p.gesture = true;
            openMenuAt(p.x, p.y);
        }, LONG_PRESS_MS);
    }
    if (!pressed.background) input("rumena_press", pressed.id);
});

stage.addEventListener("pointermove", (e) => {
    if (pressed?.longPress && Math.hypot(e.clientX - pressed.x, e.clientY - pressed.y) > 10) {
        clearTimeout(pressed.longPress);
        pressed.longPress = null;
    }
});

// Released anywhere, even off the page, the control that was pressed hears of it.
document.addEventListener("pointerup", (e) => {
    if (e.button !== 0 || !pressed) return;
    page.pointer = { x: e.clientX, y: e.clientY };
    const was = pressed;
    pressed = null;
    clearTimeout(was.longPress);
    if (!was.background) input("rumena_release", was.id);
    if (was.gesture) return;
    // A swipe down over the story opens the text log.
    const dx = e.clientX - was.x,
        dy = e.clientY - was.y;
    if (was.touch && dy > 40 && dy > 2 * Math.abs(dx) && overTextArea(was.x, was.y)) {
        openLog();
        return;
    }
    // A click is a press and a release on the same control; the stage's background is the window's.
    const over = was.touch ? touchedControl(e.clientX, e.clientY) : controlAt(e.clientX, e.clientY);
    if (over && over.id === was.id) input("rumena_click", was.id);
});

document.addEventListener("pointercancel", () => {
    if (pressed) clearTimeout(pressed.longPress);
});

stage.addEventListener("contextmenu", (e) => {
    e.preventDefault();
    // A long press makes its own menu; the right button opens it here.
    if (e.pointerType !== "touch" && !pressed?.touch) openMenuAt(e.clientX, e.clientY);
});

stage.addEventListener(
    "wheel",
    (e) => {
        if (e.deltaY < 0 && overTextArea(e.clientX, e.clientY)) {
            e.preventDefault();
            openLog();
        }
    },
    { passive: false },
);

document.addEventListener("keydown", (e) => {
    // The start screen takes the first key, as it takes the first tap: it starts no game.
    if (startScreenShown()) {
        e.preventDefault();
        unblockAudio();
        return;
    }
    unblockAudio();
    const fullScreenKey = e.key === "F11" || (e.key === "Enter" && e.altKey);
    if (modalOpen() && !fullScreenKey) {
        if (e.key === "Enter" || e.key === " ") {
            // The button with the focus, as a click on it; the first when none has it.
            e.preventDefault();
            if (e.repeat) return;
            const focused = document.activeElement;
            if (focused?.closest(".modal") && focused.tagName === "BUTTON") focused.click();
            else closeModal();
        } else if (e.key === "Escape") {
            e.preventDefault();
            if (!e.repeat) closeModal(lastChoice());
        } else if (e.key === "Tab" || e.key.startsWith("Arrow")) {
            // The focus goes round the box's buttons only.
            e.preventDefault();
            const buttons = [...document.querySelectorAll(".modal button")];
            const at = buttons.indexOf(document.activeElement);
            const back = e.shiftKey || e.key === "ArrowLeft" || e.key === "ArrowUp";
            buttons[(at + (back ? buttons.length - 1 : 1) + buttons.length) % buttons.length]?.focus();
        }
        return;
    }
    if (menuOpen() && !fullScreenKey) {
        menuKey(e);
        return;
    }
    if (logOpen() && e.key === "PageDown") {
        if (logAtEnd() && !e.repeat) {
            e.preventDefault();
            closeLog();
        }
        return;
    }
    if (e.target.closest?.("#bar")) return;
    const answer = keyDown(e);
    if (answer & KEY_TAKEN) e.preventDefault();
    if (answer & KEY_FULL_SCREEN) toggleFullScreen();
    if (answer & KEY_OPEN_LOG) showLog();
    if (answer & KEY_CLOSE_LOG) closeLog();
    if (answer & KEY_VOICE) toggleVoice();
});

document.addEventListener("keyup", (e) => keyUp(e));
window.addEventListener("blur", () => setFastForward(false));
