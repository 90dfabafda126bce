#include "qt/HeldEventQueue.h"

#include <exception>

void HeldEventQueue::run(const std::function<void()>& event, const std::string& timer) {
    if (stopped_) return;
    // A timer that fires again while its last tick still waits has one tick waiting, as a real timer.
    if (!timer.empty()) {
        for (const Held& h : held_)
            if (h.timer == timer) return;
    }
    held_.push_back({event, timer});
    if (running_) return;
    running_ = true;
    while (!held_.empty() && !stopped_) {
        const Held next = std::move(held_.front());
        held_.pop_front();
        try {
            next.event();
            afterEach_(next.timer);
        } catch (const std::exception& e) {
            // Stopped first: the error's message box runs an event loop of its own.
            stopped_ = true;
            held_.clear();
            failed_(e.what());
        }
    }
    held_.clear();
    running_ = false;
}
