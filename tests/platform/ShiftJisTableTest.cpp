#include "platform/ShiftJisTable.h"
#include "platform/TextCodec.h"

#include <gtest/gtest.h>

namespace {

// A table filled from the desktop's own decoder must convert exactly as that decoder does.
const ShiftJisTable& tableFromDesktop() {
    static const ShiftJisTable table([](std::string_view code) { return text::fromShiftJis(code); });
    return table;
}

std::string hex(std::string_view bytes) {
    std::string s;
    char b[4];
    for (char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", static_cast<unsigned char>(c));
        s += b;
    }
    return s;
}

} // namespace

TEST(ShiftJisTable, DecodesEveryOneAndTwoByteCodeAsTheDesktop) {
    int differ = 0;
    for (unsigned code = 0; code < 0x10100 && differ < 10; ++code) {
        const char bytes[2] = {static_cast<char>(code < 0x100 ? code : (code - 0x100) >> 8),
                               static_cast<char>(code & 0xFF)};
        const std::string_view input(bytes + (code < 0x100 ? 1 : 0), code < 0x100 ? 1 : 2);
        if (tableFromDesktop().decode(input) != text::fromShiftJis(input)) {
            ADD_FAILURE() << "decoding " << hex(input);
            ++differ;
        }
    }
}

TEST(ShiftJisTable, EncodesEveryCharacterAsTheDesktop) {
    int differ = 0;
    for (unsigned unit = 0; unit < 0x10000 && differ < 10; ++unit) {
        if (unit >= 0xD800 && unit <= 0xDFFF) continue;
        const char16_t c = static_cast<char16_t>(unit);
        const std::u16string_view input(&c, 1);
        if (tableFromDesktop().encode(input) != text::toShiftJis(input)) {
            ADD_FAILURE() << "encoding U+" << std::hex << unit << ": "
                          << hex(tableFromDesktop().encode(input)) << "against "
                          << hex(text::toShiftJis(input));
            ++differ;
        }
    }
}

TEST(ShiftJisTable, ReplacesBadBytesOneAtATimeInRunningText) {
    // A lead byte before a byte that cannot follow it, a stray 0x80, and a lead byte cut off at the end:
    // each bad byte is one U+FFFD and the text after it reads on.
    const std::string bytes = "\x83\x8B"
                              "a\x81\x20"
                              "b\x80"
                              "c\xA0\xFF\x83\x81\x83";
    EXPECT_EQ(tableFromDesktop().decode(bytes), text::fromShiftJis(bytes));
    EXPECT_EQ(tableFromDesktop().decode(bytes), u"ルa\uFFFD b\uFFFDc\uFFFD\uFFFDメ\uFFFD");
    // Text round-trips, and a character without a code is written as "?".
    EXPECT_EQ(tableFromDesktop().encode(u"ルメナ①≒纊ⅰ\r\n"), text::toShiftJis(u"ルメナ①≒纊ⅰ\r\n"));
    EXPECT_EQ(tableFromDesktop().encode(u"a😀b"), "a??b");
}
