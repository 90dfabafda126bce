#include "app/ControlModel.h"

#include <algorithm>
#include <stdexcept>

Control& ControlModel::addControl(ControlKind kind, const std::string& name, Control* container,
                                  bool isArray) {
    controls_.push_back(std::make_unique<Control>(kind, name, isArray ? 0 : -1, container));
    Control& c = *controls_.back();
    c.zorder = ++zorderCounter_;
    arrays_[name].push_back(&c);
    entries_.push_back({name, EntryKind::Control, isArray});
    return c;
}

Control& ControlModel::createElement(const std::string& name, int index) {
    ControlArray& elements = arrays_.at(name);
    if (index < 0 || index != static_cast<int>(elements.size()))
        throw std::logic_error("control array " + name + " cannot create element " + std::to_string(index));
    const Control& first = *elements.front();
    controls_.push_back(std::make_unique<Control>(first.kind, name, index, first.container));
    Control& c = *controls_.back();
    // Copy every property of element 0 but its identity; the copy starts hidden.
    c.caption = first.caption;
    c.toolTipText = first.toolTipText;
    c.enabled = first.enabled;
    c.foreColor = first.foreColor;
    c.backColor = first.backColor;
    c.backStyle = first.backStyle;
    c.borderStyle = first.borderStyle;
    c.alignment = first.alignment;
    c.fontSize = first.fontSize;
    c.shapeStyle = first.shapeStyle;
    c.fillColor = first.fillColor;
    c.fillStyle = first.fillStyle;
    c.borderColor = first.borderColor;
    c.leftTw = first.leftTw, c.topTw = first.topTw, c.widthTw = first.widthTw, c.heightTw = first.heightTw;
    c.visible = false;
    c.zorder = ++zorderCounter_;
    elements.push_back(&c);
    return c;
}

Timer& ControlModel::addTimer(const std::string& name, int interval, bool enabled) {
    timerStore_.push_back(std::make_unique<Timer>(name, interval, enabled));
    timers_[name] = timerStore_.back().get();
    entries_.push_back({name, EntryKind::Timer, false});
    return *timerStore_.back();
}

MenuItem& ControlModel::addMenu(const std::string& name, const std::u16string& caption, MenuItem* parent,
                                int index) {
    menuStore_.push_back(std::make_unique<MenuItem>(name, index, caption, parent));
    MenuItem& m = *menuStore_.back();
    if (parent) parent->items.push_back(&m);
    auto& elements = menus_[name];
    if (elements.empty()) entries_.push_back({name, EntryKind::Menu, index >= 0});
    elements.push_back(&m);
    return m;
}

std::vector<Timer*> ControlModel::timers() const {
    std::vector<Timer*> all;
    for (const auto& t : timerStore_) all.push_back(t.get());
    return all;
}

std::vector<MenuItem*> ControlModel::menuItems() const {
    std::vector<MenuItem*> all;
    for (const auto& m : menuStore_) all.push_back(m.get());
    return all;
}

std::vector<Control*> ControlModel::stackOf(const Control* container) const {
    std::vector<Control*> stack;
    for (const auto& c : controls_)
        if (c->container == container) stack.push_back(c.get());
    std::stable_sort(stack.begin(), stack.end(), [](const Control* a, const Control* b) {
        if (a->isWindowed() != b->isWindowed()) return !a->isWindowed();
        return a->zorder < b->zorder;
    });
    return stack;
}
