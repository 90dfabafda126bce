#pragma once
#include <functional>
#include <optional>
#include <string>

// The one music player the game's music procedures drive: at most one piece open at a time.
class MusicDevice {
  public:
    enum class Mode { Stopped, Playing };
    virtual ~MusicDevice() = default;
    // Opens the file, stopped at its start; false when it is missing or a piece is open already.
    virtual bool open(const std::string& path) = 0;
    // Closes the open piece; false when none was open.
    virtual bool close() = 0;
    // Plays the open piece from where it stands.
    virtual bool play() = 0;
    // Stops the open piece where it is.
    virtual bool stop() = 0;
    // Moves the open piece back to its start, stopped.
    virtual bool rewind() = 0;
    // The open piece's mode; nothing when no piece is open.
    virtual std::optional<Mode> mode() = 0;
    // Told when a piece stopped by itself (it played to its end, or could not be decoded), so that a
    // host can wake the loop watchdog at once; it only schedules work.
    std::function<void()> onPieceEnded;
};
