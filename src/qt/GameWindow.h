#pragma once
#include "app/EventRouter.h"
#include "app/Fom.h"
#include "platform/RandomSource.h"
#include "qt/QtDesktop.h"
#include "qt/SdlMusicDevice.h"
#include "qt/QtPictureLoader.h"
#include "qt/WidgetLink.h"

#include <QElapsedTimer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class ControlWidget;
class QMenu;
class QTimer;
class TextLogView;

// The game's window: renders the control model with Qt widgets, runs the model's timers, and hands
// every click, press, menu choice and resize to the engine, one event at a time.
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
    Fom& fom() { return *fom_; }
    SdlMusicDevice& music() { return music_; }
    // The widget showing a control (for tests).
    QWidget* widgetOf(const Control& c) const;
    // Brings every widget and timer in line with the model.
    void sync();
    // Runs one engine event, shows a run-time error and ends the program if one happens.
    void deliver(const std::function<void()>& event);
    // The loop watchdog's polling interval while nothing wakes it.
    static constexpr int kWatchdogIntervalMs = 250;
    // How long the size must stay put after the player resized the window before it is given its
    // shape again.
    static constexpr int kSettleMs = 200;
    // The music starts once the first screen is painted, and at the latest this long after start-up.
    static constexpr int kSoundAtLatestMs = 1000;

    // Full screen shows the game at 4:3 in the middle, with black bars; leaving it restores the
    // window's earlier size and place. Before start() it makes the window start in full screen.
    void setFullScreen(bool on);
    bool isFullScreenShown() const { return windowState() & Qt::WindowFullScreen; }
    // The largest 4:3 rectangle centred in a screen of that size.
    static QRect letterbox(QSize outer);
    // The area the game is drawn in: the whole window, or its 4:3 middle in full screen.
    QWidget* stage() const { return stage_; }
    // The text log, open or not (for tests).
    TextLogView* textLog() const { return log_; }
    bool textLogOpen() const;
    // Whether the story runs at its fastest (Ctrl held).
    bool fastForward() const { return fastForward_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The first screen is on its way to the display: the sound may start (or the program end, when
    // it was only to show the title).
    void screenPainted();
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void layOutUnsettled();
    void createWidgets();
    void syncStacking();
    void syncTimers();
    void syncWindowSize();
    // Runs an engine event now, or once the one running is over; timer names the timer whose tick it is.
    void run(const std::function<void()>& event, const std::string& timer = {});
    void fail(const std::string& why);
    void tick(const std::string& timer);
    void wakeWatchdog();
    void runWatchdog();
    // Lays the game out in the window's present size; with mayReshape the game may give it its shape.
    void layOut(bool mayReshape);
    void takeWindowSize(bool mayReshape);
    bool request(QSize size);
    void settle();
    // The settle timer, and with it the quick drawing of pictures while the size still changes.
    void startSettling();
    void stopSettling();
    bool sizeFixedByState() const;
    // Measures the window's frame; returns whether it changed.
    bool updateFrame();
    void popupMenu();
    // The keys that act wherever the focus is (full screen, menu, log, fast-forward); returns
    // whether the key was taken.
    bool windowKey(QKeyEvent* event);
    // Where "MENU CLICKME" could be clicked, opens the popup menu, as that click does.
    void openMenu();
    void openTextLog();
    void closeTextLog();
    void setFastForward(bool on);
    void placeStage();
    void fillMenu(QMenu& menu, const MenuItem& item);

    SdlMusicDevice music_;
    QtPictureLoader pictures_;
    QtDesktop desktop_;
    LcgRandom random_;
    Platform platform_;
    std::unique_ptr<Fom> fom_;
    std::unique_ptr<EventRouter> router_;
    std::map<const Control*, QWidget*> widgets_;
    std::vector<ControlWidget*> pictureBoxes_;
    std::vector<WidgetLink> links_;
    std::map<const Control*, std::vector<QWidget*>> stacks_;
    std::size_t stackSignature_ = 0;
    std::u16string title_;
    struct TimerLink {
        Timer* timer;
        QTimer* qtimer;
        unsigned long restarts;
    };
    std::vector<TimerLink> timers_;
    QMenu* menu_ = nullptr;
    QWidget* stage_ = nullptr;
    TextLogView* log_ = nullptr;
    bool fastForward_ = false;
    bool titleShown_ = false;
    bool startFullScreen_ = false;
    // The window's place and size before it went full screen.
    QRect normalGeometry_;
    // The watchdog runs when the player changes state or an event may have changed the music.
    QTimer* watchdogWake_ = nullptr;
    QElapsedTimer lastWatchdog_;
    // Resizing: the player's sizes are laid out as they come and reshaped once they settle.
    QTimer* settle_ = nullptr;
    std::optional<QSize> requested_;
    struct Request {
        QSize from, to;
    };
    std::optional<Request> lastRequest_;
    // The last size the game's shape was in force.
    QSize shaped_;
    bool started_ = false;
    bool exitWhenShown_ = false;
    bool failed_ = false;
    bool running_ = false;
    struct Held {
        std::function<void()> event;
        std::string timer;
    };
    std::deque<Held> held_;
};
