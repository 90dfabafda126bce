#include "game/Game.h"

#include "app/EventRouter.h"
#include "app/Fom.h"
#include "app/SnapshotData.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <exception>

namespace {

Outcome outcomeOf(EventRouter::Result r) {
    switch (r) {
    case EventRouter::Result::Delivered:
        return Outcome::Delivered;
    case EventRouter::Result::Ignored:
        return Outcome::Ignored;
    case EventRouter::Result::UnknownName:
        break;
    }
    return Outcome::UnknownName;
}

} // namespace

Game::Game(Platform& platform, std::string gameDir)
    : fom_(std::make_unique<Fom>(platform, std::move(gameDir))),
      router_(std::make_unique<EventRouter>(*fom_)) {}

Game::~Game() = default;

template <class Event> Outcome Game::guard(Event event) {
    if (ended()) return Outcome::Failed;
    touched_.reset();
    try {
        return event();
    } catch (const std::exception& e) {
        error_ = *e.what() ? e.what() : "the game stopped on an error";
        return Outcome::Failed;
    }
}

Outcome Game::load() {
    return guard([&] {
        fom_->Form_Load();
        story_ = StoryInfo::read(fom_->BaseDir);
        listControls();
        fom_->Form_Resize();
        return Outcome::Delivered;
    });
}

void Game::listControls() {
    controls_.clear();
    const auto& all = fom_->model.controls();
    for (const auto& c : all) {
        // The window holds the rest; what lies on it directly has no container of its own.
        int container = -1;
        if (c->container && c->container != &fom_->window)
            for (std::size_t k = 0; k < all.size(); ++k)
                if (all[k].get() == c->container) container = static_cast<int>(k);
        if (c.get() == &fom_->ClickMe) clickMe_ = controls_.size();
        if (c.get() == &fom_->menuLbl) menuAnchor_ = controls_.size();
        if (c.get() == &fom_->Pic) textArea_ = controls_.size();
        controls_.push_back({c->kind, c->name, c->index, container});
    }
}

Outcome Game::activate(const std::optional<WindowSize>& size) {
    if (size) {
        const Outcome sized = resize(*size);
        if (sized == Outcome::Failed) return sized;
    }
    return guard([&] {
        fom_->Form_Activate();
        return Outcome::Delivered;
    });
}

Outcome Game::resize(const WindowSize& size) {
    return guard([&] {
        Control& win = fom_->window;
        win.widthTw = size.widthTw;
        win.heightTw = size.heightTw;
        win.frameWidthTw = size.frameWidthTw;
        win.frameHeightTw = size.frameHeightTw;
        fom_->windowSizeFixed = size.fixed;
        fom_->Form_Resize();
        return Outcome::Delivered;
    });
}

Outcome Game::click(const std::string& name, int index) {
    return guard([&] { return outcomeOf(router_->click(name, index)); });
}
Outcome Game::press(const std::string& name, int index) {
    return guard([&] { return outcomeOf(router_->press(name, index)); });
}
Outcome Game::release(const std::string& name, int index) {
    return guard([&] { return outcomeOf(router_->release(name, index)); });
}
Outcome Game::click(std::size_t id) {
    return id < controls_.size() ? click(controls_[id].name, controls_[id].index) : Outcome::UnknownName;
}
Outcome Game::press(std::size_t id) {
    return id < controls_.size() ? press(controls_[id].name, controls_[id].index) : Outcome::UnknownName;
}
Outcome Game::release(std::size_t id) {
    return id < controls_.size() ? release(controls_[id].name, controls_[id].index) : Outcome::UnknownName;
}
Outcome Game::menu(const std::string& item, int index) {
    return guard([&] { return outcomeOf(router_->menu(item, index)); });
}

Outcome Game::tick(const std::string& timer) {
    return guard([&] {
        const Outcome o = outcomeOf(router_->tick(timer));
        // Two ticks come often and change little: the blink changes the prompt's form alone, and the
        // watchdog only the music.
        if (timer == fom_->LblShpTim.name)
            touched_ = std::vector<std::size_t>{clickMe_};
        else if (timer == fom_->BgmTim.name)
            touched_ = std::vector<std::size_t>{};
        return o;
    });
}

Outcome Game::advance() {
    const Control& newest = *fom_->Lbl.back();
    return click(newest.name, newest.index);
}

Outcome Game::openMenu() {
    return click(fom_->menuLbl.name);
}

Outcome Game::close() {
    return guard([&] {
        fom_->Form_Unload();
        return Outcome::Delivered;
    });
}

Outcome Game::startAt(const SceneStart& start) {
    return guard([&] {
        Fom& f = *fom_;
        // As the title picture starts a game: at NORMAL, unless the start says otherwise.
        f.game.TurnLimit = 100;
        f.game.LoveThreshold = 40;
        for (const auto& s : start.settings) {
            if (s.name == "TurnLimit") f.game.TurnLimit = static_cast<std::uint8_t>(s.value);
            if (s.name == "LoveThreshold") f.game.LoveThreshold = static_cast<std::uint8_t>(s.value);
        }
        f.ResetForNewGame();
        if (start.day) f.DayDate.caption = text::fromUtf8(std::to_string(*start.day));
        auto& g = f.game;
        for (const auto& s : start.settings) {
            const bool on = s.value != 0;
            if (s.name == "TurnCount") g.TurnCount = static_cast<std::int16_t>(s.value);
            if (s.name == "LoveLevels") g.LoveLevels.at(s.first) = static_cast<std::uint8_t>(s.value);
            if (s.name == "OnOffFlags") g.OnOffFlags.at(s.first).at(s.second) = on;
            if (s.name == "CnFlags") g.CnFlags.at(s.first) = on;
            if (s.name == "GnFlags") g.GnFlags.at(s.first) = on;
            if (s.name == "VisitFlags") g.VisitFlags.at(s.first) = on;
        }
        f.LstHyouji();
        f.ShowPicture(start.scene);
        f.GoToScene(start.scene);
        return Outcome::Delivered;
    });
}

Snapshot Game::snapshot() const {
    auto data = fom_->snapshot(lastSnapshot_.get());
    lastSnapshot_ = data;
    return Snapshot(std::move(data));
}

Outcome Game::restore(const Snapshot& snapshot, std::string* why) {
    if (ended()) return Outcome::Failed;
    if (snapshot.empty()) {
        if (why) *why = "the snapshot is empty";
        return Outcome::Ignored;
    }
    // The snapshot is checked before anything changes, so a refused one leaves the game as it was.
    try {
        fom_->restore(*snapshot.data());
    } catch (const std::exception& e) {
        if (why) *why = e.what();
        return Outcome::Ignored;
    }
    touched_.reset();
    lastSnapshot_ = snapshot.shared();
    return Outcome::Delivered;
}

void Game::onSceneOpened(std::function<void(const std::u16string&, const std::string&)> listener) {
    if (!listener) {
        fom_->onSceneOpened = nullptr;
        return;
    }
    fom_->onSceneOpened = [this, listener = std::move(listener)](const std::u16string& name,
                                                                 const std::string& path) {
        const std::string& base = fom_->BaseDir;
        listener(name, path.compare(0, base.size(), base) == 0 ? path.substr(base.size()) : path);
    };
}

bool Game::titleShown() const {
    return fom_->PicTtl.visible;
}
bool Game::menuAvailable() const {
    return !ended() && router_->menuAvailable();
}
bool Game::textAreaReachable() const {
    return !ended() && router_->reachable(fom_->Pic.name, -1) != nullptr;
}
bool Game::reachable(std::size_t id) const {
    return !ended() && id < controls_.size() && router_->reachable(controls_[id].name, controls_[id].index);
}

std::vector<std::size_t> Game::choices() const {
    std::vector<const Control*> controls;
    const Fom& f = *fom_;
    switch (waiting()) {
    case Waiting::Title:
        controls.assign(f.StartCom.begin(), f.StartCom.end());
        break;
    case Waiting::Answer:
        controls.assign(f.QstLBl.begin(), f.QstLBl.end());
        // From the top, as they are shown (two answers swap their slots half of the time).
        std::stable_sort(controls.begin(), controls.end(),
                         [](const Control* a, const Control* b) { return a->topTw < b->topTw; });
        break;
    case Waiting::Choice:
        controls.assign(f.com.begin(), f.com.end());
        break;
    default:
        break;
    }
    std::vector<std::size_t> ids;
    for (const Control* c : controls)
        if (const int id = find(c->name, c->index); id >= 0 && reachable(static_cast<std::size_t>(id)))
            ids.push_back(static_cast<std::size_t>(id));
    return ids;
}

Waiting Game::waiting() const {
    const Fom& f = *fom_;
    if (ended()) return Waiting::Ended;
    if (f.PicTtl.visible) return Waiting::Title;
    if (f.QstLBl[0]->visible || f.QstLBl[1]->visible) return Waiting::Answer;
    if (f.ClickMe.visible && f.ClickMe.fillColor == rgb(0, 255, 255)) return Waiting::Click;
    if (f.ClickMe.visible && f.ClickMe.fillColor == rgb(255, 0, 255)) return Waiting::Choice;
    return Waiting::Reading;
}

WindowSize Game::windowSize() const {
    const Control& w = fom_->window;
    return {w.widthTw, w.heightTw, w.frameWidthTw, w.frameHeightTw, fom_->windowSizeFixed};
}
std::u16string Game::caption() const {
    return fom_->window.caption;
}
std::u16string Game::title() const {
    return story_.title.empty() ? caption() : text::fromUtf8(story_.title);
}
Color Game::background() const {
    return fom_->window.backColor;
}

std::vector<TimerState> Game::timers() const {
    std::vector<TimerState> all;
    const Fom& f = *fom_;
    for (const Timer* t : f.model.timers()) {
        const TimerRole role = t == &f.LblShpTim ? TimerRole::Blink
                               : t == &f.QstTim  ? TimerRole::Countdown
                               : t == &f.BgmTim  ? TimerRole::Watchdog
                                                 : TimerRole::Story;
        all.push_back({t->name, role, t->enabled(), t->interval(), t->restarts()});
    }
    return all;
}

const std::deque<std::u16string>& Game::textLog() const {
    return fom_->textLog.lines();
}

std::size_t Game::linesShown() const {
    return fom_->textLog.added();
}
std::size_t Game::scenesBegun() const {
    return fom_->textLog.scenes();
}

std::string Game::savePath() const {
    return fom_->textFile(u"save");
}

ControlLook Game::look(std::size_t id) const {
    return fom_->model.controls().at(id)->look();
}

std::vector<std::size_t> Game::stackOf(int container) const {
    const auto& all = fom_->model.controls();
    const Control* in = container < 0 ? &fom_->window : all.at(static_cast<std::size_t>(container)).get();
    std::vector<std::size_t> ids;
    for (const Control* c : fom_->model.stackOf(in))
        for (std::size_t k = 0; k < all.size(); ++k)
            if (all[k].get() == c) ids.push_back(k);
    return ids;
}

std::size_t Game::stackSignature() const {
    std::size_t signature = 0;
    for (const auto& c : fom_->model.controls())
        signature = signature * 31 + static_cast<std::size_t>(c->zorder);
    return signature;
}

int Game::find(const std::string& name, int index) const {
    for (std::size_t k = 0; k < controls_.size(); ++k)
        if (controls_[k].name == name &&
            (controls_[k].index == index || (index < 0 && controls_[k].index <= 0)))
            return static_cast<int>(k);
    return -1;
}

std::optional<std::array<ShapeStyle, 2>> Game::blinkForms(std::size_t id) const {
    if (id != clickMe_ || controls_.empty() || !fom_->LblShpTim.enabled()) return std::nullopt;
    // The next tick's form first, as the blink's own rule gives it.
    const ShapeStyle next = shapeStyleOf(fom_->script.BlinkPhase % 2 + 1 + 2);
    const ShapeStyle after = next == ShapeStyle::Circle ? ShapeStyle::RoundedRectangle : ShapeStyle::Circle;
    return std::array<ShapeStyle, 2>{next, after};
}
