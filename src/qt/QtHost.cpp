#include "qt/QtHost.h"

#include "qt/GameWindow.h"

#include <QApplication>

int runQtHost(int argc, char* argv[], const std::string& gameDir, std::optional<unsigned> seed,
              bool exitWhenShown) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("rumena");
    GameWindow window(gameDir, seed);
    if (exitWhenShown) window.exitWhenShown();
    if (!window.start()) return 1;
    return QApplication::exec();
}
