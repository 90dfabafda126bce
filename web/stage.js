// The stage: the game's 4:3 area, as large as the viewport allows, centred.
import { bar, page, px, stage } from "./page.js";
import { call } from "./engine.js";
import { closeMenu } from "./menu.js";
import { placeLog } from "./log.js";
import { showReading } from "./reading.js";

// Below this size of the story's text (in CSS pixels), the reading view shows the story at a size one
// can read, where there is room for it: below the game on a phone held upright, beside it held sideways.
const SMALLEST_TEXT_PX = 14;
const READING_BELOW_PX = 160;
const READING_BESIDE_PX = 240;

// The size of the story's text in a game area of this height: the game's own rule for its font (a
// point size from the height in twips), in CSS pixels.
function storyTextPx(height) {
    return (Math.floor((height * 15) / 1000) + 3) * (96 / 72);
}

// Where the game's area and the reading view go: the area as large as the viewport allows, centred; and
// the reading view in the room left over, when the story would be too small to read.
export function stageBox() {
    const top = document.fullscreenElement ? 0 : bar.offsetHeight;
    const width = innerWidth;
    const height = innerHeight - top;
    const w = Math.max(80, Math.min(width, Math.floor((height * 4) / 3)));
    const h = Math.round((w * 3) / 4);
    const box = { left: Math.floor((width - w) / 2), top: top + Math.max(0, Math.floor((height - h) / 2)), w, h };
    if (storyTextPx(h) >= SMALLEST_TEXT_PX) return { stage: box, reading: null };
    if (height - h >= READING_BELOW_PX)
        return { stage: { ...box, top }, reading: { left: 0, top: top + h, w: width, h: height - h } };
    if (width - w >= READING_BESIDE_PX)
        return { stage: { ...box, left: 0 }, reading: { left: w, top, w: width - w, h: height } };
    return { stage: box, reading: null };
}

export function fitStage() {
    const { stage: box, reading } = stageBox();
    Object.assign(stage.style, { left: px(box.left), top: px(box.top), width: px(box.w), height: px(box.h) });
    showReading(reading);
    document.body.classList.toggle("reading", !!reading);
    document.body.classList.toggle("portrait", innerHeight > innerWidth * 1.2 && !reading);
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
