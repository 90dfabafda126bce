#include "qt/GameWindow.h"
#include "EventPump.h"
#include "PictureGame.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

int px(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// What the player should see of a control: it and every container above it shown.
bool shownInModel(const Control& c) {
    for (const Control* k = &c; k && k->kind != ControlKind::Window; k = k->container)
        if (!k->visible) return false;
    return true;
}

QRect modelRect(const Control& c) {
    return QRect(px(c.leftTw), px(c.topTw), px(c.widthTw), px(c.heightTw));
}

// Counts the resize events a widget gets.
class ResizeCounter : public QObject {
  public:
    ResizeCounter(QWidget& widget, int& count) : widget_(widget), count_(count) {
        widget.installEventFilter(this);
    }
    ~ResizeCounter() override { widget_.removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Resize) ++count_;
        return false;
    }

  private:
    QWidget& widget_;
    int& count_;
};

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
  public:
    PaintCounter(QWidget& widget, int& count) : widget_(widget), count_(count) {
        widget.installEventFilter(this);
    }
    ~PaintCounter() override { widget_.removeEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count_;
        return false;
    }

  private:
    QWidget& widget_;
    int& count_;
};

// A game whose opening scene shows a picture of four quadrants and two lines, then pauses before a
// jump with the cyan prompt.
class PictureGame : public ::testing::Test {
  protected:
    void SetUp() override {
        game.minimal();
        savePicture(game, "dmy", QImage(8, 8, QImage::Format_RGB32), "PNG");
        savePicture(game, "quad", quadrantPicture(64, 48), "PNG");
        game.lines("txt/opn.dat", {">img>quad", "一行目のテキストです", "二行目のテキストです", ">ive>next"});
        game.lines("txt/next.dat", {"つぎ"});
    }

    GameWindow& startWindow() {
        window = std::make_unique<GameWindow>(game.dir(), 1u);
        EXPECT_TRUE(window->start());
        pumpFor(50);
        return *window;
    }

    Fom& fom() { return window->game().fom(); }

    // Starts an EASY game and ticks the script until its last line shows.
    void playToThePause() {
        window->deliver([&](Game& g) { g.click("StartCom", 0); });
        for (int i = 0; i < 10 && !fom().ClickMe.visible; ++i)
            window->deliver([&](Game& g) { g.tick("LblTim"); });
        ASSERT_EQ(utf8(fom().Lbl[20]->caption), "二行目のテキストです");
        ASSERT_TRUE(fom().ClickMe.visible);
        pumpFor(50);
    }

    // The window as the player sees it, and where Pic lies in it.
    QImage screen() { return window->grab().toImage(); }
    QRect picRect() {
        QWidget* pic = window->widgetOf("Pic");
        return QRect(pic->mapTo(window.get(), QPoint(0, 0)), pic->size());
    }

    // The scene picture should cover the whole of Pic: each corner of Pic shows that corner's colour.
    void expectPictureCoversPic() {
        const QImage shot = screen();
        const QRect r = picRect();
        ASSERT_GT(r.width(), 40);
        const int in = 3;
        EXPECT_TRUE(looksLike(shot.pixelColor(r.left() + in, r.top() + in), kTopLeft))
            << "top left of " << r.width();
        EXPECT_TRUE(looksLike(shot.pixelColor(r.right() - in, r.top() + in), kTopRight));
        EXPECT_TRUE(looksLike(shot.pixelColor(r.left() + in, r.bottom() - in), kBottomLeft));
        EXPECT_TRUE(looksLike(shot.pixelColor(r.right() - in, r.bottom() - in), kBottomRight));
        // And the middle of each quadrant, so a picture drawn at its own size would show.
        EXPECT_TRUE(
            looksLike(shot.pixelColor(r.left() + r.width() * 3 / 4, r.top() + r.height() / 4), kTopRight));
        EXPECT_TRUE(
            looksLike(shot.pixelColor(r.left() + r.width() / 4, r.top() + r.height() * 3 / 4), kBottomLeft));
    }

    TempGame game;
    std::unique_ptr<GameWindow> window;
};

} // namespace

TEST_F(PictureGame, EveryWidgetShowsWhereAndWhetherTheModelSays) {
    GameWindow& w = startWindow();
    auto check = [&](const char* screenName) {
        for (const auto& c : fom().model.controls()) {
            if (c->kind == ControlKind::Window) continue;
            QWidget* widget = w.widgetOf(c->name, c->index);
            ASSERT_NE(widget, nullptr) << c->name;
            const std::string name = c->name + "(" + std::to_string(c->index) + ") on the " + screenName;
            EXPECT_EQ(widget->isVisibleTo(&w), shownInModel(*c)) << name;
            EXPECT_EQ(widget->geometry(), modelRect(*c)) << name;
        }
    };
    ASSERT_TRUE(fom().PicTtl.visible);
    EXPECT_EQ(w.widgetOf("PicTtl")->geometry(), w.rect()) << "the title card covers the window";
    check("title");
    playToThePause();
    check("play screen");
}

TEST_F(PictureGame, ScenePictureTextAndPromptAreDrawn) {
    startWindow();
    window->deliver([&](Game& g) { g.click("StartCom", 0); });
    // The first step shows the picture, the next the first line.
    while (fom().Pic.pictureName != u"quad") window->deliver([&](Game& g) { g.tick("LblTim"); });
    ASSERT_FALSE(fom().ClickMe.visible);
    pumpFor(30);
    expectPictureCoversPic();

    playToThePause();
    const QImage shot = screen();
    // The line's text is painted in the line's purple over the picture.
    const Control& line = *fom().Lbl[20];
    const QRect lineRect = modelRect(line).translated(picRect().topLeft());
    int purple = 0;
    for (int y = lineRect.top(); y <= lineRect.bottom(); ++y)
        for (int x = lineRect.left(); x <= lineRect.right(); ++x)
            if (near(shot.pixelColor(x, y), QColor(100, 0, 100), 20)) ++purple;
    EXPECT_GT(purple, 20) << "the bottom line's text should be drawn in RGB(100, 0, 100)";
    // The empty lines above draw nothing over the picture.
    const QRect emptyLine = modelRect(*fom().Lbl[5]).translated(picRect().topLeft());
    EXPECT_TRUE(looksLike(shot.pixelColor(emptyLine.left() + 10, emptyLine.center().y()), kTopLeft));

    // The cyan prompt blinks in the bottom-right corner of the picture area.
    const QRect prompt = modelRect(fom().ClickMe).translated(picRect().topLeft());
    EXPECT_GT(prompt.left(), picRect().center().x());
    EXPECT_GT(prompt.top(), picRect().center().y());
    EXPECT_TRUE(looksLike(shot.pixelColor(prompt.center()), QColor(0, 255, 255)));

    // A click resumes the story, which ends on the magenta prompt.
    window->deliver([&](Game& g) { g.click("Fom"); });
    for (int i = 0; i < 10 && !fom().ClickMe.visible; ++i)
        window->deliver([&](Game& g) { g.tick("LblTim"); });
    ASSERT_TRUE(fom().ClickMe.visible);
    pumpFor(30);
    EXPECT_TRUE(looksLike(screen().pixelColor(prompt.center()), QColor(255, 0, 255)));
    // Hidden, the prompt leaves the picture as it was.
    window->deliver([&](Game& g) { g.fom().ClickMe.visible = false; });
    pumpFor(30);
    EXPECT_TRUE(looksLike(screen().pixelColor(prompt.center()), kBottomRight));
}

TEST_F(PictureGame, TitleCardIsStretchedOverTheWindow) {
    savePicture(game, "ttl", quadrantPicture(40, 30), "BMP");
    GameWindow& w = startWindow();
    const QImage shot = screen();
    const int in = 3;
    EXPECT_TRUE(looksLike(shot.pixelColor(in, in), kTopLeft));
    EXPECT_TRUE(looksLike(shot.pixelColor(w.width() - 1 - in, in), kTopRight));
    EXPECT_TRUE(looksLike(shot.pixelColor(in, w.height() - 1 - in), kBottomLeft));
    // The difficulty buttons lie over the card.
    QWidget* normal = w.widgetOf("StartCom", 1);
    EXPECT_TRUE(normal->isVisible());
    EXPECT_GT(normal->mapTo(&w, QPoint(0, 0)).y(), w.height() / 2);
}

TEST_F(PictureGame, ResizedWindowKeepsItsShapeAndPicture) {
    GameWindow& w = startWindow();
    playToThePause();
    window->deliver([&](Game& g) { g.fom().ClickMe.visible = false; });

    // 701 pixels: the outer height over 6 ends in a half, which goes to the even neighbour.
    w.resize(1000, 701);
    const double frameHeight = fom().window.frameHeightTw;
    const double outerHeight = 701 * kTwipsPerPixel + frameHeight;
    const double wanted = 8 * std::nearbyint(outerHeight / 6);
    const bool shaped = pumpUntil(
        [&] { return fom().window.widthTw == wanted && w.width() == px(wanted - fom().window.frameWidthTw); },
        5000);
    ASSERT_TRUE(shaped) << "model width " << fom().window.widthTw << " (wanted " << wanted << "), window "
                        << w.width() << " x " << w.height() << " model " << fom().window.widthTw << " x "
                        << fom().window.heightTw << " frame " << fom().window.frameWidthTw << " "
                        << fom().window.frameHeightTw;
    EXPECT_EQ(w.height(), 701) << "the height the player chose stays";
    EXPECT_EQ(fom().window.heightTw, outerHeight);
    EXPECT_DOUBLE_EQ(fom().window.scaleWidth(), 8);
    EXPECT_EQ(w.widgetOf("Pic")->geometry(), modelRect(fom().Pic));
    EXPECT_NEAR(picRect().width(), w.width() * 6 / 8, 1);
    EXPECT_NEAR(picRect().height(), w.height() * 5 / 6, 1);
    pumpFor(30);
    expectPictureCoversPic();

    // It stays put: nothing goes on resizing it.
    const QSize settled = w.size();
    pumpFor(GameWindow::kSettleMs * 2);
    EXPECT_EQ(w.size(), settled);
}

TEST_F(PictureGame, DraggedSideEdgeBringsTheHeightAlong) {
    GameWindow& w = startWindow();
    const int oldHeight = w.height();
    const int dragged = w.width() + 200;
    w.resize(dragged, oldHeight);
    // The game then sets the width from that height, to within a pixel of the one dragged to.
    const Control& win = fom().window;
    ASSERT_TRUE(
        pumpUntil([&] { return w.height() != oldHeight && px(win.innerWidthTw()) == w.width(); }, 5000))
        << w.width() << " x " << w.height() << ", the model " << win.widthTw << " x " << win.heightTw;
    EXPECT_NEAR(w.width(), dragged, 1) << "the width the player dragged to stays";
    EXPECT_NEAR(w.height() + win.frameHeightTw / 15, (w.width() + win.frameWidthTw / 15) * 3 / 4, 2);
    EXPECT_EQ(win.widthTw, 8 * std::nearbyint(win.heightTw / 6));
}

TEST_F(PictureGame, MaximisedWindowIsLaidOutStretched) {
    GameWindow& w = startWindow();
    playToThePause();
    w.showMaximized();
    ASSERT_TRUE(
        pumpUntil([&] { return w.isMaximized() && fom().window.innerWidthTw() == w.width() * 15; }, 5000));
    pumpFor(GameWindow::kSettleMs * 2);
    ASSERT_NE(w.width() * 3, w.height() * 4) << "the test screen should not be 4:3";
    EXPECT_TRUE(w.isMaximized());
    EXPECT_EQ(fom().window.innerWidthTw(), w.width() * kTwipsPerPixel)
        << "a maximised window is not reshaped";
    EXPECT_EQ(fom().window.innerHeightTw(), w.height() * kTwipsPerPixel);
    EXPECT_NEAR(picRect().width(), w.width() * 6 / 8, 1) << "laid out stretched over the whole window";
    EXPECT_NEAR(picRect().height(), w.height() * 5 / 6, 1);

    // Restored, it has its shape again. The window is a whole number of pixels wide, while the game's
    // width, 8 x round(height / 6) twips, needn't be: laid out in the size the window has (as it is
    // until the restored size has settled, or when the window manager keeps a size), the model's
    // width is the window's, which rounding puts within half a pixel of the game's.
    const Control& win = fom().window;
    auto offShape = [&] { return std::abs(win.widthTw - 8 * std::nearbyint(win.heightTw / 6)); };
    w.showNormal();
    ASSERT_TRUE(pumpUntil([&] { return !w.isMaximized() && offShape() <= kTwipsPerPixel / 2; }, 5000))
        << "the model " << win.widthTw << " x " << win.heightTw << ", " << offShape() << " twips off";
    pumpFor(GameWindow::kSettleMs * 2);
    EXPECT_LE(offShape(), kTwipsPerPixel / 2) << win.widthTw << " x " << win.heightTw;
    EXPECT_EQ(w.width(), px(win.innerWidthTw()));
}

TEST_F(PictureGame, DraggingIsNotFoughtAndEndsInShape) {
    GameWindow& w = startWindow();
    int resizes = 0;
    ResizeCounter counter(w, resizes);
    // The player drags a corner: the window follows the pointer and is not put back on every step.
    for (int step = 1; step <= 8; ++step) {
        const QSize dragged(800 + 15 * step, 560 + 9 * step);
        w.resize(dragged);
        pumpFor(15);
        ASSERT_EQ(w.size(), dragged) << "step " << step
                                     << ": the window should stay where the player drags it";
        EXPECT_EQ(px(fom().window.innerWidthTw()), dragged.width())
            << "laid out, stretched, in the dragged size";
    }
    // Let go, it takes its shape with one request of its own.
    const int byPlayer = resizes;
    const Control& win = fom().window;
    ASSERT_TRUE(pumpUntil([&] { return win.widthTw == 8 * std::nearbyint(win.heightTw / 6); }, 5000));
    pumpFor(GameWindow::kSettleMs * 2);
    EXPECT_EQ(px(win.innerWidthTw()), w.width());
    EXPECT_EQ(resizes - byPlayer, 1) << "one resize to the shape, and no more";
}

TEST_F(PictureGame, TheSceneShowsScaledSmoothlyOnceADragHasSettled) {
    const QImage picture = finePattern(320, 240);
    savePicture(game, "quad", picture, "PNG");
    GameWindow& w = startWindow();
    window->deliver([&](Game& g) { g.click("StartCom", 0); });
    while (fom().Pic.pictureName != u"quad") window->deliver([&](Game& g) { g.tick("LblTim"); });
    for (int step = 1; step <= 6; ++step) {
        w.resize(QSize(700 + 23 * step, 520 + 17 * step));
        pumpFor(15);
    }
    pumpFor(GameWindow::kSettleMs * 3);
    // The top half of the picture area, where no line of text has come yet.
    const QRect pic = picRect();
    const QRect top(pic.topLeft(), QSize(pic.width(), pic.height() / 2));
    EXPECT_EQ(shownOnScreen(w, top),
              smoothlyScaled(picture, pic.size()).copy(QRect(QPoint(0, 0), top.size())));
}

TEST_F(PictureGame, ExitWhenShownEndsOnceTheTitleIsPaintedWithoutStartingTheSound) {
    savePicture(game, "ttl", quadrantPicture(64, 48), "PNG");
    GameWindow w(game.dir(), 1u);
    w.exitWhenShown();
    ASSERT_TRUE(w.start());
    // Nothing is painted before the event loop runs.
    int titlePaints = 0;
    PaintCounter counter(*w.widgetOf("PicTtl"), titlePaints);
    // Should the window never end by itself, the test ends it with another status.
    QTimer::singleShot(10000, [] { QApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(titlePaints, 1) << "the title card is painted once before the end";
    EXPECT_TRUE(w.widgetOf("StartCom", 0)->isVisible());
    EXPECT_FALSE(w.music().soundStarted());
}

TEST_F(PictureGame, ALineOfMillionsOfCharactersShowsTheStartThatFits) {
    game.lines("txt/opn.dat",
               {">img>quad", std::string(5'000'000, 'W'), "二行目のテキストです", ">ive>next"});
    startWindow();
    playToThePause();
    EXPECT_EQ(fom().Lbl[19]->caption.size(), 4096u);
    const QImage shot = screen();
    if (const char* dir = std::getenv("RUMENA_SHOTS")) shot.save(QString(dir) + "/long_line.png");
    // The row above the last holds the long line: drawn, in the text's colour, across the row.
    QWidget* row = window->widgetOf("Lbl", 19);
    const QRect r(row->mapTo(window.get(), QPoint(0, 0)), row->size());
    int ink = 0;
    for (int x = r.left(); x < r.right(); ++x)
        for (int y = r.top(); y < r.bottom(); ++y)
            if (qRed(shot.pixel(x, y)) < 160 && qGreen(shot.pixel(x, y)) < 100) ++ink;
    EXPECT_GT(ink, r.width()) << "the long line is not drawn";
}
