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
// The page: its HTML, its style and its modules.
for (const f of fs.readdirSync(pageDir)) if (/\.(html|css|js)$/.test(f)) fs.copyFileSync(path.join(pageDir, f), path.join(site, f));
for (const f of ["rumena.js", "rumena.wasm"]) fs.copyFileSync(path.join(moduleDir, f), path.join(site, f));

// The game's files, less a save slot left in the folder (the player's saves live in the browser):
// the music as files of its own for the page's <audio>, everything else in two packs, listed in
// files.json with where each file lies in its pack: the first holds what the title screen needs (the
// text and the title's picture), so the title shows before the other pictures arrive.
const packs = [
    { file: "title.pack", files: [], parts: [], size: 0 },
    { file: "pictures.pack", files: [], parts: [], size: 0 },
];
const music = [];
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
            const pack = /^grf\//i.test(r) && !/^grf\/ttl\.dat$/i.test(r) ? packs[1] : packs[0];
            pack.parts.push(bytes);
            pack.files.push([r, pack.size, bytes.length]);
            pack.size += bytes.length;
        }
    }
}
collect(gameDir, "");
for (const pack of packs) fs.writeFileSync(path.join(site, "game", pack.file), Buffer.concat(pack.parts));
const name = path.basename(path.resolve(gameDir));
fs.writeFileSync(
    path.join(site, "game", "files.json"),
    JSON.stringify({ name, packs: packs.map(({ file, files }) => ({ file, files })), music }),
);
const sizes = packs.map((p) => `${p.file} ${Math.round(p.size / 1024)} KB`).join(", ");
console.log(`site: ${site} (${sizes}, ${music.length} pieces of music)`);
