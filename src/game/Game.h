#pragma once
#include "game/Readout.h"
#include "game/Look.h"
#include "game/SceneStart.h"
#include "game/Snapshot.h"
#include "platform/Platform.h"
#include "platform/StoryInfo.h"

#include <array>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class EventRouter;
class Fom;

// A control as a host knows it: the game's name and index, its kind and its container.
struct ControlInfo {
    ControlKind kind;
    std::string name;
    int index = -1;     // -1 when it is not an element of an array
    int container = -1; // the id of the picture box it lies in; -1 when it lies on the window
};

// The window's outer size in twips with its frame, and whether the game may give it its shape.
struct WindowSize {
    double widthTw = 0, heightTw = 0;
    double frameWidthTw = 0, frameHeightTw = 0;
    // Maximised, full screen or still being dragged: the game is laid out stretched in it.
    bool fixed = false;
};

// What the story waits for now.
enum class Waiting {
    Reading, // nothing: the story goes on by itself
    Click,   // a click on the text area (the cyan prompt)
    Choice,  // a place of the command panel (the magenta prompt)
    Answer,  // an answer of a timed question
    Title,   // a difficulty
    Ended    // the game has ended on a run-time error
};

// What a control is to a screen reader.
enum class AccessRole {
    Hidden,    // it shows nothing a player reads (a shadow of a line, a shape, a hidden holder)
    StoryLine, // a line of the story
    Button,    // it does something when clicked: a place, an answer, a difficulty, the menu, the notice
    Picture,   // a picture area
    Text       // something to read: the day, the map, the status list
};

// What became of an input.
enum class Outcome {
    Delivered,
    Ignored,     // no player could have done it now
    UnknownName, // the game has no such control, item or timer
    Failed       // the game has ended on a run-time error (see Game::error)
};

// The game, as a host and the tests see it: start it, size it, hand it the player's inputs and the
// timers' ticks, ask it what it shows, and close it. Each call runs to its end; a run-time error ends
// the game there, and every later call answers Failed.
class Game {
  public:
    Game(Platform& platform, std::string gameDir);
    ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // Creation, Load and the first layout at the design size: the controls exist, no screen yet.
    Outcome load();
    // The title screen, after a layout at the host's size when one is given.
    Outcome activate(const std::optional<WindowSize>& size = {});
    Outcome resize(const WindowSize& size);
    // The player's clicks and presses on a control, by the game's names (index -1: none), delivered
    // only where a player could reach the control.
    Outcome click(const std::string& name, int index = -1);
    Outcome press(const std::string& name, int index = -1);
    Outcome release(const std::string& name, int index = -1);
    Outcome click(std::size_t id);
    Outcome press(std::size_t id);
    Outcome release(std::size_t id);
    Outcome menu(const std::string& item, int index = -1);
    Outcome tick(const std::string& timer);
    // A click on the text area (its newest line), which goes on with the story where it waits for one.
    Outcome advance();
    // Opens the popup menu as a click on "MENU CLICKME" does, where that label can be clicked.
    Outcome openMenu();
    // The window closes (Unload).
    Outcome close();

    // Leaves the title for a new game that starts at a scene, with the day and the variables given
    // (the rest as a new game at NORMAL has them): an author's look at one scene.
    Outcome startAt(const SceneStart& start);

    // A copy of everything the game can later read or show, and its return into this game, which must
    // be loaded on the same folder. Restoring reads no file again that the snapshot holds.
    // A snapshot this game cannot take (of another folder, or whose script file is gone) changes
    // nothing and answers Ignored, with why.
    Snapshot snapshot() const;
    Outcome restore(const Snapshot& snapshot, std::string* why = nullptr);

    // Told each time a scene script opens: the name the game asked for and the file, relative to the
    // game folder.
    void onSceneOpened(std::function<void(const std::u16string& name, const std::string& file)> listener);

    bool ended() const { return !error_.empty(); }
    // The run-time error's message: the file, the line and what was expected.
    const std::string& error() const { return error_; }

    bool titleShown() const;
    bool menuAvailable() const;
    // Whether the text area takes clicks now (the story, not the title).
    bool textAreaReachable() const;
    // Whether a player could click the control now.
    bool reachable(std::size_t id) const;
    // The control the popup menu opens from ("MENU CLICKME"), and the text area whose clicks go on with
    // the story (a host opens the text log over it).
    std::size_t menuAnchor() const { return menuAnchor_; }
    std::size_t textArea() const { return textArea_; }
    // The controls the keys can choose from now, in the order the keyboard's focus goes round them:
    // the title's difficulties, a question's answers from the top, or the places of the command panel
    // while it waits.
    std::vector<std::size_t> choices() const;
    Waiting waiting() const;
    AccessRole role(std::size_t id) const;
    // Whether the player sees the control: it and its containers are visible, and the title does not
    // cover it.
    bool seen(std::size_t id) const;
    // The size the game gave its window in its last layout.
    WindowSize windowSize() const;
    std::u16string caption() const;
    // The story's own name (its story.txt), read at load; the window and the page are called by its
    // title where it has one.
    const StoryInfo& story() const { return story_; }
    // The name the host's window or page goes by: the story's title, else the window's own caption.
    std::u16string title() const;
    Color background() const;
    std::vector<TimerState> timers() const;
    std::vector<MenuEntry> menuItems() const;
    // The story's lines since the scene began, for the text log; and the lines ever shown and the
    // scenes ever begun, so that a reader can tell which are new.
    const std::deque<std::u16string>& textLog() const;
    std::size_t linesShown() const;
    std::size_t scenesBegun() const;
    // The one save slot's file.
    std::string savePath() const;

    // The controls by id (their creation order; containers come before what they hold), what each
    // shows now, and their stacking within each container, bottom first (-1: the window).
    const std::vector<ControlInfo>& controls() const { return controls_; }
    ControlLook look(std::size_t id) const;
    std::vector<std::size_t> stackOf(int container) const;
    // Changes whenever a stacking order may have changed.
    std::size_t stackSignature() const;
    // A control's id by name and index (-1 for element 0 or a single control); -1 when there is none.
    int find(const std::string& name, int index = -1) const;
    // The controls the last input can have changed the look of, when the game knows it touched no
    // others (the prompt's blink; the music's watchdog, none); nothing when any may have changed.
    const std::optional<std::vector<std::size_t>>& touched() const { return touched_; }
    // The two forms a shape shows in turn while it blinks, the next one first; nothing when it does
    // not blink. A host that blinks it without the game shows the two in turn.
    std::optional<std::array<ShapeStyle, 2>> blinkForms(std::size_t id) const;

    // The design's names in creation order, and the state the headless driver dumps.
    std::vector<DesignEntry> design() const;
    ControlUnits units(std::size_t id) const;
    std::optional<TimerState> timer(const std::string& name) const;
    std::vector<MenuEntry> menuArray(const std::string& name) const;
    Variables variables() const;

    // The window object, for tests of the game's rules; hosts never use it.
    Fom& fom() { return *fom_; }
    const Fom& fom() const { return *fom_; }

  private:
    template <class Event> Outcome guard(Event event);
    void listControls();

    std::unique_ptr<Fom> fom_;
    std::unique_ptr<EventRouter> router_;
    std::vector<ControlInfo> controls_;
    std::optional<std::vector<std::size_t>> touched_;
    // The snapshot taken or restored last, whose unchanged controls the next one shares.
    mutable std::shared_ptr<const SnapshotData> lastSnapshot_;
    std::size_t clickMe_ = 0, menuAnchor_ = 0, textArea_ = 0;
    std::string error_;
    StoryInfo story_;
};
