#include "shell/StoryFeed.h"

#include <algorithm>

StoryFeed::News StoryFeed::take(const Game& game) {
    News news;
    const auto& lines = game.textLog();
    const std::size_t added = game.linesShown();
    std::size_t fresh = added - added_;
    if (game.scenesBegun() != scenes_) {
        news.newScene = true;
        fresh = lines.size();
    }
    fresh = std::min(fresh, lines.size());
    news.lines.assign(lines.end() - static_cast<std::ptrdiff_t>(fresh), lines.end());
    skip(game);
    return news;
}

void StoryFeed::skip(const Game& game) {
    added_ = game.linesShown();
    scenes_ = game.scenesBegun();
}
