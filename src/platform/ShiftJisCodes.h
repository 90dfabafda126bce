#pragma once
#include <string>

// The Shift-JIS conversions of this build over every code, so that two builds can be held against
// each other: for each one-byte code, then each two-byte code, the number of UTF-16 units it decodes
// to and the units; then for each UTF-16 unit outside the surrogates the code it encodes to (one
// byte, or lead << 8 | trail).
std::u16string shiftJisEveryCode();
