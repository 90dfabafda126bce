#pragma once
#include <string>

// Whole-file reading and writing for the files the game writes (the save slot, bonus pages).

// Reads the whole of a regular file into bytes; returns false when it cannot be opened or read, or is
// a folder, a pipe or a device.
bool readWholeFile(const std::string& path, std::string& bytes);

// Replaces the file at path with bytes so that it holds either its old content or the new, never a
// part: the bytes go to path + ".tmp" beside it, reach the disk, and are then renamed over path. On
// failure the old file is untouched, the temporary file is removed, why says what went wrong and the
// result is false.
bool replaceWholeFile(const std::string& path, const std::string& bytes, std::string& why);
