#include "headless/StateDump.h"

#include "game/Game.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace statedump {
namespace {

Json str(const std::u16string& s) {
    return text::toUtf8(s);
}

Json colour(Color c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
    return buf;
}

// Positions are printed as the game reads them back, without the noise of the unit conversions.
Json number(double v) {
    double r = std::round(v * 1e6) / 1e6;
    if (r == std::floor(r) && std::fabs(r) < 1e15) return static_cast<long long>(r);
    return r;
}

Json control(const Game& game, std::size_t id) {
    const ControlLook l = game.look(id);
    const ControlUnits u = game.units(id);
    Json j;
    auto geometry = [&] {
        j["Left"] = number(u.left);
        j["Top"] = number(u.top);
        j["Width"] = number(u.width);
        j["Height"] = number(u.height);
    };
    switch (game.controls()[id].kind) {
    case ControlKind::Window:
        j["Caption"] = str(l.caption);
        j["Width"] = number(l.widthTw);
        j["Height"] = number(l.heightTw);
        j["ScaleWidth"] = number(u.scaleWidth);
        j["ScaleHeight"] = number(u.scaleHeight);
        break;
    case ControlKind::Label:
        j["Caption"] = str(l.caption);
        j["Visible"] = l.visible;
        j["Enabled"] = l.enabled;
        j["ForeColor"] = colour(l.foreColor);
        j["BackColor"] = colour(l.backColor);
        j["BackStyle"] = number(l.backStyle);
        j["BorderStyle"] = number(l.borderStyle);
        j["Alignment"] = number(l.alignment);
        j["ToolTipText"] = str(l.toolTip);
        j["FontSize"] = number(l.fontSize);
        geometry();
        break;
    case ControlKind::PictureBox:
        j["Visible"] = l.visible;
        j["BackColor"] = colour(l.backColor);
        j["BorderStyle"] = number(l.borderStyle);
        j["ToolTipText"] = str(l.toolTip);
        geometry();
        j["ScaleWidth"] = number(u.scaleWidth);
        j["ScaleHeight"] = number(u.scaleHeight);
        j["Picture"] = str(u.pictureName);
        break;
    case ControlKind::Shape:
        j["Visible"] = l.visible;
        j["Shape"] = number(l.shape);
        j["FillColor"] = colour(l.fillColor);
        j["BorderColor"] = colour(l.borderColor);
        j["BorderStyle"] = number(l.borderStyle);
        geometry();
        break;
    case ControlKind::ListBox: {
        j["Visible"] = l.visible;
        Json lines = Json::array();
        for (const auto& line : l.list) lines.push_back(str(line));
        j["List"] = lines;
        geometry();
        j["FontSize"] = number(l.fontSize);
        break;
    }
    case ControlKind::CommandButton:
        j["Caption"] = str(l.caption);
        j["Visible"] = l.visible;
        j["Enabled"] = l.enabled;
        j["BackColor"] = colour(l.backColor);
        j["ToolTipText"] = str(l.toolTip);
        j["FontSize"] = number(l.fontSize);
        geometry();
        break;
    }
    return j;
}

Json timer(const TimerState& t) {
    return Json{{"Enabled", t.enabled}, {"Interval", t.interval}};
}

Json menuItem(const MenuEntry& m) {
    return Json{
        {"Caption", str(m.caption)}, {"Checked", m.checked}, {"Enabled", m.enabled}, {"Visible", m.visible}};
}

// The elements of a control array (or the one control) by name, in index order.
std::vector<std::size_t> elements(const Game& game, const std::string& name) {
    std::vector<std::size_t> ids;
    for (std::size_t k = 0; k < game.controls().size(); ++k)
        if (game.controls()[k].name == name) ids.push_back(k);
    return ids;
}

template <class Range, class F> Json each(const Range& range, F f) {
    Json a = Json::array();
    for (const auto& x : range) a.push_back(f(x));
    return a;
}

Json entry(const Game& game, const DesignEntry& e) {
    switch (e.kind) {
    case DesignEntry::Kind::Timer:
        return timer(*game.timer(e.name));
    case DesignEntry::Kind::Menu: {
        const auto items = game.menuArray(e.name);
        return e.isArray ? each(items, menuItem) : menuItem(items.front());
    }
    case DesignEntry::Kind::Control:
        break;
    }
    const auto ids = elements(game, e.name);
    return e.isArray ? each(ids, [&](std::size_t id) { return control(game, id); })
                     : control(game, ids.front());
}

} // namespace

Json vars(const Game& game) {
    const Variables g = game.variables();
    auto flags = [](const auto& a) { return each(a, [](bool b) { return Json(b); }); };
    Json v;
    v["BaseDir"] = g.BaseDir;
    v["TextDir"] = g.TextDir;
    v["GraphicsDir"] = g.GraphicsDir;
    v["MusicOn"] = g.MusicOn;
    v["TurnLimit"] = g.TurnLimit;
    v["LoveThreshold"] = g.LoveThreshold;
    v["TurnCount"] = g.TurnCount;
    v["LoveLevels"] = each(g.LoveLevels, [](int n) { return Json(n); });
    v["OnOffFlags"] = each(g.OnOffFlags, flags);
    v["CnFlags"] = flags(g.CnFlags);
    v["GnFlags"] = flags(g.GnFlags);
    v["VisitFlags"] = flags(g.VisitFlags);
    v["CurrentLine"] = str(g.CurrentLine);
    v["NextLine"] = str(g.NextLine);
    v["ScriptOpen"] = g.ScriptOpen;
    v["QstTargets"] = each(g.QstTargets, str);
    v["QstTop"] = each(g.QstTop, [](int n) { return Json(n); });
    v["QstCount"] = g.QstCount;
    v["BlinkPhase"] = g.BlinkPhase;
    v["Hints"] = each(g.Hints, str);
    v["HintCount"] = g.HintCount;
    v["HelpText"] = str(g.HelpText);
    return v;
}

Json controls(const Game& game) {
    Json c;
    for (const auto& e : game.design()) c[e.name] = entry(game, e);
    return c;
}

std::optional<Json> named(const Game& game, const std::string& name, std::optional<int> index) {
    Json all = vars(game);
    if (all.contains(name)) {
        const Json& whole = all[name];
        if (!index) return whole;
        // The game counts its days from 1.
        const int at = name == "VisitFlags" ? *index - 1 : *index;
        if (!whole.is_array() || at < 0 || at >= static_cast<int>(whole.size())) return std::nullopt;
        return whole[static_cast<std::size_t>(at)];
    }
    const auto design = game.design();
    auto e = std::find_if(design.begin(), design.end(), [&](const auto& x) { return x.name == name; });
    if (e == design.end()) return std::nullopt;
    if (!index) return entry(game, *e);
    if (!e->isArray || *index < 0) return std::nullopt;
    // One element is dumped on its own: a long array is never built to print one of its members.
    const auto at = static_cast<std::size_t>(*index);
    switch (e->kind) {
    case DesignEntry::Kind::Timer:
        return std::nullopt;
    case DesignEntry::Kind::Menu: {
        const auto items = game.menuArray(e->name);
        if (at >= items.size()) return std::nullopt;
        return menuItem(items[at]);
    }
    case DesignEntry::Kind::Control:
        break;
    }
    const int id = game.find(e->name, static_cast<int>(at));
    if (id < 0) return std::nullopt;
    return control(game, static_cast<std::size_t>(id));
}

} // namespace statedump
