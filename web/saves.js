// The save slot lives in the game's folder while the game runs and in the browser's storage between
// visits, one per game.
import { t } from "./messages.js";
import { page } from "./page.js";
import { text } from "./engine.js";
import { mkdirs } from "./folders.js";
import { showModal } from "./modal.js";

export const SAVES = "/saves";

function saveFolder() {
    return `${SAVES}/${page.game.key}`;
}

function txtFolder() {
    // The game's text folder as the file system spells it.
    const names = page.M.FS.readdir(page.game.dir);
    return page.game.dir + (names.find((n) => n.toLowerCase() === "txt") || "txt");
}

// Copies the saves between the module's file system and the browser's storage; resolves to the
// error, if any.
export function syncSaves(populate) {
    return new Promise((resolve) => page.M.FS.syncfs(populate, (error) => resolve(error)));
}

export function restoreSave() {
    const kept = `${saveFolder()}/save.dat`;
    if (page.M.FS.analyzePath(kept).exists) {
        mkdirs(txtFolder());
        page.M.FS.writeFile(`${txtFolder()}/save.dat`, page.M.FS.readFile(kept));
    }
}

export function keepSave() {
    const savePath = text("_rumena_save_path");
    mkdirs(saveFolder());
    const kept = `${saveFolder()}/save.dat`;
    if (page.M.FS.analyzePath(savePath).exists) page.M.FS.writeFile(kept, page.M.FS.readFile(savePath));
    else if (page.M.FS.analyzePath(kept).exists) page.M.FS.unlink(kept);
    syncSaves(false).then((error) => {
        // The game has its save for this visit; the player must know it will not outlast the page.
        if (error) showModal(t("The browser did not keep the save: %1.\r\nIt lasts only until this page is closed or reloaded.", error.message || error));
    });
}
