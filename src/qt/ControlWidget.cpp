#include "qt/ControlWidget.h"

#include "app/Control.h"
#include "qt/QtPictureLoader.h"

#include <QMouseEvent>
#include <QPainter>

QColor toQColor(unsigned c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

ControlWidget::ControlWidget(const Control& control, const QtPictureLoader& pictures, QWidget* parent)
    : QWidget(parent), control_(control), pictures_(pictures) {
    setObjectName(QString::fromStdString(control.name));
    painted_ = currentLook();
}

ControlWidget::Look ControlWidget::currentLook() const {
    const Control& c = control_;
    Look look;
    look.enabled = c.enabled;
    look.backColor = c.backColor;
    look.backStyle = c.backStyle;
    look.borderStyle = c.borderStyle;
    switch (c.kind) {
    case ControlKind::Label:
        look.caption = c.caption;
        look.foreColor = c.foreColor;
        look.alignment = c.alignment;
        break;
    case ControlKind::Shape:
        look.fillColor = c.fillColor;
        look.fillStyle = c.fillStyle;
        look.borderColor = c.borderColor;
        look.shapeStyle = c.shapeStyle;
        break;
    case ControlKind::PictureBox:
        look.picturePath = c.picturePath;
        if (!c.picturePath.empty()) look.pictureKey = pictures_.picture(c.picturePath).cacheKey();
        break;
    default:
        break;
    }
    return look;
}

void ControlWidget::refresh() {
    Look look = currentLook();
    if (look == painted_) return;
    painted_ = std::move(look);
    update();
}

void ControlWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    switch (control_.kind) {
    case ControlKind::Label:
        paintLabel(p);
        break;
    case ControlKind::Shape:
        paintShape(p);
        break;
    case ControlKind::PictureBox:
        paintPictureBox(p);
        break;
    default:
        break;
    }
}

void ControlWidget::paintLabel(QPainter& p) {
    const QRect r = rect();
    if (control_.backStyle == 1) p.fillRect(r, toQColor(control_.backColor));
    if (control_.borderStyle == 1) {
        p.setPen(QColor(0, 0, 0));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (control_.caption.empty()) return;
    // A disabled label shows its text greyed, as the desktop does.
    p.setPen(control_.enabled ? toQColor(control_.foreColor) : QColor(160, 160, 160));
    p.setFont(font());
    int flags = Qt::AlignTop | Qt::TextWordWrap;
    flags |= control_.alignment == 1   ? Qt::AlignRight
             : control_.alignment == 2 ? Qt::AlignHCenter
                                       : Qt::AlignLeft;
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
    const QImage picture = control_.picturePath.empty() ? QImage() : pictures_.picture(control_.picturePath);
    if (picture.isNull() || picture.hasAlphaChannel()) p.fillRect(rect(), toQColor(control_.backColor));
    if (!picture.isNull() && !rect().isEmpty()) {
        // The picture is stretched over the whole box; its proportions are not kept. Scaling a large
        // picture is slow, so the scaled copy is kept for the repaints that follow.
        if (scaled_.size() != size() || scaledKey_ != picture.cacheKey()) {
            scaled_ = picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            scaledKey_ = picture.cacheKey();
        }
        p.drawImage(0, 0, scaled_);
    } else {
        scaled_ = QImage();
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
    if (event->button() == Qt::LeftButton && onRelease)
        onRelease(control_, rect().contains(event->position().toPoint()));
}
