#pragma once
#include <string>

// What the game asks of the desktop outside its own window.
class Desktop {
  public:
    virtual ~Desktop() = default;
    // Shows a modal message box with one OK button and returns when it is closed.
    virtual void messageBox(const std::string& utf8Text) = 0;
    // Pops up the named menu of the window at the mouse pointer; the choice arrives later as an event.
    virtual void popupMenu(const std::string& menuName) = 0;
    // Opens a file in the desktop's default viewer, without waiting for it. False when no viewer could
    // be started.
    virtual bool openFile(const std::string& path) = 0;
};
