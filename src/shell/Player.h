#pragma once
#include "game/Game.h"
#include "shell/Keys.h"
#include "shell/TimerPlan.h"
#include "shell/Voice.h"

#include <optional>
#include <vector>

// The player's comforts around the game, the same in every host: the keys, fast-forward, the text
// log, the keyboard's focus, and the plan the host's timers follow. A host turns its own events into
// calls here and draws; the game's rules are the game's.
class Player {
  public:
    Player(Game& game, TimerPace pace) : game_(game), pace_(pace) {}

    // What the host does itself after a key.
    enum class HostAction { None, ToggleFullScreen, OpenLog, CloseLog, ToggleVoice };
    struct KeyOutcome {
        bool taken = false; // the key was the game's: the host passes it on no further
        HostAction host = HostAction::None;
        Outcome game = Outcome::Delivered; // what the game made of it, where it went to the game
    };
    KeyOutcome keyDown(const KeyPress& press);
    void keyUp(const KeyPress& press);
    // The same in two steps, for a host that must hold the game's part until a running event is over:
    // what the key does here (without doing it), then doing it.
    KeyAction action(const KeyPress& press) const;
    KeyOutcome perform(KeyAction action);

    // The story at its fastest while Ctrl (or a button on a touch screen) is held. Returns whether it
    // changed.
    bool setFastForward(bool on);
    bool fastForward() const { return fastForward_; }

    // The text log may open in the story, not over the title; while it is open the story waits.
    bool mayOpenLog() const { return !logOpen_ && game_.textAreaReachable(); }
    // Returns whether it opened; the host then shows game().textLog().
    bool openLog();
    void closeLog() { logOpen_ = false; }
    bool logOpen() const { return logOpen_; }
    // A message box over the game (where the host cannot wait for it): the story waits.
    void setMessageBoxOpen(bool open) { messageBox_ = open; }

    // The control with the keyboard's focus, among those the keys can choose now.
    std::optional<std::size_t> focus() const { return focus_; }
    // Moves it on (or back), round the choices; returns whether it moved.
    bool moveFocus(bool next);
    // The focus follows the screen after every event: when the title comes up it rests on the middle
    // difficulty; it leaves a control that can no longer be chosen. Returns whether it changed.
    bool afterEvent();

    // Reading aloud, switched by the host (which knows whether its platform has a voice).
    void setVoice(bool on) { voice_.setOn(on, game_); }
    bool voiceOn() const { return voice_.on(); }
    // What to say now: the new lines and the choice the focus came to, while reading aloud is on.
    std::vector<std::u16string> spoken() { return voice_.take(game_, focus_); }

    // How the host's timers are to run now.
    std::vector<TimerRun> timers() const;
    const TimerPace& pace() const { return pace_; }
    Game& game() { return game_; }

  private:
    Outcome choose(std::size_t id);

    Game& game_;
    TimerPace pace_;
    bool fastForward_ = false;
    bool logOpen_ = false;
    bool messageBox_ = false;
    bool titleShown_ = false;
    std::optional<std::size_t> focus_;
    Voice voice_;
};
