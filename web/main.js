// The page of the browser host: it loads a game folder into the module's file system, fits the game's
// 4:3 stage into the viewport, draws what the game's view says changed, runs the game's timers as the
// shell plans them, plays the music through <audio> and hands the player's clicks, taps, keys and menu
// choices to the game, as the window does.
import createRumena from "./rumena.js";
import { folderInput, page, stage, statusLine } from "./page.js";
import { music, onMusic, stopAudio } from "./audio.js";
import { closeLog } from "./log.js";
import { builtInGame, mkdirs } from "./folders.js";
import { closeMenu, showMenu } from "./menu.js";
import { showModal } from "./modal.js";
import { restoreSave, SAVES, syncSaves } from "./saves.js";
import { fitStage } from "./stage.js";
import { setClockRate, stopTimers, timerOn, wakeWatchdog } from "./timers.js";
import { clearView, render } from "./view.js";
import { menuPlace } from "./input.js";
import { clearStory } from "./reading.js";
import { voiceOff } from "./voice.js";
import { hideLoading } from "./loading.js";
import { loadMessages, t } from "./messages.js";
import { offerPlace, watchPlace } from "./resume.js";

let savesRead = Promise.resolve();

// The game names its files by the module's paths; the player knows the folder by its own name.
function playerPaths(text) {
    return page.game ? text.split(page.game.dir).join(`${page.game.name}/`) : text;
}

function onMessage(text) {
    showModal(playerPaths(text));
}

function onPopup() {
    // The handler is still running: the menu opens once it has returned and the view is drawn.
    queueMicrotask(() => {
        const at = menuPlace();
        showMenu(at.x, at.y);
    });
}

function onOpen(path) {
    // Bonus pages open in a new tab, from the click that asks for them.
    let url = null;
    try {
        // The page is the game's own Shift-JIS text.
        url = URL.createObjectURL(new Blob([page.M.FS.readFile(path)], { type: "text/html; charset=shift_jis" }));
    } catch {
        return;
    }
    if (!window.open(url, "_blank")) showModal(t("The browser kept the page from opening: allow pop-ups for this site."));
}

function onFail(text) {
    page.running = false;
    stopTimers();
    stopAudio();
    closeLog();
    showModal(playerPaths(text), offerAnotherGame);
}

// After the game has ended on an error: the same game again, the built-in one, or another folder.
function offerAnotherGame() {
    statusLine.textContent = t("The game has ended. ");
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
    link(t("Play again"), () => start());
    if (page.game.key !== "built-in") link(t("Play the built-in game"), () => play(builtInGame));
    link(t("Open another folder"), () => folderInput.click());
}

function clearGame() {
    page.running = false;
    stopTimers();
    stopAudio();
    closeMenu();
    closeLog();
    clearView();
    clearStory();
    voiceOff();
    statusLine.textContent = "";
}

function start() {
    clearGame();
    page.running = true;
    const box = fitStage();
    const seed = Date.now() >>> 0;
    const outcome = page.M.ccall("rumena_start", "number", ["string", "number", "number", "number"], [page.game.dir, seed, box.w, box.h]);
    performance.mark("started");
    if (outcome === 0) render(true);
    performance.mark("title");
    // Drawn with the next frame: its tasks run after it.
    requestAnimationFrame(() => setTimeout(() => performance.mark("title shown")));
    wakeWatchdog();
    if (!page.shown.title) stage.focus();
    // A game left when the page was hidden or closed: the player may go on from there.
    // Every control the page has is looked at again, as after any input the game cannot narrow down.
    offerPlace(() => {
        render();
        wakeWatchdog();
    });
    // The player's input waits for the game's save and, for the built-in game, its other pictures.
    const g = page.game;
    g.rest = savesRead.then(restoreSave).then(() => {
        g.rest = null;
    });
    g.pictures = g.later?.().then(
        () => {
            g.pictures = null;
        },
        (e) => {
            g.pictures = null;
            onFail(`${t("The game's pictures cannot be fetched")}: ${e.message || e}`);
        },
    );
}

export async function play(load) {
    try {
        const next = await load();
        performance.mark("loaded");
        if (page.game && page.game.key !== next.key)
            for (const url of page.game.urls.values()) if (url.startsWith("blob:")) URL.revokeObjectURL(url);
        page.game = next;
        start();
        if (next.notes?.length) showModal(next.notes.join("\r\n"));
    } catch (e) {
        showModal(e.told ? e.message : t("The game folder cannot be read: %1", e.message || e), () => {
            if (!page.running) offerAnotherGame();
        });
    }
}

async function boot() {
    fitStage();
    const messages = loadMessages();
    page.M = await createRumena({ onMusic, onMessage, onPopup, onOpen, onFail });
    performance.mark("module");
    // The engine's own messages in the player's language too.
    page.M.ccall("rumena_catalogue", null, ["string"], [await messages]);
    mkdirs(SAVES);
    page.M.FS.mount(page.M.FS.filesystems.IDBFS, {}, SAVES);
    // The saves are read from the browser's storage while the title comes up; the game needs them
    // only once the player acts.
    savesRead = syncSaves(true).then(() => performance.mark("saves"));
    watchPlace();
    await play(builtInGame);
    // For the tests and the curious: the game's model is read, never driven, from here; the clock's
    // rate and the random draws are the tests' to set.
    window.rumena = {
        module: page.M,
        music,
        game: () => page.game,
        timerOn,
        setClockRate,
        queueRandom: (...values) => values.forEach((v) => page.M._rumena_queue_random(v)),
    };
    document.body.dataset.ready = "true";
    hideLoading();
    // After this first visit the site plays without the network.
    navigator.serviceWorker?.register("sw.js").catch(() => {});
}

boot();
