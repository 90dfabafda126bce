#include "qt/ControlAccessible.h"

#include "qt/ControlWidget.h"

#include <QMouseEvent>

namespace {

QAccessible::Role roleOf(AccessRole role) {
    switch (role) {
    case AccessRole::StoryLine:
    case AccessRole::Text:
        return QAccessible::StaticText;
    case AccessRole::Button:
        return QAccessible::Button;
    case AccessRole::Picture:
        return QAccessible::Graphic;
    case AccessRole::Hidden:
        break;
    }
    return QAccessible::NoRole;
}

QAccessibleInterface* factory(const QString& className, QObject* object) {
    if (className == QLatin1String("ControlWidget"))
        if (auto* widget = qobject_cast<ControlWidget*>(object)) return new ControlAccessible(widget);
    return nullptr;
}

} // namespace

ControlAccessible::ControlAccessible(ControlWidget* widget)
    : QAccessibleWidget(widget, roleOf(widget->role())) {}

void ControlAccessible::install() {
    static bool installed = false;
    if (!installed) QAccessible::installFactory(factory);
    installed = true;
}

ControlWidget* ControlAccessible::control() const {
    return static_cast<ControlWidget*>(widget());
}

QString ControlAccessible::text(QAccessible::Text t) const {
    const ControlLook& look = control()->look();
    if (t == QAccessible::Name)
        return QString::fromStdU16String(look.caption).replace(QStringLiteral("\r\n"), "\n");
    if (t == QAccessible::Description) return QString::fromStdU16String(look.toolTip);
    return QAccessibleWidget::text(t);
}

QAccessible::State ControlAccessible::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    const ControlWidget* c = control();
    const bool emptyLine = c->role() == AccessRole::StoryLine && c->look().caption.empty();
    if (c->role() == AccessRole::Hidden || !c->seen() || emptyLine) s.invisible = true;
    if (c->role() == AccessRole::Button && !c->look().enabled) s.disabled = true;
    return s;
}

QStringList ControlAccessible::actionNames() const {
    if (control()->role() != AccessRole::Button) return {};
    return {pressAction()};
}

void ControlAccessible::doAction(const QString& action) {
    if (action != pressAction() || control()->role() != AccessRole::Button) return;
    // As the mouse does it: down and up over the control.
    ControlWidget* c = control();
    if (c->onPress) c->onPress();
    if (c->onRelease) c->onRelease(true);
}
