// The built-in story played to its ending in Chromium: places are clicked in turn, questions answered,
// story lines moved on with Enter, until the staff roll brings back the title screen.
import assert from "node:assert/strict";
import { after, before, test } from "node:test";
import { launch, mouseClick, openTitle, serve } from "./browser.mjs";

let server, browser;
before(async () => {
    server = await serve();
    browser = await launch();
});
after(async () => {
    await browser?.close();
    server?.stop();
});

// What the player can act on now, from the model the page renders.
const situation = (page) =>
    page.evaluate(() => {
        const view = window.rumena.view();
        if (!view) return null;
        const all = (list) => list.flatMap((c) => [c, ...(c.children ? all(c.children) : [])]);
        const controls = all(view.controls);
        const open = (name) => controls.filter((c) => c.name === name && c.visible && c.enabled).map((c) => c.index);
        return {
            title: controls.find((c) => c.name === "PicTtl").visible,
            places: open("com"),
            answers: open("QstLBl"),
            lines: controls.filter((c) => c.name === "Lbl" && c.caption).map((c) => c.caption),
            message: !!document.querySelector(".modal"),
        };
    });

test("the built-in story plays to its ending and back to the title", { timeout: 280000 }, async () => {
    const context = await browser.newContext({ viewport: { width: 800, height: 624 } });
    const { page, errors } = await openTitle(context, server.url);
    await mouseClick(page, page.locator('[data-name="StartCom"][data-index="0"]'));
    // The fastest text speed, from the menu.
    await page.waitForFunction(() => document.body.innerText.includes("ルメナの町へようこそ。"));
    await page.keyboard.press("Escape");
    await page.locator('.menu [data-menu="m_Timer"]').hover();
    await page.locator('.menu [data-menu="m_tim"][data-index="0"]').click();

    const seen = new Set();
    let turn = 0;
    for (let step = 0; step < 3000; ++step) {
        const now = await situation(page);
        assert.ok(now, "the game ended on an error");
        now.lines.forEach((l) => seen.add(l));
        if (now.title) break;
        if (now.message) {
            await page.keyboard.press("Enter");
        } else if (now.answers.length) {
            await page.locator(`[data-name="QstLBl"][data-index="${now.answers[0]}"]`).click();
        } else {
            const place = now.places.length && page.locator(`[data-name="com"][data-index="${now.places[turn++ % now.places.length]}"]`);
            if (place && (await place.evaluate((e) => getComputedStyle(e).color !== "rgb(160, 160, 160)"))) await place.click();
            await page.keyboard.press("Enter");
            await page.waitForTimeout(20);
        }
    }
    assert.ok((await situation(page)).title, "the title screen came back");
    assert.ok(seen.has("おしまい"), "the staff roll was shown");
    assert.deepEqual(errors, []);
    await context.close();
});
