#!/usr/bin/env node
// The page at rest in Debian's Chromium: the processor time of all the browser's processes over 10 s,
// at the title screen with its music playing (goal: at most 1 % of a core) and at the story's blinking
// prompt (goal: at most 3 %). The machine's load counts: take it as it is said beside the figures.
//   node bench/web-idle.mjs [SITE_DIR...]     (default: build/release/web/site; several sites are
//                                               measured in turn, ROUNDS times, for a fair comparison)
import fs from "node:fs";
import os from "node:os";
import { launch, serve, siteDir } from "../tests/web/browser.mjs";

const sites = process.argv.slice(2).length ? process.argv.slice(2) : [siteDir];
const rounds = Number(process.env.ROUNDS || 3);
const seconds = Number(process.env.SECONDS_MEASURED || 10);
const tick = 100; // clock ticks a second in /proc (USER_HZ)

// Processor time, in seconds, of this process's descendants (the browser and its helpers).
function childrenTime() {
    const parents = new Map();
    const times = new Map();
    for (const pid of fs.readdirSync("/proc").filter((n) => /^\d+$/.test(n))) {
        try {
            const stat = fs.readFileSync(`/proc/${pid}/stat`, "utf8");
            const f = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
            parents.set(Number(pid), Number(f[1]));
            times.set(Number(pid), (Number(f[11]) + Number(f[12])) / tick);
        } catch {
            // gone meanwhile
        }
    }
    let total = 0;
    for (const [pid, t] of times) {
        for (let p = parents.get(pid); p; p = parents.get(p))
            if (p === process.pid) {
                total += t;
                break;
            }
    }
    return total;
}

async function measure() {
    const before = childrenTime();
    await new Promise((ok) => setTimeout(ok, seconds * 1000));
    return ((childrenTime() - before) / seconds) * 100;
}

const start = '[data-name="StartCom"][data-index="1"]';

async function oneRound(site) {
    const server = await serve(site);
    const out = {};
    for (const scene of ["title", "prompt"]) {
        const browser = await launch();
        const page = await (await browser.newContext({ viewport: { width: 1024, height: 768 } })).newPage();
        await page.goto(server.url);
        await page.locator(start).waitFor({ state: "visible" });
        await page.waitForFunction(() => {
            const a = window.rumena?.music.audio;
            return a && !a.paused && a.currentTime > 0;
        });
        if (scene === "prompt") {
            await page.locator(start).click();
            // Reads on until the story waits at its cyan prompt.
            for (let i = 0; i < 200; ++i) {
                const waiting = await page.evaluate(() => {
                    const c = document.querySelector('[data-name="ClickMe"]');
                    return c && c.style.display !== "none" && c.firstElementChild?.style.background === "rgb(0, 255, 255)";
                });
                if (waiting) break;
                await page.waitForTimeout(200);
            }
        }
        await page.waitForTimeout(2000);
        out[scene] = await measure();
        await browser.close();
    }
    server.stop();
    return out;
}

const results = new Map(sites.map((s) => [s, { title: [], prompt: [] }]));
for (let r = 0; r < rounds; ++r)
    for (const site of sites) {
        const o = await oneRound(site);
        results.get(site).title.push(o.title);
        results.get(site).prompt.push(o.prompt);
    }
const median = (xs) => [...xs].sort((a, b) => a - b)[xs.length >> 1];
console.log(`load average: ${os.loadavg().map((l) => l.toFixed(2)).join(" ")}`);
for (const [site, r] of results)
    console.log(
        `${site}: title with music ${median(r.title).toFixed(1)} % of a core (goal 1 %), blinking prompt ` +
            `${median(r.prompt).toFixed(1)} % (goal 3 %); medians of ${rounds} rounds of ${seconds} s`,
    );
