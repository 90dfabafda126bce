#include "qt/GameWindow.h"

#include "platform/TextCodec.h"
#include "qt/ControlWidget.h"
#include "qt/TextLogView.h"
#include "qt/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <QWheelEvent>
#include <chrono>
#include <iostream>

namespace {

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
      fom_(std::make_unique<Fom>(platform_, gameDir)), router_(std::make_unique<EventRouter>(*fom_)),
      events_([this](const std::string& timer) { afterEvent(timer); },
              [this](const std::string& why) { fail(why); }),
      widgets_(
          fom_->model, pictures_,
          {.press = [this](const Control& c) { deliver([this, &c] { router_->press(c.name, c.index); }); },
           .release =
               [this](const Control& c) { deliver([this, &c] { router_->release(c.name, c.index); }); },
           .click = [this](const Control& c) { deliver([this, &c] { router_->click(c.name, c.index); }); }}),
      timers_(*fom_, *router_, events_), stage_(new QWidget(this)), log_(new TextLogView(this)),
      shape_(*this, *stage_, *fom_, events_, [this](bool on) { widgets_.setDrafting(on); }),
      keys_({.toggleFullScreen = [this] { setFullScreen(!isFullScreenShown()); },
             .openMenu = [this] { openMenu(); },
             .textLogOpen = [this] { return textLogOpen(); },
             .openTextLog = [this] { openTextLog(); },
             .closeTextLog = [this] { closeTextLog(); },
             .clickText =
                 [this] {
                     deliver([this] { router_->click(fom_->Lbl.back()->name, fom_->Lbl.back()->index); });
                 },
             .fastForwardChanged =
                 [this] {
                     if (started_ && !events_.stopped()) syncTimers();
                 }}),
      menu_(*this, [this](const std::string& name, int index) {
          deliver([this, name, index] { router_->menu(name, index); });
      }) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Whatever the game does not cover (the bars beside it in full screen) is black.
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setFocusPolicy(Qt::StrongFocus);
    // Below half the game's design size its text can no longer be read.
    setMinimumSize(378, 292);
    stage_->setObjectName("stage");
    stage_->setAutoFillBackground(true);
    stage_->installEventFilter(this);
    log_->onClose = [this] { closeTextLog(); };
    QFont f("Noto Sans CJK JP");
    f.setStyleHint(QFont::SansSerif);
    setFont(f);

    // The watchdog hears of every change of the player at once, so it need not poll fast.
    music_.setOnStateChange([this] { wakeWatchdog(); });
    // The sound system is woken only once the first screen is up (see paintEvent).
    music_.holdSound();
}

GameWindow::~GameWindow() {
    music_.setOnStateChange(nullptr);
}

bool GameWindow::start() {
    events_.run([this] {
        fom_->Form_Load();
        createWidgets();
        fom_->Form_Resize();
    });
    if (events_.stopped()) return false;
    const double perPixel = twipsPerPixel(*this);
    shape_.show(QSize(twipsToPixels(fom_->window.innerWidthTw(), perPixel),
                      twipsToPixels(fom_->window.innerHeightTw(), perPixel)));
    // Should the window never be painted (shown minimised, say), the music starts all the same.
    if (!exitWhenShown_) QTimer::singleShot(kSoundAtLatestMs, this, [this] { music_.startSound(); });
    started_ = true;
    // The title comes after a layout of the real size.
    events_.run([this] {
        shape_.takeWindowSize(true);
        fom_->Form_Resize();
        fom_->Form_Activate();
    });
    wakeWatchdog();
    return !events_.stopped();
}

void GameWindow::deliver(const std::function<void()>& event) {
    events_.run(event);
    // A click or a menu choice may have switched the music on: the watchdog looks at once.
    wakeWatchdog();
}

void GameWindow::fail(const std::string& why) {
    timers_.stopAll();
    shape_.stopSettling();
    // Also on the terminal, where a story's author running the game from a shell reads it.
    std::cerr << why << std::endl;
    QMessageBox::critical(this, QStringLiteral("ルメナ"), QString::fromStdString(why));
    QApplication::exit(1);
}

void GameWindow::createWidgets() {
    widgets_.create(*stage_, fom_->window, *this);
    timers_.create();
}

QWidget* GameWindow::widgetOf(const Control& c) const {
    if (c.kind == ControlKind::Window) return const_cast<GameWindow*>(this);
    return widgets_.widgetOf(c);
}

void GameWindow::wakeWatchdog() {
    if (started_ && !events_.stopped()) timers_.wakeWatchdog();
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
    widgets_.sync(font(), twipsPerPixel(*this));
    syncTimers();
    shape_.followGame();
    // When the title screen comes up, Space and Enter press the middle difficulty, until Tab moves on.
    const bool title = fom_->PicTtl.visible;
    if (title && !titleShown_ && !fom_->StartCom.empty())
        if (QWidget* normal = widgets_.widgetOf(*fom_->StartCom[fom_->StartCom.size() / 2]))
            normal->setFocus();
    titleShown_ = title;
}

void GameWindow::afterEvent(const std::string& timer) {
    // Two ticks come often and change little: the watchdog's (four a second) touches only the music,
    // and the prompt's blink (sixty a second) only the prompt's form. After them no other control is
    // looked at.
    if (!widgets_.empty() && (timer == fom_->BgmTim.name || timer == fom_->LblShpTim.name)) {
        if (timer == fom_->LblShpTim.name) widgets_.sync(fom_->ClickMe, font(), twipsPerPixel(*this));
        syncTimers();
        return;
    }
    sync();
}

void GameWindow::syncTimers() {
    timers_.sync(started_, textLogOpen(), keys_.fastForward());
}

void GameWindow::placeStage() {
    const QRect area = shape_.stageArea();
    if (stage_->geometry() != area) stage_->setGeometry(area);
    if (log_->isVisible()) log_->setGeometry(area);
}

void GameWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeStage();
    shape_.resized();
}

void GameWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    shape_.moved();
}

void GameWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) keys_.setFastForward(false);
    if (event->type() != QEvent::WindowStateChange) return;
    placeStage();
    shape_.stateChanged();
}

void GameWindow::closeEvent(QCloseEvent* event) {
    deliver([this] { fom_->Form_Unload(); });
    timers_.stopAll();
    shape_.stop();
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
    if (exitWhenShown_ && started_ && !events_.running()) {
        QTimer::singleShot(0, this, [] { QApplication::exit(0); });
        return;
    }
    // The first screen is on its way to the display: the sound may start now, and the icon come (its
    // drawing loads Qt's SVG support, which the first screen need not wait for).
    if (!iconSet_) {
        iconSet_ = true;
        QTimer::singleShot(0, this, [] { QApplication::setWindowIcon(QIcon(":/rumena/rumena.svg")); });
    }
    if (!music_.soundStarted()) QTimer::singleShot(0, this, [this] { music_.startSound(); });
}

void GameWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A click on the game's own background (not on the bars beside it in full screen).
    if (event->button() == Qt::LeftButton && stage_->geometry().contains(event->position().toPoint()))
        deliver([this] { router_->click("Fom", -1); });
}

void GameWindow::popupMenu() {
    // Opened from the keyboard with the pointer elsewhere, the menu comes up over "MENU CLICKME".
    QPoint at = QCursor::pos();
    if (!rect().contains(mapFromGlobal(at)))
        if (QWidget* label = widgetOf(fom_->menuLbl)) at = label->mapToGlobal(label->rect().center());
    menu_.popup(*fom_->model.menu("menu").front(), at);
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
    if (!keys_.press(*event)) QWidget::keyPressEvent(event);
}

void GameWindow::keyReleaseEvent(QKeyEvent* event) {
    keys_.release(*event);
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
    if (event->type() == QEvent::KeyPress && keys_.windowKey(*static_cast<QKeyEvent*>(event))) return true;
    if (event->type() == QEvent::KeyRelease) keys_.release(*static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool GameWindow::focusNextPrevChild(bool next) {
    if (!fom_->PicTtl.visible || fom_->StartCom.empty()) return QWidget::focusNextPrevChild(next);
    std::vector<QWidget*> buttons;
    for (const Control* c : fom_->StartCom)
        if (QWidget* w = widgets_.widgetOf(*c); w && w->isVisibleTo(this) && w->isEnabled())
            buttons.push_back(w);
    if (buttons.empty()) return QWidget::focusNextPrevChild(next);
    const auto at = std::find(buttons.begin(), buttons.end(), focusWidget());
    const std::size_t n = buttons.size();
    std::size_t to = next ? 0 : n - 1;
    if (at != buttons.end()) to = (static_cast<std::size_t>(at - buttons.begin()) + (next ? 1 : n - 1)) % n;
    buttons[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void GameWindow::wheelEvent(QWheelEvent* event) {
    const QWidget* pic = widgetOf(fom_->Pic);
    const QRect textArea = pic ? QRect(pic->mapTo(this, QPoint(0, 0)), pic->size()) : QRect();
    if (!keys_.wheel(*event, textArea)) QWidget::wheelEvent(event);
}

void GameWindow::contextMenuEvent(QContextMenuEvent* event) {
    openMenu();
    event->accept();
}

void GameWindow::openMenu() {
    // The popup opens as a click on "MENU CLICKME" opens it, and only where that label can be clicked.
    deliver([this] { router_->click(fom_->menuLbl.name, -1); });
}

bool GameWindow::textLogOpen() const {
    return log_ && log_->isVisible();
}

void GameWindow::openTextLog() {
    // Only in the story, where the text area can be clicked, not over the title screen.
    if (!started_ || events_.stopped() || textLogOpen() || !router_->reachable(fom_->Pic.name, -1)) return;
    log_->setGeometry(stage_->geometry());
    log_->showLines(fom_->textLog.lines());
    syncTimers();
}

void GameWindow::closeTextLog() {
    if (!textLogOpen()) return;
    log_->hide();
    setFocus();
    if (!events_.stopped()) syncTimers();
}
