#include "platform/ShiftJisCodes.h"

#include "platform/TextCodec.h"

std::u16string shiftJisEveryCode() {
    std::u16string out;
    for (unsigned code = 0; code < 0x100 + 0x10000; ++code) {
        const char one = static_cast<char>(code);
        const char two[2] = {static_cast<char>((code - 0x100) >> 8), static_cast<char>(code & 0xFF)};
        const std::u16string t = code < 0x100 ? text::fromShiftJis(std::string_view(&one, 1))
                                              : text::fromShiftJis(std::string_view(two, 2));
        out.push_back(static_cast<char16_t>(t.size()));
        out += t;
    }
    for (unsigned unit = 0; unit < 0x10000; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;
        const char16_t c = static_cast<char16_t>(unit);
        const std::string b = text::toShiftJis(std::u16string_view(&c, 1));
        const unsigned first = static_cast<unsigned char>(b[0]);
        out.push_back(
            static_cast<char16_t>(b.size() == 2 ? first << 8 | static_cast<unsigned char>(b[1]) : first));
    }
    return out;
}
