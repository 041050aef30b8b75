#include <gtest/gtest.h>

#include <string>

#include "mixer/dialogs/SyncRules.h"

using namespace SyncRules;

TEST(SyncRulesTest, StartTimesByFormatFieldAndFrameRate)
{
    const struct
    {
        const char* text;
        int fps;
        const char* error; // "" valid
    } cases[] = {
        {"00:00:00:00", 0, ""},
        {"1:2:3:4", 0, ""},
        {" 1 : 2 :3: 4 ", 3, ""},
        {"0", 0, ""},
        {"23:59:59:29", 2, ""},
        {"23:59:59:29", 1, "IDM_STRIPEFRMS25_ERROR"},
        {"23:59:59:24", 1, ""},
        {"00:00:00:24", 0, "IDM_STRIPEFRMS24_ERROR"},
        {"00:00:00:30", 3, "IDM_STRIPEFRMS30_ERROR"},
        {"24:00:00:00", 0, "IDM_STRIPEHOURS_ERROR"},
        {"00:60:00:00", 0, "IDM_STRIPEMINS_ERROR"},
        {"00:00:60:00", 0, "IDM_STRIPESECS_ERROR"},
        {":00:00:00", 0, "IDM_STRIPEFORMAT_ERROR"},
        {"00::00:00", 0, "IDM_STRIPEFORMAT_ERROR"},
        {"00:00::00", 0, "IDM_STRIPEFORMAT_ERROR"},
        {"00:00:00:", 0, "IDM_STRIPEFORMAT_ERROR"},
        {"00:00:00", 0, "IDM_STRIPEFORMAT_ERROR"},
        {"", 0, "IDM_STRIPEFORMAT_ERROR"},
        // Fields are one or two digits: letters, signs and long numbers are format errors.
        {"aa:bb:cc:dd", 0, "IDM_STRIPEFORMAT_ERROR"},
        {"-1:0:0:0", 0, "IDM_STRIPEFORMAT_ERROR"},
        {"100:0:0:0", 0, "IDM_STRIPEFORMAT_ERROR"},
        {"1:2:3:4:5", 0, "IDM_STRIPEFORMAT_ERROR"},
    };
    for (const auto& c : cases)
    {
        const StartTime time = CheckStartTime(c.text, c.fps);
        EXPECT_EQ(std::string(time.errorId ? time.errorId : ""), c.error) << c.text << " at " << c.fps;
    }
    const StartTime time = CheckStartTime("1:2:3:4", 0);
    EXPECT_EQ(time.hours * 1000 + time.minutes * 100 + time.seconds * 10 + time.frames, 1234);
}

TEST(SyncRulesTest, MapsBetweenTheEngineAndThePanel)
{
    const int fps[][2] = {{0, 3}, {1, 2}, {2, 1}, {3, 0}};
    for (const auto& pair : fps)
    {
        EXPECT_EQ(FpsFromEngine(pair[0]), pair[1]);
        EXPECT_EQ(FpsToEngine(pair[1]), pair[0]);
    }
    EXPECT_EQ(LevelFromEngine(0), 1);
    EXPECT_EQ(LevelFromEngine(1), 0);
    EXPECT_EQ(LevelToEngine(1), 0);
    EXPECT_EQ(LevelToEngine(0), 1);
    EXPECT_STREQ(FpsStatusText(0), "30 ND");
    EXPECT_STREQ(FpsStatusText(3), "24");
    EXPECT_EQ(FpsStatusText(4), nullptr) << "a byte outside 0-3 leaves the status";
    EXPECT_EQ(FpsStatusText(-1), nullptr);
    EXPECT_EQ(ClampFlyJam("200"), 127);
    EXPECT_EQ(ClampFlyJam("-5"), 0);
    EXPECT_EQ(ClampFlyJam("64"), 64);
    EXPECT_EQ(ClampFlyJam("x"), 0);
    EXPECT_EQ(TimeText(1, 2, 3, 4), "01:02:03:04");
}
