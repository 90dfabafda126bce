#pragma once
#include "shell/Player.h"

#include <QElapsedTimer>
#include <QObject>
#include <map>
#include <string>
#include <vector>

class HeldEventQueue;
class QTimer;

// The game's timers, each run by a Qt timer as the player's plan says, whose ticks go to the game
// through the held events. The loop watchdog is also woken by the player's changes of state, so its
// own poll can be slow.
class GameTimers : public QObject {
    Q_OBJECT
  public:
    GameTimers(Player& player, HeldEventQueue& events);

    // The window's pace: no timer faster than the desktop can usefully fire, and a slow watchdog poll.
    static constexpr TimerPace kPace{16, 250, 0, false};

    // Starts, restarts or stops each Qt timer as the plan says; unless running, all stop.
    void sync(bool running);
    void stopAll();
    // Runs the watchdog soon, when it runs.
    void wakeWatchdog();

  private:
    void tick(const std::string& timer);
    void runWatchdog();

    Player& player_;
    HeldEventQueue& events_;
    struct TimerLink {
        QTimer* qtimer;
        unsigned long restarts;
    };
    std::map<std::string, TimerLink> links_;
    std::string watchdog_;
    bool watchdogRuns_ = false;
    QTimer* watchdogWake_ = nullptr;
    QElapsedTimer lastWatchdog_;
};
