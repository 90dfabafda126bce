#pragma once
#include <cstddef>
#include <deque>
#include <string>

// The story lines shown since the scene began, so a player can read back a line that scrolled away.
// Kept apart from the controls: the game itself never reads it.
class TextLog {
  public:
    // A long scene keeps only its latest lines.
    static constexpr std::size_t kMaxLines = 300;

    void add(const std::u16string& line) {
        if (lines_.size() < kMaxLines) {
            lines_.push_back(line);
            return;
        }
        // Once full, the oldest line's room takes the new one.
        std::u16string room = std::move(lines_.front());
        lines_.pop_front();
        room = line;
        lines_.push_back(std::move(room));
    }
    void clear() { lines_.clear(); }
    const std::deque<std::u16string>& lines() const { return lines_; }

  private:
    std::deque<std::u16string> lines_;
};
