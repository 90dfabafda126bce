#include "qt/ControlWidget.h"

#include "app/Control.h"
#include "qt/QtPictureLoader.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

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
        look.pictures = pictures_.generation();
        break;
    default:
        break;
    }
    return look;
}

bool ControlWidget::looksAsPainted() const {
    // The same fields as currentLook(), compared where they stand rather than copied.
    const Control& c = control_;
    const Look& p = painted_;
    if (c.enabled != p.enabled || c.backColor != p.backColor || c.backStyle != p.backStyle ||
        c.borderStyle != p.borderStyle)
        return false;
    switch (c.kind) {
    case ControlKind::Label:
        return c.caption == p.caption && c.foreColor == p.foreColor && c.alignment == p.alignment;
    case ControlKind::Shape:
        return c.fillColor == p.fillColor && c.fillStyle == p.fillStyle && c.borderColor == p.borderColor &&
               c.shapeStyle == p.shapeStyle;
    case ControlKind::PictureBox:
        return c.picturePath == p.picturePath && pictures_.generation() == p.pictures;
    default:
        return true;
    }
}

void ControlWidget::refresh() {
    if (looksAsPainted()) return;
    painted_ = currentLook();
    text_.invalidate();
    textImage_ = QImage();
    update();
}

void ControlWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        text_.invalidate();
        textImage_ = QImage();
    }
}

void ControlWidget::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    switch (control_.kind) {
    case ControlKind::Label:
        paintLabel(p, event->rect());
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

void ControlWidget::paintLabel(QPainter& p, const QRect& dirty) {
    const QRect r = rect();
    if (control_.backStyle == 1) p.fillRect(r, toQColor(control_.backColor));
    if (control_.borderStyle == 1) {
        p.setPen(QColor(0, 0, 0));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (control_.caption.empty()) return;
    // The text is laid out once and kept: the prompt blinking over a line repaints it sixty times a
    // second.
    const QRect inner = r.adjusted(1, 1, -1, -1);
    const QStaticText& text = text_.layout(control_.caption, inner.size(), font(), control_.alignment);
    // Nothing shows outside the inner box, whatever width the text is laid out in.
    if (!dirty.intersects(QRect(inner.left(), inner.top(), inner.width(), text.size().toSize().height())))
        return;
    // A disabled label shows its text greyed, as the desktop does.
    const QColor color = control_.enabled ? toQColor(control_.foreColor) : QColor(160, 160, 160);
    const QSize shown(inner.width(),
                      std::min(inner.height(), static_cast<int>(std::ceil(text.size().height()))));
    const bool small = static_cast<qint64>(dirty.width()) * dirty.height() * 8 <
                       static_cast<qint64>(shown.width()) * shown.height();
    if (small && !shown.isEmpty()) {
        const qreal ratio = devicePixelRatioF();
        if (textImage_.isNull() || textImage_.deviceIndependentSize().toSize() != shown ||
            textImage_.devicePixelRatio() != ratio) {
            textImage_ = QImage((QSizeF(shown) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
            textImage_.setDevicePixelRatio(ratio);
            textImage_.fill(Qt::transparent);
            QPainter t(&textImage_);
            t.setPen(color);
            t.setFont(font());
            t.drawStaticText(0, 0, text);
        }
        p.drawImage(inner.topLeft(), textImage_);
        return;
    }
    p.setPen(color);
    p.setFont(font());
    p.setClipRect(inner);
    p.drawStaticText(inner.topLeft(), text);
}

void ControlWidget::paintShape(QPainter& p) {
    // A blinking shape shows two forms in turn: each is drawn once and copied after.
    const Look look = currentLook();
    const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
    if (pixels.isEmpty()) return;
    const auto matches = [&](const Form& f) { return f.look == look && f.size == pixels; };
    if (!matches(forms_[0])) {
        std::swap(forms_[0], forms_[1]);
        if (!matches(forms_[0])) {
            Form& form = forms_[0];
            form.look = look;
            form.size = pixels;
            form.image = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
            form.image.setDevicePixelRatio(devicePixelRatioF());
            form.image.fill(Qt::transparent);
            QPainter s(&form.image);
            drawShape(s);
        }
    }
    p.drawImage(0, 0, forms_[0].image);
}

void ControlWidget::drawShape(QPainter& p) {
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

void ControlWidget::setDrafting(bool on) {
    drafting_ = on;
    if (on || !drafted_) return;
    drafted_ = false;
    draft_.release();
    update();
}

void ControlWidget::paintPictureBox(QPainter& p) {
    // While the loader's count of decoded pictures stands still, the path shows what it showed: a part
    // of the box painted again (under the blinking prompt) is drawn from the scaled copy at once.
    const bool samePicture = !scaled_.isNull() && scaledPath_ == control_.picturePath &&
                             scaledGeneration_ == pictures_.generation();
    const QImage* shown = &scaled_;
    if (!samePicture || scaled_.size() != size()) {
        // A drag gives the box a new size at every step, each soon gone: the last smooth copy (or the
        // picture itself) is stretched as it is drawn, and scaled smoothly once the size stays.
        const QImage picture = samePicture && drafting_       ? scaled_
                               : control_.picturePath.empty() ? QImage()
                                                              : pictures_.picture(control_.picturePath);
        if (drafting_ && !picture.isNull() && !rect().isEmpty()) {
            shown = &draft_.stretched(picture, size());
            drafted_ = true;
        } else {
            // The picture is stretched over the whole box; its proportions are not kept. Scaling a
            // large picture is slow, so the scaled copy is kept for the repaints that follow.
            if (picture.isNull() || rect().isEmpty())
                scaled_ = QImage();
            else if (scaled_.size() != size() || scaledKey_ != picture.cacheKey())
                scaled_ = picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            scaledKey_ = picture.cacheKey();
            scaledPath_ = control_.picturePath;
            scaledGeneration_ = pictures_.generation();
        }
    }
    if (shown->isNull() || shown->hasAlphaChannel()) p.fillRect(rect(), toQColor(control_.backColor));
    if (!shown->isNull()) p.drawImage(0, 0, *shown);
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
