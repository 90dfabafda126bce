// The music, through the browser: an <audio> for the piece the game has open.
import { page } from "./page.js";
import { call } from "./engine.js";
import { t } from "./messages.js";

// Where the browser holds sound back until the player's first tap, and the title would sound silent,
// one screen asks for that tap; it starts no game. Visits where sound is allowed never see it.
const startScreen = document.getElementById("start");
startScreen.querySelector("button").addEventListener("click", () => unblockAudio());

export function startScreenShown() {
    return !startScreen.hidden;
}

export const music = { audio: null, path: "", blocked: false };

// The game's music device, followed call by call (open, close, play, stop, rewind).
const OPEN = 0,
    CLOSE = 1,
    PLAY = 2,
    STOP = 3,
    REWIND = 4;

export function onMusic(what, path) {
    if (what === OPEN) {
        stopAudio();
        const url = page.game && page.game.urls.get(path);
        if (!url) return;
        music.audio = new Audio(url);
        music.path = path;
        music.audio.addEventListener("ended", () => {
            if (page.running) call("rumena_music_ended");
        });
        return;
    }
    const a = music.audio;
    if (what === CLOSE) stopAudio();
    if (!a) return;
    if (what === PLAY) playAudio(a);
    if (what === STOP) a.pause();
    if (what === REWIND) {
        a.pause();
        a.currentTime = 0;
    }
}

function playAudio(a) {
    music.blocked = false;
    a.play().catch((e) => {
        // The browser holds sound back until the player first clicks or presses a key; the game
        // keeps its "playing" state meanwhile, so its watchdog does not restart the piece.
        if (music.audio !== a) return;
        music.blocked = true;
        if (e?.name === "NotAllowedError" && page.shown.title) {
            startScreen.querySelector("button").textContent = t(matchMedia("(pointer: coarse)").matches ? "Tap to start" : "Click to start");
            startScreen.hidden = false;
            startScreen.querySelector("button").focus();
        }
    });
}

export function stopAudio() {
    if (music.audio) {
        music.audio.pause();
        music.audio.removeAttribute("src");
        music.audio.load();
    }
    music.audio = null;
    music.blocked = false;
}

export function unblockAudio() {
    startScreen.hidden = true;
    if (music.blocked && music.audio) playAudio(music.audio);
}
