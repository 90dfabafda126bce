#pragma once
#include "game/Game.h"

#include <string>
#include <vector>

// The story's lines as they come, each once: what a reading view adds, a screen reader is told and
// reading aloud says.
class StoryFeed {
  public:
    struct News {
        bool newScene = false; // a scene began: the lines before are gone
        std::vector<std::u16string> lines;
    };
    // What came since the last call: the whole scene so far the first time and after a new scene began.
    News take(const Game& game);
    // From now on: what is there already is not news.
    void skip(const Game& game);

  private:
    std::size_t added_ = 0;
    std::size_t scenes_ = static_cast<std::size_t>(-1);
};
