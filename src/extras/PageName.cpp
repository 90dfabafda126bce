#include "extras/PageName.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace pagename {

const char* const kUnsafe =
    "the bonus page must be written inside the game folder: a name without a drive, a "
    "leading \"\\\", \"..\" or a device name";

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

} // namespace

bool isSafe(const std::u16string& name) {
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

} // namespace pagename
