// What the player waits for and what the music costs in memory: the time from the program's start to
// the first painted title screen, and the resident memory at the title screen with a short and a long
// piece of title music. Each figure is best taken in a fresh process (one --benchmark_filter a run):
// the first start pays for loading the sound libraries, and memory once taken is rarely given back.
#include "BenchApp.h"
#include "qt/GameWindow.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

// Milliseconds since this process was started by exec.
double msSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    // The fields after the command name; the start time is field 22, in clock ticks since boot.
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i < 22; ++i) rest >> field;
    unsigned long long startTicks = 0;
    rest >> startTicks;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long statusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::string(key).size() + 1));
    return 0;
}

void runEventLoopFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Notes the moment the window is first painted.
class PaintWatch : public QObject {
  public:
    double firstPaintMs = -1;
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && firstPaintMs < 0 && object->isWidgetType())
            firstPaintMs = msSinceProcessStart();
        return false;
    }
};

void BM_ExecToFirstPaint(benchmark::State& state) {
    for (auto _ : state) {
        PaintWatch watch;
        qApp->installEventFilter(&watch);
        GameWindow window(RUMENA_DEMO_GAME, 1u);
        if (!window.start()) return state.SkipWithError("the demo game did not start");
        QElapsedTimer waited;
        waited.start();
        while (watch.firstPaintMs < 0 && waited.elapsed() < 5000) runEventLoopFor(1);
        qApp->removeEventFilter(&watch);
        state.SetIterationTime(watch.firstPaintMs / 1000);
        state.counters["exec_to_first_paint_ms"] = watch.firstPaintMs;
    }
}

// The demo game with title music of about the given length: raw MP3 frames of a short sample, repeated.
std::string gameWithTitleMusic(const QTemporaryDir& dir, int seconds) {
    const std::filesystem::path game = dir.path().toStdString();
    std::filesystem::copy(RUMENA_DEMO_GAME, game, std::filesystem::copy_options::recursive);
    QFile sample(RUMENA_TEST_DATA "/short.mp3");
    sample.open(QIODevice::ReadOnly);
    const QByteArray frames = sample.readAll();
    // The sample lasts 0.47 seconds.
    QFile music(QString::fromStdString((game / "opn.mp3").string()));
    music.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (int i = 0; i < seconds * 100 / 47 + 1; ++i) music.write(frames);
    return game.string();
}

void BM_TitleScreenMemory(benchmark::State& state) {
    const int seconds = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const std::string game = gameWithTitleMusic(dir, seconds);
    for (auto _ : state) {
        GameWindow window(game, 1u);
        if (!window.start()) return state.SkipWithError("the game did not start");
        runEventLoopFor(4000);
        state.counters["rss_mib"] = statusKb("VmRSS:") / 1024.0;
        state.counters["peak_rss_mib"] = statusKb("VmHWM:") / 1024.0;
        state.counters["music_playing"] = window.music().isPlaying() ? 1 : 0;
    }
}

} // namespace

BENCHMARK(BM_ExecToFirstPaint)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TitleScreenMemory)->Arg(5)->Arg(180)->Arg(7200)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
