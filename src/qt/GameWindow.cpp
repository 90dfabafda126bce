#include "qt/GameWindow.h"

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

// The messages rumena adds, through the application's translator (English where it has none).
std::string translated(const std::string& english) {
    return QCoreApplication::translate("rumena", english.c_str()).toStdString();
}

unsigned clockSeed() {
    return static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count());
}

} // namespace

GameWindow::GameWindow(const std::string& gameDir, std::optional<unsigned> seed)
    : desktop_(
          *this, [this](const std::string&) { QTimer::singleShot(0, this, [this] { popupMenu(); }); },
          [this] { return QString::fromStdU16String(game_.title()); }),
      platform_{music_, pictures_, desktop_, random_, seed.value_or(clockSeed()), {}, translated, {}},
      game_(platform_, gameDir), player_(game_, GameTimers::kPace),
      events_([this](const std::string&) { afterEvent(); }, [this](const std::string& why) { fail(why); }),
      widgets_(game_, pictures_,
               {.press = [this](std::size_t id) { deliver([id](Game& g) { g.press(id); }); },
                .release = [this](std::size_t id) { deliver([id](Game& g) { g.release(id); }); },
                .click = [this](std::size_t id) { deliver([id](Game& g) { g.click(id); }); }}),
      timers_(player_, events_), stage_(new QWidget(this)), log_(new TextLogView(this)),
      shape_(*this, *stage_, game_, events_, [this](bool on) { widgets_.setDrafting(on); }),
      aids_(*this, player_, widgets_),
      keys_(player_, events_,
            {.toggleFullScreen = [this] { setFullScreen(!isFullScreenShown()); },
             .showTextLog = [this] { openTextLog(); },
             .hideTextLog = [this] { closeTextLog(); },
             .toggleVoice = [this] { aids_.toggleVoice(); },
             .changed =
                 [this] {
                     sync();
                     aids_.showFocus();
                 }}),
      menu_(*this, [this](const std::string& name, int index) {
          deliver([name, index](Game& g) { g.menu(name, index); });
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

    // The watchdog hears of every piece that ends by itself at once, so it need not poll fast.
    music_.onPieceEnded = [this] { wakeWatchdog(); };
    // The sound system is woken only once the first screen is up (see paintEvent).
    music_.holdSound();
}

GameWindow::~GameWindow() {
    music_.onPieceEnded = nullptr;
}

bool GameWindow::start() {
    events_.run([this] {
        if (game_.load() == Outcome::Failed) return;
        widgets_.create(*stage_, *this);
    });
    if (events_.stopped()) return false;
    const double perPixel = twipsPerPixel(*this);
    const WindowSize designed = game_.windowSize();
    shape_.show(QSize(twipsToPixels(designed.widthTw - designed.frameWidthTw, perPixel),
                      twipsToPixels(designed.heightTw - designed.frameHeightTw, perPixel)));
    // Should the window never be painted (shown minimised, say), the music starts all the same.
    if (!exitWhenShown_) QTimer::singleShot(kSoundAtLatestMs, this, [this] { music_.startSound(); });
    started_ = true;
    // The title comes after a layout of the real size.
    events_.run([this] {
        shape_.resizeGame(true);
        game_.activate();
        if (startAt_ && !game_.ended()) game_.startAt(*startAt_);
    });
    wakeWatchdog();
    return !events_.stopped();
}

void GameWindow::deliver(const std::function<void(Game&)>& event) {
    events_.run([this, event] { event(game_); });
    // A click or a menu choice may have switched the music on: the watchdog looks at once.
    wakeWatchdog();
}

void GameWindow::afterEvent() {
    // A run-time error ends the game: nothing more is delivered, and the player is told.
    if (game_.ended()) {
        events_.stop();
        fail(game_.error());
        return;
    }
    // The prompt's blink and the music's watchdog come many times a second and change at most the
    // prompt's form: what the player can choose, and what is seen, stand as they were.
    if (game_.touched() && !widgets_.empty()) {
        if (widgets_.sync(font(), twipsPerPixel(*this)).timers) syncTimers();
        return;
    }
    sync();
}

void GameWindow::fail(const std::string& why) {
    timers_.stopAll();
    shape_.stopSettling();
    // Also on the terminal, where a story's author running the game from a shell reads it.
    std::cerr << why << std::endl;
    QMessageBox::critical(this, QString::fromStdU16String(game_.title()), QString::fromStdString(why));
    QApplication::exit(1);
}

QWidget* GameWindow::widgetOf(const std::string& name, int index) const {
    if (name == "Fom") return const_cast<GameWindow*>(this);
    const int id = game_.find(name, index);
    return id < 0 ? nullptr : widgets_.widgetOf(static_cast<std::size_t>(id));
}

void GameWindow::wakeWatchdog() {
    if (started_ && !events_.stopped()) timers_.wakeWatchdog();
}

void GameWindow::sync() {
    if (widgets_.empty()) return;
    const bool focusMoved = player_.afterEvent();
    const ViewTracker::Changes changes = widgets_.sync(font(), twipsPerPixel(*this));
    if (changes.window) {
        if (game_.title() != title_) setWindowTitle(QString::fromStdU16String(title_ = game_.title()));
        if (game_.background() != background_) {
            QPalette pal = stage_->palette();
            pal.setColor(QPalette::Window, toQColor(background_ = game_.background()));
            stage_->setPalette(pal);
        }
    }
    syncTimers();
    if (!game_.touched()) shape_.followGame();
    aids_.afterEvent(focusMoved, !changes.empty());
}

void GameWindow::syncTimers() {
    if (!events_.stopped()) timers_.sync(started_);
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
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) keys_.letGo();
    if (event->type() != QEvent::WindowStateChange) return;
    placeStage();
    shape_.stateChanged();
}

void GameWindow::closeEvent(QCloseEvent* event) {
    deliver([](Game& g) { g.close(); });
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
        deliver([](Game& g) { g.click("Fom"); });
}

void GameWindow::popupMenu() {
    // Opened from the keyboard with the pointer elsewhere, the menu comes up over "MENU CLICKME".
    QPoint at = QCursor::pos();
    if (!rect().contains(mapFromGlobal(at)))
        if (QWidget* label = widgets_.widgetOf(game_.menuAnchor()))
            at = label->mapToGlobal(label->rect().center());
    menu_.popup(game_.menuItems(), at);
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
    // The buttons take their keys from the key table too.
    if (event->type() == QEvent::KeyPress && keys_.press(*static_cast<QKeyEvent*>(event))) return true;
    if (event->type() == QEvent::KeyRelease) keys_.release(*static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

bool GameWindow::focusNextPrevChild(bool next) {
    if (game_.choices().empty()) return QWidget::focusNextPrevChild(next);
    player_.moveFocus(next);
    sync();
    aids_.showFocus();
    return true;
}

void GameWindow::wheelEvent(QWheelEvent* event) {
    const QWidget* pic = widgets_.widgetOf(game_.textArea());
    const QRect textArea = pic ? QRect(pic->mapTo(this, QPoint(0, 0)), pic->size()) : QRect();
    if (!keys_.wheel(*event, textArea)) QWidget::wheelEvent(event);
}

void GameWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The popup opens as a click on "MENU CLICKME" opens it, and only where that label can be clicked.
    deliver([](Game& g) { g.openMenu(); });
    event->accept();
}

bool GameWindow::textLogOpen() const {
    return log_ && log_->isVisible();
}

void GameWindow::openTextLog() {
    if (!started_ || events_.stopped() || textLogOpen()) {
        if (!textLogOpen()) player_.closeLog();
        return;
    }
    log_->setGeometry(stage_->geometry());
    log_->showLines(game_.textLog());
    syncTimers();
}

void GameWindow::closeTextLog() {
    player_.closeLog();
    if (!textLogOpen()) return;
    log_->hide();
    setFocus();
    if (!events_.stopped()) syncTimers();
}
