// The browser build's Shift-JIS, whose table the browser's own decoder fills, against the desktop's
// decoder (the C library's code page 932) over every one- and two-byte code and every UTF-16 unit.
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import { test } from "node:test";
import { openTitle, sharedBrowser } from "./browser.mjs";

const shared = sharedBrowser();

// Reads the dump into one line of text per code, to name the codes that differ.
function records(units) {
    const lines = [];
    let k = 0;
    for (let code = 0; code < 0x10100; ++code) {
        const n = units[k];
        const chars = [...units.subarray(k + 1, k + 1 + n)].map((u) => u.toString(16).padStart(4, "0"));
        const bytes = code < 0x100 ? code.toString(16).padStart(2, "0") : (code - 0x100).toString(16).padStart(4, "0");
        lines.push(`decode ${bytes} -> ${chars.join(" ") || "nothing"}`);
        k += 1 + n;
    }
    for (let unit = 0; unit < 0x10000; ++unit) {
        if (unit >= 0xd800 && unit <= 0xdfff) continue;
        lines.push(`encode ${unit.toString(16).padStart(4, "0")} -> ${units[k++].toString(16)}`);
    }
    assert.equal(k, units.length, "the dump is longer than its codes");
    return lines;
}

test("the browser's Shift-JIS equals the desktop's over every code", async () => {
    const tool = process.env.RUMENA_SHIFT_JIS_CODES;
    assert.ok(tool, "RUMENA_SHIFT_JIS_CODES names the desktop build's dump tool");
    const desktop = new Uint16Array(new Uint8Array(execFileSync(tool, { maxBuffer: 1 << 24 })).buffer);

    const context = await shared.browser.newContext();
    const { page } = await openTitle(context, shared.server.url);
    const base64 = await page.evaluate(() => {
        const M = window.rumena.module;
        const lengthAt = M._malloc(4);
        const at = M._rumena_shift_jis_codes(lengthAt);
        const length = M.HEAP32[lengthAt >> 2];
        M._free(lengthAt);
        const bytes = new Uint8Array(M.HEAPU8.buffer, at, length * 2);
        let s = "";
        for (let i = 0; i < bytes.length; i += 0x8000) s += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return btoa(s);
    });
    const browserUnits = new Uint16Array(new Uint8Array(Buffer.from(base64, "base64")).buffer);

    const want = records(desktop);
    const got = records(browserUnits);
    const differ = want.map((w, i) => [w, got[i]]).filter(([w, g]) => w !== g);
    assert.deepEqual(differ.slice(0, 20), [], `${differ.length} codes differ (desktop, browser)`);
    // The byte 0x80 is no character in either.
    assert.equal(got[0x80], "decode 80 -> fffd");
    await context.close();
});
