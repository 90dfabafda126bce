#!/usr/bin/env node
// The browser site's budgets: the WebAssembly and JavaScript it sends, gzipped (goal: at most 350 KB,
// without the game's data), and the time from navigation to the title screen drawn, from a server on
// this machine (goal: at most 0.5 s), the median of several fresh loads in Debian's Chromium, and the
// bytes that arrived before it; also when the title's elements were in the page.
//   node bench/web-budgets.mjs [SITE_DIR]     (default: build/release/web/site)
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import zlib from "node:zlib";
import { launch, serve, siteDir } from "../tests/web/browser.mjs";

const site = process.argv[2] || siteDir;
let total = 0;
for (const f of ["rumena.wasm", "rumena.js", "main.js"]) {
    const bytes = fs.readFileSync(path.join(site, f));
    const gz = zlib.gzipSync(bytes, { level: 9 }).length;
    total += gz;
    console.log(`${f.padEnd(12)} ${(bytes.length / 1024).toFixed(1).padStart(7)} KB, gzipped ${(gz / 1024).toFixed(1).padStart(6)} KB`);
}
console.log(`code sent, gzipped: ${(total / 1024).toFixed(1)} KB (goal: at most 350 KB)`);

const runs = Number(process.env.RUNS || 9);
const server = await serve(site);
const browser = await launch();
const times = [];
const shownTimes = [];
const bytes = [];
for (let i = 0; i < runs; ++i) {
    // A fresh context each time: nothing cached, no stored saves.
    const context = await browser.newContext({ viewport: { width: 800, height: 624 } });
    const page = await context.newPage();
    // The page is watched without polling it: Playwright's element queries run on the page's own
    // thread and, before the title, cost it about 100 ms. A performance observer waits for the page's
    // marks instead: "title" once the title screen's elements are in the page, "title shown" once
    // the frame that drew them has gone. The title's button is looked for only after both.
    await page.goto(server.url, { waitUntil: "commit" });
    const drawn = await page.evaluate(
        () =>
            new Promise((ok) => {
                const seen = () => {
                    const e = performance.getEntriesByName("title shown")[0];
                    if (e) ok(e.startTime);
                    return !!e;
                };
                if (!seen()) new PerformanceObserver((_, o) => seen() && o.disconnect()).observe({ type: "mark", buffered: true });
            }),
    );
    await page.locator('[data-name="StartCom"][data-index="0"]').waitFor({ state: "visible" });
    const [title, sent] = await page.evaluate(() => {
        const at = performance.getEntriesByName("title")[0].startTime;
        // What arrived before the title: the page and every response that ended before it.
        const nav = performance.getEntriesByType("navigation")[0];
        const early = performance.getEntriesByType("resource").filter((r) => r.responseEnd <= at);
        return [at, [nav, ...early].reduce((n, r) => n + r.transferSize, 0)];
    });
    times.push(title);
    shownTimes.push(drawn);
    bytes.push(sent);
    await context.close();
}
await browser.close();
server.stop();
times.sort((a, b) => a - b);
shownTimes.sort((a, b) => a - b);
const ms = (t) => `${Math.round(t)} ms`;
console.log(`bytes before the title: ${(bytes[0] / 1024).toFixed(0)} KB`);
console.log(`title screen's elements in the page: median ${ms(times[runs >> 1])}, fastest ${ms(times[0])}, slowest ${ms(times.at(-1))} over ${runs} loads`);
console.log(`title screen drawn after navigation: median ${ms(shownTimes[runs >> 1])}, fastest ${ms(shownTimes[0])}, slowest ${ms(shownTimes.at(-1))} (goal: at most 500 ms)`);
console.log(`load average: ${os.loadavg().map((l) => l.toFixed(2)).join(" ")}`);
