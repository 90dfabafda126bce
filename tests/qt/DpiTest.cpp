#include "EventPump.h"
#include "qt/GameWindow.h"
#include "support/TestGame.h"

#include <QFontInfo>
#include <cmath>
#include <gtest/gtest.h>

// Run at the offscreen screen's 96 dots an inch and again at 144 (a high-density screen with no
// scaling), the game keeps its proportions: twips follow the screen's logical resolution.
TEST(Dpi, TwipsFollowTheScreensLogicalResolution) {
    TempGame game;
    game.minimal();
    game.lines("txt/opn.dat", {"一行目", "二行目", ">ive>opn"});
    GameWindow window(game.dir(), 1u);
    ASSERT_TRUE(window.start());
    window.deliver([&](Game& g) { g.click("StartCom", 0); });
    for (int i = 0; i < 3; ++i) window.deliver([&](Game& g) { g.tick("LblTim"); });
    pumpFor(50);
    Fom& fom = window.game().fom();

    const double perPixel = 1440.0 / window.logicalDpiY();
    EXPECT_DOUBLE_EQ(fom.window.heightTw, window.stage()->height() * perPixel + fom.window.frameHeightTw);
    QWidget* line = window.widgetOf("Lbl", 20);
    EXPECT_EQ(line->height(), static_cast<int>(std::lround(fom.Lbl[20]->heightTw / perPixel)));
    // The story's text stands in the same proportion to the window at any resolution.
    const double textToWindow = QFontInfo(line->font()).pixelSize() / double(window.stage()->height());
    EXPECT_GT(textToWindow, 0.020) << "at " << window.logicalDpiY() << " dpi";
    EXPECT_LT(textToWindow, 0.032) << "at " << window.logicalDpiY() << " dpi";
}
