#pragma once
#include <QPoint>
#include <functional>
#include <string>

class MenuItem;
class QMenu;
class QWidget;

// The game's popup menu, built afresh at every popup so that its captions and check marks are the
// model's own; a choice is passed on by the item's name and index.
class PopupMenu {
  public:
    PopupMenu(QWidget& window, std::function<void(const std::string&, int)> chosen)
        : window_(window), chosen_(std::move(chosen)) {}
    void popup(const MenuItem& root, QPoint at);

  private:
    void fill(QMenu& menu, const MenuItem& item);
    QWidget& window_;
    std::function<void(const std::string&, int)> chosen_;
    QMenu* menu_ = nullptr;
};
