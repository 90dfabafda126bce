// The bonus page: a script copies a prepared HTML text into a page in the game folder, and a notice
// lets the player open it.
#include "app/Fom.h"
#include "platform/Desktop.h"
#include "platform/FileReplace.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

// Windows keeps these names for devices in every folder, whatever extension follows them.
bool isDeviceName(std::u16string part) {
    part = part.substr(0, part.find(u'.'));
    while (!part.empty() && part.back() == u' ') part.pop_back();
    for (auto& c : part)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    static constexpr std::array<std::u16string_view, 5> kDevices = {u"CON", u"PRN", u"AUX", u"NUL",
                                                                    u"CONIN$"};
    if (std::find(kDevices.begin(), kDevices.end(), part) != kDevices.end() || part == u"CONOUT$")
        return true;
    return part.size() == 4 && (part.starts_with(u"COM") || part.starts_with(u"LPT")) && part[3] >= u'0' &&
           part[3] <= u'9';
}

// Whether a page of this name stays inside the game folder: no root, no drive, no way up, no device
// and no control characters. Folders below the game folder are allowed, with "\" or "/".
bool isSafePageName(const std::u16string& name) {
    if (name.empty()) return true;
    if (name.front() == u'/' || name.front() == u'\\') return false;
    std::u16string part;
    auto partIsSafe = [&part] { return part != u".." && !isDeviceName(part); };
    for (char16_t c : name) {
        if (c < 0x20 || c == 0x7F || c == u':') return false;
        if (c == u'/' || c == u'\\') {
            if (!partIsSafe()) return false;
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    return partIsSafe();
}

std::string pagePath(const std::string& baseDir, const std::u16string& fileName) {
    std::string path = baseDir + text::toUtf8(fileName);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

} // namespace

void Fom::MakeBonusPage(const std::u16string& sourceName, const std::u16string& pageName) {
    if (!isSafePageName(pageName))
        scriptError("the bonus page must be written inside the game folder: a name without a drive, a "
                    "leading \"\\\", \"..\" or a device name");
    const std::string sourcePath = textFile(sourceName);
    std::string source;
    if (!readWholeFile(sourcePath, source))
        scriptError("the bonus page's source " + sourcePath + " cannot be opened");

    HtmlToolLbl.borderStyle = 0;
    HtmlToolLbl.caption = u"おまけ制作中";
    HtmlToolLbl.visible = true;
    HtmlToolLbl.enabled = false;

    // The page is the source's lines, byte for byte, each ended by CR LF. It is written whole or not at
    // all, so a failure never leaves half a page.
    std::string page;
    for (const auto& line : TextFile::splitByteLines(source)) page += line + "\r\n";
    const std::u16string fileName = pageName + u".html";
    std::string why;
    if (!replaceWholeFile(pagePath(BaseDir, fileName), page, why))
        scriptError("the bonus page cannot be written: " + why);

    HtmlToolLbl.enabled = true;
    HtmlToolLbl.caption = u"おまけが制作されました。\r\n（" + fileName + u"）";
    HtmlToolLbl.toolTipText = fileName;
}

void Fom::HtmlToolLbl_Click() {
    platform.desktop.openFile(pagePath(BaseDir, HtmlToolLbl.toolTipText));
    HtmlToolLbl.visible = false;
}

void Fom::HtmlToolLbl_MouseDown() {
    HtmlToolLbl.borderStyle = 1;
}

void Fom::HtmlToolLbl_MouseUp() {
    HtmlToolLbl.borderStyle = 0;
}
