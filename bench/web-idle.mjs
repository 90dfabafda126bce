#!/usr/bin/env node
// The page at rest in Debian's Chromium: the processor time of all the browser's processes (the
// browser, its renderer, GPU and audio helpers) over 10 s windows, one figure a line as bench/run
// prints them:
//   web_idle_blank_page_cpu       a blank page of the same server: what Chromium costs doing nothing
//   web_idle_music_alone_cpu      a bare page that plays the title's music through <audio>, and nothing else
//   web_idle_blink_alone_cpu      that page with one small element whose class swaps twice a second: the
//                                 floor of a blinking prompt
//   web_idle_title_cpu            the title screen with its music (goal: at most 1 % of a core)
//   web_idle_prompt_cpu           the story's blinking prompt with the music (goal: at most 3 %)
// The first three have no goal: they are the floor the page's own cost is read against. The scenes are
// measured in turn, a fresh browser each, ROUNDS times (default 3), and each figure is the median of
// its windows. Beside each, the page's own work over the window as Chromium counts it: script time,
// layouts and style recalculations. The machine's load counts: take it as it is printed.
//   [ROUNDS=3] [SCENES=blank,music,title,prompt] node bench/web-idle.mjs [SITE_DIR...]
// (default site: build/release/web/site; the title and prompt of several sites are measured
// interleaved, for a comparison; the floor on the first's server)
import fs from "node:fs";
import os from "node:os";
import { launch, serve, siteDir } from "../tests/web/browser.mjs";

const sites = process.argv.slice(2).length ? process.argv.slice(2) : [siteDir];
const rounds = Number(process.env.ROUNDS || 3);
const seconds = Number(process.env.SECONDS_MEASURED || 10);
const tick = os.constants?.CLK_TCK || 100; // clock ticks a second in /proc (USER_HZ)

// Processor time, in seconds, of the descendants of this process (the browser and its helpers), less
// the server's, by the kind of Chromium process.
function browserTime(serverPid) {
    const parents = new Map();
    const rows = [];
    for (const pid of fs.readdirSync("/proc").filter((n) => /^\d+$/.test(n))) {
        try {
            const stat = fs.readFileSync(`/proc/${pid}/stat`, "utf8");
            const f = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
            parents.set(Number(pid), Number(f[1]));
            const cmd = fs.readFileSync(`/proc/${pid}/cmdline`, "utf8");
            const type = /--type=([\w-]+)/.exec(cmd)?.[1] || "browser";
            const kind = /AudioService/.test(cmd) ? "audio" : type;
            rows.push({ pid: Number(pid), kind, t: (Number(f[11]) + Number(f[12])) / tick });
        } catch {
            // gone meanwhile
        }
    }
    const kinds = {};
    for (const { pid, kind, t } of rows) {
        for (let p = parents.get(pid); p; p = parents.get(p)) {
            if (p === serverPid || pid === serverPid) break;
            if (p === process.pid) {
                kinds[kind] = (kinds[kind] || 0) + t;
                break;
            }
        }
    }
    return kinds;
}

// The page's own work, as its renderer counts it.
async function pageWork(cdp) {
    const { metrics } = await cdp.send("Performance.getMetrics");
    const m = Object.fromEntries(metrics.map((x) => [x.name, x.value]));
    return { script: m.ScriptDuration * 1000, layouts: m.LayoutCount, styles: m.RecalcStyleCount };
}

async function measure(cdp, serverPid) {
    const before = browserTime(serverPid);
    const work = await pageWork(cdp);
    await new Promise((ok) => setTimeout(ok, seconds * 1000));
    const after = browserTime(serverPid);
    const work2 = await pageWork(cdp);
    const kinds = {};
    let total = 0;
    for (const [kind, t] of Object.entries(after)) {
        const used = ((t - (before[kind] || 0)) / seconds) * 100;
        kinds[kind] = used;
        total += used;
    }
    return {
        cpu: total,
        kinds,
        script: work2.script - work.script,
        layouts: work2.layouts - work.layouts,
        styles: work2.styles - work.styles,
    };
}

const start = '[data-name="StartCom"][data-index="1"]';
const blank = "<!doctype html><meta charset=utf-8><title>blank</title>";
let titleMusic = null; // the title's music, as the page asked for it

async function waitMusic(page, get) {
    await page.waitForFunction(`(() => { const a = ${get}; return a && !a.paused && a.currentTime > 0; })()`);
}

async function scene(site, name) {
    const server = await serve(site);
    const browser = await launch();
    const page = await (await browser.newContext({ viewport: { width: 1024, height: 768 } })).newPage();
    if ((name === "music" || name === "blink") && !titleMusic) {
        // Which piece the title plays, as the page asks for it.
        await page.goto(server.url);
        await waitMusic(page, "window.rumena?.music.audio");
        titleMusic = await page.evaluate(() => new URL(window.rumena.music.audio.src).pathname.slice(1));
    }
    if (name === "blank" || name === "music" || name === "blink") {
        // A page of the same server, made here: nothing but the document (and the music, and a shape
        // that swaps its class as the prompt blinks).
        const music = `<audio src="${titleMusic}" autoplay loop></audio>`;
        const shape =
            "<style>#s{position:absolute;left:64px;top:560px;width:49px;height:41px;background:#0ff}" +
            "#s.other{border-radius:12px}</style><div id=s></div>" +
            '<script>setInterval(()=>document.getElementById("s").classList.toggle("other"),500)</script>';
        const body = name === "blank" ? blank : blank + music + (name === "blink" ? shape : "");
        await page.route(`${server.url}idle.html`, (r) => r.fulfill({ contentType: "text/html", body }));
        await page.goto(`${server.url}idle.html`);
        if (name !== "blank") await waitMusic(page, 'document.querySelector("audio")');
    } else {
        await page.goto(server.url);
        await page.locator(start).waitFor({ state: "visible" });
        await waitMusic(page, "window.rumena?.music.audio");
        titleMusic ??= await page.evaluate(() => new URL(window.rumena.music.audio.src).pathname.slice(1));
        if (name === "prompt") {
            await page.locator(start).click();
            // Reads on until the story waits at its cyan prompt.
            for (let i = 0; i < 200; ++i) {
                const waiting = await page.evaluate(() => {
                    const c = document.querySelector('[data-name="ClickMe"]');
                    return c && c.style.display !== "none" && !window.rumena.timerOn("LblTim");
                });
                if (waiting) break;
                await page.waitForTimeout(200);
            }
        }
    }
    const cdp = await page.context().newCDPSession(page);
    await cdp.send("Performance.enable");
    await page.waitForTimeout(2000);
    const out = await measure(cdp, server.pid);
    await browser.close();
    server.stop();
    return out;
}

// The floor is measured on the first site's server; the scenes of the game on each site.
const plan = [
    ["title", sites[0], "web_idle_title_cpu", 1],
    ["blank", sites[0], "web_idle_blank_page_cpu", null],
    ["music", sites[0], "web_idle_music_alone_cpu", null],
    ["blink", sites[0], "web_idle_blink_alone_cpu", null],
    ["prompt", sites[0], "web_idle_prompt_cpu", 3],
    ...sites.slice(1).flatMap((s) => [
        ["title", s, "web_idle_title_cpu", 1],
        ["prompt", s, "web_idle_prompt_cpu", 3],
    ]),
];
// SCENES=title,prompt measures only those.
const only = process.env.SCENES?.split(",");
if (only) plan.splice(0, plan.length, ...plan.filter(([name]) => only.includes(name)));
const results = plan.map(() => []);
for (let r = 0; r < rounds; ++r)
    for (const [i, [name, site]] of plan.entries()) {
        const o = await scene(site, name);
        results[i].push(o);
        process.stderr.write(`round ${r + 1} ${name} ${site}: ${o.cpu.toFixed(2)} % ${JSON.stringify(o.kinds, (k, v) => (typeof v === "number" ? +v.toFixed(2) : v))}\n`);
    }

const median = (xs) => [...xs].sort((a, b) => a - b)[xs.length >> 1];
console.log(`# load average ${os.loadavg().map((l) => l.toFixed(2)).join(" ")}; medians of ${rounds} windows of ${seconds} s`);
let missed = 0;
for (const [i, [, site, figure, goal]] of plan.entries()) {
    const rs = results[i];
    const cpu = median(rs.map((o) => o.cpu));
    const kinds = [...new Set(rs.flatMap((o) => Object.keys(o.kinds)))]
        .map((k) => `${k} ${median(rs.map((o) => o.kinds[k] || 0)).toFixed(2)}`)
        .join(", ");
    const work =
        `script ${median(rs.map((o) => o.script)).toFixed(1)} ms, ${median(rs.map((o) => o.layouts))} layouts, ` +
        `${median(rs.map((o) => o.styles))} style recalcs in ${seconds} s`;
    const name = sites.length > 1 ? `${figure}[${site}]` : figure;
    if (goal === null) console.log(`${name}: ${cpu.toFixed(2)} % of a core`);
    else {
        console.log(`${name}: ${cpu.toFixed(2)} % of a core (goal <= ${goal} % of a core) ${cpu <= goal ? "ok" : "MISS"}`);
        if (cpu > goal) ++missed;
    }
    console.log(`#   ${kinds}; ${work}`);
}
process.exitCode = missed ? 1 : 0;
