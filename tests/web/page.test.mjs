// The browser host in Chromium: a player starts the built-in story with the mouse, reads it, visits
// a place, saves, reloads the page and loads the save.
import assert from "node:assert/strict";
import fs from "node:fs";
import path from "node:path";
import { after, before, test } from "node:test";
import { launch, mouseClick, openTitle, serve } from "./browser.mjs";

const shots = process.env.RUMENA_SHOTS || path.join(process.cwd(), "web-shots");
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
    page.evaluate(() => [...document.querySelectorAll('[data-name="Lbl"]')].map((e) => e.textContent).join("\n"));
const caption = (page, name) => page.locator(`[data-name="${name}"]`).first().textContent();

// Clicks on the scene area until the command panel takes clicks.
async function untilPlacesOpen(page) {
    const place = page.locator('[data-name="com"][data-index="0"]');
    for (let i = 0; i < 50; ++i) {
        const grey = await place.evaluate((e) => getComputedStyle(e).color === "rgb(160, 160, 160)");
        if (!grey && (await place.isVisible())) return place;
        await page.keyboard.press("Enter");
        await page.waitForTimeout(150);
    }
    throw new Error("the places never opened");
}

async function chooseFromMenu(page, opener, ...captions) {
    await opener();
    for (const c of captions.slice(0, -1)) await page.locator(".menu .item", { hasText: c }).first().hover();
    await page.locator(".menu .item .menu .item", { hasText: captions.at(-1) }).first().click();
}

test("a player starts the story, visits a place, saves, reloads and loads", async () => {
    let { page, errors } = await openTitle(context, server.url);
    await page.screenshot({ path: path.join(shots, "title.png") });

    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="0"]'));
    await page.waitForFunction(() => document.body.innerText.includes("ルメナの町へようこそ。"));
    assert.match(await storyText(page), /ルメナの町へようこそ。\nこの町で九日間をすごすことになった。/);
    assert.equal(await caption(page, "DayDate"), "0");

    const place = await untilPlacesOpen(page);
    assert.equal(await place.textContent(), "学校");
    await mouseClick(page, place);
    await page.waitForFunction(() => document.body.innerText.includes("ガクがいた。"));
    assert.equal(await caption(page, "DayDate"), "1");
    const picture = await page.locator('[data-name="Pic"]').evaluate((e) => e.style.backgroundImage);
    assert.match(picture, /^url\("blob:/);
    await page.waitForTimeout(300); // the picture is painted
    await page.screenshot({ path: path.join(shots, "scene.png") });

    // Esc opens the menu where the player could click for it.
    await chooseFromMenu(page, () => page.keyboard.press("Escape"), "Menu", "Save");
    assert.equal(await page.locator(".modal").count(), 0, "saving showed a message");

    await page.reload();
    await page.locator('[data-name="StartCom"][data-index="0"]').waitFor({ state: "visible" });
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="0"]'));
    await page.waitForFunction(() => document.body.innerText.includes("ルメナの町へようこそ。"));
    assert.equal(await caption(page, "DayDate"), "0");
    await chooseFromMenu(page, () => mouseClick(page, page.locator('[data-name="menuLbl"]')), "Menu", "Load");
    await page.waitForFunction(() => document.querySelector('[data-name="DayDate"]').textContent === "1");
    assert.deepEqual(errors, []);
});

test("loading with no save shows the window's message", async () => {
    const fresh = await browser.newContext({ viewport: { width: 800, height: 624 } });
    const { page } = await openTitle(fresh, server.url);
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="1"]'));
    await page.waitForFunction(() => document.body.innerText.includes("ルメナの町へようこそ。"));
    await chooseFromMenu(page, () => page.keyboard.press("Escape"), "Menu", "Load");
    const message = page.locator(".modal .text");
    await message.waitFor();
    assert.match(await message.textContent(), /^There is no saved game to load: \/games\/built-in\/txt\/save\.dat/);
    await page.keyboard.press("Enter");
    assert.equal(await page.locator(".modal").count(), 0);
    await fresh.close();
});
