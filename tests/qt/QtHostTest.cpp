#include <QApplication>
#include <gtest/gtest.h>
int main(int argc, char** argv) {
    // The window is rendered offscreen: the tests never need a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
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
