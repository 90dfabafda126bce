// Message boxes, over the game: the story waits while one is up, as behind a desktop's modal box.
import { t } from "./messages.js";
import { page, stage } from "./page.js";
import { render, elementOf } from "./view.js";

const modals = []; // waiting to be closed, the first one shown

export function modalOpen() {
    return modals.length > 0;
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
    modals.push({ text, onClose });
    if (modals.length === 1) {
        drawModal();
        tellGame(true);
    }
}

function drawModal() {
    const { text } = modals[0];
    const back = document.createElement("div");
    back.className = "modal-back";
    back.innerHTML = '<div class="modal" role="alertdialog"><div class="text"></div><div class="buttons"><button></button></div></div>';
    back.querySelector("button").textContent = t("OK");
    back.querySelector(".text").textContent = text.replace(/\r\n?/g, "\n");
    const ok = back.querySelector("button");
    ok.onclick = closeModal;
    document.body.append(back);
    ok.focus();
}

export function closeModal() {
    const done = modals.shift();
    document.querySelector(".modal-back")?.remove();
    if (modals.length) {
        drawModal();
    } else {
        const focused = elementOf(page.shown.focus);
        if (focused) focused.focus();
        else stage.focus();
        tellGame(false);
    }
    done?.onClose?.();
}
