#include "app/GameError.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

struct Playing : StartedGame {
    fs::path dir() const { return game.dir(); }
};

} // namespace

TEST(BonusPage, CopiesTheSourceByteForByteAndShowsTheNotice) {
    Playing p;
    // Shift-JIS text, an empty line, bytes that are no Shift-JIS at all, and a last line without an end.
    p.game.bytes("txt/omake.dat", "<p>\x83\x8B\x83\x81\x83\x69</p>\r\n\r\n\xA0\x83\nlast");
    // An older, longer page of the same name is replaced, not added to.
    p.game.bytes("page1.html", std::string(500, 'x'));
    Fom& f = p.fom();
    f.MakeBonusPage(u"omake", u"page1");
    EXPECT_EQ(fileBytes(p.dir() / "page1.html"),
              "<p>\x83\x8B\x83\x81\x83\x69</p>\r\n\r\n\xA0\x83\r\nlast\r\n");
    EXPECT_TRUE(f.HtmlToolLbl.visible);
    EXPECT_TRUE(f.HtmlToolLbl.enabled);
    EXPECT_EQ(utf8(f.HtmlToolLbl.caption), "おまけが制作されました。\r\n（page1.html）");
    EXPECT_EQ(utf8(f.HtmlToolLbl.toolTipText), "page1.html");
    EXPECT_FALSE(fs::exists(p.dir() / "page1.html.tmp"));
}

TEST(BonusPage, TheNoticeNamesTheLastPageAndAClickOpensIt) {
    Playing p;
    p.game.bytes("txt/a.dat", "");
    p.game.lines("txt/b.dat", {"<html>"});
    fs::create_directory(p.dir() / "pages");
    Fom& f = p.fom();
    f.MakeBonusPage(u"a", u"empty");
    f.MakeBonusPage(u"b", u"pages\\second");
    EXPECT_EQ(fileBytes(p.dir() / "empty.html"), "");
    EXPECT_EQ(fileBytes(p.dir() / "pages" / "second.html"), "<html>\r\n");
    EXPECT_EQ(utf8(f.HtmlToolLbl.caption), "おまけが制作されました。\r\n（pages\\second.html）");

    ASSERT_EQ(p.w->router.click("HtmlToolLbl", -1), EventRouter::Result::Delivered);
    EXPECT_EQ(p.w->fake.desktop.opened, (std::vector<std::string>{f.BaseDir + "pages/second.html"}));
    EXPECT_FALSE(f.HtmlToolLbl.visible);
    EXPECT_EQ(p.w->router.click("HtmlToolLbl", -1), EventRouter::Result::Ignored);
}

TEST(BonusPage, APageNoBrowserOpensIsNamedInAMessageAndTheGameGoesOn) {
    Playing p;
    p.game.lines("txt/src.dat", {"<html>"});
    p.game.lines("txt/next.dat", {"つづき"});
    Fom& f = p.fom();
    f.MakeBonusPage(u"src", u"omake");
    p.w->fake.desktop.noViewer = true;
    ASSERT_EQ(p.w->router.click("HtmlToolLbl", -1), EventRouter::Result::Delivered);
    ASSERT_EQ(p.w->fake.desktop.messages.size(), 1u);
    const std::string& message = p.w->fake.desktop.messages[0];
    EXPECT_NE(message.find("omake.html"), std::string::npos) << message;
    EXPECT_NE(message.find("ゲームのフォルダに書き出してあります"), std::string::npos) << message;
    EXPECT_NE(message.find(f.BaseDir + "omake.html"), std::string::npos) << message;
    EXPECT_FALSE(f.HtmlToolLbl.visible);
    f.GoToScene(u"next");
    EXPECT_TRUE(f.LblTim.enabled());
}

TEST(BonusPage, APageNameThatLeavesTheGameFolderIsAScriptErrorAndWritesNothing) {
    Playing p;
    p.game.lines("txt/src.dat", {"<html>"});
    fs::create_directory(p.dir() / "sub");
    const std::string outside = (p.dir().parent_path() / "rumena-escaped").string();
    const std::vector<std::string> names = {
        outside, "\\escaped", "../escaped", "..\\escaped", "sub/../../escaped", "C:escaped",  "c:\\escaped",
        "CON",   "nul",       "Com1",       "LPT9.page",   "sub\\aux",          "bad\x01name"};
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        EXPECT_THROW(p.fom().MakeBonusPage(u"src", u16(name)), GameError);
    }
    EXPECT_FALSE(fs::exists(outside + ".html"));
    EXPECT_FALSE(fs::exists(p.dir().parent_path() / "escaped.html"));
    for (const auto& entry : fs::recursive_directory_iterator(p.dir()))
        EXPECT_NE(entry.path().extension(), ".html") << entry.path();
    EXPECT_FALSE(p.fom().HtmlToolLbl.visible);
}

TEST(BonusPage, AMissingSourceIsAScriptErrorThatLeavesNoPage) {
    Playing p;
    p.game.bytes("old.html", "kept");
    try {
        p.fom().MakeBonusPage(u"nowhere", u"old");
        FAIL() << "no error";
    } catch (const GameError& e) {
        EXPECT_NE(std::string(e.what()).find("nowhere.dat"), std::string::npos) << e.what();
    }
    EXPECT_EQ(fileBytes(p.dir() / "old.html"), "kept");
    EXPECT_FALSE(fs::exists(p.dir() / "old.html.tmp"));
}
