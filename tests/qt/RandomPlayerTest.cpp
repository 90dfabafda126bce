// A random player on the real window: clicks, right clicks, wheel turns, keys and resizes at random
// places and times, through the widgets' own event handlers, with every message box answered and
// every popup menu chosen from or closed. It passes when the program neither dies nor stops answering.
// The seed is printed; RUMENA_RANDOM_SEED=N plays the same game again.
#include "EventPump.h"
#include "qt/GameWindow.h"
#include "support/TestGame.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <random>
#include <thread>

namespace {

// Stands in for the desktop's browser: bonus pages are counted, not opened.
class PageCatcher : public QObject {
    Q_OBJECT
  public:
    int opened = 0;
  public slots:
    void open(const QUrl&) { ++opened; }
};

// Ends the program, naming the step and the seed, when the window has not come back for a long time.
class Hang {
  public:
    Hang(unsigned seed) : seed_(seed), thread_([this] { watch(); }) {}
    ~Hang() {
        done_ = true;
        thread_.join();
    }
    void beat(int step) {
        step_ = step;
        beats_++;
    }

  private:
    void watch() {
        int last = -1, still = 0;
        while (!done_) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            still = beats_ == last ? still + 1 : 0;
            last = beats_;
            if (still > 300) {
                std::cerr << "the window stopped answering at step " << step_
                          << " (RUMENA_RANDOM_SEED=" << seed_ << ")" << std::endl;
                std::_Exit(1);
            }
        }
    }
    unsigned seed_;
    std::atomic<bool> done_{false};
    std::atomic<int> step_{0}, beats_{0};
    std::thread thread_;
};

} // namespace

TEST(RandomPlayer, ThousandsOfEventsNeitherKillNorHangTheWindow) {
    const char* given = std::getenv("RUMENA_RANDOM_SEED");
    const unsigned seed =
        given ? static_cast<unsigned>(std::strtoul(given, nullptr, 10)) : std::random_device{}();
    std::cout << "random player seed: " << seed << " (RUMENA_RANDOM_SEED=" << seed << " replays it)"
              << std::endl;
    RecordProperty("seed", std::to_string(seed));
    std::mt19937 random(seed);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };

    TempGame game;
    std::filesystem::copy(RUMENA_DEMO_GAME, game.dir(),
                          std::filesystem::copy_options::recursive |
                              std::filesystem::copy_options::overwrite_existing);
    PageCatcher pages;
    QDesktopServices::setUrlHandler("file", &pages, "open");
    auto window = std::make_unique<GameWindow>(game.dir(), seed);
    ASSERT_TRUE(window->start());

    // Message boxes and menus are answered from inside their own event loops.
    int boxes = 0, menus = 0;
    std::vector<std::string> errors;
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (box->icon() == QMessageBox::Critical) errors.push_back(box->text().toStdString());
            ++boxes;
            box->done(QMessageBox::Ok);
        } else if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            ++menus;
            std::vector<QAction*> choices;
            for (QAction* a : menu->actions())
                if (a->isEnabled() && !a->isSeparator() && !a->menu()) choices.push_back(a);
            if (choices.empty() || below(4) == 0) {
                menu->close();
            } else {
                QAction* chosen = choices[static_cast<std::size_t>(below(static_cast<int>(choices.size())))];
                menu->close();
                // Chosen outside this answer, so that a message box it opens is answered too.
                QTimer::singleShot(0, chosen, &QAction::trigger);
            }
        }
    });
    answerer.start(15);

    const int keys[] = {Qt::Key_Return, Qt::Key_Space,    Qt::Key_Escape, Qt::Key_Control, Qt::Key_F11,
                        Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Tab,    Qt::Key_Enter};
    const int kSteps = 3000;
    Hang hang(seed);
    QElapsedTimer clock;
    clock.start();
    int closes = 0;
    for (int step = 0; step < kSteps && errors.empty(); ++step) {
        hang.beat(step);
        if (!window->isVisible()) {
            // Closed by an Esc on a message box or the like: the player starts the program again.
            ++closes;
            window = std::make_unique<GameWindow>(game.dir(), seed + static_cast<unsigned>(step));
            ASSERT_TRUE(window->start());
        }
        const QPoint at(below(std::max(1, window->width())), below(std::max(1, window->height())));
        QWidget* target = window->childAt(at);
        if (!target) target = window.get();
        const QPointF local = target->mapFrom(window.get(), at);
        const QPointF global = window->mapToGlobal(at);
        const int kind = below(100);
        if (kind < 40) {
            const Qt::MouseButton button = below(5) == 0 ? Qt::RightButton : Qt::LeftButton;
            QMouseEvent press(QEvent::MouseButtonPress, local, global, button, button, Qt::NoModifier);
            QMouseEvent release(QEvent::MouseButtonRelease, local, global, button, Qt::NoButton,
                                Qt::NoModifier);
            QApplication::sendEvent(target, &press);
            if (button == Qt::RightButton) {
                QContextMenuEvent menu(QContextMenuEvent::Mouse, local.toPoint(), global.toPoint());
                QApplication::sendEvent(target, &menu);
            }
            QApplication::sendEvent(target, &release);
        } else if (kind < 52) {
            QWheelEvent wheel(local, global, QPoint(), QPoint(0, below(2) ? 120 : -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(target, &wheel);
        } else if (kind < 94) {
            const int key = keys[below(std::size(keys))];
            const Qt::KeyboardModifiers mods = key == Qt::Key_Control
                                                   ? Qt::ControlModifier
                                                   : (below(8) == 0 ? Qt::AltModifier : Qt::NoModifier);
            QWidget* focus = window->focusWidget() ? window->focusWidget() : window.get();
            QKeyEvent press(QEvent::KeyPress, key, mods);
            QApplication::sendEvent(focus, &press);
            // Ctrl is sometimes held for a while, as a reader fast-forwarding does.
            if (key != Qt::Key_Control || below(3) == 0) {
                QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
                QApplication::sendEvent(window->focusWidget() ? window->focusWidget() : window.get(),
                                        &release);
            }
        } else {
            window->resize(300 + below(1100), 250 + below(800));
        }
        // The story's timers run between the player's moves, now and then for longer.
        pumpFor(below(30) == 0 ? 100 + below(150) : below(5));
    }
    pumpFor(GameWindow::kSettleMs * 2);
    answerer.stop();
    QDesktopServices::unsetUrlHandler("file");
    std::cout << kSteps << " events in " << clock.elapsed() / 1000.0 << " s: " << boxes << " message boxes, "
              << menus << " menus, " << pages.opened << " pages, " << closes << " restarts" << std::endl;
    EXPECT_TRUE(errors.empty()) << "the game stopped on an error: " << errors.front()
                                << " (RUMENA_RANDOM_SEED=" << seed << ")";
}

#include "RandomPlayerTest.moc"
