#include "qt/QtHost.h"

#include "qt/GameWindow.h"
#include "qt/QtPictureLoader.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

void prepareDesktop() {
    // On X11 the window's pixels go to the server over the connection, not through shared memory: the
    // blinking prompt repaints the same small square sixty times a second, and with shared memory every
    // repaint of a square just sent waits for a round trip to the server. A player's own setting of the
    // variable stands.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
}

void speakThePlayersLanguage(QCoreApplication& app) {
    // The messages rumena adds, in the desktop's language where the catalogue has it: beside the
    // installed program, or in this build.
    static QTranslator translator;
    const QStringList folders = {QCoreApplication::applicationDirPath() + "/../share/rumena/i18n",
#ifdef RUMENA_BUILD_TRANSLATIONS
                                 QStringLiteral(RUMENA_BUILD_TRANSLATIONS)
#endif
    };
    for (const QString& folder : folders)
        if (translator.load(QLocale(), "rumena", "_", QDir::cleanPath(folder))) {
            app.installTranslator(&translator);
            return;
        }
}

int runQtHost(int argc, char* argv[], const QtHostOptions& options) {
    prepareDesktop();
    QApplication app(argc, argv);
    speakThePlayersLanguage(app);
    QApplication::setApplicationName("rumena");
    QApplication::setDesktopFileName("rumena");
    GameWindow window(options.gameDir, options.seed);
    if (options.fullscreen) window.setFullScreen(true);
    if (options.exitWhenShown) window.exitWhenShown();
    if (options.start) window.startAt(*options.start);
    if (!window.start()) return 1;
    return QApplication::exec();
}

int withQtPictures(int argc, char* argv[], const std::function<int(PictureLoader&)>& run) {
    QCoreApplication app(argc, argv); // for the picture decoders' plug-ins
    QtPictureLoader pictures;
    return run(pictures);
}

std::string qtVersion() {
    return qVersion();
}
