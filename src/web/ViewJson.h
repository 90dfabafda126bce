#pragma once
#include "game/View.h"
#include "shell/Player.h"
#include "shell/StoryFeed.h"

#include <nlohmann/json.hpp>

#include <vector>

// What the page draws, as JSON: the change since the last call. A control goes to the page when it
// first shows, inside a container that is there: the title's first frame then carries a handful of
// controls, not all of them.
class ViewJson {
  public:
    explicit ViewJson(Player& player) : player_(player), tracker_(player.game()) {}

    // The change since the last call (everything when `everything`): the controls whose look changed,
    // the stacking when it changed, the timers' plan when it changed, the window's caption and
    // colour, whether the title screen is up, the text area while it takes clicks, the control the menu
    // opens from, the keyboard's focus, what the story waits for with the choices it offers, the story's
    // new lines, and what reading aloud is to say.
    nlohmann::json changes(bool everything);

  private:
    nlohmann::json control(std::size_t id, const ControlLook& look) const;

    Player& player_;
    ViewTracker tracker_;
    std::vector<bool> sent_;
    StoryFeed story_;
    std::vector<std::size_t> choices_;
    std::vector<TimerRun> plan_;
    bool planSent_ = false;
    bool titleShown_ = false;
};
