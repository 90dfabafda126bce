// Any bytes decode without a fault, and decoded text survives encoding back unchanged.
#include "app/GameError.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::u16string decoded = text::fromShiftJis(bytes);
    if (decoded.size() > bytes.size()) {
        std::fprintf(stderr, "%zu bytes decoded to %zu characters\n", bytes.size(), decoded.size());
        std::abort();
    }
    if (decoded.find(u'\uFFFD') == std::u16string::npos &&
        text::fromShiftJis(text::toShiftJis(decoded)) != decoded) {
        std::fprintf(stderr, "decoded text changed on its way back through Shift-JIS\n");
        std::abort();
    }
    for (const auto& line : TextFile::splitLines(bytes)) (void)GameError::quote(line);
    (void)text::toUtf8(decoded);
    (void)text::fromUtf8(bytes);
    return 0;
}
