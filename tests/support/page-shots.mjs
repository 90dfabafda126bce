#!/usr/bin/env node
// Screenshots of the page's game area at desktop sizes, for holding one build against another pixel for
// pixel: the title, the first scene at its first pause, the places open, and the menu label pressed.
// The blinking prompt is hidden, as its form depends on the moment.
//   node tests/support/page-shots.mjs SITE_DIR OUT_DIR
import fs from "node:fs";
import path from "node:path";
import { launch, serve } from "../web/browser.mjs";

const [site, out] = process.argv.slice(2);
fs.mkdirSync(out, { recursive: true });
const server = await serve(site);
const browser = await launch();
for (const [width, height] of [
    [1280, 800],
    [1024, 768],
]) {
    const page = await browser.newPage({ viewport: { width, height } });
    await page.goto(server.url);
    const start = page.locator('[data-name="StartCom"][data-index="0"]');
    await start.waitFor({ state: "visible" });
    const shot = async (name) => {
        await page.addStyleTag({ content: '[data-name="ClickMe"] { display: none !important; }' });
        await page.waitForTimeout(400);
        await page.locator("#stage").screenshot({ path: path.join(out, `${width}x${height}-${name}.png`) });
    };
    await shot("title");
    const box = await start.boundingBox();
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
    await page.waitForFunction(() => window.rumena.timerOn("LblShpTim"));
    await shot("pause");
    await page.evaluate(() => window.rumena.setClockRate(50));
    for (let i = 0; i < 200; ++i) {
        const open = await page.evaluate(() => {
            const place = document.querySelector('[data-name="com"][data-index="0"]');
            return place && getComputedStyle(place).color !== "rgb(160, 160, 160)" && !window.rumena.timerOn("LblTim");
        });
        if (open) break;
        await page.keyboard.press("Enter");
        await page.waitForTimeout(20);
    }
    await page.evaluate(() => window.rumena.setClockRate(1));
    await shot("places");
    await page.close();
}
await browser.close();
server.stop();
