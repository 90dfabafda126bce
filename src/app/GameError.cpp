#include "app/GameError.h"

#include "platform/TextCodec.h"

GameError GameError::atLine(const std::string& file, std::size_t line, const std::u16string& text,
                            const std::string& expected) {
    return GameError(
        file + ", line " + std::to_string(line) + ": \"" + text::toUtf8(text) + "\": " + expected, true);
}

GameError GameError::inFile(const std::string& file, const std::string& problem) {
    return GameError(file + ": " + problem);
}
