// Message boxes, over the game: the story waits while one is up, as behind a desktop's modal box.
import { t } from "./messages.js";
import { page, stage } from "./page.js";
import { render, elementOf } from "./view.js";

const modals = []; // waiting to be closed, the first one shown

export function modalOpen() {
    return modals.length > 0;
}

// What Esc chooses in the box shown: its last choice (for a plain box, its OK).
export function lastChoice() {
    return modals[0]?.choices.at(-1).act;
}

// A box may come up from inside one of the game's handlers: the game hears of it once that is over.
function tellGame(open) {
    queueMicrotask(() => {
        if (!page.running) return;
        page.M._rumena_message_box(open ? 1 : 0);
        render();
    });
}

export function showModal(text, onClose) {
    showChoice(text, [{ label: t("OK"), act: onClose }]);
}

// A box with a button for each choice; the one clicked closes it and runs its act.
export function showChoice(text, choices) {
    modals.push({ text, choices });
    if (modals.length === 1) {
        drawModal();
        tellGame(true);
    }
}

function drawModal() {
    const { text, choices } = modals[0];
    const back = document.createElement("div");
    back.className = "modal-back";
    back.innerHTML = '<div class="modal" role="alertdialog"><div class="text"></div><div class="buttons"></div></div>';
    back.querySelector(".text").textContent = text.replace(/\r\n?/g, "\n");
    const buttons = choices.map((choice) => {
        const b = document.createElement("button");
        b.textContent = choice.label;
        b.onclick = () => closeModal(choice.act);
        back.querySelector(".buttons").append(b);
        return b;
    });
    document.body.append(back);
    buttons[0].focus();
}

// Closes the box shown, running act (or, for a plain box, its OK's).
export function closeModal(act) {
    const done = modals.shift();
    act ??= done?.choices[0].act;
    document.querySelector(".modal-back")?.remove();
    if (modals.length) {
        drawModal();
    } else {
        const focused = elementOf(page.shown.focus);
        if (focused) focused.focus();
        else stage.focus();
        tellGame(false);
    }
    act?.();
}
