#pragma once
#include "script/ScriptSyntax.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// A question's block as the game reads it: the answer lines after the question line, up to its
// ">qstend". The game and the checker read blocks with this one reader.
struct QuestionBlock {
    struct Line {
        ScriptSyntax::Answer answer;
        std::size_t number = 0; // its line in the script
    };
    std::vector<Line> answers;
    // Why the block cannot be read (empty when it can), and the line to name: 0 for the question's own.
    std::string error;
    std::size_t errorLine = 0;

    // Reads the block. `line` and `number` hold the line after the question line (number 0 at the end of
    // the file); `advance` moves them on to the next line. On return they hold the ">qstend" line,
    // unless the block is broken.
    static QuestionBlock read(const std::u16string& line, const std::size_t& number,
                              const std::function<void()>& advance);
};
