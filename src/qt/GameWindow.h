#pragma once
#include "game/Game.h"
#include "game/SceneStart.h"
#include "platform/RandomSource.h"
#include "qt/GameTimers.h"
#include "qt/HeldEventQueue.h"
#include "qt/PlayerAids.h"
#include "qt/PopupMenu.h"
#include "qt/QtDesktop.h"
#include "qt/QtPictureLoader.h"
#include "qt/SdlMusicDevice.h"
#include "qt/WidgetTree.h"
#include "qt/WindowKeys.h"
#include "qt/WindowShape.h"
#include "shell/Player.h"

#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <optional>

class TextLogView;

// The game's window: draws what the game shows with Qt widgets, runs its timers as the player's plan
// says, and hands every click, key, menu choice and resize to the game, one event at a time. Its
// rooms: the held events, the widgets, the timers, the window's shape and full screen, the keys, the
// popup menu and the text log.
class GameWindow : public QWidget {
    Q_OBJECT
  public:
    GameWindow(const std::string& gameDir, std::optional<unsigned> seed);
    ~GameWindow() override;

    // Start-up: Load and the first layout, then the window is shown and the title screen entered.
    // Returns false when start-up failed (the error was shown).
    bool start();
    // Ends the program once the first screen has been painted, before any sound is started: start-up
    // can then be timed and weighed the same way every time.
    void exitWhenShown() { exitWhenShown_ = true; }
    // Leaves the title at once for a new game at that scene (an author's look at one scene).
    void startAt(SceneStart start) { startAt_ = std::move(start); }
    Game& game() { return game_; }
    Player& player() { return player_; }
    SdlMusicDevice& music() { return music_; }
    // The widget showing a control, by the game's names.
    QWidget* widgetOf(const std::string& name, int index = -1) const;
    // Brings every widget and timer in line with the game.
    void sync();
    // Runs one input of the game through the held events; a run-time error is shown and ends the
    // program.
    void deliver(const std::function<void(Game&)>& event);
    // The loop watchdog's polling interval while nothing wakes it.
    static constexpr int kWatchdogIntervalMs = GameTimers::kPace.watchdogPollMs;
    static constexpr int kSettleMs = WindowShape::kSettleMs;
    // The music starts once the first screen is painted, and at the latest this long after start-up.
    static constexpr int kSoundAtLatestMs = 1000;

    // Full screen shows the game at 4:3 in the middle, with black bars; leaving it restores the
    // window's earlier size and place. Before start() it makes the window start in full screen.
    void setFullScreen(bool on) { shape_.setFullScreen(on); }
    bool isFullScreenShown() const { return shape_.fullScreen(); }
    static QRect letterbox(QSize outer) { return WindowShape::letterbox(outer); }
    // The frame the window manager reports from now on (for tests: an offscreen window has none).
    void setReportedFrame(QSize frame) { shape_.setReportedFrame(frame); }
    // The area the game is drawn in: the whole window, or its 4:3 middle in full screen.
    QWidget* stage() const { return stage_; }
    // The text log, open or not (for tests).
    TextLogView* textLog() const { return log_; }
    bool textLogOpen() const;
    // Whether the story runs at its fastest (Ctrl held).
    bool fastForward() const { return player_.fastForward(); }
    // The keyboard's focus, the screen reader's view and reading aloud.
    PlayerAids& aids() { return aids_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab goes round the controls the keys can choose (the title's difficulties).
    bool focusNextPrevChild(bool next) override;

  private:
    // The first screen is on its way to the display: the sound may start (or the program end, when
    // it was only to show the title).
    void screenPainted();
    void afterEvent();
    void syncTimers();
    void fail(const std::string& why);
    // The watchdog runs when the player changes state or an event may have changed the music.
    void wakeWatchdog();
    void popupMenu();
    void openTextLog();
    void closeTextLog();
    void placeStage();

    SdlMusicDevice music_;
    QtPictureLoader pictures_;
    QtDesktop desktop_;
    LcgRandom random_;
    Platform platform_;
    Game game_;
    Player player_;
    bool iconSet_ = false;
    HeldEventQueue events_;
    WidgetTree widgets_;
    std::u16string title_;
    Color background_ = 0;
    GameTimers timers_;
    QWidget* stage_ = nullptr;
    TextLogView* log_ = nullptr;
    WindowShape shape_;
    PlayerAids aids_;
    WindowKeys keys_;
    PopupMenu menu_;
    bool started_ = false;
    bool exitWhenShown_ = false;
    std::optional<SceneStart> startAt_;
};
