#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Hints read at start-up and the help text built on first use.
struct ExtrasState {
    static constexpr int kMaxHints = 31;
    std::vector<std::u16string> Hints = std::vector<std::u16string>(kMaxHints);
    std::uint8_t HintCount = 0;
    std::u16string HelpText;
};
