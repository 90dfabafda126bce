// The game's timers, as the shell's plan in each view says: one scheduler that sleeps until the next
// one is due. The watchdog sleeps until an event or the end of a piece wakes it; the prompt's blink is
// the page's own.
import { FASTEST_TIMER_MS, page } from "./page.js";
import { tick } from "./engine.js";
import { blink } from "./view.js";

const timers = new Map(); // name -> { period, restarts, watchdog, hostBlink, due }
let wake = null;

// How often a timer fires, on the page's clock (the tests run it faster); the blink keeps its pace.
function every(t) {
    if (t.watchdog || t.period <= 0) return Infinity;
    return t.hostBlink ? t.period : t.period / page.clockRate;
}

export function syncTimers(plan) {
    const now = performance.now();
    for (const t of plan) {
        const known = timers.get(t.name);
        if (!t.running || !page.running) {
            timers.delete(t.name);
        } else if (!known || known.period !== t.period || known.restarts !== t.restarts) {
            const run = { period: t.period, restarts: t.restarts, watchdog: t.watchdog, hostBlink: t.hostBlink };
            timers.set(t.name, { ...run, due: now + every(run) });
        }
    }
    schedule();
}

export function timerOn(name) {
    return timers.has(name);
}

function schedule() {
    clearTimeout(wake);
    wake = null;
    let next = Infinity;
    for (const t of timers.values()) next = Math.min(next, t.due);
    if (next < Infinity) wake = setTimeout(runDue, Math.max(0, next - performance.now()));
}

function runDue() {
    wake = null;
    const now = performance.now();
    for (const name of [...timers.keys()]) {
        const t = timers.get(name);
        // A tick may have stopped or restarted the others. (The browser may wake it a little early.)
        if (!t || t.due > now + 1 || !page.running) continue;
        const period = t.watchdog ? Infinity : every(t);
        t.due = period === Infinity ? Infinity : Math.max(t.due + period, now + period / 2);
        if (t.hostBlink) blink();
        else tick(name, t.watchdog);
    }
    schedule();
}

export function stopTimers() {
    clearTimeout(wake);
    wake = null;
    timers.clear();
}

// An event may have switched the music on or off, or a piece has ended: the watchdog looks soon.
export function wakeWatchdog() {
    const soon = performance.now() + FASTEST_TIMER_MS / page.clockRate;
    for (const t of timers.values())
        if (t.watchdog && t.due > soon) {
            t.due = soon;
            schedule();
        }
}

export function setClockRate(rate) {
    page.clockRate = rate;
    for (const t of timers.values()) t.due = Math.min(t.due, performance.now() + every(t));
    schedule();
}
