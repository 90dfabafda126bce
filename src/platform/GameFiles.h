#pragma once
#include <string>

// Finds a file of the game folder. The data was made on a case-insensitive file system with "\" as the
// separator: a name is tried exactly first, then with "\" read as "/" and each part matched without
// regard to letter case. Returns the path to use (the exact one when nothing matches, so that the
// caller's error names the file it was asked for).
std::string findGameFile(const std::string& path);
