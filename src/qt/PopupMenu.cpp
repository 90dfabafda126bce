#include "qt/PopupMenu.h"

#include <QMenu>

void PopupMenu::popup(const std::vector<MenuEntry>& items, QPoint at) {
    delete menu_;
    menu_ = new QMenu(&window_);
    fill(*menu_, items);
    menu_->popup(at);
}

void PopupMenu::fill(QMenu& menu, const std::vector<MenuEntry>& items) {
    for (const MenuEntry& child : items) {
        if (!child.visible) continue;
        if (child.separator()) {
            menu.addSeparator();
        } else if (!child.items.empty()) {
            fill(*menu.addMenu(QString::fromStdU16String(child.caption)), child.items);
        } else {
            QAction* action = menu.addAction(QString::fromStdU16String(child.caption));
            action->setEnabled(child.enabled);
            action->setCheckable(child.checked);
            action->setChecked(child.checked);
            const std::string name = child.name;
            const int index = child.index;
            QObject::connect(action, &QAction::triggered, &window_,
                             [this, name, index] { chosen_(name, index); });
        }
    }
}
