#!/usr/bin/env node
// Serves a static folder on 127.0.0.1, as any static web server would, and prints its address.
//   node scripts/serve-site.mjs SITE_DIR [PORT]     (PORT 0 or none: any free port)
import fs from "node:fs";
import http from "node:http";
import path from "node:path";

const root = path.resolve(process.argv[2] || ".");
const port = Number(process.argv[3] || 0);
const types = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".mjs": "text/javascript; charset=utf-8",
    ".css": "text/css; charset=utf-8",
    ".json": "application/json",
    ".wasm": "application/wasm",
    ".mp3": "audio/mpeg",
    ".png": "image/png",
    ".ico": "image/x-icon",
    ".webmanifest": "application/manifest+json",
};

const server = http.createServer((req, res) => {
    let rel;
    try {
        rel = decodeURIComponent(new URL(req.url, "http://x").pathname);
    } catch {
        res.writeHead(400).end();
        return;
    }
    const file = path.join(root, path.normalize(rel));
    if (!file.startsWith(root)) {
        res.writeHead(403).end();
        return;
    }
    const target = rel.endsWith("/") ? path.join(file, "index.html") : file;
    fs.stat(target, (err, st) => {
        if (err || !st.isFile()) {
            res.writeHead(404).end("not found");
            return;
        }
        res.writeHead(200, {
            "Content-Type": types[path.extname(target).toLowerCase()] || "application/octet-stream",
            "Content-Length": st.size,
            "Cache-Control": "no-cache",
        });
        fs.createReadStream(target).pipe(res);
    });
});
server.listen(port, "127.0.0.1", () => {
    console.log(`http://127.0.0.1:${server.address().port}/`);
});
