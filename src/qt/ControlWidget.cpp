#include "qt/ControlWidget.h"

#include "app/Control.h"
#include "platform/TextCodec.h"
#include "qt/QtPictureLoader.h"

#include <QMouseEvent>
#include <QPainter>

QColor toQColor(unsigned c) { return QColor(redOf(c), greenOf(c), blueOf(c)); }

ControlWidget::ControlWidget(const Control& control, const QtPictureLoader& pictures, QWidget* parent)
    : QWidget(parent), control_(control), pictures_(pictures) {
    setObjectName(QString::fromStdString(control.name));
}

void ControlWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    switch (control_.kind) {
    case ControlKind::Label: paintLabel(p); break;
    case ControlKind::Shape: paintShape(p); break;
    case ControlKind::PictureBox: paintPictureBox(p); break;
    default: break;
    }
}

void ControlWidget::paintLabel(QPainter& p) {
    const QRect r = rect();
    if (control_.backStyle == 1) p.fillRect(r, toQColor(control_.backColor));
    if (control_.borderStyle == 1) {
        p.setPen(QColor(0, 0, 0));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    // A disabled label shows its text greyed, as the desktop does.
    p.setPen(control_.enabled ? toQColor(control_.foreColor) : QColor(160, 160, 160));
    p.setFont(font());
    int flags = Qt::AlignTop | Qt::TextWordWrap;
    flags |= control_.alignment == 1 ? Qt::AlignRight : control_.alignment == 2 ? Qt::AlignHCenter : Qt::AlignLeft;
    p.drawText(r.adjusted(1, 1, -1, -1), flags, QString::fromStdU16String(control_.caption));
}

void ControlWidget::paintShape(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const int style = control_.shapeStyle;
    if (style == 1 || style == 3 || style == 5) {
        // Squares and circles take the shorter side, centred.
        const double side = std::min(r.width(), r.height());
        r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    }
    p.setPen(control_.borderStyle == 0 ? QPen(Qt::NoPen) : QPen(toQColor(control_.borderColor)));
    const double radius = std::min(r.width(), r.height()) / 4;
    auto draw = [&] {
        if (style == 2 || style == 3)
            p.drawEllipse(r);
        else if (style == 4 || style == 5)
            p.drawRoundedRect(r, radius, radius);
        else
            p.drawRect(r);
    };
    if (control_.backStyle == 1) {
        p.setBrush(toQColor(control_.backColor));
        draw();
    }
    p.setBrush(control_.fillStyle == 0 ? QBrush(toQColor(control_.fillColor)) : QBrush(Qt::NoBrush));
    draw();
}

void ControlWidget::paintPictureBox(QPainter& p) {
    p.fillRect(rect(), toQColor(control_.backColor));
    if (!control_.picturePath.empty()) {
        // The picture is stretched over the whole box; its proportions are not kept.
        const QImage picture = pictures_.picture(control_.picturePath);
        if (!picture.isNull()) {
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawImage(rect(), picture);
        }
    }
    if (control_.borderStyle == 1) {
        p.setPen(QColor(128, 128, 128));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ControlWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onPress) onPress(control_);
}

void ControlWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onRelease) onRelease(control_, rect().contains(event->position().toPoint()));
}
