#include "qt/WidgetTree.h"

#include "app/ControlModel.h"
#include "qt/ControlWidget.h"

#include <QListWidget>
#include <QPushButton>

void WidgetTree::create(QWidget& stage, const Control& window, QObject& keyFilter) {
    window_ = &window;
    for (const auto& c : model_.controls()) {
        if (c->kind == ControlKind::Window) continue;
        QWidget* parent = c->container->kind == ControlKind::Window ? &stage : widgets_.at(c->container);
        QWidget* w = nullptr;
        const Control* control = c.get();
        auto onRelease = [this](const Control& released, bool inside) {
            input_.release(released);
            if (inside) input_.click(released);
        };
        if (c->kind == ControlKind::CommandButton) {
            auto* button = new QPushButton(parent);
            QObject::connect(button, &QPushButton::pressed, &keyFilter,
                             [=, this] { input_.press(*control); });
            // Let go of, and clicked when let go of over it, or pressed by Space or Enter as a button is.
            QObject::connect(button, &QPushButton::released, &keyFilter,
                             [=, this] { input_.release(*control); });
            QObject::connect(button, &QPushButton::clicked, &keyFilter,
                             [=, this] { input_.click(*control); });
            button->setAutoDefault(true);
            button->installEventFilter(&keyFilter);
            w = button;
        } else if (c->kind == ControlKind::ListBox) {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            // The game's keys are the window's; the list is read with the mouse.
            list->setFocusPolicy(Qt::NoFocus);
            w = list;
        } else {
            auto* widget = new ControlWidget(*c, pictures_, parent);
            widget->onPress = input_.press;
            widget->onRelease = onRelease;
            if (c->kind == ControlKind::PictureBox) pictureBoxes_.push_back(widget);
            w = widget;
        }
        w->setObjectName(QString::fromStdString(c->name));
        widgets_[control] = w;
        links_.emplace_back(*control, *w);
    }
    for (WidgetLink& link : links_) linkOf_[&link.control()] = &link;
}

QWidget* WidgetTree::widgetOf(const Control& c) const {
    auto it = widgets_.find(&c);
    return it == widgets_.end() ? nullptr : it->second;
}

void WidgetTree::sync(const QFont& font, double perPixel) {
    for (WidgetLink& link : links_) link.sync(font, perPixel);
    syncStacking();
}

void WidgetTree::sync(const Control& c, const QFont& font, double perPixel) {
    auto it = linkOf_.find(&c);
    if (it != linkOf_.end()) it->second->sync(font, perPixel);
}

void WidgetTree::setDrafting(bool on) {
    for (ControlWidget* box : pictureBoxes_) box->setDrafting(on);
}

void WidgetTree::syncStacking() {
    // The order changes only when a control is brought to the front.
    std::size_t signature = 0;
    for (const auto& c : model_.controls()) signature = signature * 31 + static_cast<std::size_t>(c->zorder);
    if (signature == stackSignature_) return;
    stackSignature_ = signature;
    std::vector<const Control*> containers = {window_};
    for (const auto& c : model_.controls())
        if (c->kind == ControlKind::PictureBox) containers.push_back(c.get());
    for (const Control* container : containers) {
        std::vector<QWidget*> order;
        for (Control* c : model_.stackOf(container)) order.push_back(widgets_.at(c));
        auto& known = stacks_[container];
        if (known == order) continue;
        for (QWidget* w : order) w->raise();
        known = order;
    }
}
