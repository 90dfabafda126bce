#include "qt/WindowShape.h"

#include "game/Game.h"
#include "qt/HeldEventQueue.h"
#include "qt/Twips.h"

#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cmath>

WindowShape::WindowShape(QWidget& window, QWidget& stage, Game& game, HeldEventQueue& events,
                         std::function<void(bool)> drafting)
    : window_(window), stage_(stage), game_(game), events_(events), drafting_(std::move(drafting)) {
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, [this] { settle(); });
}

QRect WindowShape::letterbox(QSize outer) {
    const int width = std::min(outer.width(), outer.height() * 4 / 3);
    const int height = std::min(outer.height(), outer.width() * 3 / 4);
    return QRect((outer.width() - width) / 2, (outer.height() - height) / 2, width, height);
}

void WindowShape::show(QSize inner) {
    window_.resize(inner);
    if (startFullScreen_)
        window_.showFullScreen();
    else
        window_.show();
    started_ = true;
    // Shown, the window knows its frame.
    updateFrame();
}

void WindowShape::stop() {
    stopSettling();
    started_ = false;
}

bool WindowShape::sizeFixedByState() const {
    return window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized);
}

QSize WindowShape::frame() const {
    if (reportedFrame_) return *reportedFrame_;
    return window_.frameGeometry().size() - window_.geometry().size();
}

bool WindowShape::updateFrame() {
    const double perPixel = twipsPerPixel(window_);
    const double width = frame().width() * perPixel;
    const double height = frame().height() * perPixel;
    const bool changed = width != frameWidthTw_ || height != frameHeightTw_;
    frameWidthTw_ = width;
    frameHeightTw_ = height;
    return changed;
}

void WindowShape::resizeGame(bool mayReshape) {
    // The game measures its window from the outside, frame and title bar included.
    const double perPixel = twipsPerPixel(window_);
    game_.resize({stage_.width() * perPixel + frameWidthTw_, stage_.height() * perPixel + frameHeightTw_,
                  frameWidthTw_, frameHeightTw_, !mayReshape || sizeFixedByState()});
}

void WindowShape::layOut(bool mayReshape) {
    updateFrame();
    // Back from full screen, the earlier size stays as it was, whatever frame the window now reports.
    if (kept_) mayReshape = false;
    events_.run([this, mayReshape] { resizeGame(mayReshape); });
}

bool WindowShape::request(QSize size) {
    // A request the window manager already turned down from this very size is not repeated.
    const QSize from = window_.size();
    if (lastRequest_ && lastRequest_->from == from && lastRequest_->to == size) return false;
    lastRequest_ = Request{from, size};
    requested_ = size;
    // Should the size never come, the game is laid out in the size the window has.
    startSettling();
    window_.resize(size);
    return true;
}

void WindowShape::followGame() {
    const WindowSize size = game_.windowSize();
    if (!started_ || size.fixed) return;
    const QSize wanted = withinScreen(
        QSize(twipsToPixels(size.widthTw - frameWidthTw_, twipsPerPixel(window_)), window_.height()));
    if (wanted == window_.size()) {
        shaped_ = window_.size();
        return;
    }
    if (requested_ == wanted) return; // on its way
    if (sizeFixedByState() || !request(wanted)) {
        // The window keeps the size it has: lay the game out in it, once this event is over.
        QTimer::singleShot(0, this, [this] { layOut(false); });
    }
}

QSize WindowShape::withinScreen(QSize wanted) const {
    const QScreen* screen = window_.screen();
    if (!screen) return wanted;
    const QSize free = screen->availableGeometry().size();
    if (wanted.width() + frame().width() <= free.width() &&
        wanted.height() + frame().height() <= free.height())
        return wanted;
    // The game's 4:3 shape, as large as the screen's free area holds, and no larger than wanted.
    return (letterbox(free).size() - frame()).boundedTo(wanted);
}

void WindowShape::startSettling() {
    settle_->start();
    drafting_(true);
}

void WindowShape::stopSettling() {
    settle_->stop();
    // Pictures drawn quickly during the drag are now scaled smoothly, as the player will look at them.
    drafting_(false);
}

void WindowShape::settle() {
    stopSettling();
    if (kept_ && !kept_->arrived) kept_.reset(); // the window manager gave another size
    if (kept_) {
        layOut(false);
        return;
    }
    if (requested_) {
        // The shape asked for never came: the window manager keeps this size.
        requested_.reset();
        layOut(false);
        return;
    }
    if (sizeFixedByState()) return;
    const QSize now = window_.size();
    if (now.height() == shaped_.height() && now.width() != shaped_.width()) {
        // The player dragged a side edge: the height follows the width, so that the width the game
        // derives from the height comes out close to the one the player chose.
        const int height =
            static_cast<int>(std::lround((now.width() + frame().width()) * 3.0 / 4.0)) - frame().height();
        const QSize wanted = withinScreen(QSize(now.width(), height));
        if (wanted != now && height > 0 && request(wanted)) return;
    }
    layOut(true);
}

void WindowShape::resized() {
    if (!started_) return;
    if (kept_ && !fullScreen()) {
        // The earlier size has come back; a size after it is the player's again.
        if (window_.size() == kept_->size)
            kept_->arrived = true;
        else if (kept_->arrived)
            kept_.reset();
    }
    if (requested_ && window_.size() == *requested_) {
        // The shape asked for has come.
        requested_.reset();
        lastRequest_.reset();
        stopSettling();
        layOut(true);
        return;
    }
    layOutUnsettled();
}

void WindowShape::layOutUnsettled() {
    // Laid out stretched at once; the 4:3 shape is looked at once the size has stayed put.
    requested_.reset();
    layOut(false);
    if (sizeFixedByState())
        stopSettling();
    else
        startSettling();
}

void WindowShape::moved() {
    // The window manager tells the frame's size late, usually with a move; the outer height changes.
    if (started_ && !settle_->isActive() && updateFrame()) layOut(true);
}

void WindowShape::stateChanged() {
    if (!started_ || (window_.windowState() & Qt::WindowMinimized)) return;
    // Maximised or full screen: laid out stretched. Restored: the window manager brings back the old
    // size in its own time, so the shape is looked at once things have settled.
    layOutUnsettled();
}

bool WindowShape::fullScreen() const {
    return window_.windowState() & Qt::WindowFullScreen;
}

QRect WindowShape::stageArea() const {
    // The game's layout sees the stage: in full screen a 4:3 window, elsewhere the window itself, so
    // that a maximised window is laid out stretched as the game does.
    return fullScreen() ? letterbox(window_.size()) : window_.rect();
}

void WindowShape::setFullScreen(bool on) {
    if (!started_) {
        startFullScreen_ = on;
        return;
    }
    if (on == fullScreen()) return;
    if (on) {
        normalGeometry_ = window_.geometry();
        window_.showFullScreen();
    } else {
        if (normalGeometry_.isValid()) kept_ = Kept{normalGeometry_.size(), false};
        window_.showNormal();
        if (normalGeometry_.isValid()) window_.setGeometry(normalGeometry_);
    }
}
