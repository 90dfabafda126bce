#pragma once
#include "game/Readout.h"

#include <string>
#include <vector>

// How a host's own timers run the game's: the same plan for the window and the page, each with the
// pace its platform can keep.
struct TimerPace {
    // No timer runs faster than this: a faster one would only burn a core.
    int fastestMs = 16;
    // The loop watchdog's own poll; 0 when it sleeps until an event or the end of a piece wakes it.
    int watchdogPollMs = 250;
    // The prompt's blink; 0 to run it at the game's own interval (at the fastest above).
    int blinkMs = 0;
    // Whether the host swaps the blinking prompt's two forms itself, without the game.
    bool blinkInHost = false;
};

// One of the game's timers as the host is to run it now.
struct TimerRun {
    std::string name;
    TimerRole role = TimerRole::Story;
    bool running = false;
    int periodMs = 0;           // 0 when it never fires by itself (a watchdog that sleeps)
    unsigned long restarts = 0; // a new value: the countdown starts again
    bool operator==(const TimerRun&) const = default;
};

// The plan: every timer of the game, running or not and at which period. While the story waits (the
// text log or a message box over it) only the music's watchdog goes on; fast-forward runs the story's
// timer at the fastest pace.
std::vector<TimerRun> timerPlan(const std::vector<TimerState>& timers, const TimerPace& pace, bool storyWaits,
                                bool fastForward);
