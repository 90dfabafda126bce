#pragma once
#include "platform/Desktop.h"

#include <QString>
#include <functional>

class QWidget;

// The desktop seen from the window: message boxes, the popup menu and the default file viewer.
class QtDesktop : public Desktop {
  public:
    // title gives the boxes' title: the game's name (the story's own, where it has one).
    QtDesktop(QWidget& window, std::function<void(const std::string&)> popup,
              std::function<QString()> title = {})
        : window_(window), popup_(std::move(popup)), title_(std::move(title)) {}
    void messageBox(const std::string& utf8Text) override;
    void popupMenu(const std::string& menuName) override { popup_(menuName); }
    bool openFile(const std::string& path) override;

  private:
    QWidget& window_;
    std::function<void(const std::string&)> popup_;
    std::function<QString()> title_;
};
