#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <string>
#include <vector>

class EventRouter;
class Fom;
class HeldEventQueue;
class QTimer;
class Timer;

// The model's timers, each run by a Qt timer whose ticks go to the game through the held events. The
// loop watchdog is also woken by the player's changes of state, so its own poll can be slow.
class GameTimers : public QObject {
    Q_OBJECT
  public:
    GameTimers(Fom& fom, EventRouter& router, HeldEventQueue& events);

    // The loop watchdog's polling interval while nothing wakes it.
    static constexpr int kWatchdogIntervalMs = 250;
    // Timers faster than the desktop can usefully fire are run at this pace.
    static constexpr int kFastestTimerMs = 16;

    // One Qt timer for each timer of the model (once its controls exist).
    void create();
    // Starts, restarts or stops each to match the model. Unless running, all stop; storyPaused holds
    // all but the watchdog (the player reads the log); fast runs the story at its fastest.
    void sync(bool running, bool storyPaused, bool fast);
    void stopAll();
    // Runs the watchdog soon, when it is enabled.
    void wakeWatchdog();

  private:
    void tick(const std::string& timer);
    void runWatchdog();

    Fom& fom_;
    EventRouter& router_;
    HeldEventQueue& events_;
    struct TimerLink {
        Timer* timer;
        QTimer* qtimer;
        unsigned long restarts;
    };
    std::vector<TimerLink> links_;
    QTimer* watchdogWake_ = nullptr;
    QElapsedTimer lastWatchdog_;
};
