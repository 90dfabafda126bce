#pragma once
#include "app/Color.h"

#include <QRect>
#include <string>
#include <vector>

class Control;
class ControlWidget;
class QFont;
class QListWidget;
class QPushButton;
class QWidget;

// Keeps one widget in line with its control in the model. It remembers what it last gave the widget,
// so that a control that did not change costs a few comparisons and nothing of Qt's.
class WidgetLink {
  public:
    WidgetLink(const Control& control, QWidget& widget);

    const Control& control() const { return control_; }
    QWidget& widget() const { return widget_; }
    // Applies what changed in the control since the last call; baseFont is the window's font and
    // perPixel the twips a pixel on its screen.
    void sync(const QFont& baseFont, double perPixel);

  private:
    void syncButton();
    void syncList();
    const Control& control_;
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
