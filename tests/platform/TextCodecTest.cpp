// The 8-bit texts of graphs and file names as the windows show them, and typed text as stored.

#include "TextCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCodec, ValidUtf8IsShownAsUtf8) {
    EXPECT_EQ(DecodeText("caf\xC3\xA9"), QStringLiteral("café"));
    EXPECT_EQ(DecodeText("\xE2\x82\xAC"
                         "5"),
              QStringLiteral("€5"));
    EXPECT_EQ(DecodeText(""), QString());
}

TEST(TextCodec, OtherBytesAreShownAsWindows1252) {
    EXPECT_EQ(DecodeText("caf\xE9"), QStringLiteral("café"));
    EXPECT_EQ(DecodeText("\x80"
                         "5"),
              QStringLiteral("€5"));
    EXPECT_EQ(DecodeText("\x93q\x94"), QStringLiteral("“q”"));
    // A truncated UTF-8 sequence is not valid UTF-8.
    EXPECT_EQ(DecodeText("a\xC3"), QStringLiteral("aÃ"));
}

TEST(TextCodec, TypedTextIsStoredAsUtf8) {
    EXPECT_EQ(EncodeText(QStringLiteral("Ünïcode €")), "\xC3\x9Cn\xC3\xAF"
                                                       "code \xE2\x82\xAC");
    EXPECT_EQ(DecodeText(EncodeText(QStringLiteral("Knoten 7"))), QStringLiteral("Knoten 7"));
}

} // namespace
