// Reading aloud in the page, through the browser's speech synthesis: each line the view says to speak,
// in turn. Where the browser has no voice, one notice says so and nothing else changes.
import { t } from "./messages.js";
import { page } from "./page.js";
import { render } from "./view.js";

const toggle = document.getElementById("voice");
let on = false;

function voices() {
    return window.speechSynthesis ? speechSynthesis.getVoices() : [];
}

export function toggleVoice() {
    if (!page.running) return;
    if (!on && !voices().length) {
        notice(t("Reading aloud needs a voice, and this browser has none."));
        return;
    }
    on = !on;
    if (!on) speechSynthesis.cancel();
    toggle.setAttribute("aria-pressed", String(on));
    page.M._rumena_voice(on ? 1 : 0);
    render();
}

export function speak(lines) {
    if (!on) return;
    for (const line of lines) {
        const u = new SpeechSynthesisUtterance(line);
        u.lang = "ja-JP";
        speechSynthesis.speak(u);
    }
}

export function voiceOff() {
    on = false;
    toggle.setAttribute("aria-pressed", "false");
    window.speechSynthesis?.cancel();
}

let shown = null;
function notice(text) {
    let el = document.getElementById("notice");
    if (!el) {
        el = document.createElement("div");
        el.id = "notice";
        el.setAttribute("role", "status");
        document.body.append(el);
    }
    el.textContent = text;
    clearTimeout(shown);
    shown = setTimeout(() => el.remove(), 6000);
}

toggle.addEventListener("click", () => toggleVoice());
// Some browsers tell their voices only a moment after the page asks.
window.speechSynthesis?.getVoices();
