#include "shell/Player.h"

#include <algorithm>

Player::KeyOutcome Player::keyDown(const KeyPress& press) {
    if (press.key == Key::Control) {
        setFastForward(true);
        return {};
    }
    return perform(action(press));
}

KeyAction Player::action(const KeyPress& press) const {
    if (press.key == Key::Control) return KeyAction::None;
    return keyAction(press, {logOpen_, !game_.choices().empty(), focus_.has_value()});
}

Player::KeyOutcome Player::perform(KeyAction action) {
    KeyOutcome out;
    out.taken = action != KeyAction::None;
    switch (action) {
    case KeyAction::None:
    case KeyAction::Taken:
        break;
    case KeyAction::Advance:
        out.game = game_.advance();
        break;
    case KeyAction::Choose:
        if (focus_) out.game = choose(*focus_);
        break;
    case KeyAction::FocusNext:
    case KeyAction::FocusPrevious:
        moveFocus(action == KeyAction::FocusNext);
        break;
    case KeyAction::OpenMenu:
        out.game = game_.openMenu();
        break;
    case KeyAction::OpenLog:
        if (openLog()) out.host = HostAction::OpenLog;
        break;
    case KeyAction::CloseLog:
        closeLog();
        out.host = HostAction::CloseLog;
        break;
    case KeyAction::ToggleFullScreen:
        out.host = HostAction::ToggleFullScreen;
        break;
    case KeyAction::ToggleVoice:
        out.host = HostAction::ToggleVoice;
        break;
    }
    return out;
}

void Player::keyUp(const KeyPress& press) {
    if (press.key == Key::Control && !press.repeat) setFastForward(false);
}

bool Player::setFastForward(bool on) {
    if (fastForward_ == on) return false;
    fastForward_ = on;
    return true;
}

bool Player::openLog() {
    if (!mayOpenLog()) return false;
    logOpen_ = true;
    return true;
}

Outcome Player::choose(std::size_t id) {
    // As the mouse presses it: down, up, and the click.
    const ControlInfo& c = game_.controls().at(id);
    Outcome o = game_.press(c.name, c.index);
    if (o == Outcome::Failed) return o;
    o = game_.release(c.name, c.index);
    if (o == Outcome::Failed) return o;
    return game_.click(c.name, c.index);
}

bool Player::moveFocus(bool next) {
    const std::vector<std::size_t> choices = game_.choices();
    if (choices.empty()) return false;
    const auto at = focus_ ? std::find(choices.begin(), choices.end(), *focus_) : choices.end();
    const std::size_t n = choices.size();
    std::size_t to = next ? 0 : n - 1;
    if (at != choices.end()) to = (static_cast<std::size_t>(at - choices.begin()) + (next ? 1 : n - 1)) % n;
    focus_ = choices[to];
    return true;
}

bool Player::afterEvent() {
    const std::optional<std::size_t> before = focus_;
    const bool title = game_.titleShown();
    const std::vector<std::size_t> choices = game_.choices();
    if (title && !titleShown_ && !choices.empty()) focus_ = choices[choices.size() / 2];
    titleShown_ = title;
    if (focus_ && std::find(choices.begin(), choices.end(), *focus_) == choices.end()) focus_.reset();
    if (game_.ended()) logOpen_ = false;
    return focus_ != before;
}

std::vector<TimerRun> Player::timers() const {
    if (game_.ended()) return {};
    return timerPlan(game_.timers(), pace_, logOpen_ || messageBox_, fastForward_);
}
