// The page of the browser host: it loads a game folder into the module's file system, fits the game's
// 4:3 stage into the viewport, draws what the control model changed, runs the model's timers from one
// scheduler, plays the music through <audio> and forwards the player's clicks, taps, keys and menu
// choices to the game, as the window does.
import createRumena from "./rumena.js";

const stage = document.getElementById("stage");
const bar = document.getElementById("bar");
const statusLine = document.getElementById("status");
const folderInput = document.getElementById("folder");
const FASTEST_TIMER_MS = 16; // the page's timers run no faster than a frame, as the window's
// The prompt blinks as fast as its timer runs; in a browser each blink is a frame drawn (near 2 % of a
// core for each blink a second), so the page blinks it at a text cursor's pace, not at the frame rate.
// Only its shape changes, and the page swaps it by itself (a class of rumena.css), without the game.
const BLINK = "LblShpTim";
const PROMPT_BLINK_MS = 500;
const LONG_PRESS_MS = 500;
const SAVES = "/saves";
let savesRead = Promise.resolve();

let M; // the module
let game = null; // { key, dir, name, urls: Map(path -> URL of a file kept outside the module), rest }
let running = false; // whether a game runs (not ended by its run-time error)
let shown = { title: false, textArea: false }; // what the last view said of the screen
const elements = new Map(); // "name/index" -> element
const pictureUrls = new Map(); // path -> object URL
const modals = []; // message boxes waiting to be closed, the first one shown
let pointer = { x: 40, y: 40 };

// ---- The game's calls out of the module ----

const music = { audio: null, path: "", blocked: false };

function onMusic(command) {
    const open = /^open "(.*)" alias MIDI$/.exec(command);
    if (open) {
        stopAudio();
        const url = game && game.urls.get(open[1]);
        if (!url) return;
        music.audio = new Audio(url);
        music.path = open[1];
        music.audio.addEventListener("ended", () => {
            if (running) call("rumena_music_ended");
        });
        return;
    }
    const a = music.audio;
    if (command === "close MIDI notify") stopAudio();
    if (!a) return;
    if (command === "play MIDI from 0") a.currentTime = 0;
    if (command === "play MIDI notify" || command === "play MIDI from 0") playAudio(a);
    if (command === "stop MIDI notify") a.pause();
    if (command === "seek MIDI to start") {
        a.pause();
        a.currentTime = 0;
    }
}

function playAudio(a) {
    music.blocked = false;
    a.play().catch(() => {
        // The browser holds sound back until the player first clicks or presses a key; the game
        // keeps its "playing" state meanwhile, so its watchdog does not restart the piece.
        if (music.audio === a) music.blocked = true;
    });
}

function stopAudio() {
    if (music.audio) {
        music.audio.pause();
        music.audio.removeAttribute("src");
        music.audio.load();
    }
    music.audio = null;
    music.blocked = false;
}

function unblockAudio() {
    if (music.blocked && music.audio) playAudio(music.audio);
}

// The game names its files by the module's paths; the player knows the folder by its own name.
function playerPaths(text) {
    return game ? text.split(game.dir).join(`${game.name}/`) : text;
}

function onMessage(text) {
    showModal(playerPaths(text));
}

function onPopup() {
    // The handler is still running: the menu opens once it has returned and the model is drawn.
    queueMicrotask(() => showMenu());
}

function onOpen(path) {
    // Bonus pages open in a new tab, from the click that asks for them.
    let url = null;
    try {
        // The page is the game's own Shift-JIS text.
        url = URL.createObjectURL(new Blob([M.FS.readFile(path)], { type: "text/html; charset=shift_jis" }));
    } catch {
        return;
    }
    if (!window.open(url, "_blank")) showModal("The browser kept the page from opening: allow pop-ups for this site.");
}

function onFail(text) {
    running = false;
    stopTimers();
    stopAudio();
    closeLog();
    showModal(playerPaths(text), offerAnotherGame);
}

// After the game has ended on an error: the same game again, the built-in one, or another folder.
function offerAnotherGame() {
    statusLine.textContent = "The game has ended. ";
    const link = (text, act) => {
        const a = document.createElement("a");
        a.href = "#";
        a.textContent = text;
        a.onclick = (e) => {
            e.preventDefault();
            act();
        };
        statusLine.append(a, " ");
    };
    link("Play again", () => start());
    if (game.key !== "built-in") link("Play the built-in game", () => play(builtInGame));
    link("Open another folder", () => folderInput.click());
}

// ---- Calls into the module ----

// Delivers one event and draws what it changed; returns the module's outcome (0 delivered,
// 1 ignored, 3 the game ended).
function call(name, ...args) {
    if (!running) return 3;
    const types = args.map((a) => (typeof a === "string" ? "string" : "number"));
    const outcome = M.ccall(name, "number", types, args);
    render();
    if (name !== "rumena_tick" || args[0] !== "BgmTim") wakeWatchdog();
    return outcome;
}

function text(fn) {
    return JSON.parse(M.UTF8ToString(M[fn]()));
}

// ---- Drawing ----

let caption = "";

// Draws what changed since the last view (everything when asked: a new game).
function render(everything = false) {
    if (!running) return;
    const view = JSON.parse(M.UTF8ToString(M._rumena_view(everything ? 1 : 0)));
    if (!view) return;
    if (view.caption !== caption) document.title = (caption = view.caption) || "ルメナ";
    stage.style.background = view.back;
    let created = false;
    for (const c of view.changed) {
        const key = `${c.name}/${c.index}`;
        let el = elements.get(key);
        if (!el) {
            created = true;
            el = document.createElement(c.kind === "button" ? "button" : "div");
            el.className = `c ${c.kind}`;
            el.dataset.name = c.name;
            el.dataset.index = c.index;
            if (c.kind === "button") el.tabIndex = -1;
            elements.set(key, el);
            (elements.get(c.parent) || stage).append(el);
        }
        paint(el, c);
    }
    if (view.stacks) stacks = view.stacks;
    if (view.stacks || created) restack();
    if (view.timers) syncTimers(view.timers);
    if (view.timers || view.changed.some((c) => c.name === "ClickMe")) blinkPrompt();
    // When the title screen comes up, Enter and Space press the middle difficulty, until Tab moves on.
    // (The stage never scrolls: the focus need not wait for the page's layout.)
    if (view.title && !shown.title) titleButtons()[(titleFocus = 1)]?.focus({ preventScroll: true });
    if (!view.title && shown.title && document.activeElement?.closest?.("#stage")) stage.focus({ preventScroll: true });
    shown = { title: view.title, textArea: view.textArea };
}

// Stacking follows the model, bottom first. The page holds only the controls that have shown, so a
// control that shows for the first time takes its place among them.
let stacks = {};
function restack() {
    for (const [parentKey, order] of Object.entries(stacks)) {
        const parent = parentKey ? elements.get(parentKey) : stage;
        if (!parent) continue;
        let z = 0;
        for (const key of order) {
            const el = elements.get(key);
            if (!el) continue;
            if (parent.children[z] !== el) parent.insertBefore(el, parent.children[z] || null);
            ++z;
        }
    }
}

function px(v) {
    return `${Math.round(v)}px`;
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
            s.color = c.enabled ? c.fore : "#A0A0A0";
            s.background = c.backStyle === 1 ? c.back : "transparent";
            s.border = c.border === 1 ? "1px solid #000" : "none";
            s.textAlign = ["left", "right", "center"][c.align] || "left";
            if (c.name === "HtmlToolLbl" && c.visible) fitText(el, c.font);
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

// The bonus notice names the page on a second line that its box is too low for at the game's font:
// the font shrinks until both lines show whole.
function fitText(el, font) {
    for (let pt = Math.max(1, font); pt > 4 && el.scrollHeight > el.clientHeight + 1; pt *= 0.9)
        el.style.fontSize = `${pt * 0.9}pt`;
}

function paintShape(el, c) {
    let body = el.firstElementChild;
    if (!body) el.append((body = document.createElement("div")));
    if (c.name !== "ClickMe") {
        shapeBody(body, c, c.shape);
        return;
    }
    // The prompt blinks between a circle (3) and a rounded box (4), the circle first, as the blink's
    // first tick makes it in the window. The page blinks it without the game, so the game's shape
    // stays the one it was drawn with: the page shows the two forms in turn.
    const first = c.shape === 4 ? 4 : 3;
    shapeBody(body, c, first);
    shapeBody(body.nextElementSibling || el.appendChild(document.createElement("div")), c, first === 3 ? 4 : 3);
}

// While its timer runs, the prompt shows a circle and a rounded box in turn.
function blinkPrompt(next = false) {
    const el = elements.get("ClickMe/-1");
    if (!el) return;
    const on = timers.has(BLINK);
    el.classList.toggle("blink", on);
    el.classList.toggle("other", on && next !== el.classList.contains("other"));
}

function shapeBody(body, c, shape) {
    let w = Math.round(c.w),
        h = Math.round(c.h),
        x = 0,
        y = 0;
    // Squares and circles take the shorter side, centred.
    if (shape === 1 || shape === 3 || shape === 5) {
        const side = Math.min(w, h);
        x = (w - side) / 2;
        y = (h - side) / 2;
        w = h = side;
    }
    const s = body.style;
    Object.assign(s, { left: px(x), top: px(y), width: px(w), height: px(h) });
    s.border = c.border === 0 ? "none" : `1px solid ${c.borderColor}`;
    s.background = c.fillStyle === 0 ? c.fill : c.backStyle === 1 ? c.back : "transparent";
    s.borderRadius = shape === 2 || shape === 3 ? "50%" : shape === 4 || shape === 5 ? px(Math.min(w, h) / 4) : "0";
}

function pictureUrl(path) {
    let url = pictureUrls.get(path);
    if (!url) {
        try {
            url = URL.createObjectURL(new Blob([M.FS.readFile(path)]));
        } catch {
            url = "";
        }
        pictureUrls.set(path, url);
    }
    return url;
}

// ---- The stage: the game's 4:3 area, as large as the viewport allows, centred ----

function stageBox() {
    const top = document.fullscreenElement ? 0 : bar.offsetHeight;
    const width = innerWidth;
    const height = innerHeight - top;
    const w = Math.max(80, Math.min(width, Math.floor((height * 4) / 3)));
    const h = Math.round((w * 3) / 4);
    return { left: Math.floor((width - w) / 2), top: top + Math.max(0, Math.floor((height - h) / 2)), w, h };
}

function fitStage() {
    const box = stageBox();
    Object.assign(stage.style, { left: px(box.left), top: px(box.top), width: px(box.w), height: px(box.h) });
    document.body.classList.toggle("portrait", innerHeight > innerWidth * 1.2);
    return box;
}

let resizeQueued = false;
function queueResize() {
    if (resizeQueued) return;
    resizeQueued = true;
    requestAnimationFrame(() => {
        resizeQueued = false;
        const box = fitStage();
        closeMenu();
        if (logView) placeLog();
        call("rumena_resize", box.w, box.h);
    });
}
window.addEventListener("resize", queueResize);
document.addEventListener("fullscreenchange", queueResize);

function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else document.documentElement.requestFullscreen?.().catch(() => {});
}

// ---- Timers: one scheduler that sleeps until the next one is due ----

const timers = new Map(); // name -> { interval, restarts, due }
let wake = null;
let clockRate = 1; // the tests run the page's clock faster
let fastForward = false;

// How often a timer fires: no faster than a frame; the story at its fastest while Ctrl is held. The
// music's watchdog sleeps: only an event of the game or the end of a piece can stop or start the music,
// and each wakes it.
function period(name, interval) {
    if (name === "BgmTim") return Infinity;
    if (name === BLINK) return PROMPT_BLINK_MS;
    if (name === "LblTim" && fastForward) return FASTEST_TIMER_MS / clockRate;
    return Math.max(FASTEST_TIMER_MS, interval) / clockRate;
}

// While a message box is up the game waits, as behind a modal box of the desktop; while the player
// reads the log the story waits and the music goes on.
function paused(name) {
    return modals.length > 0 || (logView !== null && name !== "BgmTim");
}

function syncTimers(list) {
    const now = performance.now();
    for (const t of list) {
        const known = timers.get(t.name);
        if (!t.enabled || !running) {
            timers.delete(t.name);
        } else if (!known || known.interval !== t.interval || known.restarts !== t.restarts) {
            timers.set(t.name, { interval: t.interval, restarts: t.restarts, due: now + period(t.name, t.interval) });
        }
    }
    schedule();
}

function schedule() {
    clearTimeout(wake);
    wake = null;
    let next = Infinity;
    for (const [name, t] of timers) if (!paused(name)) next = Math.min(next, t.due);
    if (next < Infinity) wake = setTimeout(runDue, Math.max(0, next - performance.now()));
}

function runDue() {
    wake = null;
    const now = performance.now();
    for (const name of [...timers.keys()]) {
        const t = timers.get(name);
        // A tick may have stopped or restarted the others. (The browser may wake it a little early.)
        if (!t || t.due > now + 1 || paused(name) || !running) continue;
        const every = period(name, t.interval);
        t.due = Math.max(t.due + every, now + every / 2);
        if (name === BLINK) blinkPrompt(true);
        else call("rumena_tick", name);
    }
    schedule();
}

function stopTimers() {
    clearTimeout(wake);
    wake = null;
    timers.clear();
}

// An event may have switched the music on or off, or a piece has ended: the watchdog looks soon.
function wakeWatchdog() {
    const t = timers.get("BgmTim");
    const soon = performance.now() + FASTEST_TIMER_MS / clockRate;
    if (t && t.due > soon) {
        t.due = soon;
        schedule();
    }
}

function setFastForward(on) {
    if (fastForward === on) return;
    fastForward = on;
    const t = timers.get("LblTim");
    if (t) {
        t.due = performance.now() + period("LblTim", t.interval);
        schedule();
    }
}

// ---- The player's input ----

// An event of the player: the game hears of it once the game's files are all there.
function input(name, ...args) {
    if (game?.rest) {
        game.rest.then(() => input(name, ...args));
        return 1;
    }
    return call(name, ...args);
}

function controlAt(x, y) {
    const hit = document.elementFromPoint(x, y);
    if (hit === stage) return { name: "Fom", index: -1, background: true };
    const el = hit?.closest?.("[data-name]");
    return el && stage.contains(el) ? { name: el.dataset.name, index: Number(el.dataset.index) } : null;
}

function titleButtons() {
    return [...stage.querySelectorAll('button[data-name="StartCom"]')].sort((a, b) => a.dataset.index - b.dataset.index);
}

// The text line, which takes the story's clicks as the text area does.
function clickTextArea() {
    const lines = [...stage.querySelectorAll('[data-name="Lbl"]')];
    const last = lines.reduce((a, b) => (Number(b.dataset.index) > Number(a?.dataset.index ?? -1) ? b : a), null);
    if (last) input("rumena_click", "Lbl", Number(last.dataset.index));
}

// Where "MENU CLICKME" could be clicked, the menu opens, as that click opens it.
function openMenuAt(x, y) {
    if (!running || !M._rumena_menu_available()) return;
    pointer = { x, y };
    input("rumena_click", "menuLbl", -1);
}

function openMenuFromKeys() {
    // Where the label is, or where the pointer last was while the label is not shown.
    const r = elements.get("menuLbl/-1")?.getBoundingClientRect();
    if (r?.width) openMenuAt(r.left + r.width / 2, r.top + r.height / 2);
    else openMenuAt(pointer.x, pointer.y);
}

function overTextArea(x, y) {
    const pic = elements.get("Pic/-1");
    if (!pic) return false;
    const r = pic.getBoundingClientRect();
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

// What the button or finger went down on, and whether a gesture (long press, swipe) took it over.
let pressed = null;
let swallowPress = false;
let titleFocus = 1; // the difficulty Enter and Space press on the title

stage.addEventListener("pointerdown", (e) => {
    unblockAudio();
    if (swallowPress || e.button !== 0) {
        swallowPress = false;
        return;
    }
    pointer = { x: e.clientX, y: e.clientY };
    const at = controlAt(e.clientX, e.clientY);
    pressed = at && { ...at, x: e.clientX, y: e.clientY, touch: e.pointerType === "touch", gesture: false };
    if (!pressed) return;
    if (pressed.touch) {
        const p = pressed;
        p.longPress = setTimeout(() => {
            p.gesture = true;
            openMenuAt(p.x, p.y);
        }, LONG_PRESS_MS);
    }
    if (!pressed.background) input("rumena_press", pressed.name, pressed.index);
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
    pointer = { x: e.clientX, y: e.clientY };
    const was = pressed;
    pressed = null;
    clearTimeout(was.longPress);
    if (!was.background) input("rumena_release", was.name, was.index);
    if (was.gesture) return;
    // A swipe down over the story opens the text log.
    const dx = e.clientX - was.x,
        dy = e.clientY - was.y;
    if (was.touch && dy > 40 && dy > 2 * Math.abs(dx) && overTextArea(was.x, was.y)) {
        openLog();
        return;
    }
    // A click is a press and a release on the same control.
    const over = controlAt(e.clientX, e.clientY);
    if (over && over.name === was.name && over.index === was.index) input("rumena_click", was.name, was.index);
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
    unblockAudio();
    const enter = e.key === "Enter";
    if (e.key === "Control") {
        setFastForward(true);
        return;
    }
    if (e.key === "F11" || (enter && e.altKey)) {
        // Full screen, never the story's Enter.
        e.preventDefault();
        if (!e.repeat) toggleFullScreen();
        return;
    }
    if (modals.length) {
        if (enter || e.key === "Escape" || e.key === " ") {
            e.preventDefault();
            if (!e.repeat) closeModal();
        }
        return;
    }
    if (openMenus.length) {
        menuKey(e);
        return;
    }
    if (logView) {
        if (e.key === "Escape" || (e.key === "PageDown" && logAtEnd() && !e.repeat)) {
            e.preventDefault();
            closeLog();
        }
        return;
    }
    if (!running || e.target.closest?.("#bar")) return;
    if (e.key === "Escape") {
        openMenuFromKeys();
    } else if (e.key === "PageUp") {
        e.preventDefault();
        openLog();
    } else if (e.key === "Tab" && shown.title) {
        // Tab moves between the three difficulties.
        e.preventDefault();
        const buttons = titleButtons();
        const at = buttons.indexOf(document.activeElement);
        titleFocus = ((at < 0 ? titleFocus : at) + (e.shiftKey ? buttons.length - 1 : 1)) % buttons.length;
        buttons[titleFocus]?.focus();
    } else if ((enter || e.key === " ") && !e.ctrlKey && !e.altKey && !e.metaKey && !e.shiftKey) {
        e.preventDefault();
        if (e.repeat) return;
        // On the title, the focused difficulty, or the last one focused if a click took the focus away.
        let button = document.activeElement;
        if (shown.title && !button?.matches?.("#stage button[data-name]")) button = titleButtons()[titleFocus];
        if (button?.matches?.("#stage button[data-name]") && !button.disabled && button.offsetParent) {
            // A focused button is pressed, as by the mouse.
            const name = button.dataset.name,
                index = Number(button.dataset.index);
            input("rumena_press", name, index);
            input("rumena_release", name, index);
            input("rumena_click", name, index);
        } else {
            // A click on the text area: it goes on with the story only where a click would.
            clickTextArea();
        }
    }
});

document.addEventListener("keyup", (e) => {
    if (e.key === "Control") setFastForward(false);
});
window.addEventListener("blur", () => setFastForward(false));

// ---- The text log: the lines of this scene, over the game ----

let logView = null;

function logAtEnd() {
    return logView.scrollTop + logView.clientHeight >= logView.scrollHeight - 2;
}

function placeLog() {
    const r = stage.getBoundingClientRect();
    Object.assign(logView.style, { left: px(r.left), top: px(r.top), width: px(r.width), height: px(r.height) });
    logView.style.fontSize = px(Math.max(13, r.height / 27));
}

// Only in the story, where the text area can be clicked, not over the title screen.
function openLog() {
    if (!running || logView || !shown.textArea) return;
    logView = document.createElement("div");
    logView.id = "log";
    logView.tabIndex = 0;
    const close = document.createElement("button");
    close.className = "close";
    close.textContent = "×";
    close.title = "Back to the story (Esc)";
    close.onclick = closeLog;
    const lines = document.createElement("div");
    lines.className = "lines";
    lines.textContent = text("_rumena_text_log").join("\n");
    logView.append(close, lines);
    logView.addEventListener("wheel", (e) => {
        if (e.deltaY > 0 && logAtEnd()) closeLog();
    });
    document.body.append(logView);
    placeLog();
    logView.scrollTop = logView.scrollHeight;
    logView.focus();
    schedule();
}

function closeLog() {
    if (!logView) return;
    logView.remove();
    logView = null;
    stage.focus();
    schedule();
}

// ---- The popup menu ----

const openMenus = []; // the menu and its open submenus, outermost first
const menuTimers = []; // per level: a submenu waiting to open or close

function closeMenu(level = 0) {
    while (openMenus.length > level) openMenus.pop().remove();
    for (const t of menuTimers.splice(level)) clearTimeout(t);
    if (level > 0) openMenus[level - 1]?.querySelector(".item.active")?.classList.remove("active");
}

// Any press outside the menus closes them, and that press does nothing else.
document.addEventListener(
    "pointerdown",
    (e) => {
        if (!openMenus.length || e.target.closest?.(".menu")) return;
        closeMenu();
        swallowPress = e.target instanceof Element && stage.contains(e.target);
    },
    true,
);

function showMenu() {
    closeMenu();
    if (!running) return;
    const menu = buildMenu(text("_rumena_menu_items"), 0);
    document.body.append(menu);
    openMenus.push(menu);
    placeMenu(menu, pointer.x, pointer.y, null);
}

// Places a menu inside the page: at the point, or beside the row it opens from, flipped to the other
// side or moved up when it would leave the page, and scrolled when it is taller than the page.
function placeMenu(menu, x, y, row) {
    const margin = 4;
    menu.style.maxHeight = px(innerHeight - 2 * margin);
    const r = menu.getBoundingClientRect();
    let left = x,
        top = y;
    if (row) {
        const at = row.getBoundingClientRect();
        left = at.right - 2;
        top = at.top - 3;
        if (left + r.width > innerWidth - margin) left = at.left - r.width + 2;
    }
    left = Math.max(margin, Math.min(left, innerWidth - r.width - margin));
    top = Math.max(margin, Math.min(top, innerHeight - r.height - margin));
    menu.style.left = px(left);
    menu.style.top = px(top);
}

function openSubmenu(row, item, level) {
    clearTimeout(menuTimers[level]);
    if (openMenus[level + 1]?.dataset.of === row.dataset.key) return;
    closeMenu(level + 1);
    row.classList.add("active");
    const sub = buildMenu(item.items, level + 1);
    sub.dataset.of = row.dataset.key;
    document.body.append(sub);
    openMenus.push(sub);
    placeMenu(sub, 0, 0, row);
}

// The menus by keys, as the window's: Up and Down move in the innermost menu, Right, Enter and Space
// open a submenu at its first row, Left and Esc close the innermost menu, Enter and Space choose.
function menuKey(e) {
    const level = openMenus.length - 1;
    const rows = [...openMenus[level].querySelectorAll(":scope > .item:not(.disabled)")];
    const at = rows.findIndex((r) => r.classList.contains("active"));
    const activate = (row) => {
        rows[at]?.classList.remove("active");
        row?.classList.add("active");
        row?.scrollIntoView({ block: "nearest" });
    };
    const choose = e.key === "Enter" || e.key === " ";
    if (e.key === "ArrowDown" || e.key === "ArrowUp") {
        const step = e.key === "ArrowDown" ? 1 : rows.length - 1;
        activate(rows[at < 0 ? (step === 1 ? 0 : rows.length - 1) : (at + step) % rows.length]);
    } else if ((choose && !e.repeat) || e.key === "ArrowRight") {
        const row = rows[at];
        if (!row || (!choose && !row.classList.contains("sub"))) return;
        row.click();
        const sub = openMenus[level + 1];
        if (sub && !sub.querySelector(".item.active")) sub.querySelector(".item:not(.disabled)")?.classList.add("active");
    } else if (e.key === "ArrowLeft" || e.key === "Escape") {
        if (level === 0 && e.key === "ArrowLeft") return;
        const parentRow = openMenus[level - 1]?.querySelector(".item.active");
        closeMenu(level);
        parentRow?.classList.add("active");
    } else {
        return;
    }
    e.preventDefault();
}

function buildMenu(items, level) {
    const menu = document.createElement("div");
    menu.className = "menu";
    menu.setAttribute("role", "menu");
    // Reaching the submenu keeps it open, whatever rows the pointer crossed on its way.
    menu.addEventListener("pointerenter", () => {
        if (level > 0) clearTimeout(menuTimers[level - 1]);
    });
    for (const item of items) {
        if (!item.visible) continue;
        if (item.caption === "-") {
            menu.append(document.createElement("hr"));
            continue;
        }
        const row = document.createElement("div");
        row.className = "item";
        row.setAttribute("role", "menuitem");
        row.dataset.menu = item.name;
        row.dataset.index = item.index;
        row.dataset.key = `${item.name}/${item.index}`;
        row.textContent = item.caption.replace(/&(.)/g, "$1");
        if (item.checked) row.classList.add("checked");
        if (!item.enabled) row.classList.add("disabled");
        const sub = item.items.length > 0;
        if (sub) row.classList.add("sub");
        // A submenu opens at once where none is open, and after a moment where another is, so that a
        // diagonal path toward the open one does not close it.
        row.addEventListener("pointerenter", (e) => {
            if (e.pointerType === "touch") return;
            clearTimeout(menuTimers[level]);
            const other = openMenus[level + 1];
            if (sub && !other) openSubmenu(row, item, level);
            else if (other && other.dataset.of !== row.dataset.key)
                menuTimers[level] = setTimeout(() => (sub ? openSubmenu(row, item, level) : closeMenu(level + 1)), 300);
        });
        row.addEventListener("click", (e) => {
            e.stopPropagation();
            if (sub) {
                if (item.enabled) openSubmenu(row, item, level);
                return;
            }
            if (!item.enabled) return;
            closeMenu();
            const outcome = input("rumena_menu", item.name, item.index);
            if (outcome === 0 && item.name === "m_menu") keepSave();
        });
        menu.append(row);
    }
    return menu;
}

// ---- Message boxes ----

function showModal(text, onClose) {
    modals.push({ text, onClose });
    if (modals.length === 1) drawModal();
}

function drawModal() {
    const { text } = modals[0];
    const back = document.createElement("div");
    back.className = "modal-back";
    back.innerHTML = '<div class="modal" role="alertdialog"><div class="text"></div><div class="buttons"><button>OK</button></div></div>';
    back.querySelector(".text").textContent = text.replace(/\r\n?/g, "\n");
    const ok = back.querySelector("button");
    ok.onclick = closeModal;
    document.body.append(back);
    ok.focus();
}

function closeModal() {
    const done = modals.shift();
    document.querySelector(".modal-back")?.remove();
    if (modals.length) drawModal();
    else if (shown.title) titleButtons()[titleFocus]?.focus();
    else stage.focus();
    schedule();
    done?.onClose?.();
}

// ---- Game folders and saves ----

function mkdirs(path) {
    let at = "";
    for (const part of path.split("/").filter(Boolean)) {
        at += `/${part}`;
        if (!M.FS.analyzePath(at).exists) M.FS.mkdir(at);
    }
}

function removeTree(path) {
    if (!M.FS.analyzePath(path).exists) return;
    if (M.FS.isDir(M.FS.stat(path).mode)) {
        for (const n of M.FS.readdir(path)) if (n !== "." && n !== "..") removeTree(`${path}/${n}`);
        M.FS.rmdir(path);
    } else {
        M.FS.unlink(path);
    }
}

// Writes files of a game into the module's file system: every file but the music, which the page
// plays from where it is (the game only needs to see that the file is there).
async function writeFiles(dir, urls, entries) {
    const folder = (path) => (dir + path).slice(0, (dir + path).lastIndexOf("/"));
    for (const f of new Set(entries.map(({ path }) => folder(path)))) mkdirs(f);
    await Promise.all(
        entries.map(async ({ path, url, bytes }) => {
            const full = dir + path;
            if (/\.mp3$/i.test(path)) {
                urls.set(full, url());
                M.FS.writeFile(full, new Uint8Array(0));
            } else {
                M.FS.writeFile(full, new Uint8Array(await bytes()));
            }
        }),
    );
}

async function fetchBytes(url) {
    const r = await fetch(url);
    if (!r.ok) throw new Error(`${url}: ${r.status} ${r.statusText}`);
    return r.arrayBuffer();
}

// The built-in game comes in two packs: what the title screen needs first, the other pictures
// after it is shown. Its music is fetched by the <audio> that plays it.
const builtInList = fetch("game/files.json").then((r) => r.json());
const firstPack = builtInList.then((list) => fetchBytes(`game/${list.packs[0].file}`));

async function builtInGame() {
    const list = await builtInList;
    const dir = "/games/built-in/";
    const urls = new Map();
    const url = (p) => "game/" + p.split("/").map(encodeURIComponent).join("/");
    const packed = (pack, files) => files.map(([path, offset, size]) => ({ path, bytes: async () => new Uint8Array(pack, offset, size) }));
    const [first, ...later] = list.packs;
    await writeFiles(dir, urls, [...packed(await firstPack, first.files), ...list.music.map((path) => ({ path, url: () => url(path) }))]);
    const g = { key: "built-in", name: list.name, dir, urls, rest: null };
    // The title is up: the other pictures come while the player looks at it, once.
    let fetched = null;
    g.later = () =>
        (fetched ??= (async () => {
            for (const pack of later) await writeFiles(dir, urls, packed(await fetchBytes(`game/${pack.file}`), pack.files));
        })());
    return g;
}

// A story's text saved as UTF-8 shows garbled: the player is told, as the checker tells it.
function utf8Notes(name, entries) {
    const utf8 = new TextDecoder("utf-8", { fatal: true });
    return entries.flatMap(({ path, data }) => {
        if (!/^txt\/[^/]*\.dat$/i.test(path) || !data.some((b) => b >= 0x80)) return [];
        try {
            utf8.decode(data);
        } catch {
            return [];
        }
        const line = new TextDecoder().decode(data.subarray(0, data.findIndex((b) => b >= 0x80))).split("\n").length;
        return [`${name}/${path}:${line}: saved as UTF-8; the game reads Shift-JIS, so its text shows garbled (convert it with iconv -f UTF-8 -t CP932)`];
    });
}

function gameFolderHint(name, files) {
    const inner = new Set(files.map((f) => /^([^/]+)\/txt\/com\.dat$/i.exec(f.path)?.[1]).filter(Boolean));
    const hint = inner.size ? ` It holds the game folder "${[...inner][0]}": open that one.` : "";
    return `The folder "${name}" is not a game folder: it has no txt/com.dat.\r\nA game folder holds txt (com.dat, the places, and the scenes' .dat files), grf (the pictures) and the music (.mp3 files).${hint}`;
}

async function folderGame(name, files) {
    if (!files.some((f) => /^txt\/com\.dat$/i.test(f.path))) throw Object.assign(new Error(gameFolderHint(name, files)), { told: true });
    const key = `folder-${name}`.replace(/[^\w\-. ]/g, "_");
    const dir = `/games/${key}/`;
    // A folder opened again after an edit holds only what it holds now.
    removeTree(dir.slice(0, -1));
    const urls = new Map();
    const texts = [];
    await writeFiles(
        dir,
        urls,
        files.map(({ path, file }) => ({
            path,
            url: () => URL.createObjectURL(file),
            bytes: async () => {
                const data = new Uint8Array(await file.arrayBuffer());
                texts.push({ path, data });
                return data;
            },
        })),
    );
    return { key, name, dir, urls, rest: null, notes: utf8Notes(name, texts) };
}

function saveFolder() {
    return `${SAVES}/${game.key}`;
}

function txtFolder() {
    // The game's text folder as the file system spells it.
    const names = M.FS.readdir(game.dir);
    return game.dir + (names.find((n) => n.toLowerCase() === "txt") || "txt");
}

// Copies the saves between the module's file system and the browser's storage; resolves to the
// error, if any.
function syncSaves(populate) {
    return new Promise((resolve) => M.FS.syncfs(populate, (error) => resolve(error)));
}

// The save slot lives in the game's folder while the game runs and in the browser's storage between
// visits, one per game.
function restoreSave() {
    const kept = `${saveFolder()}/save.dat`;
    if (M.FS.analyzePath(kept).exists) {
        mkdirs(txtFolder());
        M.FS.writeFile(`${txtFolder()}/save.dat`, M.FS.readFile(kept));
    }
}

function keepSave() {
    const savePath = text("_rumena_save_path");
    mkdirs(saveFolder());
    const kept = `${saveFolder()}/save.dat`;
    if (M.FS.analyzePath(savePath).exists) M.FS.writeFile(kept, M.FS.readFile(savePath));
    else if (M.FS.analyzePath(kept).exists) M.FS.unlink(kept);
    syncSaves(false).then((error) => {
        // The game has its save for this visit; the player must know it will not outlast the page.
        if (error) showModal(`The browser did not keep the save: ${error.message || error}.\r\nIt lasts only until this page is closed or reloaded.`);
    });
}

function clearGame() {
    running = false;
    stopTimers();
    stopAudio();
    closeMenu();
    closeLog();
    for (const el of elements.values()) el.remove();
    elements.clear();
    stacks = {};
    for (const url of pictureUrls.values()) if (url) URL.revokeObjectURL(url);
    pictureUrls.clear();
    shown = { title: false, textArea: false };
    statusLine.textContent = "";
}

function start() {
    clearGame();
    running = true;
    const box = fitStage();
    const seed = Date.now() >>> 0;
    const outcome = M.ccall("rumena_start", "number", ["string", "number", "number", "number"], [game.dir, seed, box.w, box.h]);
    performance.mark("started");
    if (outcome === 0) render(true);
    performance.mark("title");
    // Drawn with the next frame: its tasks run after it.
    requestAnimationFrame(() => setTimeout(() => performance.mark("title shown")));
    wakeWatchdog();
    if (!shown.title) stage.focus();
    // The player's input waits for the game's save and, for the built-in game, its other pictures.
    const g = game;
    g.rest = Promise.all([savesRead.then(restoreSave), g.later?.()]).then(
        () => {
            g.rest = null;
        },
        (e) => {
            g.rest = null;
            onFail(`The game's pictures cannot be fetched: ${e.message || e}`);
        },
    );
}

async function play(load) {
    try {
        const next = await load();
        performance.mark("loaded");
        if (game && game.key !== next.key) for (const url of game.urls.values()) if (url.startsWith("blob:")) URL.revokeObjectURL(url);
        game = next;
        start();
        if (next.notes?.length) showModal(next.notes.join("\r\n"));
    } catch (e) {
        showModal(e.told ? e.message : `The game folder cannot be read: ${e.message || e}`, () => {
            if (!running) offerAnotherGame();
        });
    }
}

// Files of a picked folder, relative to it.
function pickedFiles(fileList) {
    const files = [...fileList].filter((f) => f.webkitRelativePath.includes("/"));
    const name = files.length ? files[0].webkitRelativePath.split("/")[0] : "game";
    return { name, files: files.map((file) => ({ path: file.webkitRelativePath.slice(name.length + 1), file })) };
}

folderInput.addEventListener("change", (e) => {
    const { name, files } = pickedFiles(e.target.files);
    e.target.value = "";
    if (files.length) play(() => folderGame(name, files));
});

async function droppedFiles(entry, prefix, out) {
    if (entry.isFile) {
        out.push({ path: prefix + entry.name, file: await new Promise((ok, fail) => entry.file(ok, fail)) });
        return;
    }
    const reader = entry.createReader();
    for (;;) {
        const batch = await new Promise((ok, fail) => reader.readEntries(ok, fail));
        if (!batch.length) break;
        for (const child of batch) await droppedFiles(child, `${prefix}${entry.name}/`, out);
    }
}

const drop = document.getElementById("drop");
document.addEventListener("dragover", (e) => {
    e.preventDefault();
    drop.hidden = false;
});
document.addEventListener("dragleave", (e) => {
    if (e.target === drop) drop.hidden = true;
});
document.addEventListener("drop", async (e) => {
    e.preventDefault();
    drop.hidden = true;
    const entry = [...e.dataTransfer.items].map((i) => i.webkitGetAsEntry && i.webkitGetAsEntry()).find((x) => x?.isDirectory);
    if (!entry) {
        showModal("Drop a game folder (the one that holds txt and grf).");
        return;
    }
    const files = [];
    await droppedFiles(entry, "", files);
    const name = entry.name;
    play(() => folderGame(name, files.map((f) => ({ path: f.path.slice(name.length + 1), file: f.file }))));
});

// ---- Start-up ----

async function boot() {
    fitStage();
    M = await createRumena({ onMusic, onMessage, onPopup, onOpen, onFail });
    performance.mark("module");
    mkdirs(SAVES);
    M.FS.mount(M.FS.filesystems.IDBFS, {}, SAVES);
    // The saves are read from the browser's storage while the title comes up; the game needs them
    // only once the player acts.
    savesRead = syncSaves(true).then(() => performance.mark("saves"));
    await play(builtInGame);
    // For the tests and the curious: the game's model is read, never driven, from here; the clock's
    // rate and the random draws are the tests' to set.
    window.rumena = {
        module: M,
        music,
        game: () => game,
        timerOn: (name) => timers.has(name),
        setClockRate: (rate) => {
            clockRate = rate;
            for (const [name, t] of timers) t.due = Math.min(t.due, performance.now() + period(name, t.interval));
            schedule();
        },
        queueRandom: (...values) => values.forEach((v) => M._rumena_queue_random(v)),
    };
    document.body.dataset.ready = "true";
}

boot();
