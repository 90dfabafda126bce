// The reading view: on a screen where the game's area would show the story too small to read, the
// scene's lines beside or below it at a reading size, with the choices the game waits for as large
// buttons, "go on" at a pause and a fast-forward button held as Ctrl is. Elsewhere its lines are still
// there for a screen reader, each new line once (a polite live region), and the rest is hidden.
import { page } from "./page.js";
import { call } from "./engine.js";
import { setFastForward } from "./engine.js";

const reading = document.getElementById("reading");
const story = document.getElementById("story");
const choices = document.getElementById("choices");
const goOn = document.getElementById("go-on");
const fast = document.getElementById("fast");
// A long scene keeps only its latest lines, as the text log does.
const KEPT_LINES = 300;

// Shown as a panel of its own, or kept for screen readers only.
export function showReading(box) {
    reading.classList.toggle("aside", !box);
    if (box) Object.assign(reading.style, { left: `${box.left}px`, top: `${box.top}px`, width: `${box.w}px`, height: `${box.h}px` });
    else reading.removeAttribute("style");
}

// What the view says of the story: its new lines, the choices offered, what it waits for.
export function followStory(view) {
    if (view.story) {
        if (view.story.newScene) story.replaceChildren();
        for (const line of view.story.lines) {
            const p = document.createElement("p");
            p.textContent = line;
            // A blank line of the story is space between lines, nothing to read.
            if (!line) p.setAttribute("aria-hidden", "true");
            story.append(p);
        }
        while (story.childElementCount > KEPT_LINES) story.firstElementChild.remove();
    }
    if (view.choices) {
        choices.replaceChildren(
            ...view.choices.map(({ id, caption }) => {
                const b = document.createElement("button");
                b.type = "button";
                b.textContent = caption;
                b.dataset.choice = id;
                // Exactly what a click on the game's control does: down, up and the click.
                b.onclick = () => {
                    call("rumena_press", id);
                    call("rumena_release", id);
                    call("rumena_click", id);
                };
                return b;
            }),
        );
    }
    goOn.hidden = view.waiting !== "click";
    // The newest line at the bottom, whatever room the choices took.
    if (view.story || view.choices) story.scrollTop = story.scrollHeight;
}

goOn.addEventListener("click", () => call("rumena_advance"));
// Held, as Ctrl is held.
fast.addEventListener("pointerdown", (e) => {
    e.preventDefault();
    fast.setPointerCapture?.(e.pointerId);
    setFastForward(true);
});
for (const type of ["pointerup", "pointercancel", "lostpointercapture"]) fast.addEventListener(type, () => setFastForward(false));

export function clearStory() {
    story.replaceChildren();
    choices.replaceChildren();
    goOn.hidden = true;
}

export function readingShown() {
    return !reading.classList.contains("aside") && page.running;
}
