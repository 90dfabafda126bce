#include "shell/Voice.h"

void Voice::setOn(bool on, const Game& game) {
    on_ = on;
    feed_.skip(game);
    focus_.reset();
}

std::vector<std::u16string> Voice::take(const Game& game, std::optional<std::size_t> focus) {
    std::vector<std::u16string> said;
    if (!on_) return said;
    for (std::u16string& line : feed_.take(game).lines)
        if (!line.empty()) said.push_back(std::move(line));
    if (focus != focus_) {
        focus_ = focus;
        if (focus) {
            const std::u16string caption = game.look(*focus).caption;
            if (!caption.empty()) said.push_back(caption);
        }
    }
    return said;
}
