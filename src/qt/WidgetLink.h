#pragma once
#include "game/Game.h"

#include <QRect>
#include <string>
#include <vector>

class ControlWidget;
class QFont;
class QListWidget;
class QPushButton;
class QWidget;

// Keeps one widget in line with its control's look. It remembers what it last gave the widget, so that
// a look that did not change costs a few comparisons and nothing of Qt's.
class WidgetLink {
  public:
    WidgetLink(const ControlInfo& control, QWidget& widget);

    const ControlInfo& control() const { return control_; }
    QWidget& widget() const { return widget_; }
    // Applies what changed in the look since the last call; baseFont is the window's font and perPixel
    // the twips a pixel on its screen.
    void sync(const ControlLook& look, const QFont& baseFont, double perPixel);

  private:
    void syncButton(const ControlLook& look);
    void syncList(const ControlLook& look);
    const ControlInfo& control_;
    QWidget& widget_;
    // The widget as what it is (only one of them is set).
    ControlWidget* painted_ = nullptr;
    QPushButton* button_ = nullptr;
    QListWidget* list_ = nullptr;
    bool synced_ = false;
    QRect geometry_;
    bool visible_ = false, enabled_ = false;
    double fontSize_ = 0;
    std::u16string toolTip_, caption_;
    Color backColor_ = 0, foreColor_ = 0;
    std::vector<std::u16string> lines_;
};
