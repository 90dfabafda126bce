// The text log: the lines of this scene, over the game. The story waits while it is open.
import { t } from "./messages.js";
import { page, px, stage } from "./page.js";
import { text } from "./engine.js";
import { render } from "./view.js";

let logView = null;

export function logOpen() {
    return logView !== null;
}

export function logAtEnd() {
    return logView.scrollTop + logView.clientHeight >= logView.scrollHeight - 2;
}

export function placeLog() {
    if (!logView) return;
    const r = stage.getBoundingClientRect();
    Object.assign(logView.style, { left: px(r.left), top: px(r.top), width: px(r.width), height: px(r.height) });
    logView.style.fontSize = px(Math.max(13, r.height / 27));
}

// Only where the shell lets it open: in the story, not over the title screen.
export function openLog() {
    if (!page.running || logView || !page.M._rumena_open_log()) return;
    showLog();
}

// Shows the log the shell has opened.
export function showLog() {
    if (logView) return;
    logView = document.createElement("div");
    logView.id = "log";
    logView.tabIndex = 0;
    const close = document.createElement("button");
    close.className = "close";
    close.textContent = "×";
    close.title = t("Back to the story (Esc)");
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
    render();
}

export function closeLog() {
    if (!logView) return;
    logView.remove();
    logView = null;
    if (page.running) page.M._rumena_close_log();
    stage.focus();
    render();
}
