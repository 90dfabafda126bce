// CPU use of the window left alone while its music loops: the whole process (the window, the music
// watchdog and the sound output's own threads), as a share of one core. The title screen should cost
// next to nothing, and so should the blinking prompt.
#include "BenchApp.h"
#include "app/Fom.h"
#include "qt/GameWindow.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPainter>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>

namespace {

// The whole process, all its threads.
double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Voluntary and involuntary context switches of the whole process.
double processContextSwitches() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_nvcsw + usage.ru_nivcsw);
}

// Runs the event loop as the program does, sleeping until something happens.
void runEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the window for the given seconds and reports the process's CPU time as a share of one core.
void measureIdle(benchmark::State& state) {
    const int seconds = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        const double switchesBefore = processContextSwitches();
        QElapsedTimer wall;
        wall.start();
        runEventLoopFor(seconds * 1000);
        const double elapsed = wall.nsecsElapsed() / 1e9;
        state.SetIterationTime(elapsed);
        state.counters["cpu_percent_of_one_core"] = 100 * (processCpuSeconds() - cpuBefore) / elapsed;
        state.counters["context_switches_per_second"] = (processContextSwitches() - switchesBefore) / elapsed;
    }
}

void BM_IdleTitleScreen(benchmark::State& state) {
    GameWindow window(RUMENA_DEMO_GAME, 1u);
    if (!window.start()) return state.SkipWithError("the demo game did not start");
    // Let start-up, the first paint and the music's start settle.
    runEventLoopFor(1000);
    measureIdle(state);
    state.counters["music_playing"] = window.music().isPlaying() ? 1 : 0;
}

// Context switches of every thread of this process, voluntary and not.
double threadContextSwitches() {
    double total = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream status(task.path() / "status");
        for (std::string line; std::getline(status, line);)
            if (line.find("ctxt_switches:") != std::string::npos)
                total += std::stod(line.substr(line.find(':') + 1));
    }
    return total;
}

// The title screen with the music switched off: the sound output closes, and nothing should wake but
// the watchdog's poll.
void BM_IdleTitleMusicOff(benchmark::State& state) {
    GameWindow window(RUMENA_DEMO_GAME, 1u);
    if (!window.start()) return state.SkipWithError("the demo game did not start");
    runEventLoopFor(1000);
    window.deliver([&](Game& g) { g.menu("m_bgm"); });
    // The output closes once nothing has played for a while.
    runEventLoopFor(SdlAudio::kIdleCloseMs + 1000);
    const double before = threadContextSwitches();
    measureIdle(state);
    state.counters["wakeups_per_second_all_threads"] = (threadContextSwitches() - before) / state.range(0);
    state.counters["sound_output_open"] = SdlAudio::instance().outputOpen() ? 1 : 0;
}

// Waiting for the player at the end of the opening scene: the prompt blinks as fast as the timers go.
void BM_IdleBlinkingPrompt(benchmark::State& state) {
    GameWindow window(RUMENA_DEMO_GAME, 1u);
    if (!window.start()) return state.SkipWithError("the demo game did not start");
    Fom& fom = window.game().fom();
    window.deliver([&](Game& g) { g.click("StartCom", 1); });
    for (int i = 0; i < 100 && !(fom.ClickMe.visible && fom.LblShpTim.enabled()); ++i)
        window.deliver([&](Game& g) { g.tick("LblTim"); });
    if (!fom.ClickMe.visible) return state.SkipWithError("the opening scene did not stop at a prompt");
    runEventLoopFor(1000);
    if (!qEnvironmentVariableIsEmpty("RUMENA_BENCH_SHOT"))
        window.grab().save(qEnvironmentVariable("RUMENA_BENCH_SHOT"));
    measureIdle(state);
    state.counters["music_playing"] = window.music().isPlaying() ? 1 : 0;
}

// A small shape that changes form at every tick of the fastest timer, painted antialiased.
class BlinkingShape : public QWidget {
  public:
    using QWidget::QWidget;
    void blink() {
        round_ = !round_;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::cyan);
        if (round_)
            p.drawEllipse(rect());
        else
            p.drawRoundedRect(rect(), 12, 12);
    }

  private:
    bool round_ = false;
};

// A bare window in which one small shape changes form as fast as the timers go: the least a blinking
// prompt can cost, before the game does anything.
void BM_IdleBlinkAlone(benchmark::State& state) {
    QWidget window;
    window.resize(640, 480);
    BlinkingShape shape(&window);
    shape.setGeometry(64, 360, 49, 41);
    window.show();
    QTimer blink;
    QObject::connect(&blink, &QTimer::timeout, &shape, &BlinkingShape::blink);
    blink.start(16);
    runEventLoopFor(1000);
    measureIdle(state);
}

} // namespace

BENCHMARK(BM_IdleTitleMusicOff)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_IdleBlinkAlone)->Arg(5)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_IdleTitleScreen)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_IdleBlinkingPrompt)->Arg(5)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
