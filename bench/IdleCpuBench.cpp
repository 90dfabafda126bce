// CPU use of the window left alone on the title screen while the title music loops: the whole
// process (the window, the music watchdog and the media player's own threads), as a share of one core.
#include "BenchApp.h"
#include "qt/GameWindow.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <sys/resource.h>

namespace {

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Runs the event loop as the program does, sleeping until something happens.
void runEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void BM_IdleTitleScreen(benchmark::State& state) {
    const int seconds = static_cast<int>(state.range(0));
    GameWindow window(RUMENA_DEMO_GAME, 1u);
    if (!window.start()) {
        state.SkipWithError("the demo game did not start");
        return;
    }
    // Let start-up, the first paint and the music's start settle.
    runEventLoopFor(1000);
    const bool playing = window.music().isPlaying();
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        runEventLoopFor(seconds * 1000);
        const double elapsed = wall.nsecsElapsed() / 1e9;
        state.SetIterationTime(elapsed);
        state.counters["cpu_percent_of_one_core"] = 100 * (processCpuSeconds() - cpuBefore) / elapsed;
    }
    state.counters["music_playing"] = playing ? 1 : 0;
}

} // namespace

BENCHMARK(BM_IdleTitleScreen)->Arg(10)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
