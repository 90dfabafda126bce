// The stage: the game's 4:3 area, as large as the viewport allows, centred.
import { bar, page, px, stage } from "./page.js";
import { call } from "./engine.js";
import { closeMenu } from "./menu.js";
import { placeLog } from "./log.js";

export function stageBox() {
    const top = document.fullscreenElement ? 0 : bar.offsetHeight;
    const width = innerWidth;
    const height = innerHeight - top;
    const w = Math.max(80, Math.min(width, Math.floor((height * 4) / 3)));
    const h = Math.round((w * 3) / 4);
    return { left: Math.floor((width - w) / 2), top: top + Math.max(0, Math.floor((height - h) / 2)), w, h };
}

export function fitStage() {
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
        placeLog();
        if (page.running) call("rumena_resize", box.w, box.h);
    });
}
window.addEventListener("resize", queueResize);
document.addEventListener("fullscreenchange", queueResize);

export function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen().catch(() => {});
    else document.documentElement.requestFullscreen?.().catch(() => {});
}
