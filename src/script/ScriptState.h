#pragma once
#include "platform/TextFile.h"

#include <cstddef>
#include <string>

// The interpreter's hold on the open scene script.
struct ScriptState {
    TextFile file;              // the open scene script (ScriptFileNo)
    std::u16string CurrentLine; // the line acted on in this tick
    std::u16string NextLine;    // the read-ahead line
    std::size_t currentLineNumber = 0;
    std::size_t nextLineNumber = 0;
    std::string currentPath; // the script file of CurrentLine, for error messages
    bool fileOpened = false; // a script was opened since currentPath was taken from it
    int BlinkPhase = 0;      // the click prompt's blink, 1 and 2 in turn
};
