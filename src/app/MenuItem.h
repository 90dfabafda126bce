#pragma once
#include <string>
#include <vector>

// An item of the window's menu tree; a caption "-" makes it a separator.
class MenuItem {
  public:
    MenuItem(std::string name, int index, std::u16string caption, MenuItem* parent)
        : name(std::move(name)), index(index), caption(std::move(caption)), parent(parent) {}

    const std::string name;
    const int index; // -1 when the item is not an element of an array
    std::u16string caption;
    MenuItem* const parent;
    std::vector<MenuItem*> items;
    bool checked = false;
    bool enabled = true;
    bool visible = true;

    bool isSeparator() const { return caption == u"-"; }
};
