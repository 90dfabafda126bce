#include "qt/QtHost.h"

#include "qt/GameWindow.h"

#include <QApplication>
#include <QIcon>

int runQtHost(int argc, char* argv[], const QtHostOptions& options) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("rumena");
    QApplication::setDesktopFileName("rumena");
    QApplication::setWindowIcon(QIcon(":/rumena/rumena.svg"));
    GameWindow window(options.gameDir, options.seed);
    if (options.fullscreen) window.setFullScreen(true);
    if (options.exitWhenShown) window.exitWhenShown();
    if (!window.start()) return 1;
    return QApplication::exec();
}
