#pragma once
#include "shell/StoryFeed.h"

#include <optional>
#include <string>
#include <vector>

// Reading aloud: each new line of the story, and the choice the keyboard's focus comes to, in the order
// they come. The host speaks what it is given, with the voice its platform has.
class Voice {
  public:
    bool on() const { return on_; }
    // Switched on, it reads from now: what shows already is not read again.
    void setOn(bool on, const Game& game);
    // What to say now: the new lines (but empty ones) and the focused choice's caption when the focus
    // moved. Nothing while it is off.
    std::vector<std::u16string> take(const Game& game, std::optional<std::size_t> focus);

  private:
    bool on_ = false;
    StoryFeed feed_;
    std::optional<std::size_t> focus_;
};
