#include "EventPump.h"
#include "PictureGame.h"
#include "qt/GameWindow.h"

#include <QMouseEvent>
#include <QPixmap>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

const QColor kBox(0, 255, 255), kBar(199, 21, 113), kBorder(0, 0, 0);

int px(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}

// A game whose opening scene shows a picture of four quadrants and asks a two-answer question.
class QuestionWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        game.minimal();
        savePicture(game, "dmy", QImage(8, 8, QImage::Format_RGB32), "PNG");
        savePicture(game, "quad", quadrantPicture(64, 48), "PNG");
        game.lines("txt/opn.dat", {">img>quad", ">qst", "はい>yes", "いいえ>no", ">qstend"});
        game.lines("txt/yes.dat", {"はいの場面"});
        game.lines("txt/no.dat", {"いいえの場面"});
        window = std::make_unique<GameWindow>(game.dir(), 1u);
        ASSERT_TRUE(window->start());
        window->deliver([&](Game& g) { g.click("StartCom", 0); });
        for (int i = 0; i < 10 && !fom().QstTim.enabled(); ++i)
            window->deliver([&](Game& g) { g.tick("LblTim"); });
        ASSERT_TRUE(fom().QstTim.enabled()) << "the question should have begun";
        pumpFor(50);
    }

    Fom& fom() { return window->game().fom(); }
    QImage screen() { return window->grab().toImage(); }
    // Where a control inside Pic lies in the window, by the model.
    QRect onScreen(const Control& c) {
        const QPoint pic = window->widgetOf("Pic")->mapTo(window.get(), QPoint(0, 0));
        return QRect(px(c.leftTw), px(c.topTw), px(c.widthTw), px(c.heightTw)).translated(pic);
    }
    void expectWidgetWhereTheModelSays(const Control& c) {
        QWidget* w = window->widgetOf(c.name, c.index);
        const std::string name = c.name + "(" + std::to_string(c.index) + ")";
        EXPECT_TRUE(w->isVisibleTo(window.get())) << name;
        EXPECT_EQ(QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size()), onScreen(c)) << name;
    }
    // A left-button event on a control's widget, at a point well inside it, as the player gives it.
    void mouse(const Control& c, QEvent::Type type) {
        QWidget* w = window->widgetOf(c.name, c.index);
        const QPointF at(6, w->height() / 2.0);
        QMouseEvent event(type, at, w->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &event);
        pumpFor(30);
    }

    TempGame game;
    std::unique_ptr<GameWindow> window;
};

} // namespace

TEST_F(QuestionWindow, AnswersAndBoxesAreDrawnInTheirSlots) {
    const QImage shot = screen();
    for (int i = 0; i < 2; ++i) {
        const Control &label = *fom().QstLBl[i], &box = *fom().QstShp[i];
        expectWidgetWhereTheModelSays(label);
        expectWidgetWhereTheModelSays(box);
        // The box is filled cyan without a border; the answer's text lies over a box at the right.
        const QRect b = onScreen(box);
        EXPECT_TRUE(looksLike(shot.pixelColor(b.left() + 4, b.center().y()), kBox)) << "box " << i;
        EXPECT_TRUE(looksLike(shot.pixelColor(b.left() + 1, b.top() + 1), kBox)) << "box " << i;
        const QRect l = onScreen(label);
        int white = 0;
        for (int y = l.top(); y <= l.bottom(); ++y)
            for (int x = l.center().x(); x <= l.right(); ++x)
                if (near(shot.pixelColor(x, y), QColor(255, 255, 255), 30)) ++white;
        EXPECT_GT(white, 10) << "answer " << i << " should show its caption in white";
    }
    // The two answers take the two slots, one each.
    EXPECT_NE(fom().QstLBl[0]->topTw, fom().QstLBl[1]->topTw);
}

TEST_F(QuestionWindow, TheCountdownBarGrowsAsTheModelSays) {
    const Control& bar = fom().QstTimShp;
    for (int i = 0; i < 10; ++i) window->deliver([&](Game& g) { g.tick("QstTim"); });
    pumpFor(30);
    // The window's own countdown runs too, so the ticks are counted rather than assumed.
    auto expectedWidth = [&] {
        return fom().QstTimLbl.widthTw / kTwipsPerPixel / 30 * fom().question.QstCount;
    };
    ASSERT_GE(fom().question.QstCount, 10);
    expectWidgetWhereTheModelSays(bar);
    const QRect r = onScreen(bar);
    EXPECT_NEAR(r.width(), expectedWidth(), 1);
    // The bar is an outline in its border colour; past its end the picture shows.
    const QImage shot = screen();
    EXPECT_TRUE(looksLike(shot.pixelColor(r.center().x(), r.top()), kBar));
    EXPECT_TRUE(looksLike(shot.pixelColor(r.left(), r.center().y()), kBar));
    EXPECT_TRUE(looksLike(shot.pixelColor(r.right() + 3, r.top()), kTopRight));

    for (int i = 0; i < 10; ++i) window->deliver([&](Game& g) { g.tick("QstTim"); });
    pumpFor(30);
    ASSERT_GE(fom().question.QstCount, 20);
    expectWidgetWhereTheModelSays(bar);
    EXPECT_NEAR(onScreen(bar).width(), expectedWidth(), 1);
}

TEST_F(QuestionWindow, APressedAnswerShowsItsBorderAndAClickTakesIt) {
    const Control& answer = *fom().QstLBl[0];
    const QRect l = onScreen(answer);
    const QPoint edge(l.left(), l.center().y());
    const QColor before = screen().pixelColor(edge);
    ASSERT_FALSE(near(before, kBorder)) << "the edge should not look like a border before the press";

    mouse(answer, QEvent::MouseButtonPress);
    EXPECT_EQ(answer.borderStyle, BorderStyle::Single);
    const QImage pressed = screen();
    EXPECT_TRUE(looksLike(pressed.pixelColor(edge), kBorder));
    EXPECT_TRUE(looksLike(pressed.pixelColor(l.center().x(), l.top()), kBorder));

    mouse(answer, QEvent::MouseButtonRelease);
    EXPECT_EQ(answer.borderStyle, BorderStyle::None);
    EXPECT_EQ(std::filesystem::path(fom().script.file.path()).stem().string(), "yes")
        << "the release is a click";
    EXPECT_FALSE(fom().QstTim.enabled());
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(window->widgetOf("QstLBl", i)->isVisible());
        EXPECT_FALSE(window->widgetOf("QstShp", i)->isVisible());
    }
    EXPECT_FALSE(window->widgetOf("QstTimShp")->isVisible());
}
