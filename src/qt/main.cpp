// rumena: plays the story game in a window, or headless for scripted play-throughs.
#include "headless/HeadlessHost.h"
#include "qt/QtHost.h"
#include "qt/QtPictureLoader.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <filesystem>
#include <iostream>

namespace {

std::string executableFolder() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription("Plays the story game ルメナ from its game folder.");
    parser.addHelpOption();
    QCommandLineOption headless("headless", "Run without a window, driven by commands on standard input.");
    QCommandLineOption seed("seed", "Seed the random generator with N instead of the clock.", "N");
    parser.addOption(headless);
    parser.addOption(seed);
    parser.addPositionalArgument("GAME_DIR", "The game folder, holding txt/, grf/ and the music "
                                             "(default: the folder of the executable).");
    if (!parser.parse(arguments)) {
        std::cerr << "rumena: " << parser.errorText().toStdString() << "\n"
                  << parser.helpText().toStdString();
        return 2;
    }
    if (parser.isSet("help")) {
        std::cout << parser.helpText().toStdString();
        return 0;
    }
    const QStringList rest = parser.positionalArguments();
    if (rest.size() > 1) {
        std::cerr << "rumena: give at most one game folder\n";
        return 2;
    }
    const std::string gameDir = rest.isEmpty() ? executableFolder() : rest.front().toStdString();

    std::optional<unsigned> fixedSeed;
    if (parser.isSet(seed)) {
        bool ok = false;
        fixedSeed = parser.value(seed).toUInt(&ok);
        if (!ok) {
            std::cerr << "rumena: --seed needs a whole number\n";
            return 2;
        }
    }

    if (parser.isSet(headless)) {
        QCoreApplication app(argc, argv); // for the picture decoders' plug-ins; no display needed
        QtPictureLoader pictures;
        return runHeadless(gameDir, fixedSeed, pictures, std::cin, std::cout, std::cerr);
    }
    return runQtHost(argc, argv, gameDir, fixedSeed);
}
