// The browser host: the page drives the game through these exported functions and draws what
// rumena_view returns. Everything runs on the page's one thread.
#include "game/Game.h"
#include "platform/Desktop.h"
#include "platform/PictureHeader.h"
#include "platform/QueuedRandom.h"
#include "platform/ShiftJisCodes.h"
#include "platform/SimulatedMusicDevice.h"
#include "platform/TextCodec.h"
#include "shell/Player.h"
#include "web/ViewJson.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

#include <map>
#include <memory>
#include <string>

using Json = nlohmann::json;

// clang-format off
EM_JS(void, rumena_js_music, (int call, const char* path), { Module.onMusic(call, UTF8ToString(path)); });
EM_JS(void, rumena_js_message, (const char* text), { Module.onMessage(UTF8ToString(text)); });
EM_JS(void, rumena_js_popup, (const char* menu), { Module.onPopup(UTF8ToString(menu)); });
EM_JS(void, rumena_js_open, (const char* path), { Module.onOpen(UTF8ToString(path)); });
EM_JS(void, rumena_js_fail, (const char* text), { Module.onFail(UTF8ToString(text)); });
// clang-format on

namespace {

// The page shows message boxes as modal elements; it cannot wait for them, so the handler goes on
// while the box is up and the page holds the player's input and the timers until it is closed.
class PageDesktop : public Desktop {
  public:
    void messageBox(const std::string& text) override { rumena_js_message(text.c_str()); }
    void popupMenu(const std::string& menu) override { rumena_js_popup(menu.c_str()); }
    bool openFile(const std::string& path) override { return rumena_js_open(path.c_str()), true; }
};

// The messages rumena adds, in the player's language, as the page hands their catalogue over.
std::map<std::string, std::string> catalogue;
std::string pageCatalogue(const std::string& english) {
    const auto it = catalogue.find(english);
    return it == catalogue.end() ? english : it->second;
}

// The page's timers: no faster than a frame; the watchdog sleeps until an event or the end of a piece
// wakes it; the prompt blinks at a text cursor's pace, its two forms swapped by the page itself (each
// blink is a frame drawn in a browser).
constexpr TimerPace kPagePace{16, 0, 500, true};

class WebGame {
  public:
    WebGame(const std::string& gameDir, unsigned seed)
        : music_([](SimulatedMusicDevice::Call call, const std::string& path) {
              rumena_js_music(static_cast<int>(call), path.c_str());
          }),
          platform_{music_, pictures_, desktop_, random_, seed, {}, pageCatalogue, {}},
          game_(platform_, gameDir), player_(game_, kPagePace), view_(player_) {}

    // Creation, Load, the first Resize at the creation size and the title screen at the page's size.
    Outcome start(int width, int height) {
        const Outcome loaded = game_.load();
        if (loaded == Outcome::Failed) return loaded;
        return after(game_.activate(size(width, height)));
    }
    static WindowSize size(int width, int height) { return {width * 15.0, height * 15.0}; }

    // After every input: the focus follows the screen.
    Outcome after(Outcome o) {
        player_.afterEvent();
        return o;
    }

    Game& game() { return game_; }
    Player& player() { return player_; }
    SimulatedMusicDevice& music() { return music_; }
    ViewJson& view() { return view_; }
    void queueRandom(float value) { random_.queue(value); }

  private:
    SimulatedMusicDevice music_;
    HeaderPictureLoader pictures_;
    PageDesktop desktop_;
    QueuedRandom random_;
    Platform platform_;
    Game game_;
    Player player_;
    ViewJson view_;
};

std::unique_ptr<WebGame> game;

// The outcome for the page: 0 delivered, 1 ignored, 2 no such name, 3 the game has ended. The run-time
// error path shows its message and ends the game, as the window does; the page offers to start again.
int outcome(Outcome o) {
    if (o == Outcome::Failed && game) {
        const std::string why = game->game().error();
        game.reset();
        rumena_js_fail(why.c_str());
    }
    return static_cast<int>(o);
}

template <class Event> int deliver(Event event) {
    if (!game) return static_cast<int>(Outcome::Failed);
    return outcome(game->after(event(game->game())));
}

// The text handed to the page, valid until the next call of one of these.
std::string lastText;
const char* keep(const Json& j) {
    lastText = j.dump(-1, ' ', false, Json::error_handler_t::replace);
    return lastText.c_str();
}

// A key as the page gives it: the shell's Key number, and its modifiers' bits (1 shift, 2 ctrl, 4 alt,
// 8 meta, 16 a repeat).
KeyPress pressOf(int key, int modifiers) {
    return {static_cast<Key>(key), (modifiers & 1) != 0, (modifiers & 2) != 0,
            (modifiers & 4) != 0,  (modifiers & 8) != 0, (modifiers & 16) != 0};
}

Json menuJson(const std::vector<MenuEntry>& items) {
    Json list = Json::array();
    for (const MenuEntry& m : items)
        list.push_back({{"name", m.name},
                        {"index", m.index},
                        {"caption", text::toUtf8(m.caption)},
                        {"checked", m.checked},
                        {"enabled", m.enabled},
                        {"visible", m.visible},
                        {"items", menuJson(m.items)}});
    return list;
}

} // namespace

extern "C" {

// The catalogue of rumena's own messages in the player's language (a JSON object: English ->
// translation), before the game starts.
EMSCRIPTEN_KEEPALIVE void rumena_catalogue(const char* json) {
    catalogue.clear();
    const Json j = Json::parse(json, nullptr, false);
    if (j.is_object())
        for (const auto& [english, translated] : j.items())
            if (translated.is_string()) catalogue[english] = translated.get<std::string>();
}

EMSCRIPTEN_KEEPALIVE int rumena_start(const char* gameDir, unsigned seed, int width, int height) {
    game = std::make_unique<WebGame>(gameDir, seed);
    return outcome(game->start(width, height));
}

// The player's inputs on a control, by its id in the view.
EMSCRIPTEN_KEEPALIVE int rumena_click(int id) {
    return deliver(
        [&](Game& g) { return id < 0 ? Outcome::UnknownName : g.click(static_cast<std::size_t>(id)); });
}
EMSCRIPTEN_KEEPALIVE int rumena_press(int id) {
    return deliver(
        [&](Game& g) { return id < 0 ? Outcome::UnknownName : g.press(static_cast<std::size_t>(id)); });
}
EMSCRIPTEN_KEEPALIVE int rumena_release(int id) {
    return deliver(
        [&](Game& g) { return id < 0 ? Outcome::UnknownName : g.release(static_cast<std::size_t>(id)); });
}
EMSCRIPTEN_KEEPALIVE int rumena_menu(const char* item, int index) {
    return deliver([&](Game& g) { return g.menu(item, index < 0 ? -1 : index); });
}
EMSCRIPTEN_KEEPALIVE int rumena_open_menu() {
    return deliver([&](Game& g) { return g.openMenu(); });
}
EMSCRIPTEN_KEEPALIVE int rumena_tick(const char* timer) {
    return deliver([&](Game& g) { return g.tick(timer); });
}
EMSCRIPTEN_KEEPALIVE int rumena_resize(int width, int height) {
    return deliver([&](Game& g) { return g.resize(WebGame::size(width, height)); });
}
// The piece playing has reached its end.
EMSCRIPTEN_KEEPALIVE int rumena_music_ended() {
    return deliver([&](Game&) {
        game->music().pieceEnded();
        return Outcome::Delivered;
    });
}

// A key, as the page names it (the shell's Key numbers), with its modifiers (1 shift, 2 ctrl, 4 alt,
// 8 meta, 16 a repeat). The answer: 1 when the key was the game's, plus 2 for full screen, 4 to open
// the text log, 8 to close it, 16 to switch reading aloud; 32 when the game ended.
EMSCRIPTEN_KEEPALIVE int rumena_key_down(int key, int modifiers) {
    if (!game) return 32;
    const Player::KeyOutcome k = game->player().keyDown(pressOf(key, modifiers));
    int answer = k.taken ? 1 : 0;
    if (k.host == Player::HostAction::ToggleFullScreen) answer |= 2;
    if (k.host == Player::HostAction::OpenLog) answer |= 4;
    if (k.host == Player::HostAction::CloseLog) answer |= 8;
    if (k.host == Player::HostAction::ToggleVoice) answer |= 16;
    return outcome(game->after(k.game)) == static_cast<int>(Outcome::Failed) ? 32 : answer;
}
// Whether the key would reach the game itself (a click, a choice, the menu), so that the page holds it
// while the game's files are still coming, as it holds a click.
EMSCRIPTEN_KEEPALIVE int rumena_key_reaches_game(int key, int modifiers) {
    if (!game) return 0;
    switch (game->player().action(pressOf(key, modifiers))) {
    case KeyAction::Advance:
    case KeyAction::Choose:
    case KeyAction::OpenMenu:
        return 1;
    default:
        return 0;
    }
}
EMSCRIPTEN_KEEPALIVE void rumena_key_up(int key, int modifiers) {
    if (game)
        game->player().keyUp({static_cast<Key>(key), false, false, false, false, (modifiers & 16) != 0});
}
EMSCRIPTEN_KEEPALIVE void rumena_fast_forward(int on) {
    if (game) game->player().setFastForward(on != 0);
}
// The text log opens where it may (1), and closes; a message box opens and closes over the game.
EMSCRIPTEN_KEEPALIVE int rumena_open_log() {
    return game && game->player().openLog();
}
EMSCRIPTEN_KEEPALIVE void rumena_close_log() {
    if (game) game->player().closeLog();
}
EMSCRIPTEN_KEEPALIVE void rumena_message_box(int open) {
    if (game) game->player().setMessageBoxOpen(open != 0);
}
// Reading aloud on and off (the page knows whether the browser has a voice).
EMSCRIPTEN_KEEPALIVE void rumena_voice(int on) {
    if (game) game->player().setVoice(on != 0);
}
// A click on the text area, as a tap on the reading view's "go on" gives it.
// The running game as text, for the page to keep in the browser's storage when it is hidden or
// closed; empty at the title and once the game has ended, where there is no place to keep.
EMSCRIPTEN_KEEPALIVE const char* rumena_snapshot() {
    lastText.clear();
    if (game && !game->game().ended() && !game->game().titleShown()) lastText = game->game().snapshot().text();
    return lastText.c_str();
}

// Takes back a game kept by rumena_snapshot: 0 when it plays on from there, 1 when it cannot be taken
// (another story, or its scene changed; the game stays at its title).
EMSCRIPTEN_KEEPALIVE int rumena_restore(const char* kept) {
    if (!game) return static_cast<int>(Outcome::Failed);
    std::string why;
    const auto snapshot = Snapshot::fromText(kept, why);
    if (!snapshot) return static_cast<int>(Outcome::Ignored);
    return deliver([&](Game& g) { return g.restore(*snapshot, &why); });
}

EMSCRIPTEN_KEEPALIVE int rumena_advance() {
    return deliver([](Game& g) { return g.advance(); });
}
EMSCRIPTEN_KEEPALIVE int rumena_menu_available() {
    return game && game->game().menuAvailable();
}

// What changed since the last call (everything when `everything`).
EMSCRIPTEN_KEEPALIVE const char* rumena_view(int everything) {
    return game ? keep(game->view().changes(everything != 0)) : "null";
}
EMSCRIPTEN_KEEPALIVE const char* rumena_menu_items() {
    return game ? keep(menuJson(game->game().menuItems())) : "[]";
}
EMSCRIPTEN_KEEPALIVE const char* rumena_text_log() {
    if (!game) return "[]";
    Json lines = Json::array();
    for (const auto& l : game->game().textLog()) lines.push_back(text::toUtf8(l));
    return keep(lines);
}
EMSCRIPTEN_KEEPALIVE const char* rumena_save_path() {
    return game ? keep(game->game().savePath()) : "\"\"";
}
// The next draws of the random generator, for the page's tests.
EMSCRIPTEN_KEEPALIVE void rumena_queue_random(float value) {
    if (game) game->queueRandom(value);
}

// The Shift-JIS conversions over every code, for the test that holds them against the desktop's.
EMSCRIPTEN_KEEPALIVE const char16_t* rumena_shift_jis_codes(int* length) {
    static std::u16string out;
    out = shiftJisEveryCode();
    *length = static_cast<int>(out.size());
    return out.data();
}
}
