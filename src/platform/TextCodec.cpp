#include "platform/TextCodec.h"

#include <algorithm>
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
        // Converted a piece at a time: a long text costs its result, not four times its size besides.
        std::vector<char> buffer(std::min<std::size_t>(in.size() * 4 + 16, 64 * 1024));
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

  private:
    iconv_t cd_;
};

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
    Converter c("UTF-16LE", "CP932");
    return fromUtf16Bytes(c.run(bytes, 1, appendReplacement));
}

std::string toShiftJis(std::u16string_view t) {
    Converter c("CP932", "UTF-16LE");
    // A character with no Shift-JIS form is written as "?", as the system code page would.
    return c.run(utf16Bytes(t), 2, [](std::string& out) { out.push_back('?'); });
}

std::u16string fromUtf8(std::string_view utf8) {
    Converter c("UTF-16LE", "UTF-8");
    return fromUtf16Bytes(c.run(utf8, 1, appendReplacement));
}

std::string toUtf8(std::u16string_view t) {
    Converter c("UTF-8", "UTF-16LE");
    return c.run(utf16Bytes(t), 2, [](std::string& out) { out += "\xEF\xBF\xBD"; });
}

} // namespace text
