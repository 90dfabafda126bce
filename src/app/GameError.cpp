#include "app/GameError.h"

#include "platform/TextCodec.h"

#include <algorithm>

GameError GameError::atLine(const std::string& file, std::size_t line, const std::u16string& text,
                            const std::string& expected) {
    return GameError(file + ", line " + std::to_string(line) + ": \"" + quote(text) + "\": " + expected,
                     true);
}

GameError GameError::inFile(const std::string& file, const std::string& problem) {
    // A script can ask for a file by a name of millions of characters; the message names its start.
    constexpr std::size_t kShown = 1024;
    if (file.size() > kShown)
        return GameError(file.substr(0, kShown) + "... (" + std::to_string(file.size()) +
                         " bytes): " + problem);
    return GameError(file + ": " + problem);
}

std::string GameError::quote(std::u16string_view text, std::size_t maxCharacters) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::size_t kept = std::min(text.size(), maxCharacters);
    std::string quoted;
    std::size_t from = 0;
    for (std::size_t i = 0; i < kept; ++i) {
        char16_t c = text[i];
        if (c >= 0x20 && c != 0x7F) continue;
        quoted += text::toUtf8(text.substr(from, i - from));
        quoted += "\\x";
        quoted += kHex[(c >> 4) & 0xF];
        quoted += kHex[c & 0xF];
        from = i + 1;
    }
    quoted += text::toUtf8(text.substr(from, kept - from));
    if (kept < text.size()) quoted += "... (" + std::to_string(text.size() - kept) + " more characters)";
    return quoted;
}
