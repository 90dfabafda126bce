// Publishing a story: its site (refused with errors, without what play-throughs wrote, each picture
// once, named after the story) and its package (installed, it plays from its desktop entry).
#include "support/Shell.h"
#include "support/TestGame.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

// A story made with --new, named in its file, with what play-throughs leave behind.
void newStory(const std::string& dir) {
    ASSERT_EQ(shell(std::string(RUMENA_CHECK) + " --new " + q(dir)).status, 0);
    std::ofstream(dir + "/story.txt")
        << "title: 灯台の町\nauthor: 花子\ndescription: 岬の物語\nname: mytale\n";
    std::ofstream(dir + "/txt/save.dat") << "0\r\n";
    // The scripts write this page; a play-through left it in the folder.
    std::ofstream(dir + "/txt/omake.dat") << "<html></html>\r\n";
    std::ofstream(dir + "/txt/end.dat", std::ios::app) << ">html>omake>bonus\r\n";
    std::ofstream(dir + "/bonus.html") << "<html></html>\r\n";
}

} // namespace

TEST(Publish, ASiteRefusesErrorsLeavesOutWhatPlayThroughsWroteAndStoresEachPictureOnce) {
    TempGame game;
    const std::string dir = game.dir() + "/tale", site = game.dir() + "/site";
    newStory(dir);
    // A broken line: the site is not made, unless the author insists.
    std::ofstream(dir + "/txt/opn.dat", std::ios::app) << ">gn>9\r\n";
    ShellRun refused = shell(std::string(RUMENA_CHECK) + " --site " + q(site) + " " + q(dir));
    EXPECT_EQ(refused.status, 1) << refused.out;
    EXPECT_NE(refused.out.find("opn.dat:"), std::string::npos) << "the errors are listed: " << refused.out;
    EXPECT_FALSE(fs::exists(site));
    ShellRun forced = shell(std::string(RUMENA_CHECK) + " --force --site " + q(site) + " " + q(dir));
    if (forced.out.find("browser's engine is not here") != std::string::npos) GTEST_SKIP() << forced.out;
    ASSERT_EQ(forced.status, 1) << "the errors still count: " << forced.out;
    EXPECT_TRUE(std::regex_search(
        forced.out,
        std::regex(
            "site: .* \\(灯台の町\\): [0-9]+ files, [0-9]+ KB; the page fetches [0-9]+ KB before the title")))
        << forced.out;

    const auto list = nlohmann::json::parse(fileBytes(site + "/game/files.json"));
    std::map<std::string, std::pair<long, long>> at;
    for (const auto& pack : list["packs"])
        for (const auto& f : pack["files"])
            at[f[0].get<std::string>()] = {f[1].get<long>(), f[2].get<long>()};
    EXPECT_FALSE(at.count("txt/save.dat")) << "the save slot is the player's";
    EXPECT_FALSE(fs::exists(site + "/game/bonus.html"));
    EXPECT_TRUE(at.count("txt/omake.dat")) << "the page's source stays: the game writes it again";
    // --new draws each place's pictures in a few plain colours: the copies share one place in the pack.
    std::set<std::pair<long, long>> distinct;
    std::size_t pictures = 0;
    for (const auto& [path, where] : at)
        if (path.rfind("grf/", 0) == 0) distinct.insert(where), ++pictures;
    EXPECT_LT(distinct.size(), pictures);
    EXPECT_NE(fileBytes(site + "/index.html").find("<title>灯台の町</title>"), std::string::npos);
    const auto manifest = nlohmann::json::parse(fileBytes(site + "/manifest.webmanifest"));
    EXPECT_EQ(manifest["name"], "灯台の町");
    EXPECT_EQ(fileBytes(site + "/icon-512.png").substr(1, 3), "PNG");
    EXPECT_NE(fileBytes(site + "/sw.js").find(list["version"].get<std::string>()), std::string::npos)
        << "the service worker keeps this version of the site";
}

TEST(Publish, AStorysPackageInstallsItWithADesktopEntryThatPlaysIt) {
    TempGame game;
    const std::string dir = game.dir() + "/tale", out = game.dir() + "/out", root = game.dir() + "/root";
    newStory(dir);
    ShellRun made = shell(std::string(RUMENA_CHECK) + " --package " + q(out) + " " + q(dir));
    ASSERT_EQ(made.status, 0) << made.out;
    const std::string deb = out + "/rumena-story-mytale_1.0_all.deb";
    ASSERT_TRUE(fs::exists(deb)) << made.out;
    EXPECT_EQ(shell("dpkg-deb -f " + q(deb) + " Depends").out, "rumena\n");
    EXPECT_EQ(shell("dpkg-deb -f " + q(deb) + " Architecture").out, "all\n");
    ASSERT_EQ(shell("dpkg-deb -x " + q(deb) + " " + q(root)).status, 0);
    const std::string installed = root + "/usr/share/rumena/games/mytale";
    EXPECT_TRUE(fs::exists(installed + "/txt/com.dat"));
    EXPECT_FALSE(fs::exists(installed + "/txt/save.dat"));
    EXPECT_FALSE(fs::exists(installed + "/bonus.html"));
    const std::string entry = root + "/usr/share/applications/rumena-mytale.desktop";
    const ShellRun valid = shell("desktop-file-validate " + q(entry));
    EXPECT_EQ(valid.status, 0) << valid.out;
    EXPECT_TRUE(fs::exists(root + "/usr/share/icons/hicolor/256x256/apps/rumena-mytale.png"));
    // The entry's command, with the installed folder where this test installed it, plays the story.
    std::smatch exec;
    const std::string desktop = fileBytes(entry);
    ASSERT_TRUE(std::regex_search(desktop, exec, std::regex("Exec=rumena (/usr/share/rumena/games/mytale)")));
    EXPECT_NE(desktop.find("Name=灯台の町"), std::string::npos);
    std::ofstream(game.dir() + "/driver.txt") << "click StartCom 1\ntick LblTim 3\ndump DayDate\nquit\n";
    const ShellRun played = shell(std::string(RUMENA_BINARY) + " --headless " + q(root + exec[1].str()) +
                                  " < " + q(game.dir() + "/driver.txt"));
    EXPECT_EQ(played.status, 0) << played.out;
    EXPECT_NE(played.out.find("games/mytale/bgm.mp3"), std::string::npos) << played.out;
}
