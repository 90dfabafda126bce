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
        if (!fom.game.GnFlags[condition.first]) {
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
        if (!fom.game.OnOffFlags[who][condition.second]) {
            // A high enough love level makes up for the first flag that is off.
            takeA = fom.game.LoveLevels[who] >= fom.game.LoveThreshold;
            break;
        }
    }
    fom.GoToScene(target(fom, command, takeA));
}

void ScriptCommands::html() {
    if (command.flagGated)
        for (bool flag : fom.game.OnOffFlags[command.first])
            if (!flag) return;
    fom.MakeBonusPage(command.name, command.page);
}
