#include "qt/GameWindow.h"

#include "platform/TextCodec.h"
#include "qt/ControlWidget.h"
#include "qt/TextLogView.h"
#include "qt/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <chrono>
#include <cmath>
#include <iostream>

namespace {

// Timers faster than the desktop can usefully fire are run at this pace.
constexpr int kFastestTimerMs = 16;

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
    // Whatever the game does not cover (the bars beside it in full screen) is black.
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setFocusPolicy(Qt::StrongFocus);
    // Below half the game's design size its text can no longer be read.
    setMinimumSize(378, 292);
    stage_ = new QWidget(this);
    stage_->setObjectName("stage");
    stage_->setAutoFillBackground(true);
    stage_->installEventFilter(this);
    log_ = new TextLogView(this);
    log_->onClose = [this] { closeTextLog(); };
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
    const double perPixel = twipsPerPixel(*this);
    resize(twipsToPixels(fom_->window.innerWidthTw(), perPixel),
           twipsToPixels(fom_->window.innerHeightTw(), perPixel));
    if (startFullScreen_)
        showFullScreen();
    else
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
    stopSettling();
    // Also on the terminal, where a story's author running the game from a shell reads it.
    std::cerr << why << std::endl;
    QMessageBox::critical(this, QStringLiteral("ルメナ"), QString::fromStdString(why));
    QApplication::exit(1);
}

void GameWindow::createWidgets() {
    for (const auto& c : fom_->model.controls()) {
        if (c->kind == ControlKind::Window) continue;
        QWidget* parent = c->container->kind == ControlKind::Window ? stage_ : widgets_.at(c->container);
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
            // Let go of, and clicked when let go of over it, or pressed by Space or Enter as a button is.
            connect(button, &QPushButton::released, this, [=] { onRelease(*control, false); });
            connect(button, &QPushButton::clicked, this, [this, control] {
                deliver([this, control] { router_->click(control->name, control->index); });
            });
            button->setAutoDefault(true);
            button->installEventFilter(this);
            w = button;
        } else if (c->kind == ControlKind::ListBox) {
            auto* list = new QListWidget(parent);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            // The game's keys are the window's; the list is read with the mouse.
            list->setFocusPolicy(Qt::NoFocus);
            w = list;
        } else {
            auto* widget = new ControlWidget(*c, pictures_, parent);
            widget->onPress = onPress;
            widget->onRelease = onRelease;
            if (c->kind == ControlKind::PictureBox) pictureBoxes_.push_back(widget);
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
    if (stage_->palette().color(QPalette::Window) != toQColor(win.backColor)) {
        QPalette pal = stage_->palette();
        pal.setColor(QPalette::Window, toQColor(win.backColor));
        stage_->setPalette(pal);
    }
    // Every widget is on the window's screen: its scale is asked once, not once a widget.
    const double perPixel = twipsPerPixel(*this);
    const QFont& base = font();
    for (WidgetLink& link : links_) link.sync(base, perPixel);
    syncStacking();
    syncTimers();
    syncWindowSize();
    // When the title screen comes up, Space and Enter press the middle difficulty, until Tab moves on.
    const bool title = fom_->PicTtl.visible;
    if (title && !titleShown_ && !fom_->StartCom.empty())
        if (QWidget* normal = widgets_.at(fom_->StartCom[fom_->StartCom.size() / 2])) normal->setFocus();
    titleShown_ = title;
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
        // While the player reads the log, the story waits; the music goes on.
        const bool paused = textLogOpen() && link.timer != &fom_->BgmTim;
        if (!link.timer->enabled() || !started_ || paused) {
            link.qtimer->stop();
            continue;
        }
        int interval = std::max(link.timer->interval(), kFastestTimerMs);
        // The watchdog is woken by the player and by the player's own choices; the poll only backs
        // that up, so it need not keep the processor awake.
        if (link.timer == &fom_->BgmTim) interval = kWatchdogIntervalMs;
        // Ctrl held: the story at its fastest, whatever speed the menu chose.
        if (link.timer == &fom_->LblTim && fastForward_) interval = kFastestTimerMs;
        if (link.qtimer->isActive() && link.qtimer->interval() != interval) link.restarts = ~0ul;
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
    const double perPixel = twipsPerPixel(*this);
    const double width = (frameGeometry().width() - geometry().width()) * perPixel;
    const double height = (frameGeometry().height() - geometry().height()) * perPixel;
    const bool changed = width != win.frameWidthTw || height != win.frameHeightTw;
    win.frameWidthTw = width;
    win.frameHeightTw = height;
    return changed;
}

void GameWindow::takeWindowSize(bool mayReshape) {
    // The game measures its window from the outside, frame and title bar included.
    Control& win = fom_->window;
    const double perPixel = twipsPerPixel(*this);
    win.widthTw = stage_->width() * perPixel + win.frameWidthTw;
    win.heightTw = stage_->height() * perPixel + win.frameHeightTw;
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
    startSettling();
    resize(size);
    return true;
}

void GameWindow::syncWindowSize() {
    if (!started_ || fom_->windowSizeFixed) return;
    const QSize wanted(twipsToPixels(fom_->window.innerWidthTw(), twipsPerPixel(*this)), height());
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

void GameWindow::startSettling() {
    settle_->start();
    for (ControlWidget* box : pictureBoxes_) box->setDrafting(true);
}

void GameWindow::stopSettling() {
    settle_->stop();
    // Pictures drawn quickly during the drag are now scaled smoothly, as the player will look at them.
    for (ControlWidget* box : pictureBoxes_) box->setDrafting(false);
}

void GameWindow::settle() {
    stopSettling();
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
    placeStage();
    if (!started_) return;
    if (requested_ && size() == *requested_) {
        // The shape asked for has come.
        requested_.reset();
        lastRequest_.reset();
        stopSettling();
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
        stopSettling();
    else
        startSettling();
}

void GameWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // The window manager tells the frame's size late, usually with a move; the outer height changes.
    if (started_ && !settle_->isActive() && updateFrame()) layOut(true);
}

void GameWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) setFastForward(false);
    if (event->type() != QEvent::WindowStateChange) return;
    placeStage();
    if (!started_ || (windowState() & Qt::WindowMinimized)) return;
    // Maximised or full screen: laid out stretched. Restored: the window manager brings back the old
    // size in its own time, so the shape is looked at once things have settled.
    layOutUnsettled();
}

void GameWindow::closeEvent(QCloseEvent* event) {
    deliver([this] { fom_->Form_Unload(); });
    for (auto& link : timers_) link.qtimer->stop();
    watchdogWake_->stop();
    stopSettling();
    started_ = false;
    event->accept();
}

void GameWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    screenPainted();
}

void GameWindow::screenPainted() {
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
    // A click on the game's own background (not on the bars beside it in full screen).
    if (event->button() == Qt::LeftButton && stage_->geometry().contains(event->position().toPoint()))
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
    // Opened from the keyboard with the pointer elsewhere, the menu comes up over "MENU CLICKME".
    QPoint at = QCursor::pos();
    if (!rect().contains(mapFromGlobal(at)))
        if (QWidget* label = widgetOf(fom_->menuLbl)) at = label->mapToGlobal(label->rect().center());
    menu_->popup(at);
}

// ---- Full screen -------------------------------------------------------------------------------------

QRect GameWindow::letterbox(QSize outer) {
    const int width = std::min(outer.width(), outer.height() * 4 / 3);
    const int height = std::min(outer.height(), outer.width() * 3 / 4);
    return QRect((outer.width() - width) / 2, (outer.height() - height) / 2, width, height);
}

void GameWindow::placeStage() {
    // The game's layout sees the stage: in full screen a 4:3 window, elsewhere the window itself, so
    // that a maximised window is laid out stretched as the game does.
    const QRect area = isFullScreenShown() ? letterbox(size()) : rect();
    if (stage_->geometry() != area) stage_->setGeometry(area);
    if (log_->isVisible()) log_->setGeometry(area);
}

void GameWindow::setFullScreen(bool on) {
    if (!started_) {
        startFullScreen_ = on;
        return;
    }
    if (on == isFullScreenShown()) return;
    if (on) {
        normalGeometry_ = geometry();
        showFullScreen();
    } else {
        showNormal();
        if (normalGeometry_.isValid()) setGeometry(normalGeometry_);
    }
}

// ---- Keys, wheel and right click ---------------------------------------------------------------------
//
// They act as the mouse would, through the same engine events, or on the window alone (full screen,
// the log, the pace of the timer); the game itself is unchanged.

bool GameWindow::windowKey(QKeyEvent* event) {
    const int key = event->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key == Qt::Key_Control) {
        setFastForward(true);
        return false;
    }
    if (event->isAutoRepeat()) return key == Qt::Key_F11 || (enter && (event->modifiers() & Qt::AltModifier));
    if (key == Qt::Key_F11 || (enter && (event->modifiers() & Qt::AltModifier))) {
        setFullScreen(!isFullScreenShown());
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (textLogOpen())
            closeTextLog();
        else
            openMenu();
        return true;
    }
    if (key == Qt::Key_PageUp) {
        openTextLog();
        return true;
    }
    return false;
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
    if (windowKey(event)) return;
    const int key = event->key();
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && !event->isAutoRepeat() &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        // A click on the text area: it goes on with the story only where a click would.
        deliver([this] { router_->click(fom_->Lbl.back()->name, fom_->Lbl.back()->index); });
        return;
    }
    QWidget::keyPressEvent(event);
}

void GameWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control && !event->isAutoRepeat()) setFastForward(false);
    QWidget::keyReleaseEvent(event);
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
    // The game's own area covers the window but for the bars of full screen: its paint is the screen's.
    if (watched == stage_ && event->type() == QEvent::Paint) {
        const bool handled = QWidget::eventFilter(watched, event);
        screenPainted();
        return handled;
    }
    // The difficulty buttons take Space and Enter as buttons do; the window's own keys come first.
    if (event->type() == QEvent::KeyPress && windowKey(static_cast<QKeyEvent*>(event))) return true;
    if (event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Control && !key->isAutoRepeat()) setFastForward(false);
    }
    return QWidget::eventFilter(watched, event);
}

void GameWindow::wheelEvent(QWheelEvent* event) {
    const QWidget* pic = widgetOf(fom_->Pic);
    const QRect textArea = pic ? QRect(pic->mapTo(this, QPoint(0, 0)), pic->size()) : QRect();
    if (event->angleDelta().y() > 0 && textArea.contains(event->position().toPoint())) {
        openTextLog();
        return;
    }
    QWidget::wheelEvent(event);
}

void GameWindow::contextMenuEvent(QContextMenuEvent* event) {
    openMenu();
    event->accept();
}

void GameWindow::openMenu() {
    // The popup opens as a click on "MENU CLICKME" opens it, and only where that label can be clicked.
    deliver([this] { router_->click(fom_->menuLbl.name, -1); });
}

void GameWindow::setFastForward(bool on) {
    if (fastForward_ == on) return;
    fastForward_ = on;
    if (started_ && !failed_) syncTimers();
}

bool GameWindow::textLogOpen() const {
    return log_ && log_->isVisible();
}

void GameWindow::openTextLog() {
    // Only in the story, where the text area can be clicked, not over the title screen.
    if (!started_ || failed_ || textLogOpen() || !router_->reachable(fom_->Pic.name, -1)) return;
    log_->setGeometry(stage_->geometry());
    log_->showLines(fom_->textLog.lines());
    syncTimers();
}

void GameWindow::closeTextLog() {
    if (!textLogOpen()) return;
    log_->hide();
    setFocus();
    if (!failed_) syncTimers();
}
