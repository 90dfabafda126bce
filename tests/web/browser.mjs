// Serves the built site on 127.0.0.1 and opens it in Debian's Chromium, for the page's tests.
import { spawn } from "node:child_process";
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";
import { after, before } from "node:test";
import { chromium } from "playwright-core";

const here = path.dirname(fileURLToPath(import.meta.url));

export const siteDir = process.env.RUMENA_SITE || path.join(here, "..", "..", "build", "release", "web", "site");

export function chromiumPath() {
    if (process.env.CHROMIUM) return process.env.CHROMIUM;
    // Debian's /usr/bin/chromium is a shell script that sets flags; Playwright starts the browser
    // itself and gives it its own.
    for (const p of ["/usr/lib/chromium/chromium", "/usr/bin/chromium"]) if (fs.existsSync(p)) return p;
    throw new Error("Chromium is not installed (Debian's chromium package)");
}

export async function serve(dir = siteDir) {
    if (!fs.existsSync(path.join(dir, "index.html"))) throw new Error(`no site in ${dir}: build it first`);
    const server = spawn(process.execPath, [path.join(here, "..", "..", "scripts", "serve-site.mjs"), dir], {
        stdio: ["ignore", "pipe", "inherit"],
    });
    const url = await new Promise((ok, fail) => {
        server.stdout.once("data", (d) => ok(d.toString().trim()));
        server.once("exit", (code) => fail(new Error(`the server stopped (${code})`)));
    });
    return { url, pid: server.pid, stop: () => server.kill() };
}

export function launch() {
    return chromium.launch({ executablePath: chromiumPath(), args: ["--autoplay-policy=no-user-gesture-required"] });
}

// Opens the page and waits for the title screen.
export async function openTitle(context, url) {
    const page = await context.newPage();
    const errors = [];
    page.on("pageerror", (e) => errors.push(e.message));
    await page.goto(url);
    await page.locator('[data-name="StartCom"][data-index="0"]').waitFor({ state: "visible" });
    return { page, errors };
}

// Clicks the middle of an element with the mouse, as a player does.
export async function mouseClick(page, locator) {
    const box = await locator.boundingBox();
    if (!box) throw new Error("the element is not on the page");
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

// One server and one browser for the tests of a file: started before them, stopped after them.
export function sharedBrowser() {
    const shared = {};
    before(async () => {
        shared.server = await serve();
        shared.browser = await launch();
    });
    after(async () => {
        await shared.browser?.close();
        shared.server?.stop();
    });
    return shared;
}
