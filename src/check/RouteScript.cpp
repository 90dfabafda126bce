#include "check/RouteScript.h"

#include "app/Fom.h"
#include "check/RoutePlayer.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <sstream>

namespace {

const char* const kEnds = "# ends: ";

std::string utf8(const std::u16string& s) {
    return text::toUtf8(s);
}

std::string sceneNow(const Fom& f) {
    return std::filesystem::path(f.script.currentPath).stem().string();
}

// Where a play stopped, in the words a report and a route's first line use.
std::string endOf(const RoutePlayer& p, const RoutePlayer::Leg& leg) {
    using Stop = RoutePlayer::Stop;
    const std::string scene = sceneNow(p.game().fom());
    if (leg.staffRoll || leg.stop == Stop::Title) {
        std::string end = "ending " + utf8(leg.ending);
        if (leg.staffRoll && leg.stop != Stop::Title)
            end += ", and the panel comes back after the staff roll";
        return end;
    }
    switch (leg.stop) {
    case Stop::Error:
        return "error " + leg.error;
    case Stop::Loop:
        return "a loop through " + scene;
    case Stop::Stuck:
        return "nothing to click in " + scene;
    case Stop::Question:
        return "a question in " + scene;
    default:
        return "the panel after " + scene;
    }
}

// What a draw did, as the author reads it.
std::string drawWords(const SearchRandom::Made& m) {
    switch (m.kind) {
    case Draw::LoveBonus:
        return "love bonus +" + std::to_string(static_cast<int>(m.value * 5.0f));
    case Draw::EmptyPlace:
        return m.value * 100.0f < 31.0f ? "nobody there, and the special place turns up" : "nobody there";
    default:
        return {};
    }
}

std::string decisionWords(const Fom& f, const Decision& d) {
    switch (d.kind) {
    case Decision::Kind::Difficulty:
        return "difficulty " + utf8(f.StartCom[static_cast<std::size_t>(d.index)]->caption);
    case Decision::Kind::Place:
        return "place " + std::to_string(d.index) + " " +
               utf8(f.com[static_cast<std::size_t>(d.index)]->caption);
    case Decision::Kind::Answer:
        return "answer " + std::to_string(d.index) + " " +
               utf8(f.QstLBl[static_cast<std::size_t>(d.index)]->caption);
    case Decision::Kind::TimeOut:
        return "the question's time runs out";
    }
    return {};
}

bool number(std::string_view text, int& value) {
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size() && value >= 0;
}

} // namespace

RouteScript::Written RouteScript::write(const std::string& gameDir, const std::vector<Decision>& route,
                                        const std::string& title) {
    RoutePlayer p(gameDir);
    std::ostringstream out;
    Written w;
    if (!p.start()) {
        w.end = "error " + p.game().error();
        return w;
    }
    std::string body;
    RoutePlayer::Leg leg;
    int step = 0;
    for (const Decision& d : route) {
        const Fom& f = p.game().fom();
        std::string words = decisionWords(f, d);
        p.keepLog(true);
        if (p.take(d) == Outcome::Ignored) {
            leg.stop = RoutePlayer::Stop::Stuck;
            break;
        }
        if (d.kind == Decision::Kind::Place) words = "day " + utf8(f.DayDate.caption) + ", " + words;
        for (const auto& m : p.draws())
            if (const std::string more = drawWords(m); !more.empty()) words += ", " + more;
        leg = p.run();
        body += "# " + std::to_string(++step) + ": " + words + "\n";
        for (const auto& command : p.log()) body += command + "\n";
    }
    w.end = endOf(p, leg);
    out << kEnds << w.end << "\n# " << title
        << "\n# Play it with: rumena --headless GAME_DIR < FILE\ntrace scenes\n"
        << body;
    w.text = out.str();
    return w;
}

std::optional<RouteScript::Read> RouteScript::read(const std::string& text, std::string& why) {
    Read r;
    std::istringstream in(text);
    std::vector<float> draws;
    std::size_t lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (lineNumber == 1) {
            if (line.rfind(kEnds, 0) != 0) {
                why = "line 1: \"" + std::string(kEnds) +
                      "...\" was expected: this is no route rumena-check wrote";
                return std::nullopt;
            }
            r.end = line.substr(std::string(kEnds).size());
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string verb, name, count;
        words >> verb >> name >> count;
        if (verb == "random") {
            // The values of the next decision's draws.
            draws.clear();
            std::istringstream values(line.substr(6));
            for (float v; values >> v;) draws.push_back(v);
            continue;
        }
        Decision d;
        int index = 0;
        if (verb == "click" && (name == "StartCom" || name == "com" || name == "QstLBl")) {
            if (!number(count, index)) {
                why = "line " + std::to_string(lineNumber) + ": a whole number was expected after " + name;
                return std::nullopt;
            }
            d.kind = name == "StartCom" ? Decision::Kind::Difficulty
                     : name == "com"    ? Decision::Kind::Place
                                        : Decision::Kind::Answer;
        } else if (verb == "tick" && name == "QstTim") {
            d.kind = Decision::Kind::TimeOut;
        } else {
            continue; // the pauses and the story's lines are played by whoever replays it
        }
        d.index = index;
        d.draws = std::move(draws);
        draws.clear();
        r.route.push_back(std::move(d));
    }
    if (lineNumber == 0) {
        why = "the file is empty";
        return std::nullopt;
    }
    return r;
}

std::string RouteScript::replay(const std::string& gameDir, const std::vector<Decision>& route) {
    RoutePlayer p(gameDir);
    if (!p.start()) return "error " + p.game().error();
    RoutePlayer::Leg leg;
    leg.stop = RoutePlayer::Stop::Title;
    for (std::size_t i = 0; i < route.size(); ++i) {
        const Decision& d = route[i];
        const auto offered = p.decisions(leg.stop);
        const bool possible = std::any_of(offered.begin(), offered.end(), [&](const Decision& o) {
            return o.kind == d.kind && o.index == d.index;
        });
        if (!possible || (i > 0 && (leg.staffRoll || leg.stop == RoutePlayer::Stop::Title)))
            return endOf(p, leg) + " (decision " + std::to_string(i + 1) + " of " +
                   std::to_string(route.size()) + " can no longer be made)";
        p.take(d);
        leg = p.run();
    }
    return endOf(p, leg);
}
