// The browser host: the page drives the game through these exported functions and renders the
// control model that rumena_view returns. Everything runs on the page's one thread.
#include "app/EventRouter.h"
#include "app/Fom.h"
#include "platform/Desktop.h"
#include "platform/PictureHeader.h"
#include "platform/QueuedRandom.h"
#include "platform/RandomSource.h"
#include "platform/ShiftJisCodes.h"
#include "platform/TextCodec.h"
#include "sound/SimulatedMusicDevice.h"

#include <emscripten.h>
#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

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

// Appends text as a JSON string. Bytes that are not UTF-8 become U+FFFD.
void appendQuoted(std::string& out, std::string_view text) {
    out += '"';
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const auto* const end = in + text.size();
    while (in < end) {
        const unsigned char b = *in;
        if (b < 0x80) {
            if (b == '"' || b == '\\') {
                out += '\\';
                out += static_cast<char>(b);
            } else if (b < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", b);
                out += escape;
            } else {
                out += static_cast<char>(b);
            }
            ++in;
            continue;
        }
        // The length of the sequence, and the range of its second byte (no overlong forms, no
        // surrogates, nothing past U+10FFFF).
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        }
        bool valid = length > 0 && end - in >= length && in[1] >= low && in[1] <= high;
        for (int k = 2; valid && k < length; ++k) valid = in[k] >= 0x80 && in[k] <= 0xBF;
        if (!valid) {
            out += "\xEF\xBF\xBD";
            ++in;
            continue;
        }
        out.append(reinterpret_cast<const char*>(in), static_cast<std::size_t>(length));
        in += length;
    }
    out += '"';
}

// The comma before every item of a list or an object but its first.
void comma(std::string& out) {
    if (out.back() != '[' && out.back() != '{') out += ',';
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

    // What the page paints, as the change since the last call (everything when `everything`): the
    // controls whose drawn properties changed, the stacking when it changed, the timers when one of
    // them changed; the caption and colour of the window; whether the title screen is up and whether
    // the text area takes clicks. A frame where only the prompt blinks sends one small control. A
    // control never shown is not sent: the page has no element for it until it shows.
    std::string view(bool everything) {
        if (everything) {
            drawn_.clear();
            stackSignature_ = ~0ul;
            timersSent_.clear();
        }
        std::string out = "{";
        put(out, "caption", text::toUtf8(fom_.window.caption));
        put(out, "back", colour(fom_.window.backColor));
        out += ",\"changed\":[";
        for (const auto& c : fom_.model.controls()) {
            if (c->kind == ControlKind::Window) continue;
            Drawn now = drawnOf(*c);
            auto& was = drawn_[c.get()];
            if (was && *was == now) continue;
            // A control goes to the page when it first shows, inside a container that is there: the
            // title's first frame then carries a handful of controls, not all of them. (Containers
            // come before what they hold.)
            if (!was && (!now.visible || (c->container && c->container->kind != ControlKind::Window &&
                                          !drawn_[c->container])))
                continue;
            comma(out);
            out += json(*c, now);
            was = std::move(now);
        }
        out += ']';
        std::size_t signature = 0;
        for (const auto& c : fom_.model.controls())
            signature = signature * 31 + static_cast<std::size_t>(c->zorder);
        if (signature != stackSignature_) {
            stackSignature_ = signature;
            out += ",\"stacks\":{";
            for (const auto& c : fom_.model.controls())
                if (c->kind == ControlKind::Window || c->kind == ControlKind::PictureBox) {
                    comma(out);
                    appendQuoted(out, keyOf(c.get()));
                    out += ":[";
                    for (const Control* child : fom_.model.stackOf(c.get())) {
                        comma(out);
                        appendQuoted(out, keyOf(child));
                    }
                    out += ']';
                }
            out += '}';
        }
        std::vector<std::tuple<bool, int, unsigned long>> timers;
        for (const Timer* t : fom_.model.timers())
            timers.emplace_back(t->enabled(), t->interval(), t->restarts());
        if (timers != timersSent_) {
            timersSent_ = timers;
            out += ",\"timers\":[";
            for (const Timer* t : fom_.model.timers()) {
                comma(out);
                out += '{';
                put(out, "name", t->name);
                put(out, "interval", t->interval());
                put(out, "enabled", t->enabled());
                put(out, "restarts", t->restarts());
                out += '}';
            }
            out += ']';
        }
        put(out, "title", fom_.PicTtl.visible);
        put(out, "textArea", router_.reachable(fom_.Pic.name, -1) != nullptr);
        return out + "}";
    }

    Json menu() const { return menuItems(fom_.model.menu("menu").at(0)->items); }

    // The text log: the lines of the scene so far.
    Json textLog() const {
        Json lines = Json::array();
        for (const auto& l : fom_.textLog.lines()) lines.push_back(text::toUtf8(l));
        return lines;
    }

    void queueRandom(float value) { random_.queue(value); }

  private:
    // What a control shows: when none of it changed, the page has nothing to draw.
    struct Drawn {
        bool visible, enabled;
        double x, y, w, h;
        Color back, fore, fill, borderColor;
        int backStyle, border, align, shape, fillStyle;
        double font;
        std::u16string tip, caption;
        std::vector<std::u16string> list;
        std::string picture;
        bool operator==(const Drawn&) const = default;
    };

    static std::string keyOf(const Control* c) {
        return c->kind == ControlKind::Window ? "" : c->name + "/" + std::to_string(c->index);
    }

    static Drawn drawnOf(const Control& c) {
        const bool text = c.kind == ControlKind::Label || c.kind == ControlKind::CommandButton;
        const bool shape = c.kind == ControlKind::Shape;
        return {c.visible,
                c.enabled,
                c.leftTw / kTwipsPerPixel,
                c.topTw / kTwipsPerPixel,
                c.widthTw / kTwipsPerPixel,
                c.heightTw / kTwipsPerPixel,
                c.backColor,
                text ? c.foreColor : 0,
                shape ? c.fillColor : 0,
                shape ? c.borderColor : 0,
                c.backStyle,
                c.borderStyle,
                text ? c.alignment : 0,
                shape ? c.shapeStyle : 0,
                shape ? c.fillStyle : 0,
                c.fontSize,
                c.toolTipText,
                text ? c.caption : std::u16string(),
                c.kind == ControlKind::ListBox ? c.list : std::vector<std::u16string>(),
                c.kind == ControlKind::PictureBox ? c.picturePath : std::string()};
    }

    // One control's record, written straight to text: a JSON tree of every control costs more than the
    // rest of the title screen's first frame, most of it in compiling the tree's code on first use.
    template <class T> static void put(std::string& out, const char* key, const T& value) {
        comma(out);
        out += '"';
        out += key;
        out += "\":";
        if constexpr (std::is_same_v<T, bool>) {
            out += value ? "true" : "false";
        } else if constexpr (std::is_integral_v<T>) {
            char digits[24];
            out.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
        } else if constexpr (std::is_floating_point_v<T>) {
            // Places and font sizes: the page rounds them to pixels and tenths of points.
            char digits[32];
            std::snprintf(digits, sizeof digits, "%.10g", static_cast<double>(value));
            out += digits;
        } else if constexpr (std::is_same_v<T, Json>) {
            out += value.dump(-1, ' ', false, Json::error_handler_t::replace);
        } else {
            appendQuoted(out, value);
        }
    }

    static std::string json(const Control& c, const Drawn& d) {
        std::string j = "{";
        put(j, "kind", std::string(kindName(c.kind)));
        put(j, "name", c.name);
        put(j, "index", c.index);
        put(j, "parent", keyOf(c.container));
        put(j, "visible", d.visible);
        put(j, "enabled", d.enabled);
        put(j, "x", d.x);
        put(j, "y", d.y);
        put(j, "w", d.w);
        put(j, "h", d.h);
        put(j, "back", colour(d.back));
        put(j, "backStyle", d.backStyle);
        put(j, "border", d.border);
        put(j, "tip", text::toUtf8(d.tip));
        put(j, "font", d.font);
        switch (c.kind) {
        case ControlKind::Label:
        case ControlKind::CommandButton:
            put(j, "caption", text::toUtf8(d.caption));
            put(j, "fore", colour(d.fore));
            put(j, "align", d.align);
            break;
        case ControlKind::Shape:
            put(j, "shape", d.shape);
            put(j, "fill", colour(d.fill));
            put(j, "fillStyle", d.fillStyle);
            put(j, "borderColor", colour(d.borderColor));
            break;
        case ControlKind::ListBox: {
            Json lines = Json::array();
            for (const auto& l : d.list) lines.push_back(text::toUtf8(l));
            put(j, "list", lines);
            break;
        }
        case ControlKind::PictureBox:
            put(j, "picture", d.picture);
            break;
        default:
            break;
        }
        return j + "}";
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
    QueuedRandom random_;
    Platform platform_;
    Fom fom_;
    EventRouter router_;
    std::map<const Control*, std::optional<Drawn>> drawn_;
    std::size_t stackSignature_ = ~0ul;
    std::vector<std::tuple<bool, int, unsigned long>> timersSent_;
};

std::unique_ptr<WebGame> game;

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

// The text handed to the page's text, valid until the next call of one of these.
std::string lastText;
const char* keep(const Json& j) {
    lastText = j.dump(-1, ' ', false, Json::error_handler_t::replace);
    return lastText.c_str();
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

// What changed in the control model since the last call (everything when `everything`).
EMSCRIPTEN_KEEPALIVE const char* rumena_view(int everything) {
    if (!game) return "null";
    lastText = game->view(everything != 0);
    return lastText.c_str();
}
EMSCRIPTEN_KEEPALIVE const char* rumena_menu_items() {
    return game ? keep(game->menu()) : "[]";
}
EMSCRIPTEN_KEEPALIVE const char* rumena_text_log() {
    return game ? keep(game->textLog()) : "[]";
}
EMSCRIPTEN_KEEPALIVE const char* rumena_save_path() {
    return game ? keep(game->fom().textFile(u"save")) : "\"\"";
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
