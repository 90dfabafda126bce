// The site's service worker: after the first visit the whole site is kept in the browser, so that the
// game plays without the network, and a site that changed (another version) is taken anew. The site's
// maker writes the version and the list of files in.
const VERSION = "VERSION";
const FILES = [/* FILES */];

self.addEventListener("install", (event) => {
    event.waitUntil(
        caches
            .open(VERSION)
            .then((cache) => cache.addAll(FILES))
            .then(() => self.skipWaiting()),
    );
});

// The versions before this one go.
self.addEventListener("activate", (event) => {
    event.waitUntil(
        caches
            .keys()
            .then((keys) => Promise.all(keys.filter((k) => k !== VERSION).map((k) => caches.delete(k))))
            .then(() => self.clients.claim()),
    );
});

// What is kept is given from the keeping; anything else from the network.
self.addEventListener("fetch", (event) => {
    if (event.request.method !== "GET") return;
    event.respondWith(caches.match(event.request, { ignoreSearch: true }).then((kept) => kept || fetch(event.request)));
});
