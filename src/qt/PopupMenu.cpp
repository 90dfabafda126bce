#include "qt/PopupMenu.h"

#include "app/MenuItem.h"

#include <QMenu>

void PopupMenu::popup(const MenuItem& root, QPoint at) {
    delete menu_;
    menu_ = new QMenu(&window_);
    fill(*menu_, root);
    menu_->popup(at);
}

void PopupMenu::fill(QMenu& menu, const MenuItem& item) {
    for (const MenuItem* child : item.items) {
        if (!child->visible) continue;
        if (child->isSeparator()) {
            menu.addSeparator();
        } else if (!child->items.empty()) {
            fill(*menu.addMenu(QString::fromStdU16String(child->caption)), *child);
        } else {
            QAction* action = menu.addAction(QString::fromStdU16String(child->caption));
            action->setEnabled(child->enabled);
            action->setCheckable(child->checked);
            action->setChecked(child->checked);
            const std::string name = child->name;
            const int index = child->index;
            QObject::connect(action, &QAction::triggered, &window_,
                             [this, name, index] { chosen_(name, index); });
        }
    }
}
