#pragma once
#include <QRect>
#include <functional>

class QKeyEvent;
class QWheelEvent;

// The keys and the wheel. They act as the mouse would, through the same engine events, or on the
// window alone (full screen, the text log, the pace of the story); the game itself is unchanged.
class WindowKeys {
  public:
    // What the keys do, lent by the window.
    struct Actions {
        std::function<void()> toggleFullScreen;
        // Where "MENU CLICKME" could be clicked, opens the popup menu, as that click does.
        std::function<void()> openMenu;
        std::function<bool()> textLogOpen;
        std::function<void()> openTextLog;
        std::function<void()> closeTextLog;
        // A click on the text area.
        std::function<void()> clickText;
        // Ctrl went down or up.
        std::function<void()> fastForwardChanged;
    };
    explicit WindowKeys(Actions actions) : act_(std::move(actions)) {}

    // The keys that act wherever the focus is (full screen, menu, log, fast-forward); returns whether
    // the key was taken.
    bool windowKey(const QKeyEvent& event);
    // A key pressed on the window itself; returns whether it was taken.
    bool press(const QKeyEvent& event);
    void release(const QKeyEvent& event);
    // The wheel over the window; textArea is where turning it up opens the log. Returns whether taken.
    bool wheel(const QWheelEvent& event, const QRect& textArea);

    // Whether the story runs at its fastest (Ctrl held).
    bool fastForward() const { return fastForward_; }
    void setFastForward(bool on);

  private:
    Actions act_;
    bool fastForward_ = false;
};
