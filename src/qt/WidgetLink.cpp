#include "qt/WidgetLink.h"

#include "qt/ControlWidget.h"
#include "qt/Twips.h"

#include <QListWidget>
#include <QPushButton>
#include <cmath>

namespace {

QString qtext(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

} // namespace

WidgetLink::WidgetLink(const ControlInfo& control, QWidget& widget)
    : control_(control), widget_(widget), painted_(qobject_cast<ControlWidget*>(&widget)),
      button_(qobject_cast<QPushButton*>(&widget)), list_(qobject_cast<QListWidget*>(&widget)) {}

void WidgetLink::sync(const ControlLook& c, const QFont& baseFont, double perPixel) {
    const bool first = !synced_;
    synced_ = true;
    const QRect geometry(twipsToPixels(c.leftTw, perPixel), twipsToPixels(c.topTw, perPixel),
                         twipsToPixels(c.widthTw, perPixel), twipsToPixels(c.heightTw, perPixel));
    if (first || geometry != geometry_) widget_.setGeometry(geometry_ = geometry);
    if (first || c.visible != visible_) widget_.setVisible(visible_ = c.visible);
    // Labels are never disabled in Qt: a disabled label still shows its text, greyed, and the game
    // decides what a click on it does.
    if (control_.kind != ControlKind::Label && (first || c.enabled != enabled_))
        widget_.setEnabled(enabled_ = c.enabled);
    if (first || c.toolTip != toolTip_) widget_.setToolTip(qtext(toolTip_ = c.toolTip));
    if (first || c.fontSize != fontSize_) {
        fontSize_ = c.fontSize;
        QFont f = baseFont;
        f.setPointSizeF(std::max(1.0, c.fontSize));
        widget_.setFont(f);
    }
    if (button_) syncButton(c);
    if (list_) syncList(c);
    // Only what changed is painted again; moves and font changes repaint by themselves.
    if (painted_) painted_->apply(c);
}

void WidgetLink::syncButton(const ControlLook& control) {
    QPushButton* button = button_;
    if (control.caption != caption_ || button->text().isEmpty())
        button->setText(qtext(caption_ = control.caption));
    if (control.backColor != backColor_ || button->styleSheet().isEmpty()) {
        backColor_ = control.backColor;
        // The focused button wears a frame, so the keyboard's place is seen.
        button->setStyleSheet(QString("QPushButton { background-color: %1; color: black; }"
                                      "QPushButton:focus { border: 2px solid #1a56c8; }")
                                  .arg(toQColor(backColor_).name()));
    }
}

void WidgetLink::syncList(const ControlLook& control) {
    QListWidget* list = list_;
    if (control.list != lines_ || list->count() != static_cast<int>(lines_.size())) {
        lines_ = control.list;
        list->clear();
        for (const auto& line : lines_) list->addItem(qtext(line));
    }
    if (control.backColor != backColor_ || control.foreColor != foreColor_ ||
        list->palette().color(QPalette::Base) != toQColor(backColor_)) {
        backColor_ = control.backColor;
        foreColor_ = control.foreColor;
        QPalette pal = list->palette();
        pal.setColor(QPalette::Base, toQColor(backColor_));
        pal.setColor(QPalette::Text, toQColor(foreColor_));
        list->setPalette(pal);
    }
}
