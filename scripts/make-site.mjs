#!/usr/bin/env node
// Assembles the browser site in one static folder: the page, the module and a game folder.
//   node scripts/make-site.mjs SITE_DIR MODULE_DIR GAME_DIR
import fs from "node:fs";
import path from "node:path";
import { fileURLToPath } from "node:url";

const [site, moduleDir, gameDir] = process.argv.slice(2);
if (!site || !moduleDir || !gameDir) {
    console.error("usage: make-site.mjs SITE_DIR MODULE_DIR GAME_DIR");
    process.exit(2);
}
const pageDir = path.join(path.dirname(fileURLToPath(import.meta.url)), "..", "web");
if (!fs.existsSync(path.join(gameDir, "txt")) && !fs.readdirSync(gameDir).some((n) => n.toLowerCase() === "txt")) {
    console.error(`make-site: ${gameDir} is not a game folder (it has no txt folder)`);
    process.exit(2);
}

fs.rmSync(site, { recursive: true, force: true });
fs.mkdirSync(path.join(site, "game"), { recursive: true });
for (const f of ["index.html", "rumena.css", "main.js"]) fs.copyFileSync(path.join(pageDir, f), path.join(site, f));
for (const f of ["rumena.js", "rumena.wasm"]) fs.copyFileSync(path.join(moduleDir, f), path.join(site, f));

// The game's files, less a save slot left in the folder (the player's saves live in the browser):
// the music as files of its own for the page's <audio>, everything else packed into one file that the
// page fetches at once, listed in files.json with where each file lies in the pack.
const packed = [];
const music = [];
const parts = [];
let offset = 0;
function collect(from, rel) {
    for (const entry of fs.readdirSync(from, { withFileTypes: true }).sort((a, b) => (a.name < b.name ? -1 : 1))) {
        const r = rel ? `${rel}/${entry.name}` : entry.name;
        const full = path.join(from, entry.name);
        if (entry.isDirectory()) {
            collect(full, r);
        } else if (!entry.isFile() || /^txt\/save\.dat(\.tmp)?$/i.test(r)) {
            continue;
        } else if (/\.mp3$/i.test(r)) {
            fs.mkdirSync(path.dirname(path.join(site, "game", r)), { recursive: true });
            fs.copyFileSync(full, path.join(site, "game", r));
            music.push(r);
        } else {
            const bytes = fs.readFileSync(full);
            parts.push(bytes);
            packed.push([r, offset, bytes.length]);
            offset += bytes.length;
        }
    }
}
collect(gameDir, "");
fs.writeFileSync(path.join(site, "game", "files.pack"), Buffer.concat(parts));
fs.writeFileSync(path.join(site, "game", "files.json"), JSON.stringify({ packed, music }));
console.log(`site: ${site} (${packed.length} files packed, ${music.length} pieces of music)`);
