// The bundled story in the window: its title, a scene with text, a question, the map, the status list
// and a night scene, each grabbed into build/.../tests/demo-shots/ for a person to look at.
#include "EventPump.h"
#include "qt/GameWindow.h"
#include "support/TestGame.h"

#include <QImage>
#include <QPixmap>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>

namespace fs = std::filesystem;

namespace {

class DemoWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::copy(RUMENA_DEMO_GAME, game.dir(),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::create_directories(kShots);
        window = std::make_unique<GameWindow>(game.dir(), 1u);
        ASSERT_TRUE(window->start());
        pumpFor(100);
    }

    Fom& fom() { return window->game().fom(); }

    // Saves what the window shows now and returns it.
    QImage shot(const std::string& name) {
        window->sync();
        pumpFor(50);
        const QImage image = window->grab().toImage();
        image.save(QString::fromStdString((kShots / (name + ".png")).string()));
        return image;
    }

    // Reads on until the story waits for the command panel or asks a question.
    void read() {
        for (int i = 0; i < 500; ++i) {
            if (fom().LblTim.enabled())
                window->deliver([&](Game& g) { g.tick("LblTim"); });
            else if (fom().ClickMe.visible && fom().ClickMe.fillColor == rgb(0, 255, 255))
                window->deliver([&](Game& g) { g.click("Fom"); });
            else
                return;
        }
    }

    void choose(int row) {
        window->deliver([&](Game& g) { g.click("com", row); });
        read();
    }

    // How many different colours a region of the picture area holds: a drawn picture has many, an
    // empty area one.
    static int colours(const QImage& image, QRect r) {
        std::set<QRgb> seen;
        for (int y = r.top(); y < r.bottom(); y += 7)
            for (int x = r.left(); x < r.right(); x += 7) seen.insert(image.pixel(x, y));
        return static_cast<int>(seen.size());
    }

    const fs::path kShots = fs::path(RUMENA_SHOT_DIR);
    TempGame game;
    std::unique_ptr<GameWindow> window;
};

} // namespace

TEST_F(DemoWindow, TitleTextQuestionMapAndStatusList) {
    const QImage title = shot("title");
    EXPECT_GT(colours(title, title.rect()), 20);
    EXPECT_TRUE(fom().PicTtl.visible);

    window->deliver([&](Game& g) { g.click("StartCom", 0); });
    // The opening scene pauses on its first picture change; by then some lines of text are up.
    for (int i = 0; i < 12; ++i) window->deliver([&](Game& g) { g.tick("LblTim"); });
    const QImage text = shot("text");
    EXPECT_FALSE(fom().PicTtl.visible);
    EXPECT_FALSE(fom().Lbl[20]->caption.empty() && fom().Lbl[19]->caption.empty());
    read();

    choose(5); // day 1: Iori on the hill
    choose(0); // day 2: Iori at the harbour, and a page blown toward the sea
    ASSERT_TRUE(fom().QstTim.enabled());
    const QImage question = shot("question");
    EXPECT_TRUE(window->widgetOf("QstLBl", 0)->isVisible());
    EXPECT_GT(colours(question, window->widgetOf("Pic")->geometry()), 20);
    window->deliver([&](Game& g) { g.click("QstLBl", 0); });
    read();

    window->deliver([&](Game& g) { g.menu("m_map"); });
    shot("map");
    EXPECT_TRUE(fom().DataPic.visible);
    window->deliver([&](Game& g) { g.menu("m_map"); });

    window->deliver([&](Game& g) { g.menu("m_list"); });
    shot("status");
    EXPECT_TRUE(fom().Lst.visible);
}

TEST_F(DemoWindow, TextStaysReadableOverTheNightPictures) {
    window->deliver([&](Game& g) { g.click("StartCom", 1); });
    read();
    // The lamp room at night, as the command panel opens it.
    window->deliver([&](Game& g) {
        g.fom().ShowPicture(u"m_5");
        g.fom().GoToScene(u"m_5");
    });
    read();
    const QImage night = shot("night");
    EXPECT_GT(colours(night, window->widgetOf("Pic")->geometry()), 20);
    EXPECT_FALSE(fom().Lbl[20]->caption.empty() && fom().Lbl[19]->caption.empty());
}
