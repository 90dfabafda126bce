#pragma once
#include "game/View.h"
#include "qt/WidgetLink.h"

#include <functional>
#include <map>
#include <vector>

class ControlWidget;
class QFont;
class QObject;
class QWidget;
class QtPictureLoader;

// The widgets that show the game's controls, one for each, nested as the controls' containers are,
// and kept in line with what the game shows: their looks and their stacking order.
class WidgetTree {
  public:
    // What the player does to a control (by its id), passed on to the game.
    struct Input {
        std::function<void(std::size_t)> press;
        std::function<void(std::size_t)> release;
        std::function<void(std::size_t)> click;
    };
    WidgetTree(const Game& game, QtPictureLoader& pictures, Input input)
        : game_(game), view_(game), pictures_(pictures), input_(std::move(input)) {}

    // Makes the widgets inside stage; the buttons' keys go through keyFilter first.
    void create(QWidget& stage, QObject& keyFilter);
    bool empty() const { return widgets_.empty(); }
    // The widget showing a control, if any.
    QWidget* widgetOf(std::size_t id) const { return id < widgets_.size() ? widgets_[id] : nullptr; }
    // Brings every widget that changed in line with the game, and reports what else changed (the
    // timers, the window); font is the window's, perPixel its screen's twips a pixel.
    ViewTracker::Changes sync(const QFont& font, double perPixel);
    // The picture boxes, drawn quickly while the window's size still changes.
    void setDrafting(bool on);

  private:
    void syncStacking();
    void letGoOfUnshownPictures(const ViewTracker::Changes& changes);

    const Game& game_;
    ViewTracker view_;
    QtPictureLoader& pictures_;
    Input input_;
    std::vector<QWidget*> widgets_;
    std::vector<ControlWidget*> pictureBoxes_;
    std::vector<WidgetLink> links_;
    std::vector<int> linkOf_; // by id: the index of its link, -1 for none
    std::map<int, std::vector<QWidget*>> stacks_;
    double perPixel_ = 0;
    QString fontFamily_;
};
