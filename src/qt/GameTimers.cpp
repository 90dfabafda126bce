#include "qt/GameTimers.h"

#include "qt/HeldEventQueue.h"

#include <QTimer>
#include <algorithm>

GameTimers::GameTimers(Player& player, HeldEventQueue& events) : player_(player), events_(events) {
    watchdogWake_ = new QTimer(this);
    watchdogWake_->setSingleShot(true);
    connect(watchdogWake_, &QTimer::timeout, this, [this] { runWatchdog(); });
}

void GameTimers::tick(const std::string& timer) {
    if (timer == watchdog_)
        runWatchdog();
    else
        events_.run([this, timer] { player_.game().tick(timer); }, timer);
}

void GameTimers::wakeWatchdog() {
    if (!watchdogRuns_ || watchdogWake_->isActive()) return;
    // A piece that keeps failing at once is not restarted faster than the desktop's timers tick.
    const int fastest = player_.pace().fastestMs;
    const qint64 since = lastWatchdog_.isValid() ? lastWatchdog_.elapsed() : fastest;
    watchdogWake_->start(static_cast<int>(std::max<qint64>(0, fastest - since)));
}

void GameTimers::runWatchdog() {
    lastWatchdog_.restart();
    watchdogWake_->stop();
    const std::string name = watchdog_;
    events_.run([this, name] { player_.game().tick(name); }, name);
}

void GameTimers::stopAll() {
    for (auto& [name, link] : links_) link.qtimer->stop();
    watchdogWake_->stop();
    watchdogRuns_ = false;
}

void GameTimers::sync(bool running) {
    for (const TimerRun& t : player_.timers()) {
        auto at = links_.find(t.name);
        if (at == links_.end()) {
            auto* q = new QTimer(this);
            const std::string name = t.name;
            connect(q, &QTimer::timeout, this, [this, name] { tick(name); });
            at = links_.emplace(t.name, TimerLink{q, t.restarts + 1}).first;
        }
        if (t.role == TimerRole::Watchdog) {
            watchdog_ = t.name;
            watchdogRuns_ = running && t.running;
        }
        TimerLink& link = at->second;
        if (!running || !t.running || t.periodMs <= 0) {
            link.qtimer->stop();
            continue;
        }
        if (link.qtimer->isActive() && link.qtimer->interval() != t.periodMs) link.restarts = ~0ul;
        if (!link.qtimer->isActive() || link.restarts != t.restarts) {
            link.qtimer->start(t.periodMs);
            link.restarts = t.restarts;
        }
    }
}
