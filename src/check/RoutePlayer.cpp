#include "check/RoutePlayer.h"

#include "app/Fom.h"

#include <algorithm>
#include <charconv>
#include <filesystem>

namespace {

const Color kCyan = rgb(0, 255, 255);
// No story reads this many lines between two decisions; a run that does goes round for ever.
constexpr long kLongestRun = 2'000'000;
// The countdown of a timed question, in ticks.
constexpr int kQuestionTicks = 30;

// The shortest text that reads back as the same draw.
std::string value(float v) {
    char text[32];
    const auto r = std::to_chars(std::begin(text), std::end(text), v);
    return std::string(text, r.ptr);
}

std::uint64_t mix(std::uint64_t h, std::uint64_t v) {
    h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2);
    return h;
}

} // namespace

RoutePlayer::RoutePlayer(const std::string& gameDir)
    : platform_{music_,   pictures_,
                desktop_, random_,
                1,        {},
                {},       [](const std::string&, const std::string&, std::string&) { return true; }},
      game_(platform_, gameDir) {
    game_.fom().keepFiles = true;
    random_.bonusChoices = [this](int character) {
        // A bonus of 0 to 4: each value that leaves the level below the cap is a different game, and
        // of those that reach it only the first is needed.
        std::vector<float> choices;
        const int level = game_.fom().game.LoveLevels.at(static_cast<std::size_t>(character));
        // A bonus of 0 to 4. Only whether a level reaches the threshold is ever compared, and the lowest
        // and highest bonus reach it at each meeting where some bonus does (see README); with
        // everyBonus, each value that leaves the level below the cap is tried.
        if (everyBonus_) {
            for (int n = 0; n < 5; ++n) {
                choices.push_back(SearchRandom::bonusValue(n));
                if (level + n >= loveCap_) break;
            }
        } else {
            choices.push_back(SearchRandom::bonusValue(0));
            if (level < loveCap_) choices.push_back(SearchRandom::bonusValue(4));
        }
        return choices;
    };
    game_.onSceneOpened([this](const std::u16string& name, const std::string&) { sceneOpened(name); });
}

std::optional<PictureSize> RoutePlayer::QuietPictures::load(const std::string& path) {
    auto [at, fresh] = there.emplace(path, false);
    if (fresh) {
        std::error_code ec;
        at->second = std::filesystem::is_regular_file(path, ec);
    }
    if (!at->second) return std::nullopt;
    return PictureSize{1, 1};
}

bool RoutePlayer::start() {
    return game_.load() != Outcome::Failed && game_.activate() != Outcome::Failed;
}

void RoutePlayer::note(const std::string& command) {
    if (!logging_) return;
    // Ticks in a row become one command with their count.
    const std::string tick = "tick LblTim";
    if (command == tick && !log_.empty() && log_.back().rfind(tick, 0) == 0) {
        const std::string& last = log_.back();
        const int count = last.size() == tick.size() ? 1 : std::stoi(last.substr(tick.size() + 1));
        log_.back() = tick + " " + std::to_string(count + 1);
        return;
    }
    log_.push_back(command);
}

std::uint64_t RoutePlayer::sceneMark(const std::u16string& name) const {
    // Everything of the game's state that a scene's run can depend on, as it opens.
    const Fom& f = game_.fom();
    std::uint64_t h = 1469598103934665603ull;
    for (char16_t c : name) h = mix(h, c);
    const GameState& g = f.game;
    for (const auto& row : g.OnOffFlags)
        for (bool b : row) h = mix(h, b);
    for (bool b : g.CnFlags) h = mix(h, b);
    for (bool b : g.GnFlags) h = mix(h, b);
    for (bool b : g.VisitFlags) h = mix(h, b);
    for (auto l : g.LoveLevels) h = mix(h, std::min<int>(l, loveCap_));
    h = mix(h, static_cast<std::uint64_t>(g.TurnCount));
    for (char16_t c : f.DayDate.caption) h = mix(h, c);
    for (const Control* c : f.com) h = mix(h, c->visible * 2 + c->enabled);
    h = mix(h, f.ClickMe.fillColor);
    return h;
}

void RoutePlayer::sceneOpened(const std::u16string& name) {
    if (name == u"staff" && !leg_.staffRoll) {
        leg_.staffRoll = true;
        // The scene whose line began the staff roll: the one the current line came from.
        leg_.ending = std::filesystem::path(game_.fom().script.currentPath).stem().u16string();
    }
    leg_.scenes.push_back(name);
    // The same scene opening twice on the same state within one run can only go round again.
    if (!marks_.insert(sceneMark(name)).second) looped_ = true;
}

RoutePlayer::Leg RoutePlayer::run() {
    Fom& f = game_.fom();
    auto finish = [&](Stop stop) {
        Leg leg = std::move(leg_);
        leg_ = {};
        marks_.clear();
        looped_ = false;
        leg.stop = stop;
        if (stop == Stop::Error) leg.error = game_.error();
        if ((stop == Stop::Title || leg.staffRoll) && leg.ending.empty())
            leg.ending = std::filesystem::path(f.script.currentPath).stem().u16string();
        return leg;
    };
    for (long steps = 0;; ++steps) {
        if (game_.ended()) return finish(Stop::Error);
        if (looped_ || steps > kLongestRun) return finish(Stop::Loop);
        if (game_.titleShown()) return finish(Stop::Title);
        if (f.LblTim.enabled()) {
            game_.tick("LblTim");
            note("tick LblTim");
        } else if (f.ClickMe.fillColor == kCyan && f.script.file.isOpen() && game_.textAreaReachable()) {
            // The cyan prompt: a click on the text goes on.
            game_.advance();
            note("click Lbl " + std::to_string(f.Lbl.size() - 1));
        } else if (f.QstTim.enabled()) {
            return finish(Stop::Question);
        } else if (std::any_of(f.com.begin(), f.com.end(), [&](const Control* c) {
                       return game_.reachable(static_cast<std::size_t>(game_.find("com", c->index)));
                   })) {
            return finish(Stop::Panel);
        } else {
            return finish(Stop::Stuck);
        }
    }
}

std::vector<Decision> RoutePlayer::decisions(Stop stop) const {
    std::vector<Decision> all;
    const Fom& f = game_.fom();
    auto reachable = [&](const char* name, int index) {
        const int id = game_.find(name, index);
        return id >= 0 && game_.reachable(static_cast<std::size_t>(id));
    };
    if (stop == Stop::Title) {
        for (int i = 0; i < static_cast<int>(f.StartCom.size()); ++i)
            if (reachable("StartCom", i)) all.push_back({Decision::Kind::Difficulty, i, {}});
    } else if (stop == Stop::Panel) {
        for (int i = 0; i < static_cast<int>(f.com.size()); ++i)
            if (reachable("com", i)) all.push_back({Decision::Kind::Place, i, {}});
    } else if (stop == Stop::Question) {
        for (int i = 0; i < static_cast<int>(f.QstLBl.size()); ++i)
            if (reachable("QstLBl", i)) all.push_back({Decision::Kind::Answer, i, {}});
        all.push_back({Decision::Kind::TimeOut, 0, {}});
    }
    return all;
}

Outcome RoutePlayer::take(const Decision& d) {
    leg_ = {};
    marks_.clear();
    looped_ = false;
    random_.plan(d.draws);
    Outcome o = Outcome::Delivered;
    std::string command;
    switch (d.kind) {
    case Decision::Kind::Difficulty:
        command = "click StartCom " + std::to_string(d.index);
        o = game_.click("StartCom", d.index);
        break;
    case Decision::Kind::Place:
        command = "click com " + std::to_string(d.index);
        o = game_.click("com", d.index);
        break;
    case Decision::Kind::Answer:
        command = "click QstLBl " + std::to_string(d.index);
        o = game_.click("QstLBl", d.index);
        break;
    case Decision::Kind::TimeOut: {
        int ticks = 0;
        while (ticks < kQuestionTicks && game_.fom().QstTim.enabled() && o != Outcome::Failed) {
            o = game_.tick("QstTim");
            ++ticks;
        }
        command = "tick QstTim " + std::to_string(ticks);
        break;
    }
    }
    if (!random_.made().empty()) {
        std::string values = "random";
        for (const auto& m : random_.made()) values += " " + value(m.value);
        note(values);
    }
    note(command);
    return o;
}
