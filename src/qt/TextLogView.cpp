#include "qt/TextLogView.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

TextLogView::TextLogView(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName("TextLog");
    setReadOnly(true);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setStyleSheet("QPlainTextEdit { background: rgba(8, 8, 40, 242); color: white; padding: 1em; }");
    hide();
}

void TextLogView::showLines(const std::deque<std::u16string>& lines) {
    QStringList text;
    for (const auto& line : lines) text << QString::fromStdU16String(line);
    setPlainText(text.join('\n'));
    QFont f = font();
    f.setPointSizeF(std::max(10.0, parentWidget()->height() / 36.0 * 72.0 / logicalDpiY()));
    setFont(f);
    show();
    raise();
    setFocus();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

bool TextLogView::atEnd() const {
    return verticalScrollBar()->value() >= verticalScrollBar()->maximum();
}

void TextLogView::keyPressEvent(QKeyEvent* event) {
    const bool leave = event->key() == Qt::Key_Escape ||
                       (event->key() == Qt::Key_PageDown && atEnd() && !event->isAutoRepeat());
    if (leave) {
        if (onClose) onClose();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextLogView::wheelEvent(QWheelEvent* event) {
    if (event->angleDelta().y() < 0 && atEnd()) {
        if (onClose) onClose();
        return;
    }
    QPlainTextEdit::wheelEvent(event);
}
