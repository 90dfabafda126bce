#pragma once
#include "shell/Player.h"

#include <QRect>
#include <functional>
#include <optional>

class HeldEventQueue;
class QKeyEvent;
class QWheelEvent;

// The keys and the wheel. They go to the player's key table, shared with the page; what reaches the
// game goes through the held events, and what is the window's alone (full screen, the text log) comes
// back here.
class WindowKeys {
  public:
    // What the window does for a key.
    struct Actions {
        std::function<void()> toggleFullScreen;
        std::function<void()> showTextLog;
        std::function<void()> hideTextLog;
        std::function<void()> toggleVoice;
        // The keyboard's focus moved, or fast-forward went on or off.
        std::function<void()> changed;
    };
    WindowKeys(Player& player, HeldEventQueue& events, Actions actions)
        : player_(player), events_(events), act_(std::move(actions)) {}

    // A key pressed anywhere in the window; returns whether it was taken.
    bool press(const QKeyEvent& event);
    void release(const QKeyEvent& event);
    // The wheel over the window; textArea is where turning it up opens the log. Returns whether taken.
    bool wheel(const QWheelEvent& event, const QRect& textArea);
    // The window lost the keyboard: Ctrl can no longer be held.
    void letGo();

    // A Qt key as the key table names it; nothing for a key it has no row for.
    static std::optional<KeyPress> keyOf(const QKeyEvent& event);

  private:
    void openLog();

    Player& player_;
    HeldEventQueue& events_;
    Actions act_;
};
