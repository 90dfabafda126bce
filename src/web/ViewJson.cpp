#include "web/ViewJson.h"

#include "platform/TextCodec.h"

#include <cstdio>

using Json = nlohmann::json;

namespace {

const char* kindName(ControlKind k) {
    switch (k) {
    case ControlKind::Window:
        return "window";
    case ControlKind::Label:
        return "label";
    case ControlKind::PictureBox:
        return "picture";
    case ControlKind::Shape:
        return "shape";
    case ControlKind::ListBox:
        return "list";
    case ControlKind::CommandButton:
        return "button";
    }
    return "";
}

std::string colour(Color c) {
    char s[8];
    std::snprintf(s, sizeof s, "#%02X%02X%02X", redOf(c), greenOf(c), blueOf(c));
    return s;
}

std::string utf8(const std::u16string& s) {
    return text::toUtf8(s);
}

const char* roleName(AccessRole role) {
    switch (role) {
    case AccessRole::Hidden:
        return "hidden";
    case AccessRole::StoryLine:
        return "line";
    case AccessRole::Button:
        return "button";
    case AccessRole::Picture:
        return "picture";
    case AccessRole::Text:
        break;
    }
    return "text";
}

const char* waitingName(Waiting w) {
    switch (w) {
    case Waiting::Reading:
        return "reading";
    case Waiting::Click:
        return "click";
    case Waiting::Choice:
        return "choice";
    case Waiting::Answer:
        return "answer";
    case Waiting::Title:
        return "title";
    case Waiting::Ended:
        break;
    }
    return "ended";
}

Json figure(ShapeStyle style, double w, double h) {
    const ShapeFigure f = shapeFigure(style, w, h);
    return {{"x", f.x},      {"y", f.y},           {"w", f.width},
            {"h", f.height}, {"radius", f.radius}, {"ellipse", f.ellipse}};
}

// Twips to the page's pixels.
double px(double twips) {
    return twips / 15.0;
}

} // namespace

Json ViewJson::control(std::size_t id, const ControlLook& l) const {
    const Game& game = player_.game();
    const ControlInfo& c = game.controls()[id];
    Json j{{"id", id},
           {"kind", kindName(c.kind)},
           {"name", c.name},
           {"index", c.index},
           {"parent", c.container},
           {"visible", l.visible},
           {"enabled", l.enabled},
           {"x", px(l.leftTw)},
           {"y", px(l.topTw)},
           {"w", px(l.widthTw)},
           {"h", px(l.heightTw)},
           {"back", colour(l.backColor)},
           {"backStyle", number(l.backStyle)},
           {"border", number(l.borderStyle)},
           {"tip", utf8(l.toolTip)},
           {"font", l.fontSize},
           {"role", roleName(game.role(id))},
           {"seen", game.seen(id)}};
    switch (c.kind) {
    case ControlKind::Label:
    case ControlKind::CommandButton:
        j["caption"] = utf8(l.caption);
        j["fore"] = colour(l.foreColor);
        j["align"] = number(l.alignment);
        break;
    case ControlKind::Shape: {
        j["fill"] = colour(l.fillColor);
        j["fillStyle"] = number(l.fillStyle);
        j["borderColor"] = colour(l.borderColor);
        // The figures it shows: its own, or, while it blinks, its two forms in turn.
        Json forms = Json::array();
        const double w = px(l.widthTw), h = px(l.heightTw);
        if (auto blink = game.blinkForms(id))
            for (ShapeStyle s : *blink) forms.push_back(figure(s, w, h));
        else
            forms.push_back(figure(l.shape, w, h));
        j["forms"] = forms;
        break;
    }
    case ControlKind::ListBox: {
        Json lines = Json::array();
        for (const auto& line : l.list) lines.push_back(utf8(line));
        j["list"] = lines;
        break;
    }
    case ControlKind::PictureBox:
        j["picture"] = l.picture;
        break;
    case ControlKind::Window:
        break;
    }
    return j;
}

Json ViewJson::changes(bool everything) {
    const Game& game = player_.game();
    if (everything) {
        tracker_.reset();
        sent_.clear();
        planSent_ = false;
        story_ = StoryFeed();
        choices_.clear();
    }
    sent_.resize(game.controls().size(), false);
    const ViewTracker::Changes c = tracker_.changes();
    Json out{{"caption", utf8(game.title())}, {"back", colour(game.background())}};
    Json changed = Json::array();
    for (std::size_t id : c.controls) {
        // The window itself is the page's stage: its caption and colour come on their own.
        if (game.controls()[id].kind == ControlKind::Window) continue;
        const ControlLook& look = tracker_.look(id);
        const int container = game.controls()[id].container;
        const bool containerThere = container < 0 || sent_[static_cast<std::size_t>(container)];
        if (!sent_[id] && (!look.visible || !containerThere)) {
            // Not on the page yet: it is looked at again next time.
            tracker_.forget(id);
            continue;
        }
        sent_[id] = true;
        changed.push_back(control(id, look));
    }
    out["changed"] = changed;
    if (c.stacks) {
        Json stacks = Json::object();
        stacks["-1"] = game.stackOf(-1);
        for (std::size_t id = 0; id < game.controls().size(); ++id)
            if (game.controls()[id].kind == ControlKind::PictureBox)
                stacks[std::to_string(id)] = game.stackOf(static_cast<int>(id));
        out["stacks"] = stacks;
    }
    std::vector<TimerRun> plan = player_.timers();
    if (!planSent_ || plan != plan_) {
        planSent_ = true;
        plan_ = plan;
        Json timers = Json::array();
        for (const TimerRun& t : plan_)
            timers.push_back({{"name", t.name},
                              {"running", t.running},
                              {"period", t.periodMs},
                              {"restarts", t.restarts},
                              {"watchdog", t.role == TimerRole::Watchdog},
                              {"hostBlink", t.role == TimerRole::Blink && player_.pace().blinkInHost}});
        out["timers"] = timers;
    }
    out["title"] = game.titleShown();
    out["textArea"] = game.textAreaReachable() ? Json(game.textArea()) : Json();
    out["menuAnchor"] = game.menuAnchor();
    out["focus"] = player_.focus() ? Json(*player_.focus()) : Json();
    out["waiting"] = waitingName(game.waiting());
    // Whether a control is seen changes when the title comes and goes: every control sent is told again.
    if (game.titleShown() != titleShown_) {
        titleShown_ = game.titleShown();
        Json seen = Json::object();
        for (std::size_t id = 0; id < sent_.size(); ++id)
            if (sent_[id]) seen[std::to_string(id)] = game.seen(id);
        out["seen"] = seen;
    }
    const std::vector<std::size_t> choices = game.choices();
    if (choices != choices_ || !c.controls.empty()) {
        choices_ = choices;
        Json list = Json::array();
        for (std::size_t id : choices) list.push_back({{"id", id}, {"caption", utf8(game.look(id).caption)}});
        out["choices"] = list;
    }
    const StoryFeed::News news = story_.take(game);
    if (news.newScene || !news.lines.empty()) {
        Json lines = Json::array();
        for (const auto& line : news.lines) lines.push_back(utf8(line));
        out["story"] = {{"newScene", news.newScene}, {"lines", lines}};
    }
    if (player_.voiceOn()) {
        Json said = Json::array();
        for (const auto& line : player_.spoken()) said.push_back(utf8(line));
        if (!said.empty()) out["spoken"] = said;
    }
    return out;
}
