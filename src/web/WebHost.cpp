// The browser host: the page drives the game through these exported functions and renders the
// control model that rumena_view returns. Everything runs on the page's one thread.
#include "app/EventRouter.h"
#include "app/Fom.h"
#include "platform/Desktop.h"
#include "platform/PictureHeader.h"
#include "platform/RandomSource.h"
#include "platform/ShiftJisCodes.h"
#include "platform/TextCodec.h"
#include "sound/SimulatedMusicDevice.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

#include <memory>
#include <string>

using Json = nlohmann::json;

// clang-format off
EM_JS(void, rumena_js_music, (const char* command), { Module.onMusic(UTF8ToString(command)); });
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

const char* kindName(ControlKind k) {
    switch (k) {
    case ControlKind::Window:
        return "window";
    case ControlKind::Label:
        return "label";
    case ControlKind::PictureBox:
        return "picture";
    case ControlKind::Shape:
        return "shape";
    case ControlKind::ListBox:
        return "list";
    case ControlKind::CommandButton:
        return "button";
    }
    return "";
}

std::string colour(Color c) {
    char s[8];
    std::snprintf(s, sizeof s, "#%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
    return s;
}

class WebGame {
  public:
    WebGame(const std::string& gameDir, unsigned seed)
        : music_([](const std::string& c) { rumena_js_music(c.c_str()); }), platform_{music_, pictures_,
                                                                                      desktop_, random_,
                                                                                      seed},
          fom_(platform_, gameDir), router_(fom_) {}

    // Creation, Load, the first Resize at the creation size and the title screen at the page's size.
    void start(int width, int height) {
        fom_.Form_Load();
        fom_.Form_Resize();
        resize(width, height);
        fom_.Form_Activate();
    }

    void resize(int width, int height) {
        fom_.window.widthTw = width * kTwipsPerPixel;
        fom_.window.heightTw = height * kTwipsPerPixel;
        fom_.Form_Resize();
    }

    EventRouter& router() { return router_; }
    SimulatedMusicDevice& music() { return music_; }
    Fom& fom() { return fom_; }

    // What the page paints: the controls as a tree of containers, bottom first, in pixels relative to
    // their container; the timers; and the menu.
    Json view() const {
        Json v;
        v["caption"] = text::toUtf8(fom_.window.caption);
        v["back"] = colour(fom_.window.backColor);
        v["controls"] = children(&fom_.window);
        v["timers"] = Json::array();
        for (const Timer* t : fom_.model.timers())
            v["timers"].push_back({{"name", t->name},
                                   {"interval", t->interval()},
                                   {"enabled", t->enabled()},
                                   {"restarts", t->restarts()}});
        v["menu"] = menuItems(fom_.model.menu("menu").at(0)->items);
        v["savePath"] = fom_.textFile(u"save");
        return v;
    }

  private:
    Json children(const Control* container) const {
        Json list = Json::array();
        for (const Control* c : fom_.model.stackOf(container)) {
            Json j = {{"kind", kindName(c->kind)},
                      {"name", c->name},
                      {"index", c->index},
                      {"visible", c->visible},
                      {"enabled", c->enabled},
                      {"x", c->leftTw / kTwipsPerPixel},
                      {"y", c->topTw / kTwipsPerPixel},
                      {"w", c->widthTw / kTwipsPerPixel},
                      {"h", c->heightTw / kTwipsPerPixel},
                      {"back", colour(c->backColor)},
                      {"backStyle", c->backStyle},
                      {"border", c->borderStyle},
                      {"tip", text::toUtf8(c->toolTipText)},
                      {"font", c->fontSize}};
            switch (c->kind) {
            case ControlKind::Label:
            case ControlKind::CommandButton:
                j["caption"] = text::toUtf8(c->caption);
                j["fore"] = colour(c->foreColor);
                j["align"] = c->alignment;
                break;
            case ControlKind::Shape:
                j["shape"] = c->shapeStyle;
                j["fill"] = colour(c->fillColor);
                j["fillStyle"] = c->fillStyle;
                j["borderColor"] = colour(c->borderColor);
                break;
            case ControlKind::ListBox: {
                Json lines = Json::array();
                for (const auto& l : c->list) lines.push_back(text::toUtf8(l));
                j["list"] = lines;
                break;
            }
            case ControlKind::PictureBox:
                j["picture"] = c->picturePath;
                j["children"] = children(c);
                break;
            default:
                break;
            }
            list.push_back(std::move(j));
        }
        return list;
    }

    static Json menuItems(const std::vector<MenuItem*>& items) {
        Json list = Json::array();
        for (const MenuItem* m : items)
            list.push_back({{"name", m->name},
                            {"index", m->index},
                            {"caption", text::toUtf8(m->caption)},
                            {"checked", m->checked},
                            {"enabled", m->enabled},
                            {"visible", m->visible},
                            {"items", menuItems(m->items)}});
        return list;
    }

    SimulatedMusicDevice music_;
    HeaderPictureLoader pictures_;
    PageDesktop desktop_;
    LcgRandom random_;
    Platform platform_;
    Fom fom_;
    EventRouter router_;
};

std::unique_ptr<WebGame> game;
std::string lastView;

enum Outcome { Delivered = 0, Ignored = 1, UnknownName = 2, Failed = 3 };

// Runs one event of the game. The run-time error path shows its message and ends the game, as the
// window does; the page offers to start again.
template <class Event> int deliver(Event event) {
    if (!game) return Failed;
    try {
        switch (event()) {
        case EventRouter::Result::Delivered:
            return Delivered;
        case EventRouter::Result::Ignored:
            return Ignored;
        case EventRouter::Result::UnknownName:
            return UnknownName;
        }
    } catch (const std::exception& e) {
        game.reset();
        rumena_js_fail(e.what());
    }
    return Failed;
}

int indexOrNone(int index) {
    return index < 0 ? -1 : index;
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int rumena_start(const char* gameDir, unsigned seed, int width, int height) {
    game.reset();
    try {
        game = std::make_unique<WebGame>(gameDir, seed);
        game->start(width, height);
        return Delivered;
    } catch (const std::exception& e) {
        game.reset();
        rumena_js_fail(e.what());
        return Failed;
    }
}

EMSCRIPTEN_KEEPALIVE int rumena_click(const char* name, int index) {
    return deliver([&] { return game->router().click(name, indexOrNone(index)); });
}
EMSCRIPTEN_KEEPALIVE int rumena_press(const char* name, int index) {
    return deliver([&] { return game->router().press(name, indexOrNone(index)); });
}
EMSCRIPTEN_KEEPALIVE int rumena_release(const char* name, int index) {
    return deliver([&] { return game->router().release(name, indexOrNone(index)); });
}
EMSCRIPTEN_KEEPALIVE int rumena_menu(const char* item, int index) {
    return deliver([&] { return game->router().menu(item, indexOrNone(index)); });
}
EMSCRIPTEN_KEEPALIVE int rumena_tick(const char* timer) {
    return deliver([&] { return game->router().tick(timer); });
}
EMSCRIPTEN_KEEPALIVE int rumena_resize(int width, int height) {
    return deliver([&] {
        game->resize(width, height);
        return EventRouter::Result::Delivered;
    });
}
// The piece playing has reached its end.
EMSCRIPTEN_KEEPALIVE int rumena_music_ended() {
    return deliver([&] {
        game->music().pieceEnded();
        return EventRouter::Result::Delivered;
    });
}
EMSCRIPTEN_KEEPALIVE int rumena_menu_available() {
    return game && game->router().menuAvailable();
}

// The control model as JSON, valid until the next call.
EMSCRIPTEN_KEEPALIVE const char* rumena_view() {
    lastView = game ? game->view().dump(-1, ' ', false, Json::error_handler_t::replace) : "null";
    return lastView.c_str();
}

// The Shift-JIS conversions over every code, for the test that holds them against the desktop's.
EMSCRIPTEN_KEEPALIVE const char16_t* rumena_shift_jis_codes(int* length) {
    static std::u16string out;
    out = shiftJisEveryCode();
    *length = static_cast<int>(out.size());
    return out.data();
}
}
