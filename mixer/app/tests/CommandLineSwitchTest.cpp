#include <gtest/gtest.h>

#include "mixer/app/CommandLineSwitch.h"

namespace
{
TEST(CommandLineSwitchTest, ResetMatchesOnlyAsTheLastWordAfterASeparator)
{
    struct Case
    {
        const char* line;
        int matches;
    } cases[] = {
        {"C:\\Program Files\\KIV\\KivCorvanDSP.exe /reset", 1},
        {"KivCorvanDSP.exe -Reset", 1},
        {"KivCorvanDSP.exe -RESET", 1},
        {"KivCorvanDSP.exe -Reset now", 0},   // a further word
        {"KivCorvanDSP.exe -Reset ", 0},      // even a blank
        {"KivCorvanDSP.exe Reset", 0},        // no separator
        {"KivCorvanDSP.exe --Reset", 1},      // "-Reset" is no match, "Reset" is
        {"C:\\my-tools/KivCorvanDSP.exe", 0}, // separators inside the path
        {"C:\\Reset-/KivCorvanDSP.exe", 0},
        {"C:\\x/Reset", 1}, // a path that ends in the word
        {"KivCorvanDSP.exe -Rese", 0},
        {"KivCorvanDSP.exe -Resets", 0},
        {"", 0},
        {nullptr, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountSwitch(c.line, "Reset"), c.matches) << (c.line ? c.line : "(null)");
}

TEST(CommandLineSwitchTest, RegistrationSwitches)
{
    struct Case
    {
        const char* line;
        RegistrationSwitch found;
    } cases[] = {
        {"KivCorvanDSP.exe -RegServer", RegistrationSwitch::Register},
        {"KivCorvanDSP.exe /regserver", RegistrationSwitch::Register},
        {"KivCorvanDSP.exe /unregserver", RegistrationSwitch::Unregister},
        {"KivCorvanDSP.exe -UNREGSERVER", RegistrationSwitch::Unregister},
        {"KivCorvanDSP.exe -RegServer x", RegistrationSwitch::None},
        {"KivCorvanDSP.exe UnregServer", RegistrationSwitch::None},
        {"C:\\a-b\\KivCorvanDSP.exe", RegistrationSwitch::None},
        {"KivCorvanDSP.exe -Reset", RegistrationSwitch::None},
        {"KivCorvanDSP.exe", RegistrationSwitch::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FindRegistrationSwitch(c.line), c.found) << c.line;
}
} // namespace
