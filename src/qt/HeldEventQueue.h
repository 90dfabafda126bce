#pragma once
#include <deque>
#include <functional>
#include <string>

// Runs the engine's events one at a time. An event that comes while a handler runs (a timer firing
// inside a nested event loop of the sound output or of a message box) waits until that handler is over,
// so the game is never re-entered. A run-time error stops the queue for good.
class HeldEventQueue {
  public:
    // afterEach runs after every event (the widgets brought in line with the model), told the timer
    // whose tick it was (empty for other events); failed is told a run-time error's text once the queue
    // has stopped.
    HeldEventQueue(std::function<void(const std::string& timer)> afterEach,
                   std::function<void(const std::string&)> failed)
        : afterEach_(std::move(afterEach)), failed_(std::move(failed)) {}

    // Runs the event now, or once the one running is over; timer names the timer whose tick it is.
    void run(const std::function<void()>& event, const std::string& timer = {});
    // Whether a handler is running now.
    bool running() const { return running_; }
    // Whether a run-time error stopped the queue.
    bool stopped() const { return stopped_; }
    // Stops the queue for good: the game has ended.
    void stop() {
        stopped_ = true;
        held_.clear();
    }

  private:
    struct Held {
        std::function<void()> event;
        std::string timer;
    };
    std::function<void(const std::string&)> afterEach_;
    std::function<void(const std::string&)> failed_;
    std::deque<Held> held_;
    bool running_ = false;
    bool stopped_ = false;
};
