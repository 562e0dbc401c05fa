// Bounded copy, append and format never write past their buffers.
#include "base/text.h"

#include <gtest/gtest.h>
#include <string.h>

TEST(BoundedText, CopyCutsToSizeAndReportsIt)
{
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(TextCopy(buffer, "123456789"));
    EXPECT_STREQ("1234567", buffer);
    EXPECT_TRUE(TextCopy(buffer, "1234567"));
    EXPECT_STREQ("1234567", buffer);
}

TEST(BoundedText, AppendStopsAtTheEndOfTheBuffer)
{
    char buffer[8] = "abc";
    EXPECT_TRUE(TextAppend(buffer, "defg"));
    EXPECT_STREQ("abcdefg", buffer);
    EXPECT_FALSE(TextAppend(buffer, "h"));
    EXPECT_STREQ("abcdefg", buffer);
}

TEST(BoundedText, AppendRefusesAnUnterminatedBuffer)
{
    char buffer[4];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(TextAppend(buffer, "y"));
    EXPECT_EQ(0, memcmp(buffer, "xxxx", 4));
}

TEST(BoundedText, JoinReportsWhetherEveryPartFitted)
{
    char buffer[11];
    EXPECT_TRUE(TextJoin(buffer, "C:\\", "app", ".exe"));
    EXPECT_STREQ("C:\\app.exe", buffer);
    EXPECT_FALSE(TextJoin(buffer, "C:\\", "application", ".exe"));
    EXPECT_STREQ("C:\\applica", buffer);
}

TEST(BoundedText, FormatCutsAndTerminates)
{
    char buffer[12];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_FALSE(TextFormat(buffer, "<%s|%s>", "left", "right side"));
    EXPECT_STREQ("<left|right", buffer);
    EXPECT_TRUE(TextFormat(buffer, "<%s>", "short"));
    EXPECT_STREQ("<short>", buffer);
}

TEST(BoundedText, PrefixCopiesAtMostLengthCharacters)
{
    char buffer[6];
    EXPECT_TRUE(TextCopyPrefix(buffer, "course,next", 6 - 1));
    EXPECT_STREQ("cours", buffer);
    EXPECT_TRUE(TextCopyPrefix(buffer, "ab", 4));
    EXPECT_STREQ("ab", buffer);
    EXPECT_TRUE(TextCopyPrefix(buffer, "abc", 0));
    EXPECT_STREQ("", buffer);
    EXPECT_FALSE(TextCopyPrefix(buffer, "abcdefgh", 8));
    EXPECT_STREQ("abcde", buffer);
}
