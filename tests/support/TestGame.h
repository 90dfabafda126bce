#pragma once
#include "app/EventRouter.h"
#include "app/Fom.h"
#include "platform/Desktop.h"
#include "platform/MusicDevice.h"
#include "platform/PictureLoader.h"
#include "platform/RandomSource.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// A game folder inside a fresh temporary directory of its own (so that what a test writes beside the
// game is its own too), removed again at the end of the test.
class TempGame {
  public:
    TempGame();
    ~TempGame();
    TempGame(const TempGame&) = delete;
    TempGame& operator=(const TempGame&) = delete;

    // Writes lines (UTF-8 here) as Shift-JIS, each ended by CR LF.
    void lines(const std::string& relativePath, const std::vector<std::string>& utf8Lines);
    void bytes(const std::string& relativePath, const std::string& content);
    // A minimal playable folder: a command list of `commands` lines, hints and an opening scene.
    void minimal(int commands = 7);
    const std::string& dir() const { return dir_; }

  private:
    std::string root_;
    std::string dir_;
};

// A platform that records what the game asks of it. A "picture" is any file whose content starts
// with "PICTURE W H".
struct FakePlatform {
    // Takes every call; the commands' text is what the game sent.
    struct Music : MusicDevice {
        std::vector<std::string> commands;
        bool open(const std::string&) override { return true; }
        bool close() override { return true; }
        bool play() override { return true; }
        bool stop() override { return true; }
        bool rewind() override { return true; }
        std::optional<Mode> mode() override { return Mode::Playing; }
    } music;
    struct Pictures : PictureLoader {
        std::vector<std::string> asked; // every path the game tried to load
        std::optional<PictureSize> load(const std::string& path) override;
    } pictures;
    struct Desk : Desktop {
        std::vector<std::string> messages, popups, opened;
        bool noViewer = false; // no viewer starts: openFile fails
        void messageBox(const std::string& t) override { messages.push_back(t); }
        void popupMenu(const std::string& m) override { popups.push_back(m); }
        bool openFile(const std::string& p) override { return opened.push_back(p), !noViewer; }
    } desktop;
    struct Draws : RandomSource {
        using RandomSource::next;
        std::deque<float> values;
        void seed(unsigned) override {}
        std::uint32_t state() const override { return 0; }
        void setState(std::uint32_t) override {}
        float next() override {
            float v = values.empty() ? 0.5f : values.front();
            if (!values.empty()) values.pop_front();
            return v;
        }
    } random;
    Platform platform{music, pictures, desktop, random, 1, [this](const std::string& c) { heard(c); },
                      {},    {}};
    void heard(const std::string& command) { music.commands.push_back(command); }
};

// A window on a game folder, started as the game starts: Load, the first Resize, the title.
struct TestWindow {
    explicit TestWindow(const TempGame& game) : fom(fake.platform, game.dir()), router(fom) {}
    void start() {
        fom.Form_Load();
        fom.Form_Resize();
        fom.Form_Activate();
    }
    // The captions of the 21 text lines, oldest first.
    std::vector<std::string> lines() const;

    FakePlatform fake;
    Fom fom;
    EventRouter router;
};

// A minimal game whose title screen was passed with NORMAL (a turn limit of 100): the opening scene is
// open. prepare may add files to the folder before the game starts.
struct StartedGame {
    explicit StartedGame(const std::function<void(TempGame&)>& prepare = {});
    Fom& fom() { return w->fom; }

    TempGame game;
    std::unique_ptr<TestWindow> w;
};

// The whole content of a file, byte for byte (empty when it cannot be read).
std::string fileBytes(const std::string& path);

std::string utf8(const std::u16string& s);
std::u16string u16(const std::string& s);
