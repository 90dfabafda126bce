#include "qt/GameTimers.h"

#include "app/EventRouter.h"
#include "app/Fom.h"
#include "qt/HeldEventQueue.h"

#include <QTimer>
#include <algorithm>

GameTimers::GameTimers(Fom& fom, EventRouter& router, HeldEventQueue& events)
    : fom_(fom), router_(router), events_(events) {
    watchdogWake_ = new QTimer(this);
    watchdogWake_->setSingleShot(true);
    connect(watchdogWake_, &QTimer::timeout, this, [this] { runWatchdog(); });
}

void GameTimers::create() {
    for (Timer* t : fom_.model.timers()) {
        auto* q = new QTimer(this);
        const std::string name = t->name;
        connect(q, &QTimer::timeout, this, [this, name] { tick(name); });
        links_.push_back({t, q, t->restarts() + 1});
    }
}

void GameTimers::tick(const std::string& timer) {
    if (timer == fom_.BgmTim.name)
        runWatchdog();
    else
        events_.run([this, timer] { router_.tick(timer); }, timer);
}

void GameTimers::wakeWatchdog() {
    if (!fom_.BgmTim.enabled() || watchdogWake_->isActive()) return;
    // A piece that keeps failing at once is not restarted faster than the desktop's timers tick.
    const qint64 since = lastWatchdog_.isValid() ? lastWatchdog_.elapsed() : kFastestTimerMs;
    watchdogWake_->start(static_cast<int>(std::max<qint64>(0, kFastestTimerMs - since)));
}

void GameTimers::runWatchdog() {
    lastWatchdog_.restart();
    watchdogWake_->stop();
    events_.run([this] { router_.tick(fom_.BgmTim.name); }, fom_.BgmTim.name);
}

void GameTimers::stopAll() {
    for (auto& link : links_) link.qtimer->stop();
    watchdogWake_->stop();
}

void GameTimers::sync(bool running, bool storyPaused, bool fast) {
    for (auto& link : links_) {
        // While the player reads the log, the story waits; the music goes on.
        const bool paused = storyPaused && link.timer != &fom_.BgmTim;
        if (!link.timer->enabled() || !running || paused) {
            link.qtimer->stop();
            continue;
        }
        int interval = std::max(link.timer->interval(), kFastestTimerMs);
        // The watchdog is woken by the player and by the player's own choices; the poll only backs
        // that up, so it need not keep the processor awake.
        if (link.timer == &fom_.BgmTim) interval = kWatchdogIntervalMs;
        // Ctrl held: the story at its fastest, whatever speed the menu chose.
        if (link.timer == &fom_.LblTim && fast) interval = kFastestTimerMs;
        if (link.qtimer->isActive() && link.qtimer->interval() != interval) link.restarts = ~0ul;
        if (!link.qtimer->isActive() || link.restarts != link.timer->restarts()) {
            link.qtimer->start(interval);
            link.restarts = link.timer->restarts();
        }
    }
}
