#include "qt/WindowKeys.h"

#include <QKeyEvent>
#include <QWheelEvent>

bool WindowKeys::windowKey(const QKeyEvent& event) {
    const int key = event.key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key == Qt::Key_Control) {
        setFastForward(true);
        return false;
    }
    const bool fullScreenKey = key == Qt::Key_F11 || (enter && (event.modifiers() & Qt::AltModifier));
    if (event.isAutoRepeat()) return fullScreenKey;
    if (fullScreenKey) {
        act_.toggleFullScreen();
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (act_.textLogOpen())
            act_.closeTextLog();
        else
            act_.openMenu();
        return true;
    }
    if (key == Qt::Key_PageUp) {
        act_.openTextLog();
        return true;
    }
    return false;
}

bool WindowKeys::press(const QKeyEvent& event) {
    if (windowKey(event)) return true;
    const int key = event.key();
    const bool plain = (event.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && !event.isAutoRepeat() &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        // A click on the text area: it goes on with the story only where a click would.
        act_.clickText();
        return true;
    }
    return false;
}

void WindowKeys::release(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Control && !event.isAutoRepeat()) setFastForward(false);
}

bool WindowKeys::wheel(const QWheelEvent& event, const QRect& textArea) {
    if (event.angleDelta().y() > 0 && textArea.contains(event.position().toPoint())) {
        act_.openTextLog();
        return true;
    }
    return false;
}

void WindowKeys::setFastForward(bool on) {
    if (fastForward_ == on) return;
    fastForward_ = on;
    act_.fastForwardChanged();
}
