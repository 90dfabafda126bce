// A copy of the window's whole state, and its restoring: the route search explores from copies, and
// a page can keep the running game in storage.
#include "app/Fom.h"
#include "app/GameError.h"
#include "app/SnapshotData.h"
#include "platform/RandomSource.h"

namespace {

std::string countsDiffer(const char* what, std::size_t snapshot, std::size_t window) {
    return std::string("the snapshot holds ") + std::to_string(snapshot) + " " + what + " and this game " +
           std::to_string(window) + ": it was taken of another game folder";
}

} // namespace

std::shared_ptr<const SnapshotData> Fom::snapshot(const SnapshotData* base) const {
    auto data = std::make_shared<SnapshotData>();
    const auto& all = model.controls();
    const bool sharable = base && base->controls.size() == all.size();
    data->controls.reserve(all.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (sharable && all[i]->hasState(*base->controls[i]))
            data->controls.push_back(base->controls[i]);
        else
            data->controls.push_back(std::make_shared<const ControlState>(all[i]->state()));
    }
    for (const Timer* t : model.timers()) data->timers.push_back({t->enabled(), t->interval()});
    for (const MenuItem* m : model.menuItems())
        data->menus.push_back({m->caption, m->checked, m->enabled, m->visible});
    data->windowSizeFixed = windowSizeFixed;

    auto& s = data->script;
    s.file = script.file;
    s.open = script.file.isOpen();
    s.path = s.open ? script.file.path() : std::string();
    s.position = script.file.lineNumber();
    s.currentLine = script.CurrentLine;
    s.nextLine = script.NextLine;
    s.currentLineNumber = script.currentLineNumber;
    s.nextLineNumber = script.nextLineNumber;
    s.currentPath = script.currentPath;
    s.fileOpened = script.fileOpened;
    s.blinkPhase = script.BlinkPhase;

    if (base && base->textLog && *base->textLog == textLog.lines())
        data->textLog = base->textLog;
    else
        data->textLog = std::make_shared<const std::deque<std::u16string>>(textLog.lines());
    data->game = game;
    data->question = question;
    data->helpText = extras.HelpText;
    data->musicOn = music.MusicOn;
    data->music = music.heard();
    data->random = platform.random.state();
    return data;
}

void Fom::restore(const SnapshotData& data) {
    const auto& all = model.controls();
    const auto timers = model.timers();
    const auto menus = model.menuItems();
    if (data.controls.size() != all.size())
        throw GameError(countsDiffer("controls", data.controls.size(), all.size()));
    if (data.timers.size() != timers.size())
        throw GameError(countsDiffer("timers", data.timers.size(), timers.size()));
    if (data.menus.size() != menus.size())
        throw GameError(countsDiffer("menu items", data.menus.size(), menus.size()));

    // The script first: it is the one part that may have to be read from its file again, and a file
    // that is gone must leave the game as it was.
    const auto& s = data.script;
    TextFile file;
    if (s.open) {
        if (s.file.isOpen()) {
            file.open(s.file);
        } else if (!file.open(s.path)) {
            throw GameError::inFile(s.path,
                                    "the scene script the snapshot was reading cannot be opened again");
        }
        if (s.position > file.lineCount())
            throw GameError::inFile(s.path, "the scene script has " + std::to_string(file.lineCount()) +
                                                " lines now, fewer than the " + std::to_string(s.position) +
                                                " the snapshot had read");
        file.seek(s.position);
    }
    script.file = std::move(file);
    script.CurrentLine = s.currentLine;
    script.NextLine = s.nextLine;
    script.currentLineNumber = s.currentLineNumber;
    script.nextLineNumber = s.nextLineNumber;
    script.currentPath = s.currentPath;
    script.fileOpened = s.fileOpened;
    script.BlinkPhase = s.blinkPhase;

    for (std::size_t i = 0; i < all.size(); ++i)
        if (!all[i]->hasState(*data.controls[i])) all[i]->setState(*data.controls[i]);
    for (std::size_t i = 0; i < timers.size(); ++i)
        timers[i]->restore(data.timers[i].enabled, data.timers[i].interval);
    for (std::size_t i = 0; i < menus.size(); ++i) {
        menus[i]->caption = data.menus[i].caption;
        menus[i]->checked = data.menus[i].checked;
        menus[i]->enabled = data.menus[i].enabled;
        menus[i]->visible = data.menus[i].visible;
    }
    windowSizeFixed = data.windowSizeFixed;
    if (!data.textLog)
        textLog.clear();
    else if (textLog.lines() != *data.textLog)
        textLog.assign(*data.textLog);
    game = data.game;
    question = data.question;
    extras.HelpText = data.helpText;
    music.MusicOn = data.musicOn;
    music.restore(data.music);
    platform.random.setState(data.random);
    // The status list is written whole at its next refresh, from the state as it now stands.
    listed_.reset();
}
