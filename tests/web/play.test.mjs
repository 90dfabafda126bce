// The demo in Chromium as a player plays it: keys and clicks from the title to Iori's ending and back,
// with the draws of the random generator queued and the page's clock run fast; every key of the
// window's table; and a phone held upright and sideways, played with taps.
import assert from "node:assert/strict";
import path from "node:path";
import os from "node:os";
import { test } from "node:test";
import { mouseClick, openTitle, sharedBrowser } from "./browser.mjs";

const shots = process.env.RUMENA_SHOTS || path.join(os.tmpdir(), "rumena-web-shots");
const FAST = 20; // the page's clock, this many times faster
const shared = sharedBrowser();

const control = (page, name, index) =>
    page.locator(index === undefined ? `[data-name="${name}"]` : `[data-name="${name}"][data-index="${index}"]`).first();

// What the story waits for, as the page shows it.
const state = (page) =>
    page.evaluate(() => {
        const shown = (el) => el && el.style.display !== "none" && el.offsetParent !== null;
        const prompt = document.querySelector('[data-name="ClickMe"]');
        return {
            reading: window.rumena.timerOn("LblTim"),
            prompt: shown(prompt) && prompt.firstElementChild?.style.background === "rgb(0, 255, 255)",
            asking:
                [...document.querySelectorAll('[data-name="QstLBl"]')].some(shown) || window.rumena.timerOn("QstTim"),
            title: shown(document.querySelector('[data-name="StartCom"]')),
            day: document.querySelector('[data-name="DayDate"]')?.textContent,
            modal: !!document.querySelector(".modal"),
        };
    });

// Reads on, pressing Enter (or tapping the story) at every cyan prompt, until the story waits for
// something else.
async function read(page, resume = () => page.keyboard.press("Enter")) {
    for (let i = 0; i < 4000; ++i) {
        const s = await state(page);
        assert.ok(!s.modal, "a message box came up");
        if (s.reading) await page.waitForTimeout(5);
        else if (s.prompt) await resume();
        else return s;
    }
    throw new Error("the story never stopped");
}

async function tap(page, locator) {
    const box = await locator.boundingBox();
    await page.touchscreen.tap(box.x + box.width / 2, box.y + box.height / 2);
}

function inside(box, viewport) {
    return box.x >= -0.5 && box.y >= -0.5 && box.x + box.width <= viewport.width + 0.5 && box.y + box.height <= viewport.height + 0.5;
}

// Opens the menu with the right button, points at a submenu and clicks one of its items.
async function chooseFromMenu(page, submenu, item, index) {
    const stage = await page.locator("#stage").boundingBox();
    await page.mouse.click(stage.x + stage.width / 3, stage.y + stage.height / 3, { button: "right" });
    await page.locator(`.menu [data-menu="${submenu}"]`).hover();
    const row = page.locator(`.menu [data-menu="${item}"][data-index="${index}"]`);
    assert.ok(inside(await row.boundingBox(), page.viewportSize()), `${item} ${index} lies off the page`);
    await row.click();
}

test("a player plays the demo from the title to Iori's ending and back to the title", async () => {
    const context = await shared.browser.newContext({ viewport: { width: 1024, height: 768 } });
    const { page, errors } = await openTitle(context, shared.server.url);
    // NORMAL is focused; Shift+Tab moves to EASY, which Enter presses.
    await page.keyboard.press("Shift+Tab");
    await page.keyboard.press("Enter");
    await page.waitForFunction(() => document.querySelector('[data-name="DayDate"]')?.offsetParent);
    // The fastest reading speed, chosen from the menu; the page's clock runs fast.
    await chooseFromMenu(page, "m_Timer", "m_tim", 0);
    await page.evaluate((rate) => window.rumena.setClockRate(rate), FAST);

    const iori = [5, 0, 2, 3, 5, 5, 5, 4, 2];
    const answer = async () => {
        // The question's countdown runs at the page's own pace while the player picks an answer.
        await page.evaluate(() => window.rumena.setClockRate(1));
        await mouseClick(page, control(page, "QstLBl", 0));
        await page.evaluate((rate) => window.rumena.setClockRate(rate), FAST);
        return read(page);
    };
    let s = await read(page);
    for (let day = 1; day <= 9; ++day) {
        assert.ok(!s.asking && !s.title, `day ${day}: the places are not open`);
        await page.evaluate(() => window.rumena.queueRandom(0.99));
        await mouseClick(page, control(page, "com", iori[day - 1]));
        s = await read(page);
        assert.equal(s.day, String(day));
        if (s.asking && day < 9) s = await answer();
    }
    assert.ok(s.asking, "her last question did not come");
    s = await answer();
    assert.ok(s.title, "the ending did not go back to the title");

    await page.screenshot({ path: path.join(shots, "ending-title.png") });

    // The notice of the bonus page she left lies under the title card, as in the window; the next game
    // shows it whole.
    const notice = control(page, "HtmlToolLbl");
    const onTop = await notice.evaluate((e) => {
        const r = e.getBoundingClientRect();
        return document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2) === e;
    });
    assert.ok(!onTop, "the notice shows through the title card");
    await mouseClick(page, control(page, "StartCom", 1));
    await notice.waitFor({ state: "visible" });
    assert.ok(await notice.evaluate((e) => e.scrollHeight <= e.clientHeight + 1), "the bonus notice is clipped");
    assert.ok(inside(await notice.boundingBox(), page.viewportSize()));
    assert.deepEqual(errors, []);
    await context.close();
});

test("the window's keys and mouse act in the page", async () => {
    const context = await shared.browser.newContext({ viewport: { width: 1024, height: 768 } });
    const { page, errors } = await openTitle(context, shared.server.url);
    const focused = () => page.evaluate(() => document.activeElement.dataset.index);
    assert.equal(await focused(), "1");
    await page.keyboard.press("Tab");
    await page.keyboard.press("Tab");
    assert.equal(await focused(), "0", "Tab goes round the three difficulties");
    // Alt+Enter is full screen, not the story's Enter.
    await page.keyboard.press("Alt+Enter");
    await page.waitForFunction(() => document.fullscreenElement);
    assert.ok((await state(page)).title);
    await page.keyboard.press("F11");
    await page.waitForFunction(() => !document.fullscreenElement);
    await page.keyboard.press("Space");
    await page.waitForFunction(() => document.querySelector('[data-name="DayDate"]')?.offsetParent);
    await page.waitForFunction(() => [...document.querySelectorAll('[data-name="Lbl"]')].some((e) => e.textContent));

    // Page Up and the wheel open the text log; Esc and the wheel past its end close it.
    await page.keyboard.press("PageUp");
    await page.locator("#log").waitFor();
    assert.match(await page.locator("#log").textContent(), /汽笛がひとつ/);
    await page.keyboard.press("Escape");
    assert.equal(await page.locator("#log").count(), 0);
    const text = await control(page, "Pic").boundingBox();
    await page.mouse.move(text.x + text.width / 2, text.y + text.height / 2);
    await page.mouse.wheel(0, -100);
    await page.locator("#log").waitFor();
    await page.mouse.wheel(0, 100);
    await page.waitForFunction(() => !document.querySelector("#log"));

    // A menu item whose message box is closed with Enter, then the menu again from Esc: it takes clicks.
    for (let i = 0; i < 2; ++i) {
        await page.keyboard.press("Escape");
        await page.locator('.menu [data-menu="m_menu_menu"]').hover();
        await page.locator('.menu [data-menu="m_menu"]', { hasText: "Load" }).click();
        await page.locator(".modal").waitFor();
        await page.keyboard.press("Enter");
    }
    await page.keyboard.press("Escape");
    await page.locator('.menu [data-menu="m_Timer"]').hover();
    // Down the Timer submenu, its last item lies inside the page and is checked once clicked.
    const last = page.locator('.menu [data-menu="m_tim"][data-index="10"]');
    assert.ok(inside(await last.boundingBox(), page.viewportSize()), "Tim_2000 lies off the page");
    await last.click();
    assert.equal(await page.locator(".menu").count(), 0);
    await chooseFromMenu(page, "m_Timer", "m_tim", 0);
    // Opened near the bottom left corner, the menu is moved up into the page.
    await page.mouse.click(20, 760, { button: "right" });
    await page.locator('.menu [data-menu="m_Timer"]').hover();
    // From the Timer row diagonally down across the rows below it, the submenu stays open.
    const from = await page.locator('.menu [data-menu="m_Timer"]').boundingBox();
    const to = await page.locator('.menu [data-menu="m_tim"][data-index="5"]').boundingBox();
    await page.mouse.move(from.x + from.width - 4, from.y + from.height / 2);
    await page.mouse.move(to.x + 10, to.y + to.height / 2, { steps: 8 });
    await page.locator('.menu [data-menu="m_tim"][data-index="5"]').click();
    assert.equal(await page.locator(".menu").count(), 0);

    // The menus by keys alone: down to a row, into its submenu and out, Enter chooses, Esc closes one
    // menu at a time.
    const active = () => page.evaluate(() => [...document.querySelectorAll(".menu .item.active")].map((r) => r.dataset.key));
    const downTo = async (key) => {
        await page.keyboard.press("Escape");
        for (let i = 0; i < 12 && (await active()).at(-1) !== key; ++i) await page.keyboard.press("ArrowDown");
    };
    await downTo("m_Timer/-1");
    await page.keyboard.press("ArrowRight");
    assert.deepEqual(await active(), ["m_Timer/-1", "m_tim/0"]);
    await page.keyboard.press("ArrowLeft");
    assert.equal(await page.locator(".menu").count(), 1, "Left closes the submenu only");
    await page.keyboard.press("ArrowRight");
    await page.keyboard.press("ArrowDown");
    await page.keyboard.press("ArrowDown");
    assert.deepEqual(await active(), ["m_Timer/-1", "m_tim/2"]);
    await page.keyboard.press("Escape");
    assert.equal(await page.locator(".menu").count(), 1, "Esc closes the submenu only");
    await page.keyboard.press("Escape");
    assert.equal(await page.locator(".menu").count(), 0);
    await downTo("m_ver/-1");
    assert.deepEqual(await active(), ["m_ver/-1"]);
    await page.keyboard.press("Enter");
    await page.locator(".modal").waitFor();
    assert.equal(await page.locator(".menu").count(), 0);
    await page.keyboard.press("Enter");
    assert.deepEqual(errors, []);
    await context.close();
});

for (const [width, height] of [
    [390, 844],
    [844, 390],
]) {
    test(`a phone ${width} x ${height} plays with taps, every control inside the screen`, async () => {
        const viewport = { width, height };
        const context = await shared.browser.newContext({ viewport, hasTouch: true, isMobile: true });
        const { page, errors } = await openTitle(context, shared.server.url);
        const allInside = async () => {
            // What the stage shows of each control (it clips them), and the menus (they scroll).
            const boxes = await page.evaluate(() => {
                const s = document.getElementById("stage").getBoundingClientRect();
                const shown = [...document.querySelectorAll("#stage [data-name]")]
                    .filter((e) => e.offsetParent !== null)
                    .map((e) => {
                        const r = e.getBoundingClientRect();
                        const x = Math.max(r.left, s.left), y = Math.max(r.top, s.top);
                        return { what: e.dataset.name, x, y, width: Math.min(r.right, s.right) - x, height: Math.min(r.bottom, s.bottom) - y };
                    })
                    .filter((b) => b.width > 0 && b.height > 0);
                const menus = [...document.querySelectorAll(".menu")].map((e) => {
                    const r = e.getBoundingClientRect();
                    return { what: "a menu", x: r.x, y: r.y, width: r.width, height: r.height };
                });
                return [{ what: "the stage", x: s.x, y: s.y, width: s.width, height: s.height }, ...shown, ...menus];
            });
            for (const b of boxes) assert.ok(inside(b, viewport), `${b.what} lies off the screen`);
        };
        await allInside();
        assert.equal(await page.locator("#stage").evaluate((e) => getComputedStyle(e).touchAction), "none");
        await tap(page, control(page, "StartCom", 1));
        await page.waitForFunction(() => window.rumena.timerOn("LblTim"));
        await read(page, () => tap(page, control(page, "Pic")));
        const place = control(page, "com", 0);
        assert.notEqual(await place.evaluate((e) => getComputedStyle(e).color), "rgb(160, 160, 160)");
        await allInside();
        await page.screenshot({ path: path.join(shots, `phone-${width}x${height}.png`) });
        // A swipe down over the story opens the text log.
        const text = await control(page, "Pic").boundingBox();
        const x = text.x + text.width / 2;
        await page.evaluate(
            ([x, y]) => {
                const fire = (type, dy) =>
                    document.elementFromPoint(x, y).dispatchEvent(
                        new PointerEvent(type, { bubbles: true, pointerType: "touch", isPrimary: true, clientX: x, clientY: y + dy, button: 0 }),
                    );
                fire("pointerdown", 0);
                fire("pointerup", 80);
            },
            [x, text.y + 10],
        );
        await page.locator("#log").waitFor();
        await tap(page, page.locator("#log .close"));
        // A long press opens the menu, inside the screen, submenu and all.
        const hold = await control(page, "Pic").boundingBox();
        await page.evaluate(
            ([x, y]) =>
                document.elementFromPoint(x, y).dispatchEvent(
                    new PointerEvent("pointerdown", { bubbles: true, pointerType: "touch", isPrimary: true, clientX: x, clientY: y, button: 0 }),
                ),
            [hold.x + hold.width - 5, hold.y + hold.height - 5],
        );
        await page.locator(".menu").waitFor();
        await page.evaluate(() => document.dispatchEvent(new PointerEvent("pointerup", { pointerType: "touch", button: 0 })));
        await tap(page, page.locator('.menu [data-menu="m_menu_menu"]'));
        await allInside();
        await tap(page, page.locator('.menu [data-menu="m_Timer"]'));
        await allInside();
        await page.touchscreen.tap(width - 3, 12);
        assert.equal(await page.locator(".menu").count(), 0);
        // A place, tapped: the first day.
        await tap(page, place);
        await page.waitForFunction(() => document.querySelector('[data-name="DayDate"]')?.textContent === "1");
        assert.deepEqual(errors, []);
        await context.close();
    });
}
