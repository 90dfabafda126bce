#include "shell/TimerPlan.h"

#include <algorithm>

std::vector<TimerRun> timerPlan(const std::vector<TimerState>& timers, const TimerPace& pace, bool storyWaits,
                                bool fastForward) {
    std::vector<TimerRun> plan;
    for (const TimerState& t : timers) {
        TimerRun run{t.name, t.role, t.enabled, std::max(t.interval, pace.fastestMs), t.restarts};
        switch (t.role) {
        case TimerRole::Watchdog:
            // It hears of every change of the player at once, so it need not poll fast.
            run.periodMs = pace.watchdogPollMs;
            break;
        case TimerRole::Blink:
            if (pace.blinkMs > 0) run.periodMs = pace.blinkMs;
            break;
        case TimerRole::Story:
            // Ctrl held: the story at its fastest, whatever speed the menu chose.
            if (fastForward) run.periodMs = pace.fastestMs;
            break;
        case TimerRole::Countdown:
            break;
        }
        if (storyWaits && t.role != TimerRole::Watchdog) run.running = false;
        plan.push_back(run);
    }
    return plan;
}
