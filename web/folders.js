// Game folders: the built-in game from the site's packs, or a folder of the player's own, picked or
// dropped on the page, written into the module's file system.
import { folderInput, page } from "./page.js";
import { showModal } from "./modal.js";
import { t } from "./messages.js";
import { play } from "./main.js";

export function mkdirs(path) {
    let at = "";
    for (const part of path.split("/").filter(Boolean)) {
        at += `/${part}`;
        if (!page.M.FS.analyzePath(at).exists) page.M.FS.mkdir(at);
    }
}

function removeTree(path) {
    if (!page.M.FS.analyzePath(path).exists) return;
    if (page.M.FS.isDir(page.M.FS.stat(path).mode)) {
        for (const n of page.M.FS.readdir(path)) if (n !== "." && n !== "..") removeTree(`${path}/${n}`);
        page.M.FS.rmdir(path);
    } else {
        page.M.FS.unlink(path);
    }
}

// Writes files of a game into the module's file system: every file but the music, which the page
// plays from where it is (the game only needs to see that the file is there).
async function writeFiles(dir, urls, entries) {
    const folder = (path) => (dir + path).slice(0, (dir + path).lastIndexOf("/"));
    for (const f of new Set(entries.map(({ path }) => folder(path)))) mkdirs(f);
    await Promise.all(
        entries.map(async ({ path, url, bytes }) => {
            const full = dir + path;
            if (/\.mp3$/i.test(path)) {
                urls.set(full, url());
                page.M.FS.writeFile(full, new Uint8Array(0));
            } else {
                page.M.FS.writeFile(full, new Uint8Array(await bytes()));
            }
        }),
    );
}

// A file of the site, fetched with patience: while the network is away it is asked for again, more
// slowly each time, and the player is told; the game never ends on it. A file the server does not have
// is an error of the site's.
async function fetchBytes(url) {
    for (let wait = 1000; ; wait = Math.min(wait * 2, 10000)) {
        let r = null;
        try {
            r = await fetch(url);
        } catch {
            r = null;
        }
        if (r?.ok) {
            networkNotice(false);
            return r.arrayBuffer();
        }
        if (r && r.status >= 400 && r.status < 500) throw new Error(`${url}: ${r.status} ${r.statusText}`);
        networkNotice(true);
        await new Promise((ok) => setTimeout(ok, wait));
    }
}

function networkNotice(on) {
    let el = document.getElementById("network");
    if (!on) return el?.remove();
    if (el) return;
    el = document.createElement("div");
    el.id = "network";
    el.setAttribute("role", "status");
    el.textContent = t("The network cannot be reached: the game's files are asked for again...");
    document.body.append(el);
}

// The built-in game comes in two packs: what the title screen and the opening need first, the other
// pictures after the title shows. Its music is fetched by the <audio> that plays it.
const builtInList = fetchBytes("game/files.json").then((bytes) => JSON.parse(new TextDecoder().decode(bytes)));
const firstPack = builtInList.then((list) => fetchBytes(`game/${list.packs[0].file}`));

export async function builtInGame() {
    const list = await builtInList;
    const dir = "/games/built-in/";
    const urls = new Map();
    const url = (p) => "game/" + p.split("/").map(encodeURIComponent).join("/");
    const packed = (pack, files) => files.map(([path, offset, size]) => ({ path, bytes: async () => new Uint8Array(pack, offset, size) }));
    const [first, ...later] = list.packs;
    await writeFiles(dir, urls, [...packed(await firstPack, first.files), ...list.music.map((path) => ({ path, url: () => url(path) }))]);
    const g = { key: "built-in", name: list.name, title: list.title, dir, urls, rest: null };
    // The title is up: the other pictures come while the player looks at it, once.
    let fetched = null;
    g.later = () =>
        (fetched ??= (async () => {
            for (const pack of later) await writeFiles(dir, urls, packed(await fetchBytes(`game/${pack.file}`), pack.files));
        })());
    return g;
}

// A story's text saved as UTF-8 shows garbled: the player is told, as the checker tells it.
function utf8Notes(name, entries) {
    const utf8 = new TextDecoder("utf-8", { fatal: true });
    return entries.flatMap(({ path, data }) => {
        if (!/^txt\/[^/]*\.dat$/i.test(path) || !data.some((b) => b >= 0x80)) return [];
        try {
            utf8.decode(data);
        } catch {
            return [];
        }
        const line = new TextDecoder().decode(data.subarray(0, data.findIndex((b) => b >= 0x80))).split("\n").length;
        return [`${name}/${path}:${line}: saved as UTF-8; the game reads Shift-JIS, so its text shows garbled (convert it with iconv -f UTF-8 -t CP932)`];
    });
}

function gameFolderHint(name, files) {
    const inner = new Set(files.map((f) => /^([^/]+)\/txt\/com\.dat$/i.exec(f.path)?.[1]).filter(Boolean));
    const hint = inner.size ? ` It holds the game folder "${[...inner][0]}": open that one.` : "";
    return `The folder "${name}" is not a game folder: it has no txt/com.dat.\r\nA game folder holds txt (com.dat, the places, and the scenes' .dat files), grf (the pictures) and the music (.mp3 files).${hint}`;
}

export async function folderGame(name, files) {
    if (!files.some((f) => /^txt\/com\.dat$/i.test(f.path))) throw Object.assign(new Error(gameFolderHint(name, files)), { told: true });
    const key = `folder-${name}`.replace(/[^\w\-. ]/g, "_");
    const dir = `/games/${key}/`;
    // A folder opened again after an edit holds only what it holds now.
    removeTree(dir.slice(0, -1));
    const urls = new Map();
    const texts = [];
    await writeFiles(
        dir,
        urls,
        files.map(({ path, file }) => ({
            path,
            url: () => URL.createObjectURL(file),
            bytes: async () => {
                const data = new Uint8Array(await file.arrayBuffer());
                texts.push({ path, data });
                return data;
            },
        })),
    );
    return { key, name, dir, urls, rest: null, notes: utf8Notes(name, texts) };
}

// Files of a picked folder, relative to it.
function pickedFiles(fileList) {
    const files = [...fileList].filter((f) => f.webkitRelativePath.includes("/"));
    const name = files.length ? files[0].webkitRelativePath.split("/")[0] : "game";
    return { name, files: files.map((file) => ({ path: file.webkitRelativePath.slice(name.length + 1), file })) };
}

folderInput.addEventListener("change", (e) => {
    const { name, files } = pickedFiles(e.target.files);
    e.target.value = "";
    if (files.length) play(() => folderGame(name, files));
});

async function droppedFiles(entry, prefix, out) {
    if (entry.isFile) {
        out.push({ path: prefix + entry.name, file: await new Promise((ok, fail) => entry.file(ok, fail)) });
        return;
    }
    const reader = entry.createReader();
    for (;;) {
        const batch = await new Promise((ok, fail) => reader.readEntries(ok, fail));
        if (!batch.length) break;
        for (const child of batch) await droppedFiles(child, `${prefix}${entry.name}/`, out);
    }
}

const drop = document.getElementById("drop");
document.addEventListener("dragover", (e) => {
    e.preventDefault();
    drop.hidden = false;
});
document.addEventListener("dragleave", (e) => {
    if (e.target === drop) drop.hidden = true;
});
document.addEventListener("drop", async (e) => {
    e.preventDefault();
    drop.hidden = true;
    const entry = [...e.dataTransfer.items].map((i) => i.webkitGetAsEntry && i.webkitGetAsEntry()).find((x) => x?.isDirectory);
    if (!entry) {
        showModal(t("Drop a game folder (the one that holds txt and grf)."));
        return;
    }
    const files = [];
    await droppedFiles(entry, "", files);
    const name = entry.name;
    play(() => folderGame(name, files.map((f) => ({ path: f.path.slice(name.length + 1), file: f.file }))));
});
