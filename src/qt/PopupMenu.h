#pragma once
#include "game/Game.h"

#include <QPoint>
#include <functional>
#include <string>

class QMenu;
class QWidget;

// The game's popup menu, built afresh at every popup so that its captions and check marks are the
// game's own; a choice is passed on by the item's name and index.
class PopupMenu {
  public:
    PopupMenu(QWidget& window, std::function<void(const std::string&, int)> chosen)
        : window_(window), chosen_(std::move(chosen)) {}
    void popup(const std::vector<MenuEntry>& items, QPoint at);

  private:
    void fill(QMenu& menu, const std::vector<MenuEntry>& items);
    QWidget& window_;
    std::function<void(const std::string&, int)> chosen_;
    QMenu* menu_ = nullptr;
};
