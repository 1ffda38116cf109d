#include "plugin/text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(FormatText, ReplacesEveryPlaceholder) {
    char buffer[kFormatChars];
    EXPECT_EQ(FormatText(buffer, sizeof buffer, "CD(%s) %s 100%%", "D:\\"), 16u);
    EXPECT_STREQ(buffer, "CD(D:\\) D:\\ 100%");
}

TEST(FormatText, CutsAtTheBufferEdgeAndTerminates) {
    const std::string long_argument(3000, 'x');
    char buffer[kFormatChars + 8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(FormatText(buffer, kFormatChars, "open %s type cdaudio", long_argument.c_str()),
              kFormatChars - 1);
    EXPECT_EQ(buffer[kFormatChars - 1], '\0');
    EXPECT_EQ(buffer[kFormatChars], '#');  // nothing past the capacity

    char tiny[4];
    EXPECT_EQ(FormatText(tiny, sizeof tiny, "ab%s", "cdef"), 3u);
    EXPECT_STREQ(tiny, "abc");
    EXPECT_EQ(FormatText(tiny, 1, "abc", ""), 0u);
    EXPECT_STREQ(tiny, "");
}

TEST(FormatText, LoneOrUnknownPercentStaysLiteral) {
    char buffer[32];
    FormatText(buffer, sizeof buffer, "50% %d %", "x");
    EXPECT_STREQ(buffer, "50% %d %");
}

}  // namespace
