#include "platform/TextCodec.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <iconv.h>
#include <random>

namespace {

// Shift-JIS as the C library's converter reads it, a call for the whole text: each byte it rejects,
// or a lead byte cut off at the end, is one U+FFFD and it reads on with the next byte.
std::u16string decodedByIconv(std::string_view bytes) {
    iconv_t cd = iconv_open("UTF-16LE", "CP932");
    std::string out(bytes.size() * 2 + 2, '\0');
    char* src = const_cast<char*>(bytes.data());
    std::size_t srcLeft = bytes.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    while (srcLeft > 0 && iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) break;
        *dst++ = static_cast<char>(0xFD), *dst++ = static_cast<char>(0xFF), dstLeft -= 2;
        ++src, --srcLeft;
    }
    iconv_close(cd);
    std::u16string text;
    for (const char* p = out.data(); p + 1 < dst; p += 2)
        text +=
            static_cast<char16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
    return text;
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

TEST(TextCodec, DecodesEveryOneAndTwoByteCodeAsTheConverter) {
    int differ = 0;
    for (unsigned code = 0; code < 0x10100 && differ < 10; ++code) {
        const char bytes[2] = {static_cast<char>(code < 0x100 ? code : (code - 0x100) >> 8),
                               static_cast<char>(code & 0xFF)};
        const std::string_view input(bytes + (code < 0x100 ? 1 : 0), code < 0x100 ? 1 : 2);
        if (text::fromShiftJis(input) != decodedByIconv(input)) {
            ADD_FAILURE() << "decoding " << hex(input);
            ++differ;
        }
    }
}

TEST(TextCodec, DecodesRunningTextAsTheConverter) {
    // Short runs of the bytes where decoders go wrong: lead bytes, the edges of the trail range, bytes
    // that are no character, half-width kana, line ends and ASCII, each run decoded at once.
    const unsigned char kBytes[] = {0x81, 0x82, 0x83, 0x87, 0x88, 0x9F, 0xE0, 0xEA, 0xED, 0xEE, 0xEF, 0xF0,
                                    0xF9, 0xFA, 0xFC, 0x40, 0x7E, 0x7F, 0x80, 0x8B, 0x9E, 0xA0, 0xA1, 0xDF,
                                    0xFD, 0xFE, 0xFF, 0x00, 0x0A, 0x0D, 0x20, 0x3F, 0x5C, 0x61};
    std::mt19937 random(932);
    std::uniform_int_distribution<std::size_t> length(1, 8), pick(0, sizeof kBytes - 1);
    int differ = 0;
    for (int run = 0; run < 20000 && differ < 10; ++run) {
        std::string bytes(length(random), '\0');
        for (char& b : bytes) b = static_cast<char>(kBytes[pick(random)]);
        if (text::fromShiftJis(bytes) != decodedByIconv(bytes)) {
            ADD_FAILURE() << "decoding " << hex(bytes);
            ++differ;
        }
    }
}

TEST(TextCodec, AppendsAfterTheTextThereIs) {
    std::u16string t = u"前";
    text::appendFromShiftJis("\x83\x8B\xA0"
                             "a\x83",
                             t);
    EXPECT_EQ(t, u"前ル\uFFFDa\uFFFD");
    text::appendFromShiftJis("", t);
    EXPECT_EQ(t, u"前ル\uFFFDa\uFFFD");
}
