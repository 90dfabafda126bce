#include "qt/ControlWidget.h"

#include "qt/QtPictureLoader.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

QColor toQColor(unsigned c) {
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

ControlWidget::ControlWidget(const ControlInfo& control, AccessRole role, const QtPictureLoader& pictures,
                             QWidget* parent)
    : QWidget(parent), control_(control), role_(role), pictures_(pictures) {
    setObjectName(QString::fromStdString(control.name));
    // A control takes the keyboard's focus only when the player's shell gives it: never by a click, nor
    // as the next in Qt's chain when the focused one hides (Tab goes round the game's choices).
    setFocusPolicy(Qt::NoFocus);
}

void ControlWidget::apply(const ControlLook& look) {
    // What the painting depends on, besides the size and font (the widget's own).
    const ControlLook& p = look_;
    const bool same =
        look.enabled == p.enabled && look.backColor == p.backColor && look.backStyle == p.backStyle &&
        look.borderStyle == p.borderStyle && look.caption == p.caption && look.foreColor == p.foreColor &&
        look.alignment == p.alignment && look.fillColor == p.fillColor && look.fillStyle == p.fillStyle &&
        look.borderColor == p.borderColor && look.shape == p.shape && look.picture == p.picture &&
        pictures_.generation() == pictures_generation_;
    const bool renamed = look.caption != look_.caption;
    look_ = look;
    if (renamed && QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    // A hidden picture box lets go of its scaled copy, and so does one given another picture: it is
    // scaled again when it shows.
    if ((!look.visible || look.picture != scaledPath_) && !scaled_.isNull()) {
        scaled_ = QImage();
        scaledPath_.clear();
    }
    if (same) return;
    pictures_generation_ = pictures_.generation();
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
    // The blinking prompt repaints its square sixty times a second, and with it each line of text it
    // lies over: a line whose text stops short of the square has nothing to draw there, and starting
    // a painter for it would cost more than the prompt's own drawing.
    if (control_.kind == ControlKind::Label && !hasFocus() && paintsNothingIn(event->rect())) return;
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
    // The keyboard's place, framed as a focused button is.
    if (hasFocus()) {
        p.setPen(QPen(QColor(0x1a, 0x56, 0xc8), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void ControlWidget::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
}

void ControlWidget::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

bool ControlWidget::paintsNothingIn(const QRect& dirty) {
    if (look_.backStyle == BackStyle::Opaque || look_.borderStyle == BorderStyle::Single) return false;
    if (look_.caption.empty()) return true;
    return !dirty.intersects(textBox());
}

QRect ControlWidget::textBox() {
    const QRect inner = rect().adjusted(1, 1, -1, -1);
    const QStaticText& text = text_.layout(look_.caption, inner.size(), font(), look_.alignment);
    // A glyph's overhang beyond the laid-out text counts too.
    const int height =
        std::min(inner.height(), static_cast<int>(std::ceil(text.size().height())) + fontMetrics().height());
    return QRect(inner.left(), inner.top(), text_.reach(font(), look_.alignment), height);
}

void ControlWidget::paintLabel(QPainter& p, const QRect& dirty) {
    const QRect r = rect();
    if (look_.backStyle == BackStyle::Opaque) p.fillRect(r, toQColor(look_.backColor));
    if (look_.borderStyle == BorderStyle::Single) {
        p.setPen(QColor(0, 0, 0));
        p.drawRect(r.adjusted(0, 0, -1, -1));
    }
    if (look_.caption.empty()) return;
    // The text is laid out once and kept: the prompt blinking over a line repaints it sixty times a
    // second.
    const QRect inner = r.adjusted(1, 1, -1, -1);
    const QStaticText& text = text_.layout(look_.caption, inner.size(), font(), look_.alignment);
    // Nothing shows outside the inner box, whatever width the text is laid out in.
    if (!dirty.intersects(textBox())) return;
    // A disabled label shows its text greyed, as the desktop does.
    const QColor color = look_.enabled ? toQColor(look_.foreColor) : QColor(160, 160, 160);
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
    const QSize pixels = (QSizeF(size()) * devicePixelRatioF()).toSize();
    if (pixels.isEmpty()) return;
    const ControlLook& l = look_;
    const auto matches = [&](const Form& f) {
        return f.shape == l.shape && f.fill == l.fillColor && f.back == l.backColor &&
               f.border == l.borderColor && f.backStyle == l.backStyle && f.borderStyle == l.borderStyle &&
               f.fillStyle == l.fillStyle && f.size == pixels && !f.image.isNull();
    };
    if (!matches(forms_[0])) {
        std::swap(forms_[0], forms_[1]);
        if (!matches(forms_[0])) {
            Form& form = forms_[0];
            form = Form{l.shape,       l.fillColor, l.backColor,
                        l.borderColor, l.backStyle, l.borderStyle,
                        l.fillStyle,   pixels,      QImage(pixels, QImage::Format_ARGB32_Premultiplied)};
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
    // The figure within the box, half a pixel in, so that its outline falls on whole pixels.
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const ShapeFigure f = shapeFigure(look_.shape, box.width(), box.height());
    const QRectF r(box.left() + f.x, box.top() + f.y, f.width, f.height);
    p.setPen(look_.borderStyle == BorderStyle::None ? QPen(Qt::NoPen) : QPen(toQColor(look_.borderColor)));
    auto draw = [&] {
        if (f.ellipse)
            p.drawEllipse(r);
        else if (f.radius > 0)
            p.drawRoundedRect(r, f.radius, f.radius);
        else
            p.drawRect(r);
    };
    if (look_.backStyle == BackStyle::Opaque) {
        p.setBrush(toQColor(look_.backColor));
        draw();
    }
    p.setBrush(look_.fillStyle == FillStyle::Solid ? QBrush(toQColor(look_.fillColor)) : QBrush(Qt::NoBrush));
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
    const bool samePicture =
        !scaled_.isNull() && scaledPath_ == look_.picture && scaledGeneration_ == pictures_.generation();
    const QImage* shown = &scaled_;
    if (!samePicture || scaled_.size() != size()) {
        // A drag gives the box a new size at every step, each soon gone: the last smooth copy (or the
        // picture itself) is stretched as it is drawn, and scaled smoothly once the size stays.
        const QImage picture = samePicture && drafting_ ? scaled_
                               : look_.picture.empty()  ? QImage()
                                                        : pictures_.picture(look_.picture);
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
            scaledPath_ = look_.picture;
            scaledGeneration_ = pictures_.generation();
        }
    }
    if (shown->isNull() || shown->hasAlphaChannel()) p.fillRect(rect(), toQColor(look_.backColor));
    if (!shown->isNull()) p.drawImage(0, 0, *shown);
    if (look_.borderStyle == BorderStyle::Single) {
        p.setPen(QColor(128, 128, 128));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ControlWidget::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onPress) onPress();
}

void ControlWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onRelease)
        onRelease(rect().contains(event->position().toPoint()));
}
