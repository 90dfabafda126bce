#include "shell/Keys.h"

KeyAction keyAction(const KeyPress& k, const KeyContext& where) {
    const bool enter = k.key == Key::Enter;
    // Full screen, never the story's Enter.
    if (k.key == Key::F11 || (enter && k.alt))
        return k.repeat ? KeyAction::Taken : KeyAction::ToggleFullScreen;
    const bool plain = !k.shift && !k.ctrl && !k.alt && !k.meta;
    switch (k.key) {
    case Key::Escape:
        if (k.repeat) return KeyAction::Taken;
        return where.logOpen ? KeyAction::CloseLog : KeyAction::OpenMenu;
    case Key::PageUp:
        return where.logOpen ? KeyAction::None : KeyAction::OpenLog;
    case Key::Tab:
        if (!where.focusable || k.ctrl || k.alt || k.meta) return KeyAction::None;
        return k.shift ? KeyAction::FocusPrevious : KeyAction::FocusNext;
    case Key::Up:
    case Key::Left:
    case Key::Down:
    case Key::Right:
        // The arrows go round the choices as Tab does.
        if (!where.focusable || !plain || where.logOpen) return KeyAction::None;
        return k.key == Key::Up || k.key == Key::Left ? KeyAction::FocusPrevious : KeyAction::FocusNext;
    case Key::V:
        if (!plain || where.logOpen) return KeyAction::None;
        return k.repeat ? KeyAction::Taken : KeyAction::ToggleVoice;
    case Key::Enter:
    case Key::Space:
        if (!plain || where.logOpen) return KeyAction::None;
        if (k.repeat) return KeyAction::Taken;
        // The focused control is pressed, as by the mouse; elsewhere the key is a click on the text.
        return where.focused ? KeyAction::Choose : KeyAction::Advance;
    default:
        return KeyAction::None;
    }
}
