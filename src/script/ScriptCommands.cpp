#include "script/ScriptCommands.h"

#include "app/Fom.h"

namespace {

// A condition is read only when every one before it held, so a malformed one ends the run only then.
void checked(const Fom& fom, const ScriptSyntax::Condition& condition) {
    if (!condition.error.empty()) fom.scriptError(condition.error);
}

// Scene A needs the "|" that ends it; scene B is the whole target text when there is none.
const std::u16string& target(const Fom& fom, const ScriptSyntax::Command& c, bool takeA) {
    if (!takeA) return c.sceneB;
    if (!c.sceneA) fom.scriptError(c.usage);
    return *c.sceneA;
}

bool tested(const Fom& fom, Fom::FlagTest::Kind kind, long first, long second) {
    const bool value =
        kind == Fom::FlagTest::Kind::Gn ? fom.game.GnFlags[first] : fom.game.OnOffFlags[first][second];
    if (fom.onFlagTested) fom.onFlagTested({kind, static_cast<int>(first), static_cast<int>(second), value});
    return value;
}

} // namespace

void ScriptCommands::gn() {
    fom.game.GnFlags[command.first] = true;
    fom.LstHyouji();
}

void ScriptCommands::cn() {
    fom.game.CnFlags[command.first] = true;
    fom.LstHyouji();
}

void ScriptCommands::love() {
    fom.AddLove(static_cast<int>(command.first), command.amount);
}

void ScriptCommands::on() {
    fom.game.OnOffFlags[command.first][command.second] = true;
    fom.LstHyouji();
}

void ScriptCommands::off() {
    fom.game.OnOffFlags[command.first][command.second] = false;
    fom.LstHyouji();
}

void ScriptCommands::swc() {
    bool all = true;
    for (const auto& condition : command.conditions) {
        checked(fom, condition);
        if (!tested(fom, Fom::FlagTest::Kind::Gn, condition.first, 0)) {
            all = false;
            break;
        }
    }
    fom.GoToScene(target(fom, command, all));
}

void ScriptCommands::swb() {
    bool takeA = true;
    for (const auto& condition : command.conditions) {
        checked(fom, condition);
        const long who = condition.first;
        if (!tested(fom, Fom::FlagTest::Kind::OnOff, who, condition.second)) {
            // A high enough love level makes up for the first flag that is off.
            takeA = fom.game.LoveLevels[who] >= fom.game.LoveThreshold;
            break;
        }
    }
    fom.GoToScene(target(fom, command, takeA));
}

void ScriptCommands::html() {
    if (command.flagGated)
        for (long u = 0; u < 4; ++u)
            if (!tested(fom, Fom::FlagTest::Kind::OnOff, command.first, u)) return;
    fom.MakeBonusPage(command.name, command.page);
}
