#include "app/Control.h"

// Twips to one unit of the inside's scale, along a side of the given inner size and user scale.
double Control::twipsPerUnit(double innerTw, double userScale) const {
    switch (scaleMode) {
    case ScaleMode::User:
        return innerTw / userScale;
    case ScaleMode::Pixels:
        return kTwipsPerPixel;
    case ScaleMode::Twips:
        break;
    }
    return 1.0;
}

double Control::twipsPerUnitX() const {
    return twipsPerUnit(innerWidthTw(), userScaleWidth_);
}

double Control::twipsPerUnitY() const {
    return twipsPerUnit(innerHeightTw(), userScaleHeight_);
}

double Control::scaleWidth() const {
    return scaleMode == ScaleMode::User ? userScaleWidth_ : innerWidthTw() / twipsPerUnitX();
}

double Control::scaleHeight() const {
    return scaleMode == ScaleMode::User ? userScaleHeight_ : innerHeightTw() / twipsPerUnitY();
}

void Control::setScaleWidth(double w) {
    if (scaleMode != ScaleMode::User) userScaleHeight_ = scaleHeight();
    scaleMode = ScaleMode::User;
    userScaleWidth_ = w;
}

void Control::setScaleHeight(double h) {
    if (scaleMode != ScaleMode::User) userScaleWidth_ = scaleWidth();
    scaleMode = ScaleMode::User;
    userScaleHeight_ = h;
}

void Control::setScaleMode(ScaleMode mode) {
    scaleMode = mode;
    if (mode != ScaleMode::User) scaleLeft = scaleTop = 0;
}

double Control::left() const {
    if (!container) return leftTw;
    return container->scaleLeft + leftTw / container->twipsPerUnitX();
}

double Control::top() const {
    if (!container) return topTw;
    return container->scaleTop + topTw / container->twipsPerUnitY();
}

double Control::width() const {
    return container ? widthTw / container->twipsPerUnitX() : widthTw;
}

double Control::height() const {
    return container ? heightTw / container->twipsPerUnitY() : heightTw;
}

void Control::move(double l, double t, double w, double h) {
    if (!container) {
        leftTw = l, topTw = t, widthTw = w, heightTw = h;
        return;
    }
    const double ux = container->twipsPerUnitX(), uy = container->twipsPerUnitY();
    leftTw = (l - container->scaleLeft) * ux;
    topTw = (t - container->scaleTop) * uy;
    widthTw = w * ux;
    heightTw = h * uy;
}

void Control::setTop(double t) {
    if (!container) {
        topTw = t;
        return;
    }
    topTw = (t - container->scaleTop) * container->twipsPerUnitY();
}

void Control::setWidth(double w) {
    widthTw = container ? w * container->twipsPerUnitX() : w;
}

bool Control::reachable() const {
    for (const Control* c = this; c; c = c->container)
        if (!c->visible || !c->enabled) return false;
    return true;
}

bool Control::isInside(const Control& ancestor) const {
    for (const Control* c = container; c; c = c->container)
        if (c == &ancestor) return true;
    return false;
}

ControlLook Control::look() const {
    ControlLook l;
    l.visible = visible;
    l.enabled = enabled;
    l.leftTw = leftTw, l.topTw = topTw, l.widthTw = widthTw, l.heightTw = heightTw;
    l.fontSize = fontSize;
    l.toolTip = toolTipText;
    l.backColor = backColor;
    l.borderStyle = borderStyle;
    switch (kind) {
    case ControlKind::Window:
        l.caption = caption;
        break;
    case ControlKind::Label:
        l.caption = caption;
        l.foreColor = foreColor;
        l.backStyle = backStyle;
        l.alignment = alignment;
        break;
    case ControlKind::CommandButton:
        l.caption = caption;
        break;
    case ControlKind::PictureBox:
        l.picture = picturePath;
        break;
    case ControlKind::Shape:
        l.backStyle = backStyle;
        l.fillColor = fillColor;
        l.fillStyle = fillStyle;
        l.borderColor = borderColor;
        l.shape = shapeStyle;
        break;
    case ControlKind::ListBox:
        l.foreColor = foreColor;
        l.list = list;
        break;
    }
    return l;
}

ControlState Control::state() const {
    return {zorder,          caption,      toolTipText,   visible,     enabled,    foreColor, backColor,
            backStyle,       borderStyle,  alignment,     fontSize,    shapeStyle, fillColor, fillStyle,
            borderColor,     list,         pictureName,   picturePath, leftTw,     topTw,     widthTw,
            heightTw,        frameWidthTw, frameHeightTw, scaleMode,   scaleLeft,  scaleTop,  userScaleWidth_,
            userScaleHeight_};
}

void Control::setState(const ControlState& s) {
    zorder = s.zorder;
    caption = s.caption;
    toolTipText = s.toolTipText;
    visible = s.visible;
    enabled = s.enabled;
    foreColor = s.foreColor;
    backColor = s.backColor;
    backStyle = s.backStyle;
    borderStyle = s.borderStyle;
    alignment = s.alignment;
    fontSize = s.fontSize;
    shapeStyle = s.shapeStyle;
    fillColor = s.fillColor;
    fillStyle = s.fillStyle;
    borderColor = s.borderColor;
    list = s.list;
    pictureName = s.pictureName;
    picturePath = s.picturePath;
    leftTw = s.leftTw, topTw = s.topTw, widthTw = s.widthTw, heightTw = s.heightTw;
    frameWidthTw = s.frameWidthTw, frameHeightTw = s.frameHeightTw;
    scaleMode = s.scaleMode;
    scaleLeft = s.scaleLeft, scaleTop = s.scaleTop;
    userScaleWidth_ = s.userScaleWidth, userScaleHeight_ = s.userScaleHeight;
}

bool Control::hasState(const ControlState& s) const {
    return zorder == s.zorder && visible == s.visible && enabled == s.enabled && foreColor == s.foreColor &&
           backColor == s.backColor && backStyle == s.backStyle && borderStyle == s.borderStyle &&
           alignment == s.alignment && fontSize == s.fontSize && shapeStyle == s.shapeStyle &&
           fillColor == s.fillColor && fillStyle == s.fillStyle && borderColor == s.borderColor &&
           leftTw == s.leftTw && topTw == s.topTw && widthTw == s.widthTw && heightTw == s.heightTw &&
           frameWidthTw == s.frameWidthTw && frameHeightTw == s.frameHeightTw && scaleMode == s.scaleMode &&
           scaleLeft == s.scaleLeft && scaleTop == s.scaleTop && userScaleWidth_ == s.userScaleWidth &&
           userScaleHeight_ == s.userScaleHeight && caption == s.caption && toolTipText == s.toolTipText &&
           pictureName == s.pictureName && picturePath == s.picturePath && list == s.list;
}
