// The game's state as a host may read it back, in the game's own names and units: what the headless
// driver's dump prints.
#include "app/Fom.h"
#include "game/Game.h"

namespace {

MenuEntry entryOf(const MenuItem& m, bool withItems) {
    MenuEntry e{m.name, m.index, m.caption, m.checked, m.enabled, m.visible, {}};
    if (withItems)
        for (const MenuItem* child : m.items) e.items.push_back(entryOf(*child, true));
    return e;
}

} // namespace

std::vector<MenuEntry> Game::menuItems() const {
    return entryOf(*fom_->model.menu("menu").front(), true).items;
}

AccessRole Game::role(std::size_t id) const {
    const Fom& f = *fom_;
    const Control& c = *f.model.controls().at(id);
    if (&c == &f.E || c.name == f.Lbl2[0]->name || c.name == f.Lbl3[0]->name ||
        c.kind == ControlKind::Shape || &c == &f.QstTimLbl)
        return AccessRole::Hidden;
    if (c.name == f.Lbl[0]->name) return AccessRole::StoryLine;
    if (c.name == f.com[0]->name || c.name == f.QstLBl[0]->name || c.kind == ControlKind::CommandButton ||
        &c == &f.menuLbl || &c == &f.HtmlToolLbl)
        return AccessRole::Button;
    if (c.kind == ControlKind::PictureBox && &c != &f.DataPic) return AccessRole::Picture;
    return AccessRole::Text;
}

bool Game::seen(std::size_t id) const {
    const Fom& f = *fom_;
    const Control& c = *f.model.controls().at(id);
    for (const Control* k = &c; k; k = k->container)
        if (!k->visible) return false;
    // The visible title picture lies over everything but itself and its buttons.
    return !f.PicTtl.visible || &c == &f.PicTtl || c.isInside(f.PicTtl) || c.kind == ControlKind::Window;
}

std::vector<MenuEntry> Game::menuArray(const std::string& name) const {
    std::vector<MenuEntry> items;
    for (const MenuItem* m : fom_->model.menu(name)) items.push_back(entryOf(*m, false));
    return items;
}

std::optional<TimerState> Game::timer(const std::string& name) const {
    for (const TimerState& t : timers())
        if (t.name == name) return t;
    return std::nullopt;
}

std::vector<DesignEntry> Game::design() const {
    std::vector<DesignEntry> names;
    for (const auto& e : fom_->model.entries()) {
        DesignEntry::Kind kind = DesignEntry::Kind::Control;
        if (e.kind == ControlModel::EntryKind::Timer) kind = DesignEntry::Kind::Timer;
        if (e.kind == ControlModel::EntryKind::Menu) kind = DesignEntry::Kind::Menu;
        names.push_back({kind, e.name, e.isArray});
    }
    return names;
}

ControlUnits Game::units(std::size_t id) const {
    const Control& c = *fom_->model.controls().at(id);
    return {c.left(), c.top(), c.width(), c.height(), c.scaleWidth(), c.scaleHeight(), c.pictureName};
}

Variables Game::variables() const {
    const Fom& f = *fom_;
    const auto& g = f.game;
    Variables v;
    v.BaseDir = f.BaseDir;
    v.TextDir = f.TextDir;
    v.GraphicsDir = f.GraphicsDir;
    v.MusicOn = f.music.MusicOn;
    v.TurnLimit = g.TurnLimit;
    v.LoveThreshold = g.LoveThreshold;
    v.TurnCount = g.TurnCount;
    for (int i = 0; i < 3; ++i) v.LoveLevels[i] = g.LoveLevels[i];
    v.OnOffFlags = g.OnOffFlags;
    v.CnFlags = g.CnFlags;
    v.GnFlags = g.GnFlags;
    for (int d = 1; d <= 9; ++d) v.VisitFlags[d - 1] = g.VisitFlags[d];
    v.CurrentLine = f.script.CurrentLine;
    v.NextLine = f.script.NextLine;
    v.ScriptOpen = f.script.file.isOpen();
    v.QstTargets = f.question.QstTargets;
    for (int i = 0; i < 2; ++i) v.QstTop[i] = f.question.QstTop[i];
    v.QstCount = f.question.QstCount;
    v.BlinkPhase = f.script.BlinkPhase;
    v.HintCount = f.extras.HintCount;
    v.Hints.assign(f.extras.Hints.begin(), f.extras.Hints.begin() + f.extras.HintCount);
    v.HelpText = f.extras.HelpText;
    return v;
}
