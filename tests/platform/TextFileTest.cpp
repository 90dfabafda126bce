#include "platform/GameFiles.h"
#include "platform/TextCodec.h"
#include "platform/TextFile.h"
#include "support/TestGame.h"

#include <gtest/gtest.h>

TEST(TextFile, DecodesShiftJisAndCountsCharacters) {
    // "ルメナ" in Shift-JIS, then ASCII: each Japanese character is one unit.
    auto lines = TextFile::splitLines("\x83\x8B\x83\x81\x83\x69" "abc");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], u"ルメナabc");
    EXPECT_EQ(lines[0].size(), 6u);
}
