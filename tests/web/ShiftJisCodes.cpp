// Prints this build's Shift-JIS conversions over every code (see shiftJisEveryCode) as little-endian
// UTF-16 units, for the test that holds the browser build's against them.
#include "platform/ShiftJisCodes.h"

#include <cstdio>

int main() {
    const std::u16string codes = shiftJisEveryCode();
    for (char16_t u : codes) {
        std::putchar(u & 0xFF);
        std::putchar(u >> 8);
    }
    return 0;
}
