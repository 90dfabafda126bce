#pragma once
#include <string>

// The names a script may give a bonus page: the page must be written inside the game folder.
namespace pagename {

// No root, no drive, no way up, no device and no control characters; folders below the game folder
// are allowed, with "\" or "/".
bool isSafe(const std::u16string& name);

extern const char* const kUnsafe; // the error for a name that is not safe

} // namespace pagename
