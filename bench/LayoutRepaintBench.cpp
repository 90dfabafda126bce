// One layout pass of the window plus the repaint of everything in it, with a 1920 x 1440 scene picture
// stretched over the picture area of a 1280 x 960 window.
#include "BenchApp.h"
#include "app/Fom.h"
#include "qt/GameWindow.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <filesystem>

namespace {

// The demo game in a scratch folder, with a large photograph-like scene picture added.
class BigPictureGame {
  public:
    BigPictureGame() {
        std::filesystem::copy(RUMENA_DEMO_GAME, dir_.path().toStdString(),
                              std::filesystem::copy_options::recursive);
        QImage picture(1920, 1440, QImage::Format_RGB32);
        QPainter p(&picture);
        QLinearGradient sky(0, 0, 1920, 1440);
        sky.setColorAt(0, QColor(250, 200, 220));
        sky.setColorAt(1, QColor(90, 120, 230));
        p.fillRect(picture.rect(), sky);
        for (int i = 0; i < 200; ++i)
            p.fillRect((i * 97) % 1900, (i * 61) % 1420, 40 + i % 50, 30 + i % 40,
                       QColor::fromHsv(i * 7 % 360, 160, 220));
        p.end();
        picture.save(dir_.filePath("grf/big.dat"), "JPEG", 90);
    }
    std::string dir() const { return dir_.path().toStdString(); }

  private:
    QTemporaryDir dir_;
};

// The play screen with the big picture, the window at 1280 x 960.
struct PlayScreen {
    PlayScreen() : window(game.dir(), 1u) {
        ok = window.start();
        window.deliver([&](Game& g) { g.click("StartCom", 1); });
        for (int i = 0; i < 6; ++i) window.deliver([&](Game& g) { g.tick("LblTim"); });
        window.deliver([&](Game& g) { g.fom().ShowPicture(u"big"); });
        sizeTo(QSize(1280, 960));
        ok = ok && window.game().fom().Pic.pictureName == u"big" && !window.game().fom().PicTtl.visible;
        if (!qEnvironmentVariableIsEmpty("RUMENA_BENCH_SHOT"))
            window.grab().save(qEnvironmentVariable("RUMENA_BENCH_SHOT"));
    }
    void sizeTo(QSize size) {
        window.resize(size);
        QDeadlineTimer settled(GameWindow::kSettleMs * 3);
        while (!settled.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    void layOutAndRepaint() {
        window.deliver([&](Game& g) { g.fom().Form_Resize(); });
        benchmark::DoNotOptimize(window.grab());
    }
    BigPictureGame game;
    GameWindow window;
    bool ok = false;
};

// The same size again: what every repaint of the play screen costs once the picture is scaled.
void BM_LayoutAndRepaint(benchmark::State& state) {
    PlayScreen screen;
    if (!screen.ok) return state.SkipWithError("the game did not start");
    for (auto _ : state) screen.layOutAndRepaint();
    state.counters["window_width"] = screen.window.width();
    state.counters["window_height"] = screen.window.height();
}

// A new size every time, as while the player drags the window's edge: the picture is scaled anew.
void BM_LayoutAndRepaintNewSize(benchmark::State& state) {
    PlayScreen screen;
    if (!screen.ok) return state.SkipWithError("the game did not start");
    const QSize settled = screen.window.size();
    int step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++step;
        screen.window.resize(settled - QSize(step % 2 * 4, step % 2 * 3));
        state.ResumeTiming();
        screen.layOutAndRepaint();
    }
}

} // namespace

BENCHMARK(BM_LayoutAndRepaint)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_LayoutAndRepaintNewSize)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
