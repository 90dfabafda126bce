// A story's site as its players have it: an app that installs, plays without the network after one
// visit, shows its loading on a slow network, asks for one tap where the browser holds sound back, and
// speaks Japanese to a Japanese browser.
import assert from "node:assert/strict";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { test } from "node:test";
import { chromium } from "playwright-core";
import { chromiumPath, mouseClick, openTitle, sharedBrowser } from "./browser.mjs";

const shared = sharedBrowser();
const title = "ルメナ ―灯まつりの九日間―";

test("the site installs as an app named after its story, with a favicon", async () => {
    // A profile of its own: Chromium installs no app from a private window.
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), "rumena-profile-"));
    const context = await chromium.launchPersistentContext(profile, { executablePath: chromiumPath() });
    const { page, errors } = await openTitle(context, shared.server.url);
    assert.equal(await page.title(), title);
    await page.evaluate(() => navigator.serviceWorker.ready);
    const cdp = await context.newCDPSession(page);
    const { installabilityErrors } = await cdp.send("Page.getInstallabilityErrors");
    assert.deepEqual(installabilityErrors, []);
    const manifest = await (await page.request.get(`${shared.server.url}manifest.webmanifest`)).json();
    assert.equal(manifest.name, title);
    assert.equal(manifest.display, "fullscreen");
    assert.equal(manifest.orientation, "landscape");
    assert.equal((await page.request.get(`${shared.server.url}favicon.ico`)).status(), 200);
    assert.deepEqual(errors, []);
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
});

test("after one visit the story plays with the network off", async () => {
    const context = await shared.browser.newContext();
    const { page, errors } = await openTitle(context, shared.server.url);
    await page.evaluate(() => navigator.serviceWorker.ready);
    // Kept once the worker has taken the whole site.
    await page.waitForFunction(async () => (await caches.keys()).length > 0 && (await (await caches.open((await caches.keys())[0])).keys()).length > 20);
    await context.setOffline(true);
    await page.reload();
    await page.locator('[data-name="StartCom"][data-index="1"]').waitFor({ state: "visible" });
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="1"]'));
    await page.waitForFunction(() => document.body.innerText.includes("汽笛がひとつ、長く鳴った。"));
    assert.deepEqual(errors, []);
    await context.close();
});

test("on a slow network the page shows its loading until the title, and the story starts at once", async () => {
    const context = await shared.browser.newContext();
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send("Network.enable");
    // 1.6 Mbit/s with 150 ms of latency, as a phone's network may be.
    await cdp.send("Network.emulateNetworkConditions", { offline: false, latency: 150, downloadThroughput: 200000, uploadThroughput: 100000 });
    await page.goto(shared.server.url, { waitUntil: "commit" });
    await page.locator("#loading").waitFor({ state: "visible" });
    await page.locator('[data-name="StartCom"][data-index="1"]').waitFor({ state: "visible", timeout: 60000 });
    await page.locator("#loading").waitFor({ state: "hidden" });
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="1"]'));
    // The opening has what it needs in the first pack: its first line does not wait for the pictures.
    await page.waitForFunction(() => document.body.innerText.includes("汽笛がひとつ、長く鳴った。"), null, { timeout: 8000 });
    await context.close();
});

test("where the browser holds sound back, one tap on a start screen lets the title's music play", async () => {
    const browser = await chromium.launch({ executablePath: chromiumPath(), args: ["--autoplay-policy=document-user-activation-required"] });
    const page = await (await browser.newContext()).newPage();
    await page.goto(shared.server.url);
    const start = page.locator("#start button");
    await start.waitFor({ state: "visible" });
    assert.equal(await start.textContent(), "Click to start");
    await start.click();
    await page.waitForFunction(() => window.rumena.music.audio && !window.rumena.music.audio.paused);
    assert.ok(await page.locator('[data-name="StartCom"][data-index="1"]').isVisible(), "the tap started no game");
    await browser.close();
});

test("a Japanese browser hears rumena's own messages in Japanese, and the game's texts as they are", async () => {
    const context = await shared.browser.newContext({ locale: "ja-JP" });
    const { page, errors } = await openTitle(context, shared.server.url);
    assert.equal(await page.locator("#voice").textContent(), "読み上げ");
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="1"]'));
    await page.keyboard.press("Escape");
    await page.locator('.menu [data-menu="m_menu_menu"]').hover();
    await page.locator('.menu [data-menu="m_menu"]', { hasText: "Load" }).click();
    const message = page.locator(".modal .text");
    await message.waitFor();
    assert.match(await message.textContent(), /^ロードできるセーブがありません/);
    assert.equal(await page.locator(".modal button").textContent(), "OK");
    assert.deepEqual(errors, []);
    await context.close();
});

test("a page closed in the middle of a scene opens again at the same line, or at the title if the player says so", async () => {
    const context = await shared.browser.newContext();
    const lines = (page) => page.evaluate(() => [...document.querySelectorAll('[data-name="Lbl"]')].map((e) => e.textContent));
    const first = await openTitle(context, shared.server.url);
    // The title keeps no place.
    await first.page.close();
    let { page, errors } = await openTitle(context, shared.server.url);
    assert.equal(await page.locator(".modal").count(), 0);
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="1"]'));
    await page.waitForFunction(() => document.body.innerText.includes("汽笛がひとつ、長く鳴った。"));
    const left = await lines(page);
    await page.close();

    ({ page, errors } = await openTitle(context, shared.server.url));
    await page.getByRole("button", { name: "Go on from where you left" }).click();
    await page.locator('[data-name="StartCom"][data-index="1"]').waitFor({ state: "hidden" });
    assert.deepEqual(await lines(page), left);
    // It plays on from there.
    for (let i = 0; i < 100 && JSON.stringify(await lines(page)) === JSON.stringify(left); ++i) {
        await page.keyboard.press("Enter");
        await page.waitForTimeout(50);
    }
    assert.notDeepEqual(await lines(page), left);
    await page.close();

    ({ page, errors } = await openTitle(context, shared.server.url));
    await page.keyboard.press("Escape"); // Start from the title
    assert.equal(await page.locator(".modal").count(), 0);
    await page.locator('[data-name="StartCom"][data-index="1"]').waitFor({ state: "visible" });
    await page.reload();
    await page.locator('[data-name="StartCom"][data-index="0"]').waitFor({ state: "visible" });
    assert.equal(await page.locator(".modal").count(), 0, "the place was forgotten");
    assert.deepEqual(errors, []);
    await context.close();
});
