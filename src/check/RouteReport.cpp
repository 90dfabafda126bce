#include "check/RouteReport.h"

#include "app/Fom.h"
#include "check/RouteScript.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

namespace {

// Routes up to this many decisions are spelled out in the report; longer ones are counted.
constexpr std::size_t kSpelledOut = 12;

std::string utf8(const std::u16string& s) {
    return text::toUtf8(s);
}

std::string joined(const std::vector<std::string>& words, const char* between = ", ") {
    std::string all;
    for (const auto& w : words) all += (all.empty() ? "" : between) + w;
    return all;
}

std::string seconds(double s) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", s);
    return text;
}

// Whether the story can lower a love level: then every level counts, not only whether it reached the
// threshold.
bool loveCanFall(const std::string& gameDir) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(gameDir + "/txt", ec)) {
        std::ifstream in(entry.path(), std::ios::binary);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(">love>", 0) == 0 && line.find('-') != std::string::npos) return true;
    }
    return false;
}

// The flags the story's lines set, as the game names them: >on>t,u, >gn>n and >cn>n.
std::set<std::string> namedFlags(const std::string& gameDir) {
    std::set<std::string> named;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(gameDir + "/txt", ec)) {
        std::ifstream in(entry.path(), std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const auto rest = line.size() > 4 ? line.substr(4) : std::string();
            if (line.rfind(">on>", 0) == 0) named.insert("OnOffFlags(" + rest + ")");
            if (line.rfind(">gn>", 0) == 0) named.insert("GnFlags(" + rest + ")");
            if (line.rfind(">cn>", 0) == 0) named.insert("CnFlags(" + rest + ")");
        }
    }
    return named;
}

} // namespace

RouteReport::RouteReport(std::string gameDir, std::vector<std::string> scenes, Options options)
    : gameDir_(std::move(gameDir)), scenes_(std::move(scenes)), options_(std::move(options)) {
    RoutePlayer p(gameDir_);
    if (p.start()) {
        for (const Control* c : p.game().fom().StartCom) difficulties_.push_back(utf8(c->caption));
        for (const Control* c : p.game().fom().com) places_.push_back(utf8(c->caption));
    }
}

std::string RouteReport::describe(const RouteSearch::Route& route) const {
    if (route.size() > kSpelledOut) return std::to_string(route.size()) + " decisions";
    std::vector<std::string> steps;
    for (const Decision& d : route) {
        std::string step;
        switch (d.kind) {
        case Decision::Kind::Difficulty:
            continue;
        case Decision::Kind::Place:
            step = d.index < static_cast<int>(places_.size()) ? places_[static_cast<std::size_t>(d.index)]
                                                              : "place " + std::to_string(d.index);
            break;
        case Decision::Kind::Answer:
            step = "answer " + std::to_string(d.index);
            break;
        case Decision::Kind::TimeOut:
            step = "time out";
            break;
        }
        steps.push_back(step);
    }
    return std::to_string(route.size()) + " decisions: " + joined(steps, " > ");
}

void RouteReport::writeRoute(const std::string& name, const RouteSearch::Route& route,
                             const std::string& title) {
    if (options_.routesOut.empty()) return;
    const auto written = RouteScript::write(gameDir_, route, title);
    std::ofstream out(std::filesystem::path(options_.routesOut) / (name + ".txt"),
                      std::ios::binary | std::ios::trunc);
    out << written.text;
    if (out.flush()) ++written_;
}

std::size_t RouteReport::run(std::ostream& out) {
    if (!options_.routesOut.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(options_.routesOut, ec);
    }
    const bool falls = loveCanFall(gameDir_);
    std::size_t problems = 0;
    bool allCovered = true;
    std::vector<RouteSearch::Result> results;
    std::map<std::string, std::set<std::string>> reachedOn; // scene -> difficulties
    for (int d = 0; d < static_cast<int>(std::max<std::size_t>(difficulties_.size(), 1)); ++d) {
        if (options_.only >= 0 && d != options_.only) continue;
        RouteSearch::Options o;
        o.difficulty = d;
        o.maxStates = options_.maxStates;
        o.exact = options_.exact;
        o.loveCap = falls ? 254 : 0;
        const std::string name = d < static_cast<int>(difficulties_.size())
                                     ? difficulties_[static_cast<std::size_t>(d)]
                                     : std::to_string(d);
        if (options_.progress)
            o.progress = [&, last = std::size_t(0)](std::size_t states, std::size_t waiting) mutable {
                if (states < last + 20000 && waiting > 0) return;
                last = states;
                *options_.progress << "rumena-check: " << name << ": " << states << " states, " << waiting
                                   << " to explore\n";
            };
        results.push_back(RouteSearch(gameDir_, o).run());
        const auto& r = results.back();
        allCovered &= r.covered;
        for (const auto& [scene, route] : r.scenes) reachedOn[utf8(scene)].insert(name);

        out << name << ": " << r.states << " states, " << r.moves << " moves in " << seconds(r.seconds)
            << " s (" << static_cast<long>(r.states / std::max(r.seconds, 0.001)) << " states/s); "
            << (r.covered ? "the whole space was covered"
                          : "the state budget ran out, so what follows covers only part of the space "
                            "(--max-states)")
            << "\n";
        for (const auto& [ending, e] : r.endings) {
            std::string how = e.turnLimit ? "the turn limit" : e.allClosed ? "every storyline closed" : "";
            std::string problem;
            if (e.staffRoll && e.after != RoutePlayer::Stop::Title) {
                problem = ": error: the staff roll does not end the game; the panel comes back after it "
                          "(staff.dat has no >ending?)";
                ++problems;
            } else if (!e.staffRoll && e.after == RoutePlayer::Stop::Title) {
                how += how.empty() ? "back at the title" : ", back at the title";
            }
            out << "  ending " << utf8(ending) << (how.empty() ? "" : " (" + how + ")") << problem << ": "
                << describe(e.route) << "\n";
            writeRoute(name + "-ending-" + utf8(ending), e.route, name + ": to the ending " + utf8(ending));
        }
        if (r.endings.empty()) {
            out << "  error: no ending can be reached on " << name << "\n";
            ++problems;
        }
        std::size_t n = 0;
        for (const auto& [message, route] : r.errors) {
            out << "  error: a route reaches a run-time error: " << message
                << "\n    route: " << describe(route) << "\n";
            writeRoute(name + "-error-" + std::to_string(++n), route, name + ": to the error " + message);
            ++problems;
        }
        n = 0;
        for (const auto& t : r.traps) {
            const char* what = t.stop == RoutePlayer::Stop::Loop ? "the story goes round without end"
                               : t.stop == RoutePlayer::Stop::Stuck
                                   ? "nothing can be clicked"
                                   : "no choice from here leads to an ending";
            out << "  error: no ending can be reached from scene " << utf8(t.scene) << ": " << what
                << "\n    route: " << describe(t.route) << "\n";
            writeRoute(name + "-dead-end-" + std::to_string(++n), t.route,
                       name + ": to scene " + utf8(t.scene) + ", from where no ending can be reached");
            ++problems;
        }
        // A scene named as an ending that hands the panel back.
        for (const auto& [scene, route] : r.scenes) {
            const std::string s = utf8(scene);
            if (s.size() > 4 && s.compare(s.size() - 4, 4, "_end") == 0 && !r.endings.count(scene)) {
                out << "  warning: scene " << s
                    << " is reached but ends no game: the panel comes back after it "
                    << "(no >staff?)\n    route: " << describe(route) << "\n";
                ++problems;
            }
        }
        for (const auto& t : r.flagTests)
            if (!t.seenTrue) {
                out << "  warning: txt/" << t.file << ":" << t.line << ": tests " << t.flag
                    << ", which no route sets before it\n    route: " << describe(t.route) << "\n";
            }
    }

    std::vector<std::string> never, some;
    for (const auto& scene : scenes_) {
        const auto at = reachedOn.find(scene);
        if (at == reachedOn.end())
            never.push_back(scene);
        else if (at->second.size() < results.size())
            some.push_back(scene + " (" + joined({at->second.begin(), at->second.end()}) + ")");
    }
    if (!never.empty()) {
        out << "warning: scenes no route reaches: " << joined(never) << "\n";
        problems += never.size();
    }
    if (!some.empty()) out << "note: scenes only some difficulties reach: " << joined(some) << "\n";

    // Flags a script line sets that no route sets.
    std::set<std::string> set;
    for (const auto& r : results) set.insert(r.flagsSet.begin(), r.flagsSet.end());
    std::vector<std::string> unset;
    for (const auto& flag : namedFlags(gameDir_))
        if (!set.count(flag)) unset.push_back(flag);
    for (int c = 0; c < 3; ++c)
        if (!set.count("CnFlags(" + std::to_string(c) + ")")) {
            out << "warning: storyline " << c << " closes on no route (no route sets CnFlags(" << c
                << ")), so the scene end, which needs every storyline closed, cannot be reached\n";
            // How far it gets: of its scenes (named by the panel's letter for the character), the one
            // whose shortest route is longest.
            const char16_t letter = u"irg"[c];
            const RouteSearch::Route* furthest = nullptr;
            std::u16string last;
            for (const auto& r : results)
                for (const auto& [scene, route] : r.scenes)
                    if (!scene.empty() && scene[0] == letter &&
                        (!furthest || route.size() > furthest->size()))
                        furthest = &route, last = scene;
            if (furthest)
                out << "    it gets as far as scene " << utf8(last) << ", route: " << describe(*furthest)
                    << "\n";
            ++problems;
        }
    if (!unset.empty()) out << "warning: flags a line sets that no route sets: " << joined(unset) << "\n";
    if (!options_.routesOut.empty())
        out << written_ << " routes written to " << options_.routesOut
            << "; replay them with rumena-check --replay " << options_.routesOut << " " << gameDir_ << "\n";
    out << (allCovered ? "Routes: the whole space was covered on every difficulty"
                       : "Routes: NOT the whole space: the state budget ran out")
        << ", with the merging README describes; " << problems << (problems == 1 ? " problem" : " problems")
        << " found.\n";
    return problems;
}
