// What the player sees while the game's files are still coming: from the first paint until the title,
// and after a tap until what it needs has come, so that a slow network never looks like a dead page.
const loading = document.getElementById("loading");
let waiting = 0;

export function showLoading() {
    ++waiting;
    loading.hidden = false;
}

export function hideLoading() {
    waiting = Math.max(0, waiting - 1);
    if (!waiting) loading.hidden = true;
}

// Holds an action until the promise is kept, with the loading shown meanwhile.
export function afterLoading(promise, action) {
    showLoading();
    promise.then(
        () => {
            hideLoading();
            action();
        },
        () => hideLoading(),
    );
}
