#include "qt/WindowKeys.h"

#include "qt/HeldEventQueue.h"

#include <QKeyEvent>
#include <QWheelEvent>

std::optional<KeyPress> WindowKeys::keyOf(const QKeyEvent& event) {
    KeyPress k;
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: // the keypad's
        k.key = Key::Enter;
        break;
    case Qt::Key_Space:
        k.key = Key::Space;
        break;
    case Qt::Key_Escape:
        k.key = Key::Escape;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        k.key = Key::Tab;
        break;
    case Qt::Key_PageUp:
        k.key = Key::PageUp;
        break;
    case Qt::Key_PageDown:
        k.key = Key::PageDown;
        break;
    case Qt::Key_F11:
        k.key = Key::F11;
        break;
    case Qt::Key_Control:
        k.key = Key::Control;
        break;
    case Qt::Key_Up:
        k.key = Key::Up;
        break;
    case Qt::Key_Down:
        k.key = Key::Down;
        break;
    case Qt::Key_Left:
        k.key = Key::Left;
        break;
    case Qt::Key_Right:
        k.key = Key::Right;
        break;
    case Qt::Key_V:
        k.key = Key::V;
        break;
    default:
        return std::nullopt;
    }
    const Qt::KeyboardModifiers mods = event.modifiers();
    k.shift = (mods & Qt::ShiftModifier) || event.key() == Qt::Key_Backtab;
    k.ctrl = (mods & Qt::ControlModifier) && event.key() != Qt::Key_Control;
    k.alt = mods & Qt::AltModifier;
    k.meta = mods & Qt::MetaModifier;
    k.repeat = event.isAutoRepeat();
    return k;
}

bool WindowKeys::press(const QKeyEvent& event) {
    const std::optional<KeyPress> k = keyOf(event);
    if (!k) return false;
    if (k->key == Key::Control) {
        if (player_.setFastForward(true)) act_.changed();
        return false;
    }
    const KeyAction action = player_.action(*k);
    switch (action) {
    case KeyAction::None:
        return false;
    case KeyAction::Taken:
        return true;
    case KeyAction::ToggleFullScreen:
        act_.toggleFullScreen();
        return true;
    case KeyAction::ToggleVoice:
        act_.toggleVoice();
        return true;
    case KeyAction::OpenLog:
        openLog();
        return true;
    case KeyAction::CloseLog:
        player_.perform(action);
        act_.hideTextLog();
        return true;
    case KeyAction::FocusNext:
    case KeyAction::FocusPrevious:
        player_.perform(action);
        act_.changed();
        return true;
    default:
        // The game's: held until the event running (if any) is over.
        events_.run([this, action] { player_.perform(action); });
        return true;
    }
}

void WindowKeys::release(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Control && !event.isAutoRepeat()) letGo();
}

void WindowKeys::letGo() {
    if (player_.setFastForward(false)) act_.changed();
}

void WindowKeys::openLog() {
    if (player_.openLog()) act_.showTextLog();
}

bool WindowKeys::wheel(const QWheelEvent& event, const QRect& textArea) {
    if (event.angleDelta().y() > 0 && textArea.contains(event.position().toPoint())) {
        openLog();
        return true;
    }
    return false;
}
