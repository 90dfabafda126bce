// Drawing: the game's controls as positioned elements, from what each view says changed.
import { page, px, stage } from "./page.js";
import { syncTimers } from "./timers.js";
import { followStory } from "./reading.js";
import { speak } from "./voice.js";

const elements = new Map(); // control id -> element
const pictureUrls = new Map(); // path -> object URL
let stacks = {};
let caption = "";

// Draws what changed since the last view (everything when asked: a new game).
export function render(everything = false) {
    if (!page.running) return;
    const view = JSON.parse(page.M.UTF8ToString(page.M._rumena_view(everything ? 1 : 0)));
    if (!view) return;
    if (view.caption !== caption) document.title = (caption = view.caption) || "ルメナ";
    stage.style.background = view.back;
    let created = false;
    for (const c of view.changed) {
        let el = elements.get(c.id);
        if (!el) {
            created = true;
            el = document.createElement(c.kind === "button" ? "button" : "div");
            el.className = `c ${c.kind}`;
            el.dataset.id = c.id;
            el.dataset.name = c.name;
            el.dataset.index = c.index;
            if (c.kind === "button") el.tabIndex = -1;
            describe(el, c.role);
            elements.set(c.id, el);
            (elements.get(c.parent) || stage).append(el);
        }
        paint(el, c);
        hideUnseen(el, c.seen);
    }
    if (view.seen) for (const [id, seen] of Object.entries(view.seen)) hideUnseen(elements.get(Number(id)), seen);
    if (view.stacks) stacks = view.stacks;
    if (view.stacks || created) restack();
    if (view.timers) syncTimers(view.timers);
    const focusMoved = view.focus !== page.shown.focus;
    followStory(view);
    if (view.spoken) speak(view.spoken);
    page.shown = { title: view.title, textArea: view.textArea, menuAnchor: view.menuAnchor, focus: view.focus };
    // The keyboard's focus as the shell keeps it. (The stage never scrolls: the focus need not wait for
    // the page's layout.)
    if (focusMoved) {
        for (const old of stage.querySelectorAll(".focused")) old.classList.remove("focused");
        const el = view.focus === null ? null : elements.get(view.focus);
        if (el) {
            el.classList.add("focused");
            el.focus({ preventScroll: true });
        } else if (document.activeElement?.closest?.("#stage")) stage.focus({ preventScroll: true });
    }
}

// What a control is to a screen reader. The story's lines are read from the reading view's live region,
// once each: on the stage they (and their shadows, and the shapes) are hidden from it; a place, an
// answer or the menu is a button named by its caption.
function describe(el, role) {
    el.dataset.role = role;
    if (role === "button" && el.tagName !== "BUTTON") {
        el.setAttribute("role", "button");
        el.tabIndex = -1;
    }
}

// What the title covers, or what does not show, a screen reader does not see either.
function hideUnseen(el, seen) {
    if (!el) return;
    const never = el.dataset.role === "hidden" || el.dataset.role === "line";
    if (never || !seen) el.setAttribute("aria-hidden", "true");
    else el.removeAttribute("aria-hidden");
}

// The element of a control, once it has shown.
export function elementOf(id) {
    return id === null || id === undefined ? null : elements.get(id);
}

// The control under a point of the page.
export function controlAt(x, y) {
    const hit = document.elementFromPoint(x, y);
    if (hit === stage) return { id: -1, background: true };
    const el = hit?.closest?.("[data-id]");
    return el && stage.contains(el) ? { id: Number(el.dataset.id) } : null;
}

// Stacking follows the game, bottom first. The page holds only the controls that have shown, so a
// control that shows for the first time takes its place among them.
function restack() {
    for (const [parentKey, order] of Object.entries(stacks)) {
        const parent = parentKey === "-1" ? stage : elements.get(Number(parentKey));
        if (!parent) continue;
        let z = 0;
        for (const id of order) {
            const el = elements.get(id);
            if (!el) continue;
            if (parent.children[z] !== el) parent.insertBefore(el, parent.children[z] || null);
            ++z;
        }
    }
}

function paint(el, c) {
    const s = el.style;
    s.left = px(c.x);
    s.top = px(c.y);
    s.width = px(c.w);
    s.height = px(c.h);
    s.display = c.visible ? "" : "none";
    s.fontSize = `${Math.max(1, c.font)}pt`;
    el.title = c.tip;
    switch (c.kind) {
        case "label":
            el.textContent = c.caption.replace(/\r\n?/g, "\n");
            if (el.getAttribute("role") === "button") el.setAttribute("aria-disabled", String(!c.enabled));
            s.color = c.enabled ? c.fore : "#A0A0A0";
            s.background = c.backStyle === 1 ? c.back : "transparent";
            s.border = c.border === 1 ? "1px solid #000" : "none";
            s.textAlign = ["left", "right", "center"][c.align] || "left";
            if (c.visible && /\n/.test(el.textContent)) fitText(el, c.font);
            break;
        case "button":
            el.textContent = c.caption.replace(/\r\n?/g, "\n");
            el.disabled = !c.enabled;
            s.background = c.back;
            break;
        case "shape":
            paintShape(el, c);
            break;
        case "list":
            el.replaceChildren(
                ...c.list.map((line) => {
                    const d = document.createElement("div");
                    d.textContent = line;
                    return d;
                }),
            );
            break;
        case "picture":
            s.backgroundColor = c.back;
            s.backgroundImage = c.picture ? `url("${pictureUrl(c.picture)}")` : "none";
            s.border = c.border === 1 ? "1px solid #808080" : "none";
            break;
    }
}

// A caption of two lines (the bonus notice names its page on a second line) may not fit its box at the
// game's font: the font shrinks until both lines show whole.
function fitText(el, font) {
    for (let pt = Math.max(1, font); pt > 4 && el.scrollHeight > el.clientHeight + 1; pt *= 0.9)
        el.style.fontSize = `${pt * 0.9}pt`;
}

// A shape shows its figure, or, while it blinks, its two forms in turn: each is a layer of its own, and
// the page swaps which one is seen without the game.
function paintShape(el, c) {
    while (el.children.length < c.forms.length) el.append(document.createElement("div"));
    while (el.children.length > c.forms.length) el.lastElementChild.remove();
    c.forms.forEach((f, i) => {
        const s = el.children[i].style;
        Object.assign(s, { left: px(f.x), top: px(f.y), width: px(f.w), height: px(f.h) });
        s.border = c.border === 0 ? "none" : `1px solid ${c.borderColor}`;
        s.background = c.fillStyle === 0 ? c.fill : c.backStyle === 1 ? c.back : "transparent";
        s.borderRadius = f.ellipse ? "50%" : px(f.radius);
    });
    const blinking = c.forms.length === 2;
    el.classList.toggle("blink", blinking);
    if (!blinking) el.classList.remove("other");
}

// One blink of every shape that blinks: the other form shows.
export function blink() {
    for (const el of stage.querySelectorAll(".shape.blink")) el.classList.toggle("other");
}

function pictureUrl(path) {
    let url = pictureUrls.get(path);
    if (!url) {
        try {
            url = URL.createObjectURL(new Blob([page.M.FS.readFile(path)]));
        } catch {
            url = "";
        }
        pictureUrls.set(path, url);
    }
    return url;
}

// A new game: nothing of the last one stays on the page.
export function clearView() {
    for (const el of elements.values()) el.remove();
    elements.clear();
    stacks = {};
    for (const url of pictureUrls.values()) if (url) URL.revokeObjectURL(url);
    pictureUrls.clear();
    page.shown = { title: false, textArea: null, menuAnchor: null, focus: null };
}
