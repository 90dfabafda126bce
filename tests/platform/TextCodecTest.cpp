#include "platform/TextCodec.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <iconv.h>
#include <random>

namespace {

// Shift-JIS as the C library's converter reads it in one call: a byte it rejects, or a lead byte cut
// off at the end, is one U+FFFD, and it reads on with the next byte.
std::u16string decodedByIconv(const std::string& bytes) {
    static const iconv_t cd = iconv_open("UTF-16LE", "CP932");
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(bytes.size() * 2, '\0');
    char* src = const_cast<char*>(bytes.data());
    char* dst = out.data();
    std::size_t srcLeft = bytes.size(), dstLeft = out.size();
    while (srcLeft > 0 && iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) &&
           errno != E2BIG)
        *dst++ = '\xFD', *dst++ = '\xFF', dstLeft -= 2, ++src, --srcLeft;
    std::u16string text;
    for (const char* p = out.data(); p < dst; p += 2)
        text +=
            static_cast<char16_t>(static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8);
    return text;
}

} // namespace

TEST(TextCodec, DecodesAsTheConverterDoes) {
    // Every one- and two-byte code, then short runs of the bytes where decoders go wrong: lead bytes,
    // the edges of the trail range, bytes that are no character, half-width kana and line ends.
    std::vector<std::string> inputs;
    for (int a = 0; a < 256; ++a) {
        inputs.emplace_back(1, static_cast<char>(a));
        for (int b = 0; b < 256; ++b) inputs.push_back({static_cast<char>(a), static_cast<char>(b)});
    }
    const char kBytes[] =
        "\x81\x83\x87\x9F\xE0\xEA\xED\xEE\xEF\xFA\xFC\x40\x7E\x7F\x80\xA0\xA1\xDF\xFD\xFF\r\n a";
    std::mt19937 random(932);
    std::uniform_int_distribution<std::size_t> length(3, 8), pick(0, sizeof kBytes - 2);
    for (int run = 0; run < 20000; ++run) {
        std::string bytes(length(random), '\0');
        for (char& b : bytes) b = kBytes[pick(random)];
        inputs.push_back(bytes);
    }
    int differ = 0;
    for (const std::string& bytes : inputs)
        if (text::fromShiftJis(bytes) != decodedByIconv(bytes) && ++differ <= 10)
            ADD_FAILURE() << "decoding " << ::testing::PrintToString(bytes);
}
