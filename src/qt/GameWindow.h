#pragma once
#include "app/EventRouter.h"
#include "app/Fom.h"
#include "platform/RandomSource.h"
#include "qt/QtDesktop.h"
#include "qt/QtMusicDevice.h"
#include "qt/QtPictureLoader.h"

#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QMenu;
class QTimer;

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
    Fom& fom() { return *fom_; }
    // The widget showing a control (for tests).
    QWidget* widgetOf(const Control& c) const;
    // Brings every widget and timer in line with the model.
    void sync();
    // Runs one engine event, shows a run-time error and ends the program if one happens.
    void deliver(const std::function<void()>& event);
    // The loop watchdog's polling interval while nothing wakes it.
    static constexpr int kWatchdogIntervalMs = 250;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void createWidgets();
    void syncControl(const Control& c, QWidget& w);
    void syncStacking();
    void syncTimers();
    void syncWindowSize();
    void popupMenu();
    void fillMenu(QMenu& menu, const MenuItem& item);
    void updateFrame();

    QtMusicDevice music_;
    QtPictureLoader pictures_;
    QtDesktop desktop_;
    LcgRandom random_;
    Platform platform_;
    std::unique_ptr<Fom> fom_;
    std::unique_ptr<EventRouter> router_;
    std::map<const Control*, QWidget*> widgets_;
    std::map<const Control*, std::vector<QWidget*>> stacks_;
    struct TimerLink {
        Timer* timer;
        QTimer* qtimer;
        unsigned long restarts;
    };
    std::vector<TimerLink> timers_;
    QMenu* menu_ = nullptr;
    bool started_ = false;
    bool failed_ = false;
    int depth_ = 0;
};
