#pragma once
#include "app/Control.h"
#include "app/MenuItem.h"
#include "app/Timer.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

using ControlArray = std::vector<Control*>;

// Every control, timer and menu item of the window, in creation order, found by name.
class ControlModel {
  public:
    enum class EntryKind { Control, Timer, Menu };
    struct Entry {
        std::string name;
        EntryKind kind;
        bool isArray;
    };

    Control& addControl(ControlKind kind, const std::string& name, Control* container, bool isArray = false);
    // Creates element `index` of an array as a hidden copy of its element 0.
    Control& createElement(const std::string& name, int index);
    Timer& addTimer(const std::string& name, int interval, bool enabled);
    MenuItem& addMenu(const std::string& name, const std::u16string& caption, MenuItem* parent,
                      int index = -1);

    ControlArray& array(const std::string& name) { return arrays_.at(name); }
    const ControlArray& array(const std::string& name) const { return arrays_.at(name); }
    Control& control(const std::string& name) { return *arrays_.at(name).at(0); }
    Timer& timer(const std::string& name) { return *timers_.at(name); }
    std::vector<MenuItem*>& menu(const std::string& name) { return menus_.at(name); }
    const std::vector<MenuItem*>& menu(const std::string& name) const { return menus_.at(name); }

    bool hasControl(const std::string& name) const { return arrays_.count(name) > 0; }
    const Timer& timer(const std::string& name) const { return *timers_.at(name); }

    // The names in creation order, with what they are.
    const std::vector<Entry>& entries() const { return entries_; }
    // Every control, element by element, in creation order.
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    std::vector<Timer*> timers() const;
    // Every menu item, in creation order.
    std::vector<MenuItem*> menuItems() const;

    // Puts a control on top of the others in its container.
    void bringToFront(Control& c) { c.zorder = ++zorderCounter_; }
    // The controls directly inside a container, bottom first: labels and shapes on the container's
    // surface, then the windowed controls above them.
    std::vector<Control*> stackOf(const Control* container) const;

  private:
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<std::unique_ptr<Timer>> timerStore_;
    std::vector<std::unique_ptr<MenuItem>> menuStore_;
    std::map<std::string, ControlArray> arrays_;
    std::map<std::string, Timer*> timers_;
    std::map<std::string, std::vector<MenuItem*>> menus_;
    std::vector<Entry> entries_;
    long zorderCounter_ = 0;
};
