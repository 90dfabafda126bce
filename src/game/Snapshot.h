#pragma once
#include <memory>
#include <optional>
#include <string>

struct SnapshotData;

// A copy of everything a running game can later read or show: its controls, timers and menu, its
// variables, the open scene script and how far it was read, the random generator, the music as the
// game hears it and the text log. Copies are cheap and share what did not change. A snapshot goes back
// into a game loaded on the same folder (Game::restore), and can be kept as text.
class Snapshot {
  public:
    Snapshot() = default;
    explicit Snapshot(std::shared_ptr<const SnapshotData> data) : data_(std::move(data)) {}

    bool empty() const { return !data_; }
    const SnapshotData* data() const { return data_.get(); }
    const std::shared_ptr<const SnapshotData>& shared() const { return data_; }

    // The snapshot as text (standard characters only, lines ending in LF), and back. A text that
    // cannot be read gives nothing, and why names the line and what it should have held.
    std::string text() const;
    static std::optional<Snapshot> fromText(const std::string& text, std::string& why);

  private:
    std::shared_ptr<const SnapshotData> data_;
};
