#pragma once
#include <string>

// A timer of the window. The game sets Enabled and Interval; a host fires it.
class Timer {
  public:
    explicit Timer(std::string name, int interval, bool enabled)
        : name(std::move(name)), interval_(interval), enabled_(enabled) {}

    const std::string name;
    bool enabled() const { return enabled_; }
    int interval() const { return interval_; }
    // Enabling a stopped timer, or changing its interval, starts its countdown again.
    void setEnabled(bool on) {
        if (on && !enabled_) ++restarts_;
        enabled_ = on;
    }
    void setInterval(int ms) {
        if (ms != interval_) ++restarts_;
        interval_ = ms;
    }
    // Takes the state of a copy of the game; the host restarts its own timer.
    void restore(bool on, int ms) {
        enabled_ = on;
        interval_ = ms;
        ++restarts_;
    }
    // Counts the restarts of the countdown, so a host knows when to restart its own timer.
    unsigned long restarts() const { return restarts_; }

  private:
    int interval_;
    bool enabled_;
    unsigned long restarts_ = 0;
};
