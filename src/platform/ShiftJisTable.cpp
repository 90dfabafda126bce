#include "platform/ShiftJisTable.h"

#include <cstdint>
#include <utility>

namespace {

constexpr char16_t kReplacement = u'\uFFFD';

bool isLead(unsigned byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Several codes stand for the same character (the NEC and IBM extensions repeat one another). The
// standard rows win, then NEC's row 13 and the IBM extension rows, and NEC's copies of the IBM
// extension (lead bytes 0xED and 0xEE) last, as the system code page writes them.
int preference(unsigned code) {
    const unsigned lead = code >> 8;
    return lead == 0xED || lead == 0xEE ? 1 : 0;
}

// Characters of JIS X 0208 for which code page 932 decodes to look-alikes of its own (¥ for the
// byte 0x5C, ～ for 〜, and so on) are still written, as the code of the look-alike.
constexpr std::pair<char16_t, std::uint16_t> kWrittenAsLookAlikes[] = {
    {u'\u00A2', 0x8191}, {u'\u00A3', 0x8192}, {u'\u00A5', 0x5C},   {u'\u00AC', 0x81CA}, {u'\u2014', 0x815C},
    {u'\u2016', 0x8161}, {u'\u203E', 0x7E},   {u'\u2212', 0x817C}, {u'\u301C', 0x8160},
};

} // namespace

ShiftJisTable::ShiftJisTable(const CodeDecoder& decodeCode) : pairs_(0x10000, kNone), codes_(0x10000, 0) {
    auto one = [&](std::string_view code) {
        const std::u16string c = decodeCode(code);
        return c.size() == 1 && c[0] != kReplacement ? c[0] : kNone;
    };
    for (unsigned b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        single_[b] = one(std::string_view(&byte, 1));
    }
    for (unsigned lead = 0; lead < 256; ++lead) {
        if (!isLead(lead)) continue;
        for (unsigned trail = 0; trail < 256; ++trail) {
            const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            pairs_[lead << 8 | trail] = one(std::string_view(code, 2));
        }
    }
    buildCodes();
}

ShiftJisTable::ShiftJisTable(const std::array<char16_t, 256>& single, std::vector<char16_t> pairs)
    : single_(single), pairs_(std::move(pairs)), codes_(0x10000, 0) {
    pairs_.resize(0x10000, kNone);
    buildCodes();
}

void ShiftJisTable::buildCodes() {
    // The encoding table: the one-byte codes, then the two-byte codes in order of preference.
    std::vector<int> rank(0x10000, 3);
    for (unsigned b = 0; b < 256; ++b)
        if (single_[b] != kNone) {
            codes_[single_[b]] = static_cast<std::uint16_t>(b);
            rank[single_[b]] = -1;
        }
    for (unsigned code = 0; code < 0x10000; ++code) {
        const char16_t c = pairs_[code];
        if (c == kNone || preference(code) >= rank[c]) continue;
        codes_[c] = static_cast<std::uint16_t>(code);
        rank[c] = preference(code);
    }
    for (auto [c, code] : kWrittenAsLookAlikes)
        if (rank[c] == 3) codes_[c] = code;
}

std::u16string ShiftJisTable::decode(std::string_view bytes) const {
    std::u16string out;
    decodeOnto(bytes, out);
    return out;
}

void ShiftJisTable::decodeOnto(std::string_view bytes, std::u16string& text) const {
    // Every byte gives at most one character, so the text is written straight into its place.
    const std::size_t start = text.size();
    text.resize(start + bytes.size());
    char16_t* out = text.data() + start;
    auto alone = [this](unsigned b) { return single_[b] != kNone ? single_[b] : kReplacement; };
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = in + bytes.size();
    // Every byte with one after it is looked up as the start of a two-byte code: the table holds
    // nothing for a byte that is no lead byte.
    while (end - in >= 2) {
        const char16_t c = pairs_[in[0] << 8 | in[1]];
        if (c != kNone) {
            *out++ = c;
            in += 2;
        } else {
            *out++ = alone(*in++);
        }
    }
    if (in != end) *out++ = alone(*in);
    text.resize(static_cast<std::size_t>(out - text.data()));
}

std::string ShiftJisTable::encode(std::u16string_view text) const {
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t c : text) {
        const std::uint16_t code = codes_[c];
        const bool hasCode = code != 0 || c == 0;
        if (!hasCode)
            out.push_back('?');
        else if (code > 0xFF)
            out += {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        else
            out.push_back(static_cast<char>(code));
    }
    return out;
}
