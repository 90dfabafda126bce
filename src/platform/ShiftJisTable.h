#pragma once
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Shift-JIS (code page 932) by table, for C libraries without that code page. The table is built once
// from a decoder of single characters: every one-byte code and every two-byte code is asked for the
// one character it stands for. Text is then decoded as the C library's converter does: a valid
// two-byte code first, else a valid one-byte code, else U+FFFD for one byte and on with the next.
class ShiftJisTable {
  public:
    // Decodes one code of one or two bytes: its one character, or nothing when it is not one valid
    // character.
    using CodeDecoder = std::function<std::u16string(std::string_view code)>;
    explicit ShiftJisTable(const CodeDecoder& decodeCode);
    // From ready tables: the one-byte codes by byte, the two-byte codes by lead byte << 8 | trail
    // byte (0x10000 of them), kNone where a code is not one character.
    static constexpr char16_t kNone = 0xFFFF;
    ShiftJisTable(const std::array<char16_t, 256>& single, std::vector<char16_t> pairs);

    std::u16string decode(std::string_view bytes) const;
    // Decodes bytes onto the end of text.
    void decodeOnto(std::string_view bytes, std::u16string& text) const;
    // A character without a Shift-JIS form is written as "?", as the system code page does.
    std::string encode(std::u16string_view text) const;

  private:
    void buildCodes();
    std::array<char16_t, 256> single_{};
    std::vector<char16_t> pairs_;      // by lead byte << 8 | trail byte
    std::vector<std::uint16_t> codes_; // by character: its code, 0 when it has none
};
