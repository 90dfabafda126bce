#pragma once
#include "check/Decision.h"
#include "check/SearchRandom.h"
#include "game/Game.h"
#include "platform/Desktop.h"
#include "platform/MusicDevice.h"
#include "platform/PictureLoader.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// The game played by the route search and its replays: the real engine on a quiet platform (no
// pictures decoded, no boxes shown, no pages written), run from one decision of the player to the
// next. Pauses are clicked through as a player would; everything else waits for a decision.
class RoutePlayer {
  public:
    // Where a run of the story stopped.
    enum class Stop : std::uint8_t {
        Panel,    // the magenta prompt: a place is to be chosen
        Question, // a timed question waits for an answer or its time
        Title,    // back at the title: the game is over
        Error,    // the run-time error path ended the game
        Stuck,    // nothing can be clicked and nothing runs
        Loop      // the story goes round the same scenes for ever without asking the player
    };
    struct Leg {
        Stop stop = Stop::Panel;
        std::vector<std::u16string> scenes; // the scenes opened on the way, in order
        std::u16string ending; // at a staff roll or back at the title: the scene that ended the game
        bool staffRoll = false;
        std::string error;
    };

    explicit RoutePlayer(const std::string& gameDir);
    RoutePlayer(const RoutePlayer&) = delete;
    RoutePlayer& operator=(const RoutePlayer&) = delete;

    // Creation, Load and the title screen; false on a run-time error (see game().error()).
    bool start();
    Game& game() { return game_; }
    const Game& game() const { return game_; }
    // Love levels at or above this are alike to the story (254: every level counts).
    void setLoveCap(int cap) { loveCap_ = cap; }
    int loveCap() const { return loveCap_; }
    // Tries every love bonus, not the lowest and the highest only.
    void tryEveryBonus(bool on) { everyBonus_ = on; }

    // Runs the story on to the next decision, the end of the game, or a stop that needs none; the
    // scenes it tells of include those the last decision opened. A staff roll ends the run too: what
    // follows it is the game going back to its title.
    Leg run();
    // The decisions a player can make where the story stopped (at the title: the difficulties).
    std::vector<Decision> decisions(Stop stop) const;
    // Makes the decision; its draws take the values it holds, and the draws made are told by draws().
    Outcome take(const Decision& decision);
    const std::vector<SearchRandom::Made>& draws() const { return random_.made(); }

    // The driver's commands for what was done since the log was switched on, one a line (consecutive
    // ticks of a timer as one command).
    void keepLog(bool on) {
        logging_ = on;
        log_.clear();
    }
    const std::vector<std::string>& log() const { return log_; }

  private:
    // Answers whether the picture's file is there, without decoding it (the checker decodes each once).
    struct QuietPictures : PictureLoader {
        std::optional<PictureSize> load(const std::string& path) override;
        std::unordered_map<std::string, bool> there;
    };
    // Keeps the state a device would, without looking for the files: the game only asks it whether a
    // piece plays, and nothing the story does depends on the answer.
    struct QuietMusic : MusicDevice {
        std::optional<Mode> state;
        bool open(const std::string&) override { return !state && (state = Mode::Stopped, true); }
        bool close() override { return state && (state.reset(), true); }
        bool play() override { return state && (state = Mode::Playing, true); }
        bool stop() override { return state && (state = Mode::Stopped, true); }
        bool rewind() override { return stop(); }
        std::optional<Mode> mode() override { return state; }
    };
    struct QuietDesktop : Desktop {
        void messageBox(const std::string&) override {}
        void popupMenu(const std::string&) override {}
        bool openFile(const std::string&) override { return true; }
    };

    void note(const std::string& command);
    void sceneOpened(const std::u16string& name);
    std::uint64_t sceneMark(const std::u16string& name) const;

    QuietMusic music_;
    QuietPictures pictures_;
    QuietDesktop desktop_;
    SearchRandom random_;
    Platform platform_;
    Game game_;
    int loveCap_ = 254;
    bool everyBonus_ = false;

    Leg leg_; // the run under way, from the last decision taken
    std::unordered_set<std::uint64_t> marks_;
    bool looped_ = false;
    bool logging_ = false;
    std::vector<std::string> log_;
};
