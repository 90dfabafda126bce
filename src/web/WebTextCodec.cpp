// The text conversions of the browser build. Emscripten's C library has no code page 932, so
// Shift-JIS goes through a table that the browser's own Shift-JIS decoder fills once; UTF-8 is
// converted here.
#include "platform/ShiftJisTable.h"
#include "platform/TextCodec.h"

#include <emscripten.h>

// Decodes one code of one or two bytes with TextDecoder("shift_jis") and writes its UTF-16 units to
// out (at most 4); returns how many. The decoder is made once.
// clang-format off
EM_JS(int, rumena_decode_shift_jis, (const char* bytes, int length, char16_t* out), {
    const decoder = Module.shiftJisDecoder || (Module.shiftJisDecoder = new TextDecoder("shift_jis"));
    const text = decoder.decode(HEAPU8.slice(bytes, bytes + length));
    const n = Math.min(text.length, 4);
    for (let i = 0; i < n; ++i) HEAPU16[(out >> 1) + i] = text.charCodeAt(i);
    return n;
});
// clang-format on

namespace text {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

const ShiftJisTable& shiftJis() {
    static const ShiftJisTable table([](std::string_view code) {
        // The one byte 0x80 is not a character of the code page: the desktop's decoder rejects it,
        // where the browser's passes it through.
        if (code == "\x80") return std::u16string(1, kReplacement);
        char16_t units[4];
        const int n = rumena_decode_shift_jis(code.data(), static_cast<int>(code.size()), units);
        return std::u16string(units, static_cast<std::size_t>(n));
    });
    return table;
}

} // namespace

std::u16string fromShiftJis(std::string_view bytes) {
    return shiftJis().decode(bytes);
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
