// A snapshot as text: one record a line, a word for what the line holds and then its values. Text is
// written in double quotes as UTF-8, with a backslash before a quote or a backslash and control
// characters as \xNN, so that every record stays on its line.
#include "game/Snapshot.h"

#include "app/SnapshotData.h"
#include "platform/TextCodec.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace {

class Writer {
  public:
    void record(std::string_view word) {
        if (!out_.empty()) out_ += '\n';
        out_ += word;
    }
    void text(std::string_view utf8) {
        out_ += " \"";
        for (const char c : utf8) {
            const auto byte = static_cast<unsigned char>(c);
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (byte < 0x20 || byte == 0x7F) {
                char escape[5];
                std::snprintf(escape, sizeof escape, "\\x%02X", byte);
                out_ += escape;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
    }
    void text(const std::u16string& s) { text(text::toUtf8(s)); }
    template <class Number> void number(Number n) {
        char digits[64];
        out_ += ' ';
        if constexpr (std::is_floating_point_v<Number>) {
            // Seventeen digits read back as the same double (the browser's library has no to_chars for
            // it).
            out_.append(digits, static_cast<std::size_t>(
                                    std::snprintf(digits, sizeof digits, "%.17g", static_cast<double>(n))));
        } else {
            const auto result = std::to_chars(std::begin(digits), std::end(digits), n);
            out_.append(digits, result.ptr);
        }
    }
    void flag(bool b) { out_ += b ? " 1" : " 0"; }
    std::string finish() { return std::move(out_) + '\n'; }

  private:
    std::string out_;
};

struct Unreadable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Reader {
  public:
    explicit Reader(const std::string& text) : text_(text) {}

    // Moves to the next line, which must hold the record `word`; with newLine false, the word must come
    // next on the same line.
    void record(std::string_view word, bool newLine = true) {
        if (newLine && !nextLine()) fail("the record \"" + std::string(word) + "\" is missing at the end");
        const std::string_view found = token();
        if (found != word)
            fail("\"" + std::string(word) + "\" was expected, not \"" + std::string(found) + "\"");
    }
    std::string utf8(const char* what) {
        skipSpaces();
        if (rest_.empty() || rest_.front() != '"') fail(std::string(what) + " in double quotes was expected");
        std::string out;
        std::size_t i = 1;
        for (; i < rest_.size() && rest_[i] != '"'; ++i) {
            if (rest_[i] != '\\') {
                out += rest_[i];
                continue;
            }
            if (i + 1 >= rest_.size()) break;
            const char next = rest_[++i];
            if (next == 'x' && i + 2 < rest_.size()) {
                unsigned value = 0;
                const auto r = std::from_chars(rest_.data() + i + 1, rest_.data() + i + 3, value, 16);
                if (r.ec != std::errc() || r.ptr != rest_.data() + i + 3)
                    fail(std::string(what) + " has a bad \\x escape");
                out += static_cast<char>(value);
                i += 2;
            } else {
                out += next;
            }
        }
        if (i >= rest_.size()) fail(std::string(what) + " has no closing double quote");
        rest_.remove_prefix(i + 1);
        return out;
    }
    std::u16string text(const char* what) { return text::fromUtf8(utf8(what)); }
    template <class Number> Number number(const char* what) {
        const std::string_view word = token();
        Number n{};
        bool read = false;
        if constexpr (std::is_floating_point_v<Number>) {
            const std::string copy(word);
            char* end = nullptr;
            n = static_cast<Number>(std::strtod(copy.c_str(), &end));
            read = !copy.empty() && end == copy.c_str() + copy.size();
        } else {
            const auto r = std::from_chars(word.data(), word.data() + word.size(), n);
            read = !word.empty() && r.ec == std::errc() && r.ptr == word.data() + word.size();
        }
        if (!read) fail(std::string(what) + " (a number) was expected, not \"" + std::string(word) + "\"");
        return n;
    }
    bool flag(const char* what) {
        const std::string_view word = token();
        if (word != "0" && word != "1")
            fail(std::string(what) + " (0 or 1) was expected, not \"" + std::string(word) + "\"");
        return word == "1";
    }
    template <class Enum> Enum style(const char* what, int highest) {
        const int n = number<int>(what);
        if (n < 0 || n > highest)
            fail(std::string(what) + " must lie between 0 and " + std::to_string(highest));
        return static_cast<Enum>(n);
    }
    // The line must hold nothing more.
    void end() {
        skipSpaces();
        if (!rest_.empty())
            fail("the line holds more than expected: \"" + std::string(rest_.substr(0, 40)) + "\"");
    }
    [[noreturn]] void fail(const std::string& why) const {
        throw Unreadable("line " + std::to_string(line_) + ": " + why);
    }

  private:
    bool nextLine() {
        if (at_ >= text_.size()) return false;
        const std::size_t end = text_.find('\n', at_);
        const std::size_t stop = end == std::string::npos ? text_.size() : end;
        rest_ = std::string_view(text_).substr(at_, stop - at_);
        at_ = stop + 1;
        ++line_;
        return true;
    }
    void skipSpaces() {
        while (!rest_.empty() && rest_.front() == ' ') rest_.remove_prefix(1);
    }
    std::string_view token() {
        skipSpaces();
        std::size_t n = rest_.find(' ');
        if (n == std::string_view::npos) n = rest_.size();
        const std::string_view word = rest_.substr(0, n);
        rest_.remove_prefix(n);
        return word;
    }

    const std::string& text_;
    std::size_t at_ = 0, line_ = 0;
    std::string_view rest_;
};

template <class Flags> void writeFlags(Writer& w, const Flags& flags) {
    for (bool f : flags) w.flag(f);
}
template <class Flags> void readFlags(Reader& r, Flags& flags, const char* what) {
    for (bool& f : flags) f = r.flag(what);
}

void writeControl(Writer& w, const ControlState& c) {
    w.record("control");
    w.number(c.zorder);
    w.text(c.caption);
    w.text(c.toolTipText);
    w.flag(c.visible);
    w.flag(c.enabled);
    w.number(c.foreColor);
    w.number(c.backColor);
    w.number(number(c.backStyle));
    w.number(number(c.borderStyle));
    w.number(number(c.alignment));
    w.number(c.fontSize);
    w.number(number(c.shapeStyle));
    w.number(c.fillColor);
    w.number(number(c.fillStyle));
    w.number(c.borderColor);
    w.text(c.pictureName);
    w.text(c.picturePath);
    for (double d : {c.leftTw, c.topTw, c.widthTw, c.heightTw, c.frameWidthTw, c.frameHeightTw}) w.number(d);
    w.number(static_cast<int>(c.scaleMode));
    for (double d : {c.scaleLeft, c.scaleTop, c.userScaleWidth, c.userScaleHeight}) w.number(d);
    w.number(c.list.size());
    for (const auto& item : c.list) w.text(item);
}

ControlState readControl(Reader& r) {
    r.record("control");
    ControlState c;
    c.zorder = r.number<long>("the stacking order");
    c.caption = r.text("the caption");
    c.toolTipText = r.text("the tool tip");
    c.visible = r.flag("Visible");
    c.enabled = r.flag("Enabled");
    c.foreColor = r.number<Color>("ForeColor");
    c.backColor = r.number<Color>("BackColor");
    c.backStyle = r.style<BackStyle>("BackStyle", 1);
    c.borderStyle = r.style<BorderStyle>("BorderStyle", 1);
    c.alignment = r.style<Alignment>("Alignment", 2);
    c.fontSize = r.number<double>("FontSize");
    c.shapeStyle = r.style<ShapeStyle>("Shape", 5);
    c.fillColor = r.number<Color>("FillColor");
    c.fillStyle = r.style<FillStyle>("FillStyle", 1);
    c.borderColor = r.number<Color>("BorderColor");
    c.pictureName = r.text("the picture's name");
    c.picturePath = r.utf8("the picture's path");
    for (double* d : {&c.leftTw, &c.topTw, &c.widthTw, &c.heightTw, &c.frameWidthTw, &c.frameHeightTw})
        *d = r.number<double>("a position in twips");
    c.scaleMode = r.style<ScaleMode>("the scale mode", 2);
    for (double* d : {&c.scaleLeft, &c.scaleTop, &c.userScaleWidth, &c.userScaleHeight})
        *d = r.number<double>("a scale");
    const auto items = r.number<std::size_t>("the number of list lines");
    for (std::size_t i = 0; i < items; ++i) c.list.push_back(r.text("a list line"));
    r.end();
    return c;
}

std::string writeAll(const SnapshotData& d) {
    Writer w;
    w.record("rumena snapshot 1");
    w.record("controls");
    w.number(d.controls.size());
    for (const auto& c : d.controls) writeControl(w, *c);
    w.record("timers");
    w.number(d.timers.size());
    for (const auto& t : d.timers) {
        w.record("timer");
        w.flag(t.enabled);
        w.number(t.interval);
    }
    w.record("menus");
    w.number(d.menus.size());
    for (const auto& m : d.menus) {
        w.record("menu");
        w.text(m.caption);
        w.flag(m.checked);
        w.flag(m.enabled);
        w.flag(m.visible);
    }
    w.record("window");
    w.flag(d.windowSizeFixed);

    const auto& s = d.script;
    w.record("script");
    w.flag(s.open);
    w.text(s.path);
    w.number(s.position);
    w.text(s.currentLine);
    w.text(s.nextLine);
    w.number(s.currentLineNumber);
    w.number(s.nextLineNumber);
    w.text(s.currentPath);
    w.flag(s.fileOpened);
    w.number(s.blinkPhase);

    w.record("log");
    w.number(d.textLog ? d.textLog->size() : 0);
    if (d.textLog)
        for (const auto& line : *d.textLog) w.text(line);

    const auto& g = d.game;
    w.record("flags");
    for (const auto& row : g.OnOffFlags) writeFlags(w, row);
    writeFlags(w, g.CnFlags);
    writeFlags(w, g.GnFlags);
    writeFlags(w, g.VisitFlags);
    w.record("counts");
    for (auto love : g.LoveLevels) w.number(static_cast<int>(love));
    w.number(static_cast<int>(g.LoveThreshold));
    w.number(static_cast<int>(g.TurnLimit));
    w.number(g.TurnCount);

    const auto& q = d.question;
    w.record("question");
    w.text(q.QstTargets[0]);
    w.text(q.QstTargets[1]);
    w.number(q.QstTop[0]);
    w.number(q.QstTop[1]);
    w.number(q.QstCount);
    w.number(q.answers);
    w.number(q.swap);

    w.record("help");
    w.text(d.helpText);
    w.record("music");
    w.flag(d.musicOn);
    w.text(d.music.path);
    w.number(!d.music.mode ? 0 : *d.music.mode == MusicDevice::Mode::Stopped ? 1 : 2);
    w.record("random");
    w.number(d.random);
    w.record("end");
    return w.finish();
}

template <class Byte> Byte byteOf(Reader& r, const char* what) {
    const int n = r.number<int>(what);
    if (n < 0 || n > 255) r.fail(std::string(what) + " must lie between 0 and 255");
    return static_cast<Byte>(n);
}

std::shared_ptr<SnapshotData> readAll(const std::string& text) {
    Reader r(text);
    auto d = std::make_shared<SnapshotData>();
    r.record("rumena");
    r.record("snapshot", false);
    if (r.number<int>("the snapshot's version") != 1) r.fail("this rumena reads snapshots of version 1 only");
    r.end();

    r.record("controls");
    const auto controls = r.number<std::size_t>("the number of controls");
    r.end();
    for (std::size_t i = 0; i < controls; ++i)
        d->controls.push_back(std::make_shared<const ControlState>(readControl(r)));
    r.record("timers");
    const auto timers = r.number<std::size_t>("the number of timers");
    r.end();
    for (std::size_t i = 0; i < timers; ++i) {
        r.record("timer");
        SnapshotData::TimerState t;
        t.enabled = r.flag("Enabled");
        t.interval = r.number<int>("Interval");
        r.end();
        d->timers.push_back(t);
    }
    r.record("menus");
    const auto menus = r.number<std::size_t>("the number of menu items");
    r.end();
    for (std::size_t i = 0; i < menus; ++i) {
        r.record("menu");
        SnapshotData::MenuState m;
        m.caption = r.text("the caption");
        m.checked = r.flag("Checked");
        m.enabled = r.flag("Enabled");
        m.visible = r.flag("Visible");
        r.end();
        d->menus.push_back(m);
    }
    r.record("window");
    d->windowSizeFixed = r.flag("whether the window's size is fixed");
    r.end();

    auto& s = d->script;
    r.record("script");
    s.open = r.flag("whether a script is open");
    s.path = r.utf8("the script's path");
    s.position = r.number<std::size_t>("the lines read");
    s.currentLine = r.text("CurrentLine");
    s.nextLine = r.text("NextLine");
    s.currentLineNumber = r.number<std::size_t>("CurrentLine's number");
    s.nextLineNumber = r.number<std::size_t>("NextLine's number");
    s.currentPath = r.utf8("CurrentLine's file");
    s.fileOpened = r.flag("whether a script was just opened");
    s.blinkPhase = r.number<int>("BlinkPhase");
    r.end();

    r.record("log");
    const auto lines = r.number<std::size_t>("the number of log lines");
    auto log = std::make_shared<std::deque<std::u16string>>();
    for (std::size_t i = 0; i < lines; ++i) log->push_back(r.text("a log line"));
    d->textLog = std::move(log);
    r.end();

    auto& g = d->game;
    r.record("flags");
    for (auto& row : g.OnOffFlags) readFlags(r, row, "OnOffFlags");
    readFlags(r, g.CnFlags, "CnFlags");
    readFlags(r, g.GnFlags, "GnFlags");
    readFlags(r, g.VisitFlags, "VisitFlags");
    r.end();
    r.record("counts");
    for (auto& love : g.LoveLevels) love = byteOf<std::uint8_t>(r, "LoveLevels");
    g.LoveThreshold = byteOf<std::uint8_t>(r, "LoveThreshold");
    g.TurnLimit = byteOf<std::uint8_t>(r, "TurnLimit");
    g.TurnCount = r.number<std::int16_t>("TurnCount");
    r.end();

    auto& q = d->question;
    r.record("question");
    q.QstTargets[0] = r.text("QstTargets(0)");
    q.QstTargets[1] = r.text("QstTargets(1)");
    q.QstTop[0] = r.number<std::int16_t>("QstTop(0)");
    q.QstTop[1] = r.number<std::int16_t>("QstTop(1)");
    q.QstCount = r.number<std::int16_t>("QstCount");
    q.answers = r.number<int>("the number of answers");
    q.swap = r.number<int>("the answers' swap");
    if (q.answers < 1 || q.answers > 2 || q.swap < 0 || q.swap > 1)
        r.fail("a question has one or two answers and swaps them or not");
    r.end();

    r.record("help");
    d->helpText = r.text("HelpText");
    r.end();
    r.record("music");
    d->musicOn = r.flag("MusicOn");
    d->music.path = r.utf8("the music's path");
    const int mode = r.number<int>("the music's mode (0 closed, 1 stopped, 2 playing)");
    if (mode < 0 || mode > 2) r.fail("the music's mode is 0 closed, 1 stopped or 2 playing");
    if (mode > 0) d->music.mode = mode == 1 ? MusicDevice::Mode::Stopped : MusicDevice::Mode::Playing;
    r.end();
    r.record("random");
    d->random = r.number<std::uint32_t>("the random generator's state");
    r.end();
    r.record("end");
    r.end();
    return d;
}

} // namespace

std::string Snapshot::text() const {
    return data_ ? writeAll(*data_) : std::string();
}

std::optional<Snapshot> Snapshot::fromText(const std::string& text, std::string& why) {
    try {
        return Snapshot(readAll(text));
    } catch (const Unreadable& e) {
        why = std::string("the snapshot cannot be read: ") + e.what();
        return std::nullopt;
    }
}
