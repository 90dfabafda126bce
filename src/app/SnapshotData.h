#pragma once
#include "app/ControlState.h"
#include "platform/TextFile.h"
#include "play/QuestionState.h"
#include "sound/Music.h"
#include "state/GameState.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// Everything the game can later read or show, taken from the window at one moment. The controls are
// shared between snapshots where they did not change, and the open script shares its decoded lines
// with the game it came from.
struct SnapshotData {
    struct TimerState {
        bool enabled = false;
        int interval = 0;
        bool operator==(const TimerState&) const = default;
    };
    struct MenuState {
        std::u16string caption;
        bool checked = false, enabled = true, visible = true;
        bool operator==(const MenuState&) const = default;
    };
    // The open scene script: where it was read from and how far. `file` holds its lines when the
    // snapshot was taken from a running game; one read back from text opens the file again.
    struct Script {
        TextFile file;
        std::string path;
        bool open = false;
        std::size_t position = 0; // lines read so far
        std::u16string currentLine, nextLine;
        std::size_t currentLineNumber = 0, nextLineNumber = 0;
        std::string currentPath;
        bool fileOpened = false;
        int blinkPhase = 0;
    };

    std::vector<std::shared_ptr<const ControlState>> controls; // in creation order, the window first
    std::vector<TimerState> timers;                            // in creation order
    std::vector<MenuState> menus;                              // in creation order
    bool windowSizeFixed = false;
    Script script;
    std::shared_ptr<const std::deque<std::u16string>> textLog; // shared while it did not change
    GameState game;
    QuestionState question;
    std::u16string helpText;
    bool musicOn = false;
    Music::Heard music;
    std::uint32_t random = 0;
};
