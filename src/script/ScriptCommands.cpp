#include "script/ScriptCommands.h"

#include "app/Fom.h"
#include "script/ScriptText.h"

#include <utility>
#include <vector>

using scripttext::find;
using scripttext::from;

namespace {

// The items of a condition list, cut at every ">". An empty list has no items.
std::vector<std::u16string> conditionItems(const std::u16string& list) {
    std::vector<std::u16string> items;
    if (list.empty()) return items;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = list.find(u'>', start);
        items.push_back(list.substr(start, bar == std::u16string::npos ? std::u16string::npos : bar - start));
        if (bar == std::u16string::npos) return items;
        start = bar + 1;
    }
}

} // namespace

struct CommandLine {
    Fom& fom;
    const std::u16string& line;
    const char* usage;

    [[noreturn]] void fail() const { fom.scriptError(usage); }

    long index(const std::u16string& text, long upper) const {
        auto n = scripttext::toWhole(text);
        if (!n || *n < 0 || *n > upper) fail();
        return *n;
    }

    // A pair "a,b", cut at its first comma.
    std::pair<std::u16string, std::u16string> pair(const std::u16string& text) const {
        std::size_t comma = text.find(u',');
        if (comma == std::u16string::npos) fail();
        return {text.substr(0, comma), text.substr(comma + 1)};
    }

    // The condition list and the targets of a branch line.
    std::pair<std::u16string, std::u16string> branch() const {
        std::size_t p1 = find(line, u"*");
        std::size_t p2 = find(line, u"*", p1 + 1);
        if (p1 == 0 || p2 == 0 || p2 < 6) fail();
        return {from(line, p1 + 1, p2 - 6), from(line, p2 + 1)};
    }

    // Scene A (before the first "|") or scene B (after it; the whole text when there is no bar).
    std::u16string target(const std::u16string& targets, bool takeA) const {
        std::size_t bar = targets.find(u'|');
        if (takeA) {
            if (bar == std::u16string::npos) fail();
            return targets.substr(0, bar);
        }
        return bar == std::u16string::npos ? targets : targets.substr(bar + 1);
    }
};

void ScriptCommands::gn() {
    CommandLine c{fom, fom.script.CurrentLine, ">gn> needs an index 0 to 2"};
    fom.game.GnFlags[c.index(from(c.line, 5), 2)] = true;
    fom.LstHyouji();
}

void ScriptCommands::cn() {
    CommandLine c{fom, fom.script.CurrentLine, ">cn> needs an index 0 to 2"};
    fom.game.CnFlags[c.index(from(c.line, 5), 2)] = true;
    fom.LstHyouji();
}

void ScriptCommands::love() {
    CommandLine c{fom, fom.script.CurrentLine, ">love> needs a character 0 to 2, a comma and an amount"};
    auto [who, amount] = c.pair(from(c.line, 7));
    long index = c.index(who, 2);
    auto value = scripttext::toNumber(amount);
    if (!value) c.fail();
    fom.AddLove(static_cast<int>(index), *value);
}

void ScriptCommands::on() {
    CommandLine c{fom, fom.script.CurrentLine, ">on> needs t,u with t 0 to 2 and u 0 to 3"};
    auto [t, u] = c.pair(from(c.line, 5));
    fom.game.OnOffFlags[c.index(t, 2)][c.index(u, 3)] = true;
    fom.LstHyouji();
}

void ScriptCommands::off() {
    CommandLine c{fom, fom.script.CurrentLine, ">off> needs t,u with t 0 to 2 and u 0 to 3"};
    auto [t, u] = c.pair(from(c.line, 6));
    fom.game.OnOffFlags[c.index(t, 2)][c.index(u, 3)] = false;
    fom.LstHyouji();
}

void ScriptCommands::swc() {
    CommandLine c{fom, fom.script.CurrentLine,
                  ">swc needs *conditions*A|B, each condition an index 0 to 2, conditions joined by >"};
    auto [list, targets] = c.branch();
    bool all = true;
    for (const auto& item : conditionItems(list)) {
        if (!fom.game.GnFlags[c.index(item, 2)]) {
            all = false;
            break;
        }
    }
    fom.GoToScene(c.target(targets, all));
}

void ScriptCommands::swb() {
    CommandLine c{fom, fom.script.CurrentLine,
                  ">swb needs *conditions*A|B, each condition t,u with t 0 to 2 and u 0 to 3, joined by >"};
    auto [list, targets] = c.branch();
    bool takeA = true;
    for (const auto& item : conditionItems(list)) {
        auto [t, u] = c.pair(item);
        long who = c.index(t, 2);
        if (!fom.game.OnOffFlags[who][c.index(u, 3)]) {
            // A high enough love level makes up for the first flag that is off.
            takeA = fom.game.LoveLevels[who] >= fom.game.LoveThreshold;
            break;
        }
    }
    fom.GoToScene(c.target(targets, takeA));
}

void ScriptCommands::html() {
    CommandLine c{fom, fom.script.CurrentLine, ">html> needs >html>source>page"};
    std::size_t p = find(c.line, u">", 7);
    if (p == 0) c.fail();
    std::u16string source = from(c.line, 7, p - 7);
    std::u16string page = from(c.line, p + 1);
    if (scripttext::toNumber(source)) {
        long t = c.index(source, 2);
        for (bool flag : fom.game.OnOffFlags[t])
            if (!flag) return;
    }
    fom.MakeBonusPage(source, page);
}
