#pragma once
#include <string>
#include <string_view>

// Conversions between the game's Shift-JIS bytes (code page 932), the UTF-16 text the engine works in
// (one unit per game character) and the UTF-8 the hosts print.
namespace text {

std::u16string fromShiftJis(std::string_view bytes);
// Decodes bytes onto the end of text.
void appendFromShiftJis(std::string_view bytes, std::u16string& text);
std::string toShiftJis(std::u16string_view text);
std::u16string fromUtf8(std::string_view utf8);
std::string toUtf8(std::u16string_view text);
// Whether the bytes are well-formed UTF-8.
bool isUtf8(std::string_view bytes);

} // namespace text
