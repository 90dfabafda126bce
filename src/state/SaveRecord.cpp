#include "state/SaveRecord.h"

#include "app/GameError.h"
#include "platform/TextCodec.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

constexpr long kWhite = 16777215;

// Numbers are written with a sign position (a space or "-") and a trailing space: " 12 ".
std::string number(long n) {
    return (n < 0 ? "-" : " ") + std::to_string(n < 0 ? -n : n) + " ";
}

std::string truth(bool b) {
    return b ? "True" : "False";
}

// The text of a line without the spaces around it, as ASCII; nothing when it holds anything else.
std::optional<std::string> trimmedAscii(const std::u16string& line) {
    std::size_t begin = line.find_first_not_of(u' ');
    if (begin == std::u16string::npos) return std::string();
    std::size_t end = line.find_last_not_of(u' ');
    std::string out;
    for (std::size_t i = begin; i <= end; ++i) {
        if (line[i] > 0x7F) return std::nullopt;
        out.push_back(static_cast<char>(line[i]));
    }
    return out;
}

// A whole number within [low, high], spaces around it allowed.
std::optional<long> whole(const std::u16string& line, long low, long high) {
    auto text = trimmedAscii(line);
    if (!text || text->empty()) return std::nullopt;
    const char* first = text->data();
    const char* last = first + text->size();
    if (*first == '+') ++first;
    long value = 0;
    auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || value < low || value > high) return std::nullopt;
    return value;
}

// A number in fixed notation filling [first, last), as std::from_chars reads it.
bool fixedNumber(const char* first, const char* last, double& value) {
#if defined(_LIBCPP_VERSION)
    // The browser build's C++ library has no floating-point from_chars: the same forms are checked
    // here and read by strtod, whose C locale there is never changed.
    std::string s(first, last);
    std::string lower;
    for (char c : s) lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    const std::size_t sign = !lower.empty() && lower[0] == '-' ? 1 : 0;
    const std::string body = lower.substr(sign);
    bool fixed = body == "inf" || body == "infinity";
    if (!fixed) {
        const std::size_t point = body.find('.');
        const std::string digits =
            point == std::string::npos ? body : body.substr(0, point) + body.substr(point + 1);
        fixed = !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
    }
    if (!fixed) return false;
    errno = 0;
    value = std::strtod(s.c_str(), nullptr);
    return errno != ERANGE;
#else
    auto [end, error] = std::from_chars(first, last, value, std::chars_format::fixed);
    return error == std::errc() && end == last;
#endif
}

// "True" or "False" in any letter case, or a number that is true when it is not zero.
std::optional<bool> boolean(const std::u16string& line) {
    auto text = trimmedAscii(line);
    if (!text) return std::nullopt;
    std::string lower;
    for (char c : *text) lower.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    if (lower == "true") return true;
    if (lower == "false") return false;
    double value = 0;
    const char* first = text->data();
    const char* last = first + text->size();
    if (first != last && *first == '+') ++first;
    if (first == last || !fixedNumber(first, last, value) || std::isnan(value)) return std::nullopt;
    return value != 0;
}

// Walks the lines in order, naming the line at fault when one is missing or cannot be read.
class LineReader {
  public:
    LineReader(const std::string& path, const std::vector<std::u16string>& lines)
        : path_(path), lines_(lines) {}

    bool atEnd() const { return next_ >= lines_.size(); }
    const std::u16string& line(const std::string& expected) {
        if (atEnd())
            throw GameError(path_ + ", line " + std::to_string(next_ + 1) + ": the file ends here (" +
                            expected + " expected)");
        return lines_[next_++];
    }
    template <class T> T value(std::optional<T> read, const std::string& expected) {
        if (!read) throw GameError::atLine(path_, next_, lines_[next_ - 1], expected + " expected");
        return *read;
    }
    bool flag(const std::string& what) { return value(boolean(line(what)), what); }

  private:
    const std::string& path_;
    const std::vector<std::u16string>& lines_;
    std::size_t next_ = 0;
};

} // namespace

std::string SaveRecord::toBytes() const {
    std::string out;
    auto put = [&out](const std::string& line) { out += line + "\r\n"; };
    put(text::toShiftJis(day));
    put(number(turnCount));
    for (int i = 0; i < 3; ++i) {
        put(truth(cnFlags[i]));
        put(truth(gnFlags[i]));
        for (bool f : onOffFlags[i]) put(truth(f));
    }
    for (Color c : cells) put(number(static_cast<long>(c & kWhite)));
    for (bool v : visits) put(truth(v));
    for (auto level : loveLevels) put(number(level));
    return out;
}

SaveRecord SaveRecord::parse(const std::string& path, const std::vector<std::u16string>& lines,
                             std::size_t cellCount) {
    SaveRecord r;
    LineReader in(path, lines);
    r.day = in.line("the day");
    r.turnCount = static_cast<std::int16_t>(
        in.value(whole(in.line("the turn count"), -32768, 32767), "the turn count, a whole number"));
    const std::string flag = "a flag, True or False";
    for (int i = 0; i < 3; ++i) {
        r.cnFlags[i] = in.flag(flag);
        r.gnFlags[i] = in.flag(flag);
        for (bool& f : r.onOffFlags[i]) f = in.flag(flag);
    }
    const std::string colour = "a colour of the map, a whole number 0 to 16777215";
    for (std::size_t k = 0; k < cellCount; ++k)
        r.cells.push_back(static_cast<Color>(in.value(whole(in.line(colour), 0, kWhite), colour)));
    for (bool& v : r.visits) v = in.flag("a day's visit, True or False");

    // A file from before the love levels were saved, or with a level out of range, loads with none.
    for (auto& level : r.loveLevels) {
        auto read = in.atEnd() ? std::nullopt : whole(in.line(""), 0, 255);
        if (!read) {
            r.loveLevels = {};
            break;
        }
        level = static_cast<std::uint8_t>(*read);
    }
    return r;
}
