#include "platform/TextCodec.h"

#include "platform/ShiftJisTable.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <iconv.h>
#include <stdexcept>
#include <vector>

namespace text {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// One iconv conversion, with a replacement for every byte sequence the source encoding rejects.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in, calling onBad(out) and skipping `skip` input bytes whenever the input is invalid.
    template <class OnBad> std::string run(std::string_view in, std::size_t skip, OnBad onBad) {
        std::string out;
        // The buffer is kept between calls; a long text is converted through it in pieces.
        constexpr std::size_t kMostKept = 1 << 16;
        buffer_.resize(std::max(buffer_.size(), std::min(in.size() * 4 + 16, kMostKept)));
        std::vector<char>& buffer = buffer_;
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (srcLeft > 0) {
            char* dst = buffer.data();
            std::size_t dstLeft = buffer.size();
            std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer.data(), dst - buffer.data());
            if (rc != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: an invalid or truncated sequence.
            onBad(out);
            std::size_t n = std::min(skip, srcLeft);
            src += n;
            srcLeft -= n;
        }
        return out;
    }

    // Converts Shift-JIS in to UTF-16LE units written from out, which has room for one unit a byte;
    // an invalid or truncated sequence loses one byte and gets onBad(out). Returns the units written.
    template <class OnBad> std::size_t into(std::string_view in, char16_t* out, OnBad onBad) {
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char16_t* written = out;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        while (srcLeft > 0) {
            char* dst = reinterpret_cast<char*>(written);
            std::size_t dstLeft = (in.size() - (written - out)) * sizeof(char16_t);
            std::size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            written = reinterpret_cast<char16_t*>(dst);
            if (rc != static_cast<std::size_t>(-1)) break;
            if (errno == E2BIG) throw std::logic_error("a Shift-JIS byte gave more than one character");
            onBad(written);
            std::size_t n = std::min<std::size_t>(1, srcLeft);
            src += n;
            srcLeft -= n;
        }
        return static_cast<std::size_t>(written - out);
    }

  private:
    iconv_t cd_;
    std::vector<char> buffer_;
};

// One code of one or two bytes through the C library's converter: its characters, a U+FFFD a bad byte.
std::u16string decodeOneCode(std::string_view code) {
    // Opening a converter costs far more than converting a code, so each thread keeps one.
    thread_local Converter c("UTF-16LE", "CP932");
    // Every byte gives at most one character, so the text is decoded straight into its place.
    std::u16string t(code.size(), u'\0');
    t.resize(c.into(code, t.data(), [](char16_t*& out) { *out++ = kReplacement; }));
    if constexpr (std::endian::native == std::endian::big)
        for (char16_t& unit : t) unit = static_cast<char16_t>(unit << 8 | unit >> 8);
    return t;
}

// Text is decoded by a table that the converter fills once, code by code, so both read alike: the
// converter itself spends most of its time on each call, and a script is decoded a line a call.
const ShiftJisTable& shiftJisTable() {
    static const ShiftJisTable table(decodeOneCode);
    return table;
}

std::string utf16Bytes(std::u16string_view t) {
    std::string bytes(t.size() * 2, '\0');
    for (std::size_t i = 0; i < t.size(); ++i) {
        bytes[2 * i] = static_cast<char>(t[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(t[i] >> 8);
    }
    return bytes;
}

std::u16string fromUtf16Bytes(const std::string& bytes) {
    std::u16string t(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < t.size(); ++i)
        t[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return t;
}

void appendReplacement(std::string& utf16le) {
    utf16le.push_back(static_cast<char>(kReplacement & 0xFF));
    utf16le.push_back(static_cast<char>(kReplacement >> 8));
}

} // namespace

std::u16string fromShiftJis(std::string_view bytes) {
    std::u16string t;
    appendFromShiftJis(bytes, t);
    return t;
}

void appendFromShiftJis(std::string_view bytes, std::u16string& t) {
    shiftJisTable().decodeOnto(bytes, t);
}

std::string toShiftJis(std::u16string_view t) {
    thread_local Converter c("CP932", "UTF-16LE");
    // A character with no Shift-JIS form is written as "?", as the system code page would.
    return c.run(utf16Bytes(t), 2, [](std::string& out) { out.push_back('?'); });
}

std::u16string fromUtf8(std::string_view utf8) {
    thread_local Converter c("UTF-16LE", "UTF-8");
    return fromUtf16Bytes(c.run(utf8, 1, appendReplacement));
}

std::string toUtf8(std::u16string_view t) {
    thread_local Converter c("UTF-8", "UTF-16LE");
    return c.run(utf16Bytes(t), 2, [](std::string& out) { out += "\xEF\xBF\xBD"; });
}

} // namespace text
