#include "game/View.h"

bool ViewTracker::changed(std::size_t id) {
    ControlLook now = game_.look(id);
    std::optional<ControlLook>& was = looks_[id];
    if (was && *was == now) return false;
    was = std::move(now);
    return true;
}

ViewTracker::Changes ViewTracker::changes() {
    Changes c;
    const std::size_t count = game_.controls().size();
    if (looks_.size() != count) looks_.resize(count);
    const auto& touched = game_.touched();
    if (touched) {
        for (std::size_t id : *touched)
            if (id < count && changed(id)) c.controls.push_back(id);
    } else {
        for (std::size_t id = 0; id < count; ++id)
            if (changed(id)) c.controls.push_back(id);
    }
    const std::size_t signature = game_.stackSignature();
    if (stackSignature_ != signature) {
        stackSignature_ = signature;
        c.stacks = true;
    }
    std::vector<TimerState> timers = game_.timers();
    if (timers != timers_) {
        timers_ = std::move(timers);
        c.timers = true;
    }
    if (!touched) {
        std::pair<std::u16string, Color> window{game_.caption(), game_.background()};
        if (window_ != window) {
            window_ = std::move(window);
            c.window = true;
        }
    }
    return c;
}

void ViewTracker::forget(std::size_t id) {
    if (id < looks_.size()) looks_[id].reset();
}

void ViewTracker::reset() {
    looks_.clear();
    stackSignature_.reset();
    timers_.clear();
    window_.reset();
}
