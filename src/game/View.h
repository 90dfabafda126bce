#pragma once
#include "game/Game.h"

#include <optional>
#include <vector>

// The difference between what a host last drew of the game and what the game shows now: each host keeps
// one and, after every input, draws only what it reports.
class ViewTracker {
  public:
    explicit ViewTracker(const Game& game) : game_(game) {}

    struct Changes {
        std::vector<std::size_t> controls; // whose look changed (every control, the first time)
        bool stacks = false;               // a stacking order may have changed
        bool timers = false;               // a timer started, stopped or changed its countdown
        bool window = false;               // the window's caption or background
        bool empty() const { return controls.empty() && !stacks && !timers && !window; }
    };
    // What changed since the last call; it looks only at what the game says its last input touched.
    Changes changes();
    // The look of a control as last reported.
    const ControlLook& look(std::size_t id) const { return *looks_.at(id); }
    // Forgets what was reported of a control, so that the next call reports it again.
    void forget(std::size_t id);
    // Reports everything again at the next call.
    void reset();

  private:
    bool changed(std::size_t id);

    const Game& game_;
    std::vector<std::optional<ControlLook>> looks_;
    std::optional<std::size_t> stackSignature_;
    std::vector<TimerState> timers_;
    std::optional<std::pair<std::u16string, Color>> window_;
};
