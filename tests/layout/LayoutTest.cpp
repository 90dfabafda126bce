#include "support/TestGame.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct Laid {
    TempGame game;
    std::unique_ptr<TestWindow> w;
    Laid() {
        game.minimal(7);
        w = std::make_unique<TestWindow>(game);
        w->start();
    }
    Fom& fom() { return w->fom; }
    void resize(double widthTw, double heightTw) {
        fom().window.widthTw = widthTw;
        fom().window.heightTw = heightTw;
        fom().Form_Resize();
    }
};

} // namespace

TEST(Layout, KeepsTheShapeAndTakesFontsFromTheHeight) {
    Laid t;
    t.resize(20000, 9195);
    Fom& f = t.fom();
    EXPECT_EQ(f.window.widthTw, 12256); // 9195 / 6 = 1532.5 rounds to the even 1532
    EXPECT_EQ(f.menuLbl.fontSize, 12);
    EXPECT_EQ(f.DayDate.fontSize, 36);
    EXPECT_EQ(f.HtmlToolLbl.fontSize, 18);
    EXPECT_EQ(f.DataLbl[0]->fontSize, 9);
    EXPECT_EQ(f.Lbl[7]->fontSize, 12);
    EXPECT_EQ(f.StartCom[2]->fontSize, 12);
    EXPECT_DOUBLE_EQ(f.window.scaleWidth(), 8);
    EXPECT_DOUBLE_EQ(f.window.scaleHeight(), 6);
}

TEST(Layout, PlacesTheGridTextLinesAndColumn) {
    Laid t;
    t.resize(12256, 9195);
    Fom& f = t.fom();
    auto at = [](const Control* c) {
        return std::vector<double>{c->left(), c->top(), c->width(), c->height()};
    };
    EXPECT_EQ(at(f.DataLbl[0]), (std::vector<double>{1, 0, 1, 1}));
    EXPECT_EQ(at(f.DataLbl[8]), (std::vector<double>{9, 0, 1, 1}));
    EXPECT_EQ(at(f.DataLbl[9]), (std::vector<double>{1, 1, 1, 1}));
    EXPECT_EQ(at(f.DataNameLbl[3]), (std::vector<double>{0, 3, 1, 1}));
    EXPECT_DOUBLE_EQ(f.DataPic.scaleWidth(), 10);
    EXPECT_DOUBLE_EQ(f.DataPic.scaleHeight(), 7);

    // Pic is in pixels after the layout; its scale was 100 x 110 while the lines were placed.
    const double unitX = f.Pic.widthTw / 100, unitY = f.Pic.heightTw / 110;
    for (int i = 0; i < 21; ++i) {
        EXPECT_NEAR(f.Lbl[i]->topTw, 5 * i * unitY, 1e-6);
        EXPECT_NEAR(f.Lbl2[i]->topTw, f.Lbl[i]->topTw - 0.2 * unitY, 1e-6);
        EXPECT_NEAR(f.Lbl2[i]->leftTw, -0.2 * unitX, 1e-6);
        EXPECT_NEAR(f.Lbl3[i]->leftTw, 0.2 * unitX, 1e-6);
    }
    EXPECT_EQ(f.Pic.scaleMode, ScaleMode::Pixels);
    EXPECT_EQ(f.question.QstTop[0], static_cast<int>(std::lround(35 * unitY / 15)));
    EXPECT_EQ(f.question.QstTop[1], static_cast<int>(std::lround(45 * unitY / 15)));
    EXPECT_NEAR(f.com[6]->top(), 1.8, 1e-9);
    EXPECT_NEAR(f.Lst.top(), 2.1, 1e-9);
    EXPECT_NEAR(f.Lst.height(), 3.9, 1e-9);
    EXPECT_NEAR(f.ClickMe.leftTw, 90 * unitX, 1e-6);
}

TEST(Layout, BelowEightHundredTwipsOnlyTheWidthChanges) {
    Laid t;
    t.resize(12256, 9195);
    const double lineTop = t.fom().Lbl[3]->topTw;
    t.resize(5000, 600);
    EXPECT_EQ(t.fom().window.widthTw, 800);
    EXPECT_EQ(t.fom().Lbl[3]->topTw, lineTop);
    EXPECT_EQ(t.fom().menuLbl.fontSize, 12);
}

TEST(Layout, AFixedWindowIsStretchedButNotReshaped) {
    Laid t;
    t.fom().windowSizeFixed = true;
    t.resize(28800, 15000);
    EXPECT_EQ(t.fom().window.widthTw, 28800);
    EXPECT_DOUBLE_EQ(t.fom().Pic.widthTw, 28800 * 6 / 8.0);
}

TEST(Layout, RepaintsTheTitleOrTheScene) {
    Laid t;
    t.game.bytes("grf/ttl.dat", "PICTURE 8 6");
    t.game.bytes("grf/pic.dat", "PICTURE 4 3");
    t.resize(12256, 9195);
    EXPECT_EQ(utf8(t.fom().PicTtl.pictureName), "ttl");
    t.fom().StartCom_Click(1);
    t.fom().ShowPicture(u"pic");
    t.fom().ClearPicture();
    t.resize(16000, 12000);
    EXPECT_EQ(utf8(t.fom().Pic.pictureName), "pic");
    EXPECT_TRUE(t.fom().Pic.visible);
}

TEST(Layout, ALongCommandListLeavesTheStatusListNoRoomRatherThanFailing) {
    TempGame game;
    game.minimal(25);
    TestWindow w(game);
    w.start();
    EXPECT_EQ(w.fom.Lst.heightTw, 0);
}
