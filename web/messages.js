// The messages and controls rumena adds to the page, in the player's language: Japanese where the
// browser prefers it, else English. The catalogue is the one the window's translator is made from
// (i18n/ja.po), written into the site as messages-ja.json. The game's own texts are never translated.
let catalogue = {};

export function japanese() {
    return (navigator.languages?.[0] || navigator.language || "").toLowerCase().startsWith("ja");
}

// The catalogue, where the player's language is one it has; the page's own texts follow it.
export async function loadMessages() {
    if (!japanese()) return "{}";
    try {
        const r = await fetch("messages-ja.json");
        if (r.ok) catalogue = await r.json();
    } catch {
        catalogue = {};
    }
    document.documentElement.lang = "ja";
    for (const el of document.querySelectorAll("[data-t]")) el.firstChild.textContent = t(el.dataset.t);
    for (const el of document.querySelectorAll("[data-t-title]")) el.title = t(el.dataset.tTitle);
    for (const el of document.querySelectorAll("[data-t-label]")) el.setAttribute("aria-label", t(el.dataset.tLabel));
    return JSON.stringify(catalogue);
}

// A message in the player's language; "%1", "%2" ... are the parts filled in.
export function t(english, ...parts) {
    let text = catalogue[english] || english;
    parts.forEach((part, i) => (text = text.replace(`%${i + 1}`, part)));
    return text;
}
