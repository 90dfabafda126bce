// A copy of a running game: taken mid-scene, kept as text and read back into another game on the same
// folder, it plays on exactly as the original does; one of another folder is refused and changes nothing.
#include "app/Fom.h"
#include "game/Game.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct Played {
    FakePlatform fake;
    Game game;
    explicit Played(const std::string& dir) : game(fake.platform, dir) {
        game.load();
        game.activate();
    }
    // Everything the game can read or show, as it stands.
    std::vector<ControlState> controls() const {
        std::vector<ControlState> all;
        for (const auto& c : game.fom().model.controls()) all.push_back(c->state());
        return all;
    }
    // One step as a player and the timers would take it; the same sequence in two alike games.
    void step(int k) {
        Fom& f = game.fom();
        fake.random.values = {0.9f};
        if (f.LblTim.enabled())
            game.tick("LblTim");
        else if (game.textAreaReachable() && f.ClickMe.fillColor == rgb(0, 255, 255))
            game.advance();
        else if (f.QstTim.enabled())
            game.click("QstLBl", 1);
        else
            game.click("com", k % 6);
    }
};

} // namespace

TEST(Snapshot, ACopyKeptAsTextPlaysOnAsTheOriginalAndOneOfAnotherFolderIsRefused) {
    TempGame folder;
    fs::copy(RUMENA_DEMO_GAME, folder.dir(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    folder.bytes("grf/ttl.dat", "PICTURE 778 583");
    Played original(folder.dir()), copy(folder.dir());
    original.game.click("StartCom", 1);
    // Into the third scene, stopped between two of its lines.
    for (int k = 0; k < 60; ++k) original.step(k);
    ASSERT_TRUE(original.game.fom().script.file.isOpen());

    std::string why;
    const auto read = Snapshot::fromText(original.game.snapshot().text(), why);
    ASSERT_TRUE(read) << why;
    ASSERT_EQ(copy.game.restore(*read, &why), Outcome::Delivered) << why;
    EXPECT_EQ(copy.controls(), original.controls());
    for (int k = 0; k < 400; ++k) {
        original.step(k);
        copy.step(k);
        ASSERT_EQ(copy.game.fom().game, original.game.fom().game) << "step " << k;
        ASSERT_EQ(copy.controls(), original.controls()) << "step " << k;
        ASSERT_EQ(copy.game.fom().script.currentLineNumber, original.game.fom().script.currentLineNumber);
    }

    // A snapshot of a game with other controls leaves the game as it was.
    TempGame other;
    other.minimal(3);
    Played small(other.dir());
    const auto before = copy.controls();
    EXPECT_EQ(copy.game.restore(small.game.snapshot(), &why), Outcome::Ignored);
    EXPECT_NE(why.find("another game folder"), std::string::npos) << why;
    EXPECT_EQ(copy.controls(), before);
    // A text that is no snapshot names its line.
    EXPECT_FALSE(Snapshot::fromText("controls 3\nnonsense\n", why));
    EXPECT_NE(why.find("line"), std::string::npos) << why;
}
