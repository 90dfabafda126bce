#pragma once
#include <optional>
#include <string>
#include <string_view>

// The small text operations the script commands are written in. Positions count characters from 1,
// as the story's authors count them.
namespace scripttext {

// The text from character `start` to the end; empty when the line is shorter.
std::u16string from(const std::u16string& s, std::size_t start);
// Up to `length` characters from character `start`.
std::u16string from(const std::u16string& s, std::size_t start, std::size_t length);
// The position of `what` at or after character `start`, or 0 when it does not occur.
std::size_t find(const std::u16string& s, std::u16string_view what, std::size_t start = 1);
bool contains(const std::u16string& s, std::u16string_view what);
// A decimal number, with spaces around it allowed; nothing when the text is not one.
std::optional<double> toNumber(const std::u16string& s);
// A decimal number rounded to a whole one (halves to the even neighbour).
std::optional<long> toWhole(const std::u16string& s);

} // namespace scripttext
