#pragma once
#include <string>

class Fom;
class Control;

// Delivers a player's clicks, presses, menu choices and the timers' ticks to the window's handlers,
// by the controls' own names, and only where a player could reach the control.
class EventRouter {
  public:
    enum class Result { Delivered, Ignored, UnknownName };

    explicit EventRouter(Fom& fom) : fom_(fom) {}

    // index is -1 when none is given (element 0 of an array).
    Result click(const std::string& name, int index);
    Result press(const std::string& name, int index);
    Result release(const std::string& name, int index);
    Result menu(const std::string& item, int index);
    Result tick(const std::string& timer);

    // The control a player could click now, or nothing (covered, hidden, disabled or missing).
    Control* reachable(const std::string& name, int index) const;
    // Whether the popup menu can be opened: whether "MENU CLICKME" can be clicked.
    bool menuAvailable() const;

  private:
    Result mouse(const std::string& name, int index, bool down);
    Fom& fom_;
};
