// The bonus page: a script copies a prepared HTML text into a page in the game folder, and a notice
// lets the player open it.
#include "app/Fom.h"
#include "extras/PageName.h"
#include "platform/Desktop.h"
#include "platform/FileReplace.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

#include <algorithm>

namespace {

std::string pagePath(const std::string& baseDir, const std::u16string& fileName) {
    std::string path = baseDir + text::toUtf8(fileName);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace

void Fom::MakeBonusPage(const std::u16string& sourceName, const std::u16string& pageName) {
    if (!pagename::isSafe(pageName)) scriptError(pagename::kUnsafe);
    const std::string sourcePath = textFile(sourceName);
    std::string source;
    if (!readWholeFile(sourcePath, source))
        scriptError("the bonus page's source " + sourcePath + " cannot be opened");

    HtmlToolLbl.borderStyle = BorderStyle::None;
    HtmlToolLbl.caption = u"おまけ制作中";
    HtmlToolLbl.visible = true;
    HtmlToolLbl.enabled = false;

    // The page is the source's lines, byte for byte, each ended by CR LF. It is written whole or not at
    // all, so a failure never leaves half a page.
    std::string page;
    for (const auto& line : TextFile::splitByteLines(source)) page += line + "\r\n";
    const std::u16string fileName = pageName + u".html";
    std::string why;
    const std::string path = pagePath(BaseDir, fileName);
    const bool written =
        platform.writePage ? platform.writePage(path, page, why) : replaceWholeFile(path, page, why);
    if (!written) scriptError("the bonus page cannot be written: " + why);

    HtmlToolLbl.enabled = true;
    HtmlToolLbl.caption = u"おまけが制作されました。\r\n（" + fileName + u"）";
    HtmlToolLbl.toolTipText = fileName;
}

void Fom::HtmlToolLbl_Click() {
    const std::string path = pagePath(BaseDir, HtmlToolLbl.toolTipText);
    HtmlToolLbl.visible = false;
    // Without a browser to start, the player is told where the page is, and the game goes on.
    if (!platform.desktop.openFile(path))
        platform.desktop.messageBox(text::toUtf8(u"おまけ（" + HtmlToolLbl.toolTipText +
                                                 u"）をブラウザーで開けませんでした。\r\n"
                                                 u"ゲームのフォルダに書き出してあります：\r\n") +
                                    path);
}

void Fom::HtmlToolLbl_MouseDown() {
    HtmlToolLbl.borderStyle = BorderStyle::Single;
}

void Fom::HtmlToolLbl_MouseUp() {
    HtmlToolLbl.borderStyle = BorderStyle::None;
}
