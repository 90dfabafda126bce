#pragma once
#include "platform/Desktop.h"

#include <functional>

class QWidget;

// The desktop seen from the window: message boxes, the popup menu and the default file viewer.
class QtDesktop : public Desktop {
  public:
    QtDesktop(QWidget& window, std::function<void(const std::string&)> popup)
        : window_(window), popup_(std::move(popup)) {}
    void messageBox(const std::string& utf8Text) override;
    void popupMenu(const std::string& menuName) override { popup_(menuName); }
    bool openFile(const std::string& path) override;

  private:
    QWidget& window_;
    std::function<void(const std::string&)> popup_;
};
