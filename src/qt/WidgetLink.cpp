#include "qt/WidgetLink.h"

#include "app/Control.h"
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

WidgetLink::WidgetLink(const Control& control, QWidget& widget)
    : control_(control), widget_(widget), painted_(qobject_cast<ControlWidget*>(&widget)),
      button_(qobject_cast<QPushButton*>(&widget)), list_(qobject_cast<QListWidget*>(&widget)) {}

void WidgetLink::sync(const QFont& baseFont, double perPixel) {
    const Control& c = control_;
    const bool first = !synced_;
    synced_ = true;
    const QRect geometry(twipsToPixels(c.leftTw, perPixel), twipsToPixels(c.topTw, perPixel),
                         twipsToPixels(c.widthTw, perPixel), twipsToPixels(c.heightTw, perPixel));
    if (first || geometry != geometry_) widget_.setGeometry(geometry_ = geometry);
    if (first || c.visible != visible_) widget_.setVisible(visible_ = c.visible);
    // Labels are never disabled in Qt: a disabled label still shows its text, greyed, and the game
    // decides what a click on it does.
    if (c.kind != ControlKind::Label && (first || c.enabled != enabled_))
        widget_.setEnabled(enabled_ = c.enabled);
    if (first || c.toolTipText != toolTip_) widget_.setToolTip(qtext(toolTip_ = c.toolTipText));
    if (first || c.fontSize != fontSize_) {
        fontSize_ = c.fontSize;
        QFont f = baseFont;
        f.setPointSizeF(std::max(1.0, c.fontSize));
        widget_.setFont(f);
    }
    if (button_) syncButton();
    if (list_) syncList();
    // Only what changed is painted again; moves and font changes repaint by themselves.
    if (painted_) painted_->refresh();
}

void WidgetLink::syncButton() {
    QPushButton* button = button_;
    if (control_.caption != caption_ || button->text().isEmpty())
        button->setText(qtext(caption_ = control_.caption));
    if (control_.backColor != backColor_ || button->styleSheet().isEmpty()) {
        backColor_ = control_.backColor;
        // The focused button wears a frame, so the keyboard's place is seen.
        button->setStyleSheet(QString("QPushButton { background-color: %1; color: black; }"
                                      "QPushButton:focus { border: 2px solid #1a56c8; }")
                                  .arg(toQColor(backColor_).name()));
    }
}

void WidgetLink::syncList() {
    QListWidget* list = list_;
    if (control_.list != lines_ || list->count() != static_cast<int>(lines_.size())) {
        lines_ = control_.list;
        list->clear();
        for (const auto& line : lines_) list->addItem(qtext(line));
    }
    if (control_.backColor != backColor_ || control_.foreColor != foreColor_ ||
        list->palette().color(QPalette::Base) != toQColor(backColor_)) {
        backColor_ = control_.backColor;
        foreColor_ = control_.foreColor;
        QPalette pal = list->palette();
        pal.setColor(QPalette::Base, toQColor(backColor_));
        pal.setColor(QPalette::Text, toQColor(foreColor_));
        list->setPalette(pal);
    }
}
