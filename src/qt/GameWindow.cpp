#include "qt/GameWindow.h"

#include "platform/TextCodec.h"
#include "qt/ControlWidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cmath>

namespace {

// Timers faster than the desktop can usefully fire are run at this pace.
constexpr int kFastestTimerMs = 16;

int pixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

QString qtext(const std::u16string& s) {
    return QString::fromStdU16String(s);
}

unsigned clockSeed() {
    return static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count());
}

} // namespace

GameWindow::GameWindow(const std::string& gameDir, std::optional<unsigned> seed)
    : desktop_(*this, [this](const std::string&) { QTimer::singleShot(0, this, [this] { popupMenu(); }); }),
      platform_{music_, pictures_, desktop_, random_, seed.value_or(clockSeed())},
      fom_(std::make_unique<Fom>(platform_, gameDir)), router_(std::make_unique<EventRouter>(*fom_)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAutoFillBackground(true);
    QFont f("Noto Sans CJK JP");
    f.setStyleHint(QFont::SansSerif);
    setFont(f);

    watchdogWake_ = new QTimer(this);
    watchdogWake_->setSingleShot(true);
    connect(watchdogWake_, &QTimer::timeout, this, [this] { runWatchdog(); });
    // The watchdog hears of every change of the player at once, so it need not poll fast.
    music_.setOnStateChange([this] { wakeWatchdog(); });
    // The sound system is woken only once the first screen is up (see paintEvent).
    music_.holdSound();

    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    settle_->setInterval(kSettleMs);
    connect(settle_, &QTimer::timeout, this, [this] { settle(); });
}

GameWindow::~GameWindow() {
    music_.setOnStateChange(nullptr);
}

bool GameWindow::start() {
    run([this] {
        fom_->Form_Load();
        createWidgets();
        fom_->Form_Resize();
    });
    if (failed_) return false;
    resize(pixels(fom_->window.innerWidthTw()), pixels(fom_->window.innerHeightTw()));
    show();
    // Should the window never be painted (shown minimised, say), the music starts all the same.
    if (!exitWhenShown_) QTimer::singleShot(kSoundAtLatestMs, this, [this] { music_.startSound(); });
    started_ = true;
    // Shown, the window knows its frame; the title comes after a layout of the real size.
    updateFrame();
    run([this] {
        takeWindowSize(true);
        fom_->Form_Resize();
        fom_->Form_Activate();
    });
    wakeWatchdog();
    return !failed_;
}

void GameWindow::deliver(const std::function<void()>& event) {
    run(event);
    // A click or a menu choice may have switched the music on: the watchdog looks at once.
    wakeWatchdog();
}

void GameWindow::run(const std::function<void()>& event, const std::string& timer) {
    if (failed_) return;
    // An event that comes while a handler runs (a timer firing inside a nested event loop of the sound
    // output or of a message box) waits until that handler is over, so the game is never re-entered.
    // A timer that fires again while its last tick still waits has one tick waiting, as a real timer.
    if (!timer.empty()) {
        for (const Held& h : held_)
            if (h.timer == timer) return;
    }
    held_.push_back({event, timer});
    if (running_) return;
    running_ = true;
    while (!held_.empty() && !failed_) {
        const Held next = std::move(held_.front());
        held_.pop_front();
        try {
            next.event();
            sync();
        } catch (const std::exception& e) {
            fail(e.what());
        }
    }
    held_.clear();
    running_ = false;
}

void GameWindow::fail(const std::string& why) {
    failed_ = true;
    held_.clear();
    for (auto& link : timers_) link.qtimer->stop();
    watchdogWake_->stop();
    settle_->stop();
    QMessageBox::critical(this, QStringLiteral("ルメナ"), QString::fromStdString(why));
    QApplication::exit(1);
}

void GameWindow::createWidgets() {
    for (const auto& c : fom_->model.controls()) {
        if (c->kind == ControlKind::Window) continue;
        QWidget* parent = c->container->kind == ControlKind::Window ? this : widgets_.at(c->container);
        QWidget* w = nullptr;
        const Control* control = c.get();
        auto onPress = [this](const Control& pressed) {
            deliver([this, &pressed] { router_->press(pressed.name, pressed.index); });
        };
        auto onRelease = [this](const Control& released, bool inside) {
            deliver([this, &released] { router_->release(released.name, released.index); });
            if (inside) deliver([this, &released] { router_->click(released.name, released.index); });
        };
        if (c->kind == ControlKind::CommandButton) {
            auto* button = new QPushButton(parent);
            connect(button, &QPushButton::pressed, this, [=] { onPress(*control); });
            connect(button, &QPushButton::released, this, [=] { onRelease(*control, button->underMouse()); });
            w = button;
        } else if (c->kind == ControlKind::ListBox) {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            w = list;
        } else {
            auto* widget = new ControlWidget(*c, pictures_, parent);
            widget->onPress = onPress;
            widget->onRelease = onRelease;
            w = widget;
        }
        w->setObjectName(QString::fromStdString(c->name));
        widgets_[control] = w;
        links_.emplace_back(*control, *w);
    }
    for (Timer* t : fom_->model.timers()) {
        auto* q = new QTimer(this);
        const std::string name = t->name;
        connect(q, &QTimer::timeout, this, [this, name] { tick(name); });
        timers_.push_back({t, q, t->restarts() + 1});
    }
}

QWidget* GameWindow::widgetOf(const Control& c) const {
    if (c.kind == ControlKind::Window) return const_cast<GameWindow*>(this);
    auto it = widgets_.find(&c);
    return it == widgets_.end() ? nullptr : it->second;
}

void GameWindow::tick(const std::string& timer) {
    if (timer == fom_->BgmTim.name)
        runWatchdog();
    else
        run([this, timer] { router_->tick(timer); }, timer);
}

void GameWindow::wakeWatchdog() {
    if (!started_ || failed_ || !fom_->BgmTim.enabled() || watchdogWake_->isActive()) return;
    // A piece that keeps failing at once is not restarted faster than the desktop's timers tick.
    const qint64 since = lastWatchdog_.isValid() ? lastWatchdog_.elapsed() : kFastestTimerMs;
    watchdogWake_->start(static_cast<int>(std::max<qint64>(0, kFastestTimerMs - since)));
}

void GameWindow::runWatchdog() {
    lastWatchdog_.restart();
    watchdogWake_->stop();
    run([this] { router_->tick(fom_->BgmTim.name); }, fom_->BgmTim.name);
}

void GameWindow::sync() {
    if (widgets_.empty()) return;
    const Control& win = fom_->window;
    if (win.caption != title_) setWindowTitle(qtext(title_ = win.caption));
    if (palette().color(QPalette::Window) != toQColor(win.backColor)) {
        QPalette pal = palette();
        pal.setColor(QPalette::Window, toQColor(win.backColor));
        setPalette(pal);
    }
    for (WidgetLink& link : links_) link.sync(font());
    syncStacking();
    syncTimers();
    syncWindowSize();
}

void GameWindow::syncStacking() {
    // The order changes only when a control is brought to the front.
    std::size_t signature = 0;
    for (const auto& c : fom_->model.controls())
        signature = signature * 31 + static_cast<std::size_t>(c->zorder);
    if (signature == stackSignature_) return;
    stackSignature_ = signature;
    std::vector<const Control*> containers = {&fom_->window};
    for (const auto& c : fom_->model.controls())
        if (c->kind == ControlKind::PictureBox) containers.push_back(c.get());
    for (const Control* container : containers) {
        std::vector<QWidget*> order;
        for (Control* c : fom_->model.stackOf(container)) order.push_back(widgets_.at(c));
        auto& known = stacks_[container];
        if (known == order) continue;
        for (QWidget* w : order) w->raise();
        known = order;
    }
}

void GameWindow::syncTimers() {
    for (auto& link : timers_) {
        if (!link.timer->enabled() || !started_) {
            link.qtimer->stop();
            continue;
        }
        int interval = std::max(link.timer->interval(), kFastestTimerMs);
        // The watchdog is woken by the player and by the player's own choices; the poll only backs
        // that up, so it need not keep the processor awake.
        if (link.timer == &fom_->BgmTim) interval = kWatchdogIntervalMs;
        if (!link.qtimer->isActive() || link.restarts != link.timer->restarts()) {
            link.qtimer->start(interval);
            link.restarts = link.timer->restarts();
        }
    }
}

// ---- The window's size -------------------------------------------------------------------------------
//
// The game keeps its window 4:3 by setting the width from the outer height whenever the size changes.
// Done on every step of a drag, that fights the window manager, which keeps putting the edge back under
// the pointer. So a size the player gives is laid out as it is (stretched, as a maximised window is),
// and only once it has stayed put for a moment is the window given its shape, with a single request.
// A maximised, full-screen or minimised window is never reshaped.

bool GameWindow::sizeFixedByState() const {
    return windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized);
}

bool GameWindow::updateFrame() {
    Control& win = fom_->window;
    const double width = (frameGeometry().width() - geometry().width()) * kTwipsPerPixel;
    const double height = (frameGeometry().height() - geometry().height()) * kTwipsPerPixel;
    const bool changed = width != win.frameWidthTw || height != win.frameHeightTw;
    win.frameWidthTw = width;
    win.frameHeightTw = height;
    return changed;
}

void GameWindow::takeWindowSize(bool mayReshape) {
    // The game measures its window from the outside, frame and title bar included.
    Control& win = fom_->window;
    win.widthTw = width() * kTwipsPerPixel + win.frameWidthTw;
    win.heightTw = height() * kTwipsPerPixel + win.frameHeightTw;
    fom_->windowSizeFixed = !mayReshape || sizeFixedByState();
}

void GameWindow::layOut(bool mayReshape) {
    updateFrame();
    run([this, mayReshape] {
        takeWindowSize(mayReshape);
        fom_->Form_Resize();
    });
}

bool GameWindow::request(QSize size) {
    // A request the window manager already turned down from this very size is not repeated.
    const QSize from = this->size();
    if (lastRequest_ && lastRequest_->from == from && lastRequest_->to == size) return false;
    lastRequest_ = Request{from, size};
    requested_ = size;
    // Should the size never come, the game is laid out in the size the window has.
    settle_->start();
    resize(size);
    return true;
}

void GameWindow::syncWindowSize() {
    if (!started_ || fom_->windowSizeFixed) return;
    const QSize wanted(pixels(fom_->window.innerWidthTw()), height());
    if (wanted == size()) {
        shaped_ = size();
        return;
    }
    if (requested_ == wanted) return; // on its way
    if (sizeFixedByState() || !request(wanted)) {
        // The window keeps the size it has: lay the game out in it, once this event is over.
        QTimer::singleShot(0, this, [this] { layOut(false); });
    }
}

void GameWindow::settle() {
    if (requested_) {
        // The shape asked for never came: the window manager keeps this size.
        requested_.reset();
        layOut(false);
        return;
    }
    if (sizeFixedByState()) return;
    const QSize now = size();
    if (now.height() == shaped_.height() && now.width() != shaped_.width()) {
        // The player dragged a side edge: the height follows the width, so that the width the game
        // derives from the height comes out close to the one the player chose.
        const int frameWidth = frameGeometry().width() - geometry().width();
        const int frameHeight = frameGeometry().height() - geometry().height();
        const int height =
            static_cast<int>(std::lround((now.width() + frameWidth) * 3.0 / 4.0)) - frameHeight;
        if (height != now.height() && height > 0 && request(QSize(now.width(), height))) return;
    }
    layOut(true);
}

void GameWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!started_) return;
    if (requested_ && size() == *requested_) {
        // The shape asked for has come.
        requested_.reset();
        lastRequest_.reset();
        settle_->stop();
        layOut(true);
        return;
    }
    layOutUnsettled();
}

void GameWindow::layOutUnsettled() {
    // Laid out stretched at once; the 4:3 shape is looked at once the size has stayed put.
    requested_.reset();
    layOut(false);
    if (sizeFixedByState())
        settle_->stop();
    else
        settle_->start();
}

void GameWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The window manager tells the frame's size late, usually with a move; the outer height changes.
    if (started_ && !settle_->isActive() && updateFrame()) layOut(true);
}

void GameWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !started_ || (windowState() & Qt::WindowMinimized))
        return;
    // Maximised or full screen: laid out stretched. Restored: the window manager brings back the old
    // size in its own time, so the shape is looked at once things have settled.
    layOutUnsettled();
}

void GameWindow::closeEvent(QCloseEvent* event) {
    deliver([this] { fom_->Form_Unload(); });
    for (auto& link : timers_) link.qtimer->stop();
    watchdogWake_->stop();
    settle_->stop();
    started_ = false;
    event->accept();
}

void GameWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // The controls are painted in this same pass and the screen is sent to the display at its end, so
    // the program can end as soon as the pass is over.
    if (exitWhenShown_ && started_ && !running_) {
        QTimer::singleShot(0, this, [] { QApplication::exit(0); });
        return;
    }
    // The first screen is on its way to the display: the sound may start now.
    if (!music_.soundStarted()) QTimer::singleShot(0, this, [this] { music_.startSound(); });
}

void GameWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A click on the window's own background.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        deliver([this] { router_->click("Fom", -1); });
}

void GameWindow::fillMenu(QMenu& menu, const MenuItem& item) {
    for (const MenuItem* child : item.items) {
        if (!child->visible) continue;
        if (child->isSeparator()) {
            menu.addSeparator();
        } else if (!child->items.empty()) {
            fillMenu(*menu.addMenu(qtext(child->caption)), *child);
        } else {
            QAction* action = menu.addAction(qtext(child->caption));
            action->setEnabled(child->enabled);
            action->setCheckable(child->checked);
            action->setChecked(child->checked);
            const std::string name = child->name;
            const int index = child->index;
            connect(action, &QAction::triggered, this,
                    [this, name, index] { deliver([this, name, index] { router_->menu(name, index); }); });
        }
    }
}

void GameWindow::popupMenu() {
    // The menu is built afresh at every popup, so captions and check marks are the model's own.
    delete menu_;
    menu_ = new QMenu(this);
    fillMenu(*menu_, *fom_->model.menu("menu").front());
    menu_->popup(QCursor::pos());
}
