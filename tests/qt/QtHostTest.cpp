#include <QApplication>
#include <gtest/gtest.h>
int main(int argc, char** argv) {
    // The window is rendered offscreen, on a screen of a common desktop's size: the tests never need a
    // display, and the window never asks for more than the screen has.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") qputenv("QT_QPA_PLATFORM", RUMENA_DESKTOP_SCREEN);
    // The sound server the music plays to: the runtime folder of the tests' own, or "none" for the silent
    // run, which has no server to reach.
    const QByteArray server = qgetenv("RUMENA_TEST_SOUND_SERVER");
    if (server == "none") {
        qputenv("RUMENA_EXPECT_SOUND", "0");
        qputenv("PULSE_SERVER", "unix:/nonexistent/rumena-no-sound-server");
    } else if (!server.isEmpty()) {
        qputenv("RUMENA_EXPECT_SOUND", "1");
        qputenv("XDG_RUNTIME_DIR", server);
        qputenv("PULSE_SERVER", "unix:" + server + "/pulse/native");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
