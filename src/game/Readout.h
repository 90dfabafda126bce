#pragma once
#include "game/Look.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The game's state as a host may read it back, in the game's own names and units: what the headless
// driver's dump prints.

// What a timer drives, as the hosts' timer plan needs to know it.
enum class TimerRole { Story, Blink, Countdown, Watchdog };

// A timer of the window.
struct TimerState {
    std::string name;
    TimerRole role = TimerRole::Story;
    bool enabled = false;
    int interval = 0;
    unsigned long restarts = 0; // counts the restarts of its countdown
    bool operator==(const TimerState&) const = default;
};

// An item of the menu tree, with its submenu.
struct MenuEntry {
    std::string name;
    int index = -1;
    std::u16string caption;
    bool checked = false, enabled = true, visible = true;
    std::vector<MenuEntry> items;
    bool separator() const { return caption == u"-"; }
};

// A name of the window's design, in creation order: a control, a timer or a menu item, or an array
// of them.
struct DesignEntry {
    enum class Kind { Control, Timer, Menu } kind;
    std::string name;
    bool isArray = false;
};

// A control's place and scale in its container's units, as the game reads them back.
struct ControlUnits {
    double left = 0, top = 0, width = 0, height = 0;
    double scaleWidth = 0, scaleHeight = 0; // of its inside, for containers
    std::u16string pictureName;             // the base name of the picture last painted on it
};

// The window's variables.
struct Variables {
    std::string BaseDir, TextDir, GraphicsDir;
    bool MusicOn = false;
    int TurnLimit = 0, LoveThreshold = 0, TurnCount = 0;
    std::array<int, 3> LoveLevels{};
    std::array<std::array<bool, 4>, 3> OnOffFlags{};
    std::array<bool, 3> CnFlags{}, GnFlags{};
    std::array<bool, 9> VisitFlags{}; // days 1..9
    std::u16string CurrentLine, NextLine;
    bool ScriptOpen = false;
    std::array<std::u16string, 2> QstTargets;
    std::array<int, 2> QstTop{};
    int QstCount = 0, BlinkPhase = 0, HintCount = 0;
    std::vector<std::u16string> Hints;
    std::u16string HelpText;
};
