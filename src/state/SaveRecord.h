#pragma once
#include "app/Color.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// What the save slot holds, and its text form: one value a line, in the order the lines are read.
struct SaveRecord {
    std::u16string day; // the caption of DayDate, as it stands
    std::int16_t turnCount = 0;
    std::array<bool, 3> cnFlags{}, gnFlags{};
    std::array<std::array<bool, 4>, 3> onOffFlags{};
    std::vector<Color> cells;     // the schedule marks, one for each DataLbl cell
    std::array<bool, 8> visits{}; // VisitFlags 1..8
    std::array<std::uint8_t, 3> loveLevels{};

    // The file's bytes: Shift-JIS lines, each ended by CR LF.
    std::string toBytes() const;

    // Reads a save file's lines; cellCount is the number of schedule cells of this game. Every value up
    // to the visits must be there and readable, or a GameError names the line and what it should hold.
    // The love levels are forgiving: missing or unreadable, all three are 0.
    static SaveRecord parse(const std::string& path, const std::vector<std::u16string>& lines,
                            std::size_t cellCount);
};
