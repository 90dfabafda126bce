// The browser host in Chromium: a player starts the built-in story with the mouse, reads it, visits
// a place, saves, reloads the page and loads the save.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";
import { launch, mouseClick, openTitle, serve } from "./browser.mjs";

const shots = process.env.RUMENA_SHOTS || path.join(os.tmpdir(), "rumena-web-shots");
let server, browser, context;

before(async () => {
    fs.mkdirSync(shots, { recursive: true });
    server = await serve();
    browser = await launch();
    // One context for the whole story, so that its storage (the save) outlives a reload.
    context = await browser.newContext({ viewport: { width: 800, height: 624 } });
});

after(async () => {
    await browser?.close();
    server?.stop();
});

const storyText = (page) =>
    page.evaluate(() =>
        [...document.querySelectorAll('[data-name="Lbl"]')]
            .map((e) => e.textContent)
            .filter(Boolean)
            .join("\n"),
    );
const caption = (page, name) => page.locator(`[data-name="${name}"]`).first().textContent();

// Clicks on the scene area until the command panel takes clicks.
async function untilPlacesOpen(page) {
    const place = page.locator('[data-name="com"][data-index="0"]');
    // The opening runs some twenty lines at the reading speed before the places open.
    for (let i = 0; i < 400; ++i) {
        const grey = await place.evaluate((e) => getComputedStyle(e).color === "rgb(160, 160, 160)");
        if (!grey && (await place.isVisible())) return place;
        await page.keyboard.press("Enter");
        await page.waitForTimeout(150);
    }
    throw new Error("the places never opened");
}

// Opens the popup menu, points at the save slot's submenu and clicks one of its items.
async function chooseSaveMenu(page, opener, caption) {
    await opener();
    await page.locator('.menu [data-menu="m_menu_menu"]').hover();
    const item = page.locator('.menu [data-menu="m_menu"]', { hasText: caption });
    assert.equal(await item.textContent(), caption);
    await item.click();
}

test("a player starts the story, visits a place, saves, reloads and loads", async () => {
    let { page, errors } = await openTitle(context, server.url);
    await page.screenshot({ path: path.join(shots, "title.png") });
    // The title music plays through the page's <audio>.
    await page.waitForFunction(() => {
        const a = window.rumena.music.audio;
        return a && /\/opn\.mp3$/.test(a.src) && !a.paused && a.currentTime > 0;
    });

    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="0"]'));
    await page.waitForFunction(() => document.body.innerText.includes("小さな連絡船が、夕方の港に着く。"));
    assert.match(await storyText(page), /汽笛がひとつ、長く鳴った。\n小さな連絡船が、夕方の港に着く。/);
    assert.equal(await caption(page, "DayDate"), "0");
    // At its prompt the story waits, the prompt showing a circle and a rounded box in turn.
    await page.waitForFunction(() => {
        const prompt = document.querySelector('[data-name="ClickMe"]');
        if (!prompt) return false; // the page makes a control's element when it first shows
        const seen = [...prompt.children].filter((d) => {
            const style = getComputedStyle(d);
            return style.visibility === "visible" && style.opacity !== "0";
        });
        if (!window.rumena.timerOn("LblShpTim") || seen.length !== 1) return false;
        (window.shapesSeen ??= new Set()).add(seen[0].style.borderRadius);
        return window.shapesSeen.size === 2;
    });
    const shapes = await page.evaluate(() => [...window.shapesSeen]);
    assert.ok(shapes.includes("50%") && !shapes.includes("0px"), `a circle and a rounded box, not ${shapes}`);
    await page.waitForFunction(() => /\/bgm\.mp3$/.test(window.rumena.music.audio?.src));

    const place = await untilPlacesOpen(page);
    assert.equal(await place.textContent(), "港の桟橋");
    await mouseClick(page, place);
    // Whom the player meets there is drawn at random: the day goes on and a scene is told.
    await page.waitForFunction(() => document.querySelector('[data-name="DayDate"]')?.textContent === "1");
    await page.waitForFunction(() => [...document.querySelectorAll('[data-name="Lbl"]')].some((e) => e.textContent));
    const picture = await page.locator('[data-name="Pic"]').evaluate((e) => e.style.backgroundImage);
    assert.match(picture, /^url\("blob:/);
    await page.waitForTimeout(300); // the picture is painted
    await page.screenshot({ path: path.join(shots, "scene.png") });

    // Esc opens the menu where the player could click for it.
    await chooseSaveMenu(page, () => page.keyboard.press("Escape"), "Save");
    assert.equal(await page.locator(".modal").count(), 0, "saving showed a message");

    await page.reload();
    await page.locator('[data-name="StartCom"][data-index="0"]').waitFor({ state: "visible" });
    // The page kept the game it left; this player starts again and loads instead.
    await page.getByRole("button", { name: "Start from the title" }).click();
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="0"]'));
    await page.waitForFunction(() => document.body.innerText.includes("汽笛がひとつ、長く鳴った。"));
    assert.equal(await caption(page, "DayDate"), "0");
    await chooseSaveMenu(page, () => mouseClick(page, page.locator('[data-name="menuLbl"]')), "Load");
    await page.waitForFunction(() => document.querySelector('[data-name="DayDate"]')?.textContent === "1");
    assert.deepEqual(errors, []);
});

test("loading with no save shows the window's message", async () => {
    const fresh = await browser.newContext({ viewport: { width: 800, height: 624 } });
    const { page } = await openTitle(fresh, server.url);
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="1"]'));
    await page.waitForFunction(() => document.body.innerText.includes("汽笛がひとつ、長く鳴った。"));
    await chooseSaveMenu(page, () => page.keyboard.press("Escape"), "Load");
    const message = page.locator(".modal .text");
    await message.waitFor();
    // The message names the file by the game folder's own name.
    assert.match(await message.textContent(), /^There is no saved game to load: demo\/txt\/save\.dat/);
    await page.keyboard.press("Enter");
    assert.equal(await page.locator(".modal").count(), 0);
    await fresh.close();
});

test("a game folder opened from the computer plays in place of the built-in one, bonus page and all", async () => {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), "rumena-web-"));
    const game = path.join(folder, "another");
    const sjis = (text) => execFileSync("iconv", ["-f", "UTF-8", "-t", "CP932"], { input: text });
    fs.mkdirSync(path.join(game, "TXT"), { recursive: true });
    // Names in other letter cases, as the game's own data may have them.
    fs.writeFileSync(path.join(game, "TXT", "Com.dat"), sjis("学校\r\n"));
    fs.writeFileSync(path.join(game, "TXT", "hint.dat"), "");
    // Quotes and a backslash in the story's text reach the page as they are.
    fs.writeFileSync(path.join(game, "TXT", "OPN.DAT"), sjis('別の物語が"はじまる"\\。\r\n>html>omake>bonus\r\nおわり\r\n'));
    fs.writeFileSync(path.join(game, "TXT", "omake.dat"), sjis("<html><body>おまけのページ</body></html>\r\n"));

    const fresh = await browser.newContext({ viewport: { width: 800, height: 624 } });
    const { page, errors } = await openTitle(fresh, server.url);
    await page.locator("#folder").setInputFiles(game);
    await page.waitForFunction(() => window.rumena.game()?.name === "another");
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="0"]'));
    await page.waitForFunction(() => document.body.innerText.includes('別の物語が"はじまる"\\。'));

    // The notice of the bonus page; a click on it opens the page in a new tab.
    const notice = page.locator('[data-name="HtmlToolLbl"]');
    await notice.waitFor({ state: "visible" });
    const [bonus] = await Promise.all([fresh.waitForEvent("page"), mouseClick(page, notice)]);
    await bonus.waitForLoadState();
    assert.equal((await bonus.locator("body").textContent()).trim(), "おまけのページ");
    assert.deepEqual(errors, []);
    await fresh.close();
    fs.rmSync(folder, { recursive: true, force: true });
});

test("an author hears which folder was opened and what is wrong with it, in the folder's own names", async () => {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), "rumena-web-"));
    const game = path.join(folder, "mine", "story");
    fs.mkdirSync(path.join(game, "txt"), { recursive: true });
    fs.writeFileSync(path.join(game, "txt", "com.dat"), "school\r\n");
    fs.writeFileSync(path.join(game, "txt", "hint.dat"), "");
    // Saved as UTF-8 by an editor, the opening is garbled in the game.
    fs.writeFileSync(path.join(game, "txt", "opn.dat"), "start\r\n別の物語がはじまる。\r\n");

    const fresh = await browser.newContext({ viewport: { width: 800, height: 624 } });
    const { page } = await openTitle(fresh, server.url);
    const message = page.locator(".modal .text");
    // The parent folder: the message names it and the game folder inside it.
    await page.locator("#folder").setInputFiles(path.join(folder, "mine"));
    await message.waitFor();
    const parent = await message.textContent();
    assert.match(parent, /^The folder "mine" is not a game folder/);
    assert.match(parent, /A game folder holds txt.*grf/);
    assert.match(parent, /"story": open that one/);
    await page.keyboard.press("Enter");
    // The built-in game plays on.
    assert.equal(await page.evaluate(() => window.rumena.game().key), "built-in");

    await page.locator("#folder").setInputFiles(game);
    await message.waitFor();
    assert.equal(
        await message.textContent(),
        "story/txt/opn.dat:2: saved as UTF-8; the game reads Shift-JIS, so its text shows garbled (convert it with iconv -f UTF-8 -t CP932)",
    );
    await page.keyboard.press("Enter");
    // A missing scene ends the game; its message names the file by the folder's name, and the page
    // offers the built-in game and another folder.
    fs.rmSync(path.join(game, "txt", "opn.dat"));
    await page.locator("#folder").setInputFiles(game);
    await page.waitForFunction(() => window.rumena.game()?.name === "story" && !document.querySelector(".modal"));
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="0"]'));
    await message.waitFor();
    const failure = await message.textContent();
    assert.match(failure, /story\/txt\/opn\.dat/);
    assert.doesNotMatch(failure, /\/games\//);
    await page.keyboard.press("Enter");
    assert.match(await page.locator("#status").textContent(), /Play again.*Play the built-in game.*Open another folder/);
    await page.locator("#status a", { hasText: "Play the built-in game" }).click();
    await page.locator('[data-name="StartCom"][data-index="0"]').waitFor({ state: "visible" });
    assert.equal(await page.evaluate(() => window.rumena.game().key), "built-in");
    await fresh.close();
    fs.rmSync(folder, { recursive: true, force: true });
});
