#pragma once
#include <array>

// The meeting schedule of the command panel, shared by the game and the checker.
namespace schedule {

// Who is met at each place (rows 0 to 5) on days 1 to 9: i, r, g are the three characters, b the
// event of row 4, '-' nobody.
constexpr std::array<const char*, 6> kRows = {
    "-i----rrr", //
    "--ggrr-g-", //
    "--irg-g-i", //
    "rrri-----", //
    "ggbbbg-ig", //
    "i---iii--", //
};
// The special command, on every day.
constexpr int kSpecialRow = 6;
// Characters 0, 1 and 2 are the letters of their scenes.
constexpr std::array<char, 3> kLetters = {'i', 'r', 'g'};

} // namespace schedule
