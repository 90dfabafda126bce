// The page of the browser host: it loads a game folder into the module's file system, renders the
// control model as positioned elements, runs the model's timers, plays the music through <audio>
// and forwards the player's clicks, presses, menu choices and keys to the game.
import createRumena from "./rumena.js";

const stage = document.getElementById("stage");
const statusLine = document.getElementById("status");
const FASTEST_TIMER_MS = 16; // the page's timers run no faster than a frame
const SAVES = "/saves";

let M; // the module
let game = null; // { key, dir, urls: Map(path -> URL of a file kept outside the module) }
let view = null; // the control model as last rendered
let running = false; // whether a game runs (not ended by its run-time error)
const elements = new Map(); // "name/index" -> { el, sig }
const timers = new Map(); // name -> { handle, interval, restarts }
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
            if (!running) return;
            call("rumena_music_ended");
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

function onMessage(text) {
    showModal(text);
}

function onPopup() {
    // The handler is still running: the menu opens once it has returned and the model is rendered.
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
    showModal(text, () => {
        statusLine.textContent = "The game has ended. ";
        const again = document.createElement("a");
        again.href = "#";
        again.textContent = "Play again";
        again.style.color = "#9cf";
        again.onclick = (e) => {
            e.preventDefault();
            start();
        };
        statusLine.append(again);
    });
}

// ---- Calls into the module ----

// Delivers one event and renders what it changed; returns the module's outcome (0 delivered,
// 1 ignored, 3 the game ended).
function call(name, ...args) {
    if (!running) return 3;
    const types = args.map((a) => (typeof a === "string" ? "string" : "number"));
    const outcome = M.ccall(name, "number", types, args);
    render();
    return outcome;
}

let viewText = "";

function render() {
    // The prompt's blink and the music's watchdog tick sixty times a second and mostly change nothing.
    const text = M.UTF8ToString(M._rumena_view());
    if (text === viewText) return;
    viewText = text;
    view = JSON.parse(text);
    if (!view) return;
    document.title = view.caption || "ルメナ";
    stage.style.background = view.back;
    const seen = new Set();
    place(view.controls, stage, seen);
    for (const [key, e] of elements)
        if (!seen.has(key)) {
            e.el.remove();
            elements.delete(key);
        }
    syncTimers(view.timers);
}

function place(list, parent, seen) {
    list.forEach((c, z) => {
        const key = `${c.name}/${c.index}`;
        seen.add(key);
        let e = elements.get(key);
        if (!e) {
            const el = document.createElement(c.kind === "button" ? "button" : "div");
            el.className = `c ${c.kind}`;
            el.dataset.name = c.name;
            el.dataset.index = c.index;
            e = { el, sig: "" };
            elements.set(key, e);
        }
        // Stacking follows the model: bottom first.
        if (parent.children[z] !== e.el) parent.insertBefore(e.el, parent.children[z] || null);
        const { children, ...own } = c;
        const sig = JSON.stringify(own);
        if (sig !== e.sig) {
            e.sig = sig;
            paint(e.el, c);
        }
        if (children) place(children, e.el, seen);
    });
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

function paintShape(el, c) {
    let body = el.firstElementChild;
    if (!body) el.append((body = document.createElement("div")));
    let w = Math.round(c.w),
        h = Math.round(c.h),
        x = 0,
        y = 0;
    // Squares and circles take the shorter side, centred.
    if (c.shape === 1 || c.shape === 3 || c.shape === 5) {
        const side = Math.min(w, h);
        x = (w - side) / 2;
        y = (h - side) / 2;
        w = h = side;
    }
    const s = body.style;
    Object.assign(s, { left: px(x), top: px(y), width: px(w), height: px(h) });
    s.border = c.border === 0 ? "none" : `1px solid ${c.borderColor}`;
    s.background = c.fillStyle === 0 ? c.fill : c.backStyle === 1 ? c.back : "transparent";
    s.borderRadius =
        c.shape === 2 || c.shape === 3 ? "50%" : c.shape === 4 || c.shape === 5 ? px(Math.min(w, h) / 4) : "0";
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

// ---- Timers ----

function syncTimers(list) {
    for (const t of list) {
        const known = timers.get(t.name);
        if (!t.enabled || !running) {
            if (known) clearInterval(known.handle);
            timers.delete(t.name);
            continue;
        }
        if (known && known.interval === t.interval && known.restarts === t.restarts) continue;
        if (known) clearInterval(known.handle);
        const handle = setInterval(() => tick(t.name), Math.max(FASTEST_TIMER_MS, t.interval));
        timers.set(t.name, { handle, interval: t.interval, restarts: t.restarts });
    }
}

function tick(name) {
    // While a message box is up the game waits, as behind a modal box of the desktop.
    if (modals.length) return;
    call("rumena_tick", name);
}

function stopTimers() {
    for (const t of timers.values()) clearInterval(t.handle);
    timers.clear();
}

// ---- The player's input ----

function controlAt(target) {
    const el = target instanceof Element ? target.closest("[data-name]") : null;
    return el && stage.contains(el) ? { name: el.dataset.name, index: Number(el.dataset.index) } : null;
}

// What the button went down on: a control, the window's own background, or nothing.
let pressed = null;

stage.addEventListener("pointerdown", (e) => {
    unblockAudio();
    closeMenu();
    if (e.button !== 0) return;
    pointer = { x: e.clientX, y: e.clientY };
    pressed = controlAt(e.target) || (e.target === stage ? { name: "Fom", index: -1, background: true } : null);
    if (pressed && !pressed.background) call("rumena_press", pressed.name, pressed.index);
});

// Released anywhere, even off the page, the control that was pressed hears of it.
document.addEventListener("pointerup", (e) => {
    if (e.button !== 0 || !pressed) return;
    pointer = { x: e.clientX, y: e.clientY };
    const was = pressed;
    pressed = null;
    const over = controlAt(e.target) || (e.target === stage ? { name: "Fom", index: -1 } : null);
    if (!was.background) call("rumena_release", was.name, was.index);
    // A click is a press and a release on the same control.
    if (over && over.name === was.name && over.index === was.index) call("rumena_click", was.name, was.index);
});

stage.addEventListener("contextmenu", (e) => e.preventDefault());

document.addEventListener("keydown", (e) => {
    unblockAudio();
    if (modals.length) {
        if (e.key === "Enter" || e.key === "Escape" || e.key === " ") {
            e.preventDefault();
            closeModal();
        }
        return;
    }
    if (document.querySelector(".menu")) {
        if (e.key === "Escape") closeMenu();
        return;
    }
    if (e.key === "Enter" || e.key === " ") {
        // As a click on the text area.
        e.preventDefault();
        if (call("rumena_click", "Pic", -1) === 1) call("rumena_click", "Fom", -1);
    } else if (e.key === "Escape") {
        // Opens the menu where the player could click for it.
        const label = elements.get("menuLbl/-1");
        if (label && M._rumena_menu_available()) {
            const r = label.el.getBoundingClientRect();
            pointer = { x: r.left + r.width / 2, y: r.top + r.height / 2 };
            call("rumena_click", "menuLbl", -1);
        }
    }
});

let resizeQueued = false;
window.addEventListener("resize", () => {
    if (resizeQueued) return;
    resizeQueued = true;
    requestAnimationFrame(() => {
        resizeQueued = false;
        call("rumena_resize", stage.clientWidth, stage.clientHeight);
    });
});

// ---- The popup menu ----

function closeMenu() {
    for (const m of document.querySelectorAll("body > .menu")) m.remove();
}

function showMenu() {
    closeMenu();
    if (!view || !running) return;
    const menu = buildMenu(view.menu);
    document.body.append(menu);
    const r = menu.getBoundingClientRect();
    menu.style.left = px(Math.min(pointer.x, innerWidth - r.width - 4));
    menu.style.top = px(Math.min(pointer.y, innerHeight - r.height - 4));
    setTimeout(() => document.addEventListener("pointerdown", outside, { once: true }), 0);
    function outside(e) {
        if (!menu.contains(e.target)) closeMenu();
        else document.addEventListener("pointerdown", outside, { once: true });
    }
}

function buildMenu(items) {
    const menu = document.createElement("div");
    menu.className = "menu";
    menu.setAttribute("role", "menu");
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
        row.textContent = item.caption.replace(/&(.)/g, "$1");
        if (item.checked) row.classList.add("checked");
        if (!item.enabled) row.classList.add("disabled");
        if (item.items.length) {
            row.classList.add("sub");
            row.append(buildMenu(item.items));
        } else if (item.enabled) {
            row.addEventListener("click", (e) => {
                e.stopPropagation();
                closeMenu();
                const outcome = call("rumena_menu", item.name, item.index);
                if (outcome === 0 && item.name === "m_menu") keepSave();
            });
        }
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
    else stage.focus();
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

// Writes a game folder into the module's file system: every file but the music, which the page plays
// from where it is (the game only needs to see that the file is there).
async function loadGame(key, entries) {
    const dir = `/games/${key}/`;
    const urls = new Map();
    await Promise.all(
        entries.map(async ({ path, url, bytes }) => {
            const full = dir + path;
            mkdirs(full.slice(0, full.lastIndexOf("/")));
            if (/\.mp3$/i.test(path)) {
                urls.set(full, url());
                M.FS.writeFile(full, new Uint8Array(0));
            } else {
                M.FS.writeFile(full, new Uint8Array(await bytes()));
            }
        }),
    );
    return { key, dir, urls };
}

// The built-in game: its files in one pack, its music beside it.
async function fetchBuiltIn() {
    const [list, pack] = await Promise.all([
        fetch("game/files.json").then((r) => r.json()),
        fetch("game/files.pack").then((r) => {
            if (!r.ok) throw new Error(`game/files.pack: ${r.status}`);
            return r.arrayBuffer();
        }),
    ]);
    return { list, pack };
}

function builtInGame(fetched) {
    const { list, pack } = fetched;
    const url = (p) => "game/" + p.split("/").map(encodeURIComponent).join("/");
    return loadGame("built-in", [
        ...list.packed.map(([path, offset, size]) => ({ path, bytes: async () => new Uint8Array(pack, offset, size) })),
        ...list.music.map((path) => ({ path, url: () => url(path) })),
    ]);
}

function folderGame(name, files) {
    const key = `folder-${name}`.replace(/[^\w\-. ]/g, "_");
    return loadGame(
        key,
        files.map(({ path, file }) => ({
            path,
            url: () => URL.createObjectURL(file),
            bytes: () => file.arrayBuffer(),
        })),
    );
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
    if (!view) return;
    mkdirs(saveFolder());
    const kept = `${saveFolder()}/save.dat`;
    if (M.FS.analyzePath(view.savePath).exists) M.FS.writeFile(kept, M.FS.readFile(view.savePath));
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
    for (const e of elements.values()) e.el.remove();
    elements.clear();
    for (const url of pictureUrls.values()) if (url) URL.revokeObjectURL(url);
    pictureUrls.clear();
    viewText = "";
    statusLine.textContent = "";
}

function start() {
    clearGame();
    restoreSave();
    running = true;
    const seed = Date.now() >>> 0;
    const outcome = M.ccall(
        "rumena_start",
        "number",
        ["string", "number", "number", "number"],
        [game.dir, seed, stage.clientWidth, stage.clientHeight],
    );
    performance.mark("started");
    if (outcome === 0) render();
    performance.mark("title");
    stage.focus();
}

async function play(load) {
    try {
        const next = await load();
        performance.mark("loaded");
        if (game && game.key !== next.key) for (const url of game.urls.values()) if (url.startsWith("blob:")) URL.revokeObjectURL(url);
        game = next;
        start();
    } catch (e) {
        showModal(`The game folder cannot be read: ${e.message || e}`);
    }
}

// Files of a picked folder, relative to it.
function pickedFiles(fileList) {
    const files = [...fileList].filter((f) => f.webkitRelativePath.includes("/"));
    const name = files.length ? files[0].webkitRelativePath.split("/")[0] : "game";
    return { name, files: files.map((file) => ({ path: file.webkitRelativePath.slice(name.length + 1), file })) };
}

document.getElementById("folder").addEventListener("change", (e) => {
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
    const builtIn = fetchBuiltIn();
    M = await createRumena({ onMusic, onMessage, onPopup, onOpen, onFail });
    performance.mark("module");
    mkdirs(SAVES);
    M.FS.mount(M.FS.filesystems.IDBFS, {}, SAVES);
    const [fetched] = await Promise.all([builtIn, syncSaves(true)]);
    performance.mark("saves");
    await play(() => builtInGame(fetched));
    window.rumena = { module: M, view: () => view, music }; // for the tests and the curious
    document.body.dataset.ready = "true";
}

boot();
