#include "qt/WidgetTree.h"

#include "qt/ControlWidget.h"
#include "qt/QtPictureLoader.h"

#include <QFont>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <malloc.h>

void WidgetTree::create(QWidget& stage, QObject& keyFilter) {
    const auto& controls = game_.controls();
    widgets_.assign(controls.size(), nullptr);
    linkOf_.assign(controls.size(), -1);
    links_.reserve(controls.size());
    for (std::size_t id = 0; id < controls.size(); ++id) {
        const ControlInfo& c = controls[id];
        if (c.kind == ControlKind::Window) continue;
        QWidget* parent = c.container < 0 ? &stage : widgets_.at(static_cast<std::size_t>(c.container));
        QWidget* w = nullptr;
        if (c.kind == ControlKind::CommandButton) {
            auto* button = new QPushButton(parent);
            // Pressed, let go of, and clicked when let go of over it, as a button is.
            QObject::connect(button, &QPushButton::pressed, &keyFilter, [this, id] { input_.press(id); });
            QObject::connect(button, &QPushButton::released, &keyFilter, [this, id] { input_.release(id); });
            QObject::connect(button, &QPushButton::clicked, &keyFilter, [this, id] { input_.click(id); });
            button->installEventFilter(&keyFilter);
            w = button;
        } else if (c.kind == ControlKind::ListBox) {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            // The game's keys are the window's; the list is read with the mouse.
            list->setFocusPolicy(Qt::NoFocus);
            w = list;
        } else {
            auto* widget = new ControlWidget(c, game_.role(id), pictures_, parent);
            widget->onPress = [this, id] { input_.press(id); };
            widget->onRelease = [this, id](bool inside) {
                input_.release(id);
                if (inside) input_.click(id);
            };
            if (c.kind == ControlKind::PictureBox) pictureBoxes_.push_back(widget);
            w = widget;
        }
        w->setObjectName(QString::fromStdString(c.name));
        widgets_[id] = w;
        linkOf_[id] = static_cast<int>(links_.size());
        links_.emplace_back(c, *w);
    }
}

ViewTracker::Changes WidgetTree::sync(const QFont& font, double perPixel) {
    ViewTracker::Changes changes = view_.changes();
    if (perPixel != perPixel_ || font.family() != fontFamily_) {
        // Another screen, or another font: every widget is placed and sized again.
        perPixel_ = perPixel;
        fontFamily_ = font.family();
        for (std::size_t id = 0; id < linkOf_.size(); ++id)
            if (linkOf_[id] >= 0)
                links_[static_cast<std::size_t>(linkOf_[id])].sync(view_.look(id), font, perPixel);
    } else {
        for (std::size_t id : changes.controls)
            if (id < linkOf_.size() && linkOf_[id] >= 0)
                links_[static_cast<std::size_t>(linkOf_[id])].sync(view_.look(id), font, perPixel);
    }
    if (changes.stacks) syncStacking();
    letGoOfUnshownPictures(changes);
    return changes;
}

void WidgetTree::letGoOfUnshownPictures(const ViewTracker::Changes& changes) {
    // The decoded pictures stay only while a box shows them (a hidden title card need not).
    const bool boxChanged =
        std::any_of(changes.controls.begin(), changes.controls.end(),
                    [&](std::size_t id) { return game_.controls()[id].kind == ControlKind::PictureBox; });
    if (!boxChanged) return;
    std::vector<std::string> shown;
    for (const ControlWidget* box : pictureBoxes_)
        if (box->look().visible && !box->look().picture.empty()) shown.push_back(box->look().picture);
    // What was let go goes back to the system: the heap keeps freed pictures otherwise, once glibc
    // has raised its threshold for memory of their own after the first one freed.
    if (pictures_.keepOnly(shown) > 0) malloc_trim(0);
}

void WidgetTree::setDrafting(bool on) {
    for (ControlWidget* box : pictureBoxes_) box->setDrafting(on);
}

void WidgetTree::syncStacking() {
    std::vector<int> containers = {-1};
    for (std::size_t id = 0; id < game_.controls().size(); ++id)
        if (game_.controls()[id].kind == ControlKind::PictureBox) containers.push_back(static_cast<int>(id));
    for (int container : containers) {
        std::vector<QWidget*> order;
        for (std::size_t id : game_.stackOf(container)) order.push_back(widgets_.at(id));
        auto& known = stacks_[container];
        if (known == order) continue;
        for (QWidget* w : order) w->raise();
        known = order;
    }
}
