#include "game/SceneStart.h"

#include <array>
#include <charconv>

const char* const SceneStart::kNames = "TurnLimit, LoveThreshold, TurnCount, LoveLevels(i), OnOffFlags(t,u), "
                                       "CnFlags(i), GnFlags(i), VisitFlags(d)";

namespace {

struct Variable {
    const char* name;
    int indices;             // how many the name takes
    int firstLow, firstHigh; // the first index's bounds
    int secondHigh;          // the second index's upper bound (from 0)
    int low, high;           // the value's bounds
    bool flag;
};

constexpr std::array<Variable, 8> kVariables = {{
    {"TurnLimit", 0, 0, 0, 0, 0, 255, false},
    {"LoveThreshold", 0, 0, 0, 0, 0, 255, false},
    {"TurnCount", 0, 0, 0, 0, 0, 32767, false},
    {"LoveLevels", 1, 0, 2, 0, 0, 254, false},
    {"OnOffFlags", 2, 0, 2, 3, 0, 1, true},
    {"CnFlags", 1, 0, 2, 0, 0, 1, true},
    {"GnFlags", 1, 0, 2, 0, 0, 1, true},
    {"VisitFlags", 1, 1, 9, 0, 0, 1, true},
}};

std::optional<int> whole(std::string_view text) {
    int n = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return n;
}

// The indices written after a name: "(1,2)" or ".1.2".
std::optional<std::vector<int>> indicesOf(std::string_view rest) {
    std::vector<int> out;
    if (rest.empty()) return out;
    char separator = '.';
    if (rest.front() == '(') {
        if (rest.back() != ')') return std::nullopt;
        rest = rest.substr(1, rest.size() - 2);
        separator = ',';
    } else if (rest.front() == '.') {
        rest.remove_prefix(1);
    } else {
        return std::nullopt;
    }
    for (;;) {
        const std::size_t cut = rest.find(separator);
        auto n = whole(rest.substr(0, cut));
        if (!n) return std::nullopt;
        out.push_back(*n);
        if (cut == std::string_view::npos) return out;
        rest.remove_prefix(cut + 1);
    }
}

} // namespace

std::optional<SceneStart::Setting> SceneStart::parseSetting(const std::string& text, std::string& why) {
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        why = "\"" + text + "\" should be NAME=VALUE, e.g. LoveLevels(0)=30";
        return std::nullopt;
    }
    const std::string_view left = std::string_view(text).substr(0, equals);
    const std::string_view value = std::string_view(text).substr(equals + 1);
    for (const Variable& v : kVariables) {
        const std::string_view name = v.name;
        if (left.substr(0, name.size()) != name) continue;
        const auto indices = indicesOf(left.substr(name.size()));
        if (!indices) continue;
        const std::string usage = v.indices == 0   ? std::string(v.name)
                                  : v.indices == 1 ? std::string(v.name) + "(" + std::to_string(v.firstLow) +
                                                         " to " + std::to_string(v.firstHigh) + ")"
                                                   : std::string(v.name) + "(0 to 2, 0 to 3)";
        if (static_cast<int>(indices->size()) != v.indices) {
            why = "\"" + std::string(left) + "\": write " + usage;
            return std::nullopt;
        }
        Setting s;
        s.name = v.name;
        if (v.indices >= 1) s.first = (*indices)[0];
        if (v.indices == 2) s.second = (*indices)[1];
        if ((v.indices >= 1 && (s.first < v.firstLow || s.first > v.firstHigh)) ||
            (v.indices == 2 && (s.second < 0 || s.second > v.secondHigh))) {
            why = "\"" + std::string(left) + "\" is outside the variable: write " + usage;
            return std::nullopt;
        }
        std::optional<int> n;
        if (v.flag && (value == "true" || value == "True"))
            n = 1;
        else if (v.flag && (value == "false" || value == "False"))
            n = 0;
        else
            n = whole(value);
        if (!n || *n < v.low || *n > v.high) {
            why = "\"" + std::string(value) + "\" cannot be " + std::string(left) + ": " +
                  (v.flag ? std::string("a flag is true or false")
                          : "a whole number from " + std::to_string(v.low) + " to " + std::to_string(v.high) +
                                " is expected");
            return std::nullopt;
        }
        s.value = *n;
        return s;
    }
    why = "\"" + std::string(left) + "\" is no variable a start can set; these can: " + kNames;
    return std::nullopt;
}
