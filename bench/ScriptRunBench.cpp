// The interpreter's own speed: the headless driver opens a 200,000-line scene script and runs it to its
// end (story text with flag, love and picture-clearing commands between the lines), with no window.
#include "BenchApp.h"
#include "headless/HeadlessHost.h"
#include "platform/TextCodec.h"
#include "qt/QtPictureLoader.h"

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

constexpr int kLines = 200000;

// The demo game whose opening scene is a long script.
class LongScriptGame {
  public:
    LongScriptGame() {
        std::filesystem::copy(RUMENA_DEMO_GAME, dir_.path().toStdString(),
                              std::filesystem::copy_options::recursive);
        std::ofstream out(dir_.filePath("txt/opn.dat").toStdString(), std::ios::binary | std::ios::trunc);
        const char16_t* lines[] = {u"町の通りを歩いていると、イリスが手をふっていた。",
                                   u">on>1,2",
                                   u"「こんにちは、今日はいい天気だね」",
                                   u">love>2,3",
                                   u"リナは本を読んでいる。",
                                   u">gn>0",
                                   u"ガクが遠くで何かを叫んでいる。",
                                   u">off>1,2",
                                   u"空には雲ひとつない。",
                                   u">cn>2"};
        for (int i = 0; i < kLines; ++i) out << text::toShiftJis(lines[i % 10]) << "\r\n";
        bytes_ = static_cast<double>(out.tellp());
    }
    std::string dir() const { return dir_.path().toStdString(); }
    double bytes() const { return bytes_; }

  private:
    QTemporaryDir dir_;
    double bytes_ = 0;
};

void BM_RunLongScript(benchmark::State& state) {
    LongScriptGame game;
    for (auto _ : state) {
        std::istringstream commands("click StartCom 0\ntick LblTim " + std::to_string(kLines + 10) +
                                    "\ndump ScriptOpen\n");
        std::ostringstream out, err;
        QtPictureLoader pictures;
        const int status = runHeadless(game.dir(), 1u, pictures, commands, out, err);
        if (status != 0) return state.SkipWithError(("the driver stopped: " + err.str()).c_str());
        benchmark::DoNotOptimize(out.str());
    }
    state.counters["lines_per_second"] =
        benchmark::Counter(static_cast<double>(kLines) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["script_bytes"] = game.bytes();
}

} // namespace

BENCHMARK(BM_RunLongScript)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv);
}
