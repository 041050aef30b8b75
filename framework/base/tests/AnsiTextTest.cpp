// The framework's one conversion to the ANSI code page, to a string and into a buffer.

#include "framework/base/AnsiText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
const StringRef kCafe(u"caf\u00E9 \u20AC"); // 6 bytes in the code page

TEST(AnsiText, ConvertsToAString)
{
    EXPECT_EQ(AnsiText(kCafe), "caf\xE9 \x80");
    EXPECT_EQ(AnsiText(StringRef(nullptr)), "");
    // A counted piece stops at its length, not at a terminator.
    EXPECT_EQ(AnsiText(StringRef(u"abcdef", 3)), "abc");
    // Units the code page lacks come out as a replacement, not as their low byte.
    const std::string omega = AnsiText(StringRef(u"\u03A9"));
    ASSERT_EQ(omega.size(), 1u);
    EXPECT_NE(omega[0], '\xA9');
}

TEST(AnsiText, FillsABufferOnlyWhenTheTextAndItsTerminatorFit)
{
    struct Case
    {
        const char* label;
        StringRef text;
        int room;
        bool converted;
        const char* expected; // what the buffer holds afterwards
    };
    const Case cases[] = {
        {"fits exactly", kCafe, 7, true, "caf\xE9 \x80"},    {"room to spare", kCafe, 16, true, "caf\xE9 \x80"},
        {"no room for the terminator", kCafe, 6, false, ""}, {"room for the terminator alone", kCafe, 1, false, ""},
        {"empty text", StringRef(nullptr), 1, true, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        char out[16];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(AnsiTextToBuffer(c.text, out, c.room), c.converted);
        EXPECT_STREQ(out, c.expected);
        // Nothing is written beyond the room given.
        EXPECT_EQ(std::string(out + c.room, sizeof out - c.room), std::string(sizeof out - c.room, 'x'));
    }
}

TEST(AnsiText, ABufferOfNoRoomIsRefusedUntouched)
{
    char out[2] = {'x', 'x'};
    EXPECT_FALSE(AnsiTextToBuffer(kCafe, out, 0));
    EXPECT_FALSE(AnsiTextToBuffer(kCafe, nullptr, 8));
    EXPECT_EQ(out[0], 'x');
}
} // namespace
