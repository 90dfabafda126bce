#include "headless/StateDump.h"

#include "app/Fom.h"
#include "platform/TextCodec.h"

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

Json control(const Control& c) {
    Json j;
    auto geometry = [&] {
        j["Left"] = number(c.left());
        j["Top"] = number(c.top());
        j["Width"] = number(c.width());
        j["Height"] = number(c.height());
    };
    switch (c.kind) {
    case ControlKind::Window:
        j["Caption"] = str(c.caption);
        j["Width"] = number(c.widthTw);
        j["Height"] = number(c.heightTw);
        j["ScaleWidth"] = number(c.scaleWidth());
        j["ScaleHeight"] = number(c.scaleHeight());
        break;
    case ControlKind::Label:
        j["Caption"] = str(c.caption);
        j["Visible"] = c.visible;
        j["Enabled"] = c.enabled;
        j["ForeColor"] = colour(c.foreColor);
        j["BackColor"] = colour(c.backColor);
        j["BackStyle"] = c.backStyle;
        j["BorderStyle"] = c.borderStyle;
        j["Alignment"] = c.alignment;
        j["ToolTipText"] = str(c.toolTipText);
        j["FontSize"] = number(c.fontSize);
        geometry();
        break;
    case ControlKind::PictureBox:
        j["Visible"] = c.visible;
        j["BackColor"] = colour(c.backColor);
        j["BorderStyle"] = c.borderStyle;
        j["ToolTipText"] = str(c.toolTipText);
        geometry();
        j["ScaleWidth"] = number(c.scaleWidth());
        j["ScaleHeight"] = number(c.scaleHeight());
        j["Picture"] = str(c.pictureName);
        break;
    case ControlKind::Shape:
        j["Visible"] = c.visible;
        j["Shape"] = c.shapeStyle;
        j["FillColor"] = colour(c.fillColor);
        j["BorderColor"] = colour(c.borderColor);
        j["BorderStyle"] = c.borderStyle;
        geometry();
        break;
    case ControlKind::ListBox: {
        j["Visible"] = c.visible;
        Json lines = Json::array();
        for (const auto& line : c.list) lines.push_back(str(line));
        j["List"] = lines;
        geometry();
        j["FontSize"] = number(c.fontSize);
        break;
    }
    case ControlKind::CommandButton:
        j["Caption"] = str(c.caption);
        j["Visible"] = c.visible;
        j["Enabled"] = c.enabled;
        j["BackColor"] = colour(c.backColor);
        j["ToolTipText"] = str(c.toolTipText);
        j["FontSize"] = number(c.fontSize);
        geometry();
        break;
    }
    return j;
}

Json timer(const Timer& t) {
    return Json{{"Enabled", t.enabled()}, {"Interval", t.interval()}};
}

Json menuItem(const MenuItem& m) {
    return Json{
        {"Caption", str(m.caption)}, {"Checked", m.checked}, {"Enabled", m.enabled}, {"Visible", m.visible}};
}

template <class Range, class F> Json each(const Range& range, F f) {
    Json a = Json::array();
    for (const auto& x : range) a.push_back(f(x));
    return a;
}

Json entry(const Fom& fom, const ControlModel::Entry& e) {
    switch (e.kind) {
    case ControlModel::EntryKind::Timer:
        return timer(fom.model.timer(e.name));
    case ControlModel::EntryKind::Menu: {
        const auto& items = fom.model.menu(e.name);
        return e.isArray ? each(items, [](const MenuItem* m) { return menuItem(*m); })
                         : menuItem(*items.front());
    }
    case ControlModel::EntryKind::Control:
        break;
    }
    const auto& elements = fom.model.array(e.name);
    return e.isArray ? each(elements, [](const Control* c) { return control(*c); })
                     : control(*elements.front());
}

} // namespace

Json vars(const Fom& fom) {
    const auto& g = fom.game;
    auto flags = [](const auto& a) { return each(a, [](bool b) { return Json(b); }); };
    Json v;
    v["BaseDir"] = fom.BaseDir;
    v["TextDir"] = fom.TextDir;
    v["GraphicsDir"] = fom.GraphicsDir;
    v["MusicOn"] = fom.music.MusicOn;
    v["TurnLimit"] = g.TurnLimit;
    v["LoveThreshold"] = g.LoveThreshold;
    v["TurnCount"] = g.TurnCount;
    v["LoveLevels"] = each(g.LoveLevels, [](int n) { return Json(n); });
    v["OnOffFlags"] = each(g.OnOffFlags, flags);
    v["CnFlags"] = flags(g.CnFlags);
    v["GnFlags"] = flags(g.GnFlags);
    Json visits = Json::array();
    for (int d = 1; d <= 9; ++d) visits.push_back(static_cast<bool>(g.VisitFlags[d]));
    v["VisitFlags"] = visits;
    v["CurrentLine"] = str(fom.script.CurrentLine);
    v["NextLine"] = str(fom.script.NextLine);
    v["ScriptOpen"] = fom.script.file.isOpen();
    v["QstTargets"] = each(fom.question.QstTargets, str);
    v["QstTop"] = each(fom.question.QstTop, [](int n) { return Json(n); });
    v["QstCount"] = fom.question.QstCount;
    v["BlinkPhase"] = fom.script.BlinkPhase;
    Json hints = Json::array();
    for (int i = 0; i < fom.extras.HintCount; ++i) hints.push_back(str(fom.extras.Hints[i]));
    v["Hints"] = hints;
    v["HintCount"] = fom.extras.HintCount;
    v["HelpText"] = str(fom.extras.HelpText);
    return v;
}

Json controls(const Fom& fom) {
    Json c;
    for (const auto& e : fom.model.entries()) c[e.name] = entry(fom, e);
    return c;
}

std::optional<Json> named(const Fom& fom, const std::string& name, std::optional<int> index) {
    Json all = vars(fom);
    if (all.contains(name)) {
        const Json& whole = all[name];
        if (!index) return whole;
        // The game counts its days from 1.
        const int at = name == "VisitFlags" ? *index - 1 : *index;
        if (!whole.is_array() || at < 0 || at >= static_cast<int>(whole.size())) return std::nullopt;
        return whole[static_cast<std::size_t>(at)];
    }
    const auto& entries = fom.model.entries();
    auto e = std::find_if(entries.begin(), entries.end(), [&](const auto& x) { return x.name == name; });
    if (e == entries.end()) return std::nullopt;
    if (!index) return entry(fom, *e);
    if (!e->isArray || *index < 0) return std::nullopt;
    // One element is dumped on its own: a long array is never built to print one of its members.
    const auto at = static_cast<std::size_t>(*index);
    switch (e->kind) {
    case ControlModel::EntryKind::Timer:
        return std::nullopt;
    case ControlModel::EntryKind::Menu: {
        const auto& items = fom.model.menu(e->name);
        if (at >= items.size()) return std::nullopt;
        return menuItem(*items[at]);
    }
    case ControlModel::EntryKind::Control:
        break;
    }
    const auto& elements = fom.model.array(e->name);
    if (at >= elements.size()) return std::nullopt;
    return control(*elements[at]);
}

} // namespace statedump
