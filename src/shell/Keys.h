#pragma once

// The keys the game answers to, as every host names them, and what each does where the player is: one
// table for the window and the page.

enum class Key { Other, Enter, Space, Escape, Tab, PageUp, PageDown, F11, Up, Down, Left, Right, Control, V };

struct KeyPress {
    Key key = Key::Other;
    bool shift = false, ctrl = false, alt = false, meta = false;
    // Held down and repeating.
    bool repeat = false;
};

enum class KeyAction {
    None,             // not the game's: the host does with it what it does
    Taken,            // the game's, and nothing more to do (a repeat)
    Advance,          // a click on the text area
    Choose,           // a click on the control with the keyboard's focus
    FocusNext,        // the focus moves on among the controls that can be chosen
    FocusPrevious,    // and back
    OpenMenu,         // where "MENU CLICKME" could be clicked
    OpenLog,          // the lines of this scene
    CloseLog,         //
    ToggleFullScreen, //
    ToggleVoice,      // reading aloud on and off
};

// Where the player is, as far as the keys care.
struct KeyContext {
    bool logOpen = false;
    bool focusable = false; // some control can be chosen by keys now
    bool focused = false;   // one has the focus
};

// What a key going down does. Ctrl is not here: held, it runs the story at its fastest (Player).
KeyAction keyAction(const KeyPress& press, const KeyContext& where);
