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

// The game's files, less a save slot left in the folder: the player's saves live in the browser.
const files = [];
function copy(from, rel) {
    for (const entry of fs.readdirSync(from, { withFileTypes: true })) {
        const r = rel ? `${rel}/${entry.name}` : entry.name;
        if (entry.isDirectory()) {
            fs.mkdirSync(path.join(site, "game", r), { recursive: true });
            copy(path.join(from, entry.name), r);
        } else if (entry.isFile() && !/^txt\/save\.dat(\.tmp)?$/i.test(r)) {
            fs.copyFileSync(path.join(from, entry.name), path.join(site, "game", r));
            files.push(r);
        }
    }
}
copy(gameDir, "");
files.sort();
fs.writeFileSync(path.join(site, "game", "files.json"), JSON.stringify(files));
console.log(`site: ${site} (${files.length} game files)`);
