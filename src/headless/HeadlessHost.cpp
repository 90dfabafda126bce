#include "headless/HeadlessHost.h"

#include "game/Game.h"
#include "headless/StateDump.h"
#include "platform/Desktop.h"
#include "platform/QueuedRandom.h"
#include "platform/SimulatedMusicDevice.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <chrono>
#include <istream>
#include <ostream>
#include <sstream>
#include <vector>

namespace {

using statedump::Json;

class EventOut {
  public:
    explicit EventOut(std::ostream& out) : out_(out) {}
    void print(const std::string& event, Json fields = Json::object()) {
        Json line;
        line["event"] = event;
        for (auto& [key, value] : fields.items()) line[key] = value;
        out_ << line.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
        out_.flush();
    }

  private:
    std::ostream& out_;
};

class RecordingDesktop : public Desktop {
  public:
    explicit RecordingDesktop(EventOut& out) : out_(out) {}
    void messageBox(const std::string& text) override { out_.print("msgbox", {{"text", text}}); }
    void popupMenu(const std::string& menu) override { out_.print("popup", {{"menu", menu}}); }
    bool openFile(const std::string& path) override { return out_.print("open", {{"path", path}}), true; }

  private:
    EventOut& out_;
};

struct Malformed {
    std::string why;
};
// The game has ended on its run-time error.
struct Ended {};

// A driver's word as it may be quoted on standard error: a line of any length is cut short there.
std::string shown(const std::string& word) {
    constexpr std::size_t kShown = 80;
    if (word.size() <= kShown) return word;
    return word.substr(0, kShown) + "... (" + std::to_string(word.size()) + " bytes)";
}

// Whole numbers of the driver's commands: decimal digits only, so a sign or a fraction is malformed.
int wholeNumber(const std::string& word, const std::string& what) {
    bool digits = !word.empty() && word.size() <= 9 &&
                  std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits) return std::stoi(word);
    throw Malformed{what + " must be a whole number written in decimal digits, not \"" + shown(word) + "\""};
}

// The longest driver line: no command comes near it, and a line without end must not take the
// machine's memory before it is refused.
constexpr std::size_t kLongestLine = 1u << 20;

// Reads one line of driver commands, without its line end; false at the end of the input.
bool readDriverLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf& buffer = *in.rdbuf();
    for (;;) {
        const int c = buffer.sbumpc();
        if (c == std::char_traits<char>::eof()) return !line.empty();
        if (c == '\n') return true;
        if (line.size() == kLongestLine)
            throw Malformed{"a driver line is longer than " + std::to_string(kLongestLine) +
                            " bytes: " + shown(line)};
        line.push_back(static_cast<char>(c));
    }
}

class Driver {
  public:
    Driver(const std::string& gameDir, std::optional<unsigned> seed, PictureLoader& pictures,
           std::ostream& out)
        : events_(out), desktop_(events_),
          platform_{music_, pictures, desktop_, random_, seed.value_or(clockSeed()), musicHeard(events_),
                    {},     {}},
          game_(platform_, gameDir) {}

    // Creation, Load, the first Resize at the creation size and the title screen; then, for an
    // author's look at one scene, the game begun there.
    void start(const std::optional<SceneStart>& at) {
        game_.onSceneOpened([this](const std::u16string& name, const std::string& file) {
            if (traceScenes_) events_.print("scene", {{"name", text::toUtf8(name)}, {"file", file}});
        });
        check(game_.load());
        check(game_.activate());
        if (at) check(game_.startAt(*at));
    }

    // Carries out one command line; returns false when the driver is to stop.
    bool run(const std::string& line) {
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty() || w[0][0] == '#') return true;
        const std::string& verb = w[0];
        auto optionalIndex = [&](std::size_t at) {
            if (w.size() > at + 1) throw Malformed{"too many words"};
            return w.size() > at ? wholeNumber(w[at], "the index") : -1;
        };
        auto report = [&](Outcome r) {
            check(r);
            if (r == Outcome::UnknownName) throw Malformed{"no such name: " + shown(w.at(1))};
            if (r == Outcome::Ignored) events_.print("ignored", {{"command", line}});
        };
        auto needName = [&] {
            if (w.size() < 2) throw Malformed{verb + " needs a name"};
        };

        if (verb == "tick") {
            needName();
            int count = optionalIndex(2);
            if (count < 0 && w.size() < 3) count = 1;
            if (count < 1) throw Malformed{"the count must be at least 1"};
            for (int i = 0; i < count; ++i) {
                auto r = game_.tick(w[1]);
                report(r);
                if (r != Outcome::Delivered) break;
            }
        } else if (verb == "click" || verb == "press" || verb == "release") {
            needName();
            int index = optionalIndex(2);
            if (verb == "click") report(game_.click(w[1], index));
            if (verb == "press") report(game_.press(w[1], index));
            if (verb == "release") report(game_.release(w[1], index));
        } else if (verb == "menu") {
            needName();
            report(game_.menu(w[1], optionalIndex(2)));
        } else if (verb == "resize") {
            if (w.size() != 3) throw Malformed{"resize needs a width and a height"};
            int width = wholeNumber(w[1], "the width"), height = wholeNumber(w[2], "the height");
            if (width <= 0 || height <= 0) throw Malformed{"the size must be positive"};
            // Headless has no frame: the outer size is the client size (15 twips a pixel).
            check(game_.resize({width * 15.0, height * 15.0}));
        } else if (verb == "music-end") {
            if (w.size() != 1) throw Malformed{"music-end takes nothing more"};
            music_.pieceEnded();
        } else if (verb == "random") {
            if (w.size() < 2) throw Malformed{"random needs at least one value"};
            for (std::size_t i = 1; i < w.size(); ++i) random_.queue(drawValue(w[i]));
        } else if (verb == "dump") {
            dump(w);
        } else if (verb == "trace") {
            if (w.size() != 2 || w[1] != "scenes") throw Malformed{"trace takes one word: scenes"};
            traceScenes_ = true;
        } else if (verb == "quit") {
            return false;
        } else {
            throw Malformed{"unknown command " + shown(verb)};
        }
        return true;
    }

    void close() { check(game_.close()); }
    EventOut& events() { return events_; }
    const Game& game() const { return game_; }

  private:
    // Every music command is printed as it is sent.
    static std::function<void(const std::string&)> musicHeard(EventOut& events) {
        return [&events](const std::string& command) { events.print("music", {{"command", command}}); };
    }

    // A run-time error ends the run at once, without the close handlers.
    void check(Outcome o) {
        if (o == Outcome::Failed) throw Ended{};
    }

    static unsigned clockSeed() {
        return static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count());
    }

    static float drawValue(const std::string& word) {
        try {
            std::size_t used = 0;
            double v = std::stod(word, &used);
            // The game draws in single precision: the range is checked on the value it will see, so
            // that 0.99999999, which becomes 1 as a float, is refused.
            float f = static_cast<float>(v);
            if (used == word.size() && v >= 0 && f < 1) return f;
        } catch (const std::exception&) {
        }
        throw Malformed{"a random value must lie in [0, 1) as a single-precision number, not \"" +
                        shown(word) + "\""};
    }

    void dump(const std::vector<std::string>& w) {
        if (w.size() == 1) {
            events_.print("state",
                          {{"vars", statedump::vars(game_)}, {"controls", statedump::controls(game_)}});
            return;
        }
        if (w.size() > 3) throw Malformed{"too many words"};
        std::optional<int> index;
        if (w.size() == 3) index = wholeNumber(w[2], "the index");
        auto value = statedump::named(game_, w[1], index);
        if (!value) throw Malformed{"nothing to dump under " + shown(w[1]) + (index ? " " + w[2] : "")};
        events_.print("state", {{"value", *value}});
    }

    EventOut events_;
    bool traceScenes_ = false;
    SimulatedMusicDevice music_;
    RecordingDesktop desktop_;
    QueuedRandom random_;
    Platform platform_;
    Game game_;
};

} // namespace

int runHeadless(const std::string& gameDir, std::optional<unsigned> seed, PictureLoader& pictures,
                std::istream& in, std::ostream& out, std::ostream& err, const std::optional<SceneStart>& at) {
    Driver driver(gameDir, seed, pictures, out);
    try {
        driver.start(at);
        for (std::string line; readDriverLine(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!driver.run(line)) break;
        }
        driver.close();
        return 0;
    } catch (const Malformed& m) {
        err << "driver: " << m.why << '\n';
        return 2;
    } catch (const Ended&) {
        // The game's run-time error ends the run at once, without the close handlers.
        driver.events().print("error", {{"text", driver.game().error()}});
        return 3;
    }
}
