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
        ++added_;
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
    void clear() {
        lines_.clear();
        ++scenes_;
    }
    // Takes back the lines of a copy of the game: a new scene as far as a reader can tell.
    void assign(const std::deque<std::u16string>& lines) {
        lines_ = lines;
        ++scenes_;
    }
    const std::deque<std::u16string>& lines() const { return lines_; }
    // Counts the lines ever added and the scenes begun, so that a reader can tell what is new.
    std::size_t added() const { return added_; }
    std::size_t scenes() const { return scenes_; }

  private:
    std::deque<std::u16string> lines_;
    std::size_t added_ = 0, scenes_ = 0;
};
