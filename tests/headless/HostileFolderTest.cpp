// Game folders made to hurt the player's machine: each run through the headless driver must end in
// the documented error path or play on, within a few seconds and a small, fixed amount of memory.
#include "platform/TextCodec.h"
#include "support/ChildRun.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// The address sanitizer keeps freed memory aside and shadows the rest: its figures are not the game's.
constexpr long kCeilingKiB = 1024 * 1024;
#else
constexpr long kCeilingKiB = 160 * 1024;
#endif

class HostileFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "rumena-hostile-XXXXXX").string();
        work = mkdtemp(pattern.data());
        game = work / "game";
        fs::create_directories(game / "txt");
        fs::create_directories(game / "grf");
        write("txt/com.dat", "\x88\xEA\r\n");
        write("txt/hint.dat", "");
    }
    void TearDown() override { fs::remove_all(work); }

    void write(const std::string& path, const std::string& bytes) {
        std::ofstream out(game / path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    // Plays the opening scene: the difficulty is chosen and the story read on line by line, through
    // the pause before a jump.
    ChildRun play(const std::string& driver = "click StartCom 0\ntick LblTim 4\nclick Pic\ntick LblTim 4\n",
                  long ceilingKiB = kCeilingKiB) {
        {
            std::ofstream in(work / "driver.txt", std::ios::binary);
            in << driver;
        }
        ChildRun run = runChild({RUMENA_BINARY, "--headless", "--seed", "1", game.string()},
                                (work / "driver.txt").string(), 60);
        EXPECT_FALSE(run.timedOut) << "the run did not end";
        EXPECT_LT(run.peakKiB, ceilingKiB) << "peak resident memory in KiB";
        return run;
    }

    fs::path work, game;
};

// The error event's text, as JSON spells it.
std::string errorLine(const ChildRun& run) {
    auto at = run.out.find("{\"event\":\"error\"");
    return at == std::string::npos ? "" : run.out.substr(at, run.out.find('\n', at) - at);
}

TEST_F(HostileFolder, ControlCharactersInAnyFileNameAreAScriptErrorNamingTheLine) {
    // The NUL would end the path in the C library, leave the ".dat" off and open /etc/passwd.
    const std::string nul(1, '\0');
    const std::vector<std::string> lines = {
        ">ive>../../../../../../etc/passwd" + nul, ">img>../../../../../../dev/zero" + nul,
        ">bgm>../../../../../../dev/stdin" + nul, ">html>../../../../../../etc/passwd" + nul + ">page",
        ">ive>tab\there"};
    for (const auto& line : lines) {
        SCOPED_TRACE(line);
        write("txt/opn.dat", "\x95\xB6\r\n" + line + "\r\n\x95\xB6\r\n");
        ChildRun run = play();
        EXPECT_EQ(run.exitStatus, 3);
        const std::string error = errorLine(run);
        EXPECT_NE(error.find("txt/opn.dat, line 2: "), std::string::npos) << error;
        EXPECT_NE(error.find("holds a control character"), std::string::npos) << error;
        // The quoted line shows the character and goes on past it.
        EXPECT_NE(error.find(line.find('\t') != std::string::npos ? "tab\\\\x09here" : "\\\\x00"),
                  std::string::npos)
            << error;
        EXPECT_EQ(error.find("root:"), std::string::npos) << "a file outside the game was read";
    }
}

TEST_F(HostileFolder, APipeAFolderOrADeviceAsAScriptIsAnErrorNamingTheFile) {
    ASSERT_EQ(mkfifo((game / "txt/pipe.dat").c_str(), 0600), 0);
    fs::create_directories(game / "txt/dir.dat");
    fs::create_symlink("/dev/zero", game / "txt/zero.dat");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"pipe", "pipe.dat: the scene script is not a regular file"},
        {"dir", "dir.dat: the scene script is a folder, not a file"},
        {"zero", "zero.dat: the scene script is not a regular file"}};
    for (const auto& [scene, message] : cases) {
        SCOPED_TRACE(scene);
        write("txt/opn.dat", ">ive>" + scene + "\r\n");
        ChildRun run = play();
        EXPECT_EQ(run.exitStatus, 3);
        EXPECT_NE(errorLine(run).find(message), std::string::npos) << errorLine(run);
    }
}

TEST_F(HostileFolder, ACommandListLongerThanThePanelCanHoldIsAnError) {
    std::string lines;
    for (int i = 0; i < 1'000'000; ++i) lines += "\r\n";
    write("txt/com.dat", lines);
    ChildRun run = play("dump DataLbl 8\n");
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_NE(errorLine(run).find("com.dat: the command list has more than 1000 lines"), std::string::npos)
        << errorLine(run);

    // A full panel still plays, and one cell is dumped without the rest.
    write("txt/com.dat", std::string(lines, 0, 2000));
    run = play("dump DataLbl 8999\ndump com 999\n");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("\"Caption\":\"9\""), std::string::npos);
}

TEST_F(HostileFolder, HugeNamesAndLinesCostTimeAndMemoryInProportion) {
    std::string name;
    for (int i = 0; i < 5'000'000; ++i) name += "a/";
    const std::string line(5'000'000, 'x');
    write("txt/opn.dat", ">img>" + name + "\r\n" + line + "\r\n>bgm>" + name + "\r\n" + line + "\r\n");
    // The script is 30 MB: it may cost a few times that while a line is read and acted on, no more.
    ChildRun run = play("click StartCom 0\ntick LblTim 5\ndump Pic\n", kCeilingKiB + 160 * 1024);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("\"Picture\":\"\""), std::string::npos) << "no picture has such a name";

    // A jump to a scene of that name is an error whose message names the start of it: no file has it.
    write("txt/opn.dat", ">ive>" + name + "\r\n");
    run = play();
    EXPECT_EQ(run.exitStatus, 3);
    EXPECT_NE(errorLine(run).find("bytes): the scene script cannot be opened"), std::string::npos);
    EXPECT_LT(errorLine(run).size(), 4096u);
}

std::string bmpHeader(int width, int height, std::size_t pixelBytes) {
    std::string b(54, '\0');
    auto put32 = [&](int at, long v) {
        for (int i = 0; i < 4; ++i)
            b[static_cast<std::size_t>(at + i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, 54 + static_cast<long>(pixelBytes));
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    b[26] = 1, b[28] = 24;
    return b + std::string(pixelBytes, '\x40');
}

TEST_F(HostileFolder, PicturesThatLieAboutTheirSizeOrStopShortFailQuietly) {
    // 50000 x 50000 pixels would take 10 GB decoded; the header alone must not make the game try.
    write("grf/huge.dat", bmpHeader(50000, 50000, 0));
    // A picture cut off half-way shows what it holds, or nothing.
    write("grf/cut.dat", bmpHeader(200, 200, 200 * 3 * 100));
    write("grf/empty.dat", "");
    write("txt/opn.dat", ">img>huge\r\n\x95\xB6\r\n>img>cut\r\n\x95\xB6\r\n>img>empty\r\n\x95\xB6\r\n");
    ChildRun run = play("click StartCom 0\ntick LblTim 2\ndump Pic\ntick LblTim\ntick LblTim\ntick LblTim\n"
                        "tick LblTim\ndump Pic\n");
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(run.out.find("\"Picture\":\"\"}"), std::string::npos) << run.out;
}

TEST_F(HostileFolder, DriverNumbersAreDigitsAndLongLinesAreEchoedShort) {
    write("txt/opn.dat", "\x95\xB6\r\n");
    for (const std::string bad : {"click com -7", "tick LblTim -1", "click StartCom +0", "menu m_tim 1e1",
                                  "dump DataLbl 99999999999"}) {
        SCOPED_TRACE(bad);
        ChildRun run = play(bad + "\ndump TurnCount\n");
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_EQ(run.err.rfind("driver: ", 0), 0u) << run.err;
        EXPECT_EQ(run.out.find("\"state\""), std::string::npos) << "the command after it ran";
    }
    ChildRun run = play(std::string(100u << 20, 'z') + "\n");
    EXPECT_EQ(run.exitStatus, 2);
    EXPECT_LT(run.err.size(), 400u) << run.err.substr(0, 400);
}

} // namespace
