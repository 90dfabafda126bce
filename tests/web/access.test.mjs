// Players who play without a mouse, on a phone, with a screen reader or listening: keys alone from the
// title through a question to the second day; the reading view on a phone, played by taps; what the
// accessibility tree names; and reading aloud.
import assert from "node:assert/strict";
import { test } from "node:test";
import { openTitle, sharedBrowser } from "./browser.mjs";

const shared = sharedBrowser();
const FAST = 20;

const state = (page) =>
    page.evaluate(() => ({
        reading: window.rumena.timerOn("LblTim"),
        waiting: document.querySelector("#go-on").hidden ? null : "click",
        asking: window.rumena.timerOn("QstTim"),
        title: !!document.querySelector('[data-name="StartCom"]')?.offsetParent,
        day: document.querySelector('[data-name="DayDate"]')?.textContent,
        focused: document.querySelector("#stage .focused")?.textContent ?? null,
        places: [...document.querySelectorAll('[data-name="com"]')].some((e) => e.offsetParent && getComputedStyle(e).color !== "rgb(160, 160, 160)"),
    }));

// Reads on with Enter until the story waits for a choice. A key given at the title is taken with the
// page's next task: until the title goes, the story has not begun.
async function readOn(page) {
    for (let i = 0; i < 2000; ++i) {
        const s = await state(page);
        if (!s.title && (s.asking || (!s.reading && s.waiting !== "click" && s.places))) return s;
        if (s.waiting === "click") await page.keyboard.press("Enter");
        else await page.waitForTimeout(10);
    }
    throw new Error("the story never waited for a choice");
}

// Tab until the focus rests on the control with this caption.
async function tabTo(page, caption) {
    for (let i = 0; i < 24; ++i) {
        const s = await state(page);
        if (s.focused === caption) return;
        // A busy machine can still be drawing the end of the scene: the choices come once it waits.
        if (s.reading || s.waiting === "click") {
            await readOn(page);
            continue;
        }
        await page.keyboard.press("Tab");
        // The focus is drawn with the page's next frame.
        await page
            .waitForFunction((was) => (document.querySelector("#stage .focused")?.textContent ?? null) !== was, s.focused, { timeout: 1000 })
            .catch(() => {});
    }
    throw new Error(`the keys never reached ${caption}: ${JSON.stringify(await state(page))}`);
}

test("keys alone play from the title to a place on the second day and through a timed question", async () => {
    const context = await shared.browser.newContext({ viewport: { width: 1024, height: 768 } });
    const { page, errors } = await openTitle(context, shared.server.url);
    await page.keyboard.press("Enter"); // NORMAL, focused on the title
    await page.evaluate((rate) => window.rumena.setClockRate(rate), FAST);
    let s = await readOn(page);
    assert.equal(s.focused, null, "no place is chosen for the player");
    await page.evaluate(() => window.rumena.queueRandom(0.99));
    await tabTo(page, "丘の公園");
    await page.keyboard.press("Enter");
    s = await readOn(page);
    assert.equal(s.day, "1");
    await page.keyboard.press("ArrowDown");
    await tabTo(page, "港の桟橋");
    await page.evaluate(() => window.rumena.queueRandom(0.99));
    await page.keyboard.press("Space");
    s = await readOn(page);
    assert.equal(s.day, "2");
    assert.ok(s.asking, "her question on the second day");
    await page.keyboard.press("Tab");
    assert.notEqual((await state(page)).focused, null, "an answer has the focus");
    await page.keyboard.press("Enter");
    assert.ok(!(await state(page)).asking, "the answer was taken");
    assert.deepEqual(errors, []);
    await context.close();
});

test("on a phone the reading view shows the story at a reading size, and taps on it play to the second day", async () => {
    const context = await shared.browser.newContext({ viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true });
    const { page, errors } = await openTitle(context, shared.server.url);
    const tapOn = async (locator) => {
        await locator.scrollIntoViewIfNeeded();
        const b = await locator.boundingBox();
        assert.ok(b.height >= 44, `a choice ${b.height} px tall`);
        await page.touchscreen.tap(b.x + b.width / 2, b.y + b.height / 2);
    };
    await tapOn(page.locator("#choices button", { hasText: "NORMAL" }));
    await page.evaluate((rate) => window.rumena.setClockRate(rate), FAST);
    for (let day = 1; day <= 2; ++day) {
        for (let i = 0; i < 400 && !(await page.locator("#choices button", { hasText: "港の桟橋" }).count()); ++i) {
            if (await page.locator("#go-on").isVisible()) await tapOn(page.locator("#go-on"));
            else await page.waitForTimeout(20);
        }
        const sizes = await page.evaluate(() => ({
            font: parseFloat(getComputedStyle(document.querySelector("#story p")).fontSize),
            choices: [...document.querySelectorAll("#choices button")].map((b) => b.getBoundingClientRect().height),
        }));
        assert.ok(sizes.font >= 16, `the story at ${sizes.font} px`);
        for (const h of sizes.choices) assert.ok(h >= 44, `a choice ${h} px tall`);
        await page.evaluate(() => window.rumena.queueRandom(0.99));
        await tapOn(page.locator("#choices button", { hasText: day === 1 ? "丘の公園" : "港の桟橋" }));
        await page.waitForFunction((d) => document.querySelector('[data-name="DayDate"]').textContent === String(d), day);
    }
    assert.deepEqual(errors, []);
    await context.close();
});

test("a screen reader hears each new line once, finds the places and answers as buttons, and nothing the title covers", async () => {
    const context = await shared.browser.newContext({ viewport: { width: 1024, height: 768 } });
    const { page, errors } = await openTitle(context, shared.server.url);
    let tree = await page.locator("body").ariaSnapshot();
    assert.match(tree, /button "NORMAL"/);
    assert.doesNotMatch(tree, /MENU CLICKME|港の桟橋/, "the game screen under the title is hidden");
    await page.keyboard.press("Enter");
    await page.evaluate((rate) => window.rumena.setClockRate(rate), FAST);
    await readOn(page);
    tree = await page.locator("body").ariaSnapshot();
    const once = (text) => tree.split(text).length - 1;
    assert.equal(once("汽笛がひとつ、長く鳴った。"), 1, tree);
    assert.equal(once("小さな連絡船が、夕方の港に着く。"), 1, "a line is named once, not by its shadow too");
    assert.match(tree, /button "港の桟橋"/);
    assert.match(tree, /button "MENU CLICKME"/);
    assert.doesNotMatch(tree, /button "NORMAL"/, "the title's buttons went with it");
    assert.equal(await page.locator("#story").getAttribute("aria-live"), "polite");
    // A question's answers are buttons too.
    await page.evaluate(() => window.rumena.queueRandom(0.99));
    await tabTo(page, "丘の公園");
    await page.keyboard.press("Enter");
    await readOn(page);
    await tabTo(page, "港の桟橋");
    await page.evaluate(() => window.rumena.queueRandom(0.99));
    await page.keyboard.press("Enter");
    await readOn(page);
    const answers = await page.evaluate(() => [...document.querySelectorAll('[data-name="QstLBl"]')].filter((e) => e.offsetParent).map((e) => e.textContent));
    tree = await page.locator("body").ariaSnapshot();
    for (const a of answers) assert.match(tree, new RegExp(`button "${a}"`));
    assert.deepEqual(errors, []);
    await context.close();
});

test("V reads each new line aloud once, and the choice the focus comes to; without a voice a notice says so", async () => {
    const context = await shared.browser.newContext({ viewport: { width: 1024, height: 768 } });
    // The browser's speech, recorded: what would be spoken, and a voice to speak it with.
    await context.addInitScript(() => {
        window.said = [];
        speechSynthesis.getVoices = () => (window.noVoice ? [] : [{ name: "test", lang: "ja-JP" }]);
        speechSynthesis.speak = (u) => window.said.push(u.text);
    });
    const { page, errors } = await openTitle(context, shared.server.url);
    await page.keyboard.press("v");
    assert.equal(await page.locator("#voice").getAttribute("aria-pressed"), "true");
    await page.keyboard.press("Enter");
    await page.evaluate((rate) => window.rumena.setClockRate(rate), FAST);
    await readOn(page);
    await tabTo(page, "港の桟橋");
    const said = await page.evaluate(() => window.said);
    assert.equal(said[0], "NORMAL", "what the focus rested on");
    assert.equal(said.filter((t) => t === "汽笛がひとつ、長く鳴った。").length, 1);
    assert.equal(said.at(-1), "港の桟橋");
    assert.ok(!said.includes(""), "blank lines are not read");
    await page.keyboard.press("v");
    await page.keyboard.press("Tab");
    assert.equal((await page.evaluate(() => window.said)).length, said.length, "nothing more once it is off");

    await page.evaluate(() => (window.noVoice = true));
    await page.keyboard.press("v");
    await page.locator("#notice").waitFor();
    assert.match(await page.locator("#notice").textContent(), /voice/);
    assert.equal(await page.locator("#voice").getAttribute("aria-pressed"), "false");
    assert.deepEqual(errors, []);
    await context.close();
});
