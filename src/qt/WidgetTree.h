#pragma once
#include "qt/WidgetLink.h"

#include <functional>
#include <map>
#include <vector>

class Control;
class ControlModel;
class ControlWidget;
class QFont;
class QObject;
class QWidget;
class QtPictureLoader;

// The widgets that show the model's controls, one for each, nested as the controls' containers are,
// and kept in line with the model: their look and their stacking order.
class WidgetTree {
  public:
    // What the player does to a control, passed on to the game.
    struct Input {
        std::function<void(const Control&)> press;
        std::function<void(const Control&)> release;
        std::function<void(const Control&)> click;
    };
    WidgetTree(const ControlModel& model, QtPictureLoader& pictures, Input input)
        : model_(model), pictures_(pictures), input_(std::move(input)) {}

    // Makes the widgets inside stage; the buttons' keys go through keyFilter first.
    void create(QWidget& stage, const Control& window, QObject& keyFilter);
    bool empty() const { return widgets_.empty(); }
    // The widget showing a control other than the window, if any.
    QWidget* widgetOf(const Control& c) const;
    // Brings every widget in line with the model; font is the window's, perPixel its screen's twips.
    void sync(const QFont& font, double perPixel);
    // Brings one control's widget in line, when an event is known to have changed nothing else.
    void sync(const Control& c, const QFont& font, double perPixel);
    // The picture boxes, drawn quickly while the window's size still changes.
    void setDrafting(bool on);

  private:
    void syncStacking();

    const ControlModel& model_;
    QtPictureLoader& pictures_;
    Input input_;
    const Control* window_ = nullptr;
    std::map<const Control*, QWidget*> widgets_;
    std::vector<ControlWidget*> pictureBoxes_;
    std::vector<WidgetLink> links_;
    std::map<const Control*, WidgetLink*> linkOf_;
    std::map<const Control*, std::vector<QWidget*>> stacks_;
    std::size_t stackSignature_ = 0;
};
