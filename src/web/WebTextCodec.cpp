// The text conversions of the browser build. Emscripten's C library has no code page 932, so
// Shift-JIS goes through a table that the browser's own Shift-JIS decoder fills once; UTF-8 is
// converted here.
#include "platform/ShiftJisTable.h"
#include "platform/TextCodec.h"

#include <emscripten.h>

#include <array>
#include <utility>
#include <vector>

// Fills the tables with what TextDecoder("shift_jis") makes of every code: single[b] for the one-byte
// code b, pairs[lead << 8 | trail] for the two-byte codes; 0xFFFF where the code is not one
// character. The two-byte codes of a lead byte are decoded in one pass: an invalid pair gives U+FFFD,
// followed by the trail byte itself when that is ASCII, as the decoder's standard says. (The body
// passes through the C preprocessor, which splits "=>" and "===": it uses neither.)
// clang-format off
EM_JS(void, rumena_shift_jis_table, (char16_t* single, char16_t* pairs), {
    const decoder = new TextDecoder("shift_jis");
    const one = (bytes) => {
        const t = decoder.decode(bytes);
        return t.length == 1 && t.charCodeAt(0) != 0xFFFD ? t.charCodeAt(0) : 0xFFFF;
    };
    for (let b = 0; b < 256; ++b) HEAPU16[(single >> 1) + b] = one(new Uint8Array([b]));
    for (let lead = 0; lead < 256; ++lead) {
        const base = (pairs >> 1) + (lead << 8);
        const isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
        if (!isLead) {
            HEAPU16.fill(0xFFFF, base, base + 256);
            continue;
        }
        const codes = new Uint8Array(512);
        for (let t = 0; t < 256; ++t) codes[2 * t] = lead, codes[2 * t + 1] = t;
        const text = decoder.decode(codes);
        let k = 0;
        for (let t = 0; t < 256; ++t) {
            const c = text.charCodeAt(k);
            if (c != 0xFFFD)
                HEAPU16[base + t] = c, k += 1;
            else
                HEAPU16[base + t] = 0xFFFF, k += t < 0x80 ? 2 : 1;
        }
        if (k != text.length) // not as the standard says: ask code by code
            for (let t = 0; t < 256; ++t) HEAPU16[base + t] = one(new Uint8Array([ lead, t ]));
    }
});
// clang-format on

namespace text {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

const ShiftJisTable& shiftJis() {
    static const ShiftJisTable table([] {
        std::array<char16_t, 256> single{};
        std::vector<char16_t> pairs(0x10000);
        rumena_shift_jis_table(single.data(), pairs.data());
        // The one byte 0x80 is not a character of the code page: the desktop's decoder rejects it,
        // where the browser's passes it through.
        single[0x80] = ShiftJisTable::kNone;
        return ShiftJisTable(single, std::move(pairs));
    }());
    return table;
}

} // namespace

std::u16string fromShiftJis(std::string_view bytes) {
    return shiftJis().decode(bytes);
}

void appendFromShiftJis(std::string_view bytes, std::u16string& t) {
    shiftJis().decodeOnto(bytes, t);
}

std::string toShiftJis(std::u16string_view t) {
    return shiftJis().encode(t);
}

std::u16string fromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(utf8[i]); };
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned b = byte(i);
        std::size_t length = b < 0x80             ? 1
                             : (b & 0xE0) == 0xC0 ? 2
                             : (b & 0xF0) == 0xE0 ? 3
                             : (b & 0xF8) == 0xF0 ? 4
                                                  : 0;
        char32_t c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
        bool valid = length > 0 && i + length <= utf8.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            valid = (byte(i + k) & 0xC0) == 0x80;
            c = c << 6 | (byte(i + k) & 0x3F);
        }
        // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
        static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (c < kLeast[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)) valid = false;
        if (!valid) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += length;
    }
    return out;
}

std::string toUtf8(std::u16string_view t) {
    std::string out;
    out.reserve(t.size() * 3);
    for (std::size_t i = 0; i < t.size(); ++i) {
        char32_t c = t[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (t[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement; // half a pair
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                    static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return out;
}

} // namespace text
