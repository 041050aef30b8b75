#include "mixer/dialogs/SyncRules.h"

#include <cstdio>
#include <cstdlib>

namespace SyncRules
{
namespace
{
// One or two digits with blanks around them; -1 otherwise.
int Field(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return -1;
    const size_t last = text.find_last_not_of(' ');
    const std::string digits = text.substr(first, last - first + 1);
    if (digits.empty() || digits.size() > 2)
        return -1;
    int value = 0;
    for (char c : digits)
    {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}
} // namespace

StartTime CheckStartTime(const std::string& text, int fps)
{
    StartTime time = {nullptr, 0, 0, 0, 0};
    if (text == "0")
        return time;
    const size_t c1 = text.find(':');
    const size_t c2 = c1 == std::string::npos ? c1 : text.find(':', c1 + 1);
    const size_t c3 = c2 == std::string::npos ? c2 : text.find(':', c2 + 1);
    if (c3 == std::string::npos || c1 == 0 || c2 == c1 + 1 || c3 == c2 + 1 || c3 + 1 == text.size())
    {
        time.errorId = "IDM_STRIPEFORMAT_ERROR";
        return time;
    }
    time.hours = Field(text.substr(0, c1));
    time.minutes = Field(text.substr(c1 + 1, c2 - c1 - 1));
    time.seconds = Field(text.substr(c2 + 1, c3 - c2 - 1));
    time.frames = Field(text.substr(c3 + 1));
    if (time.hours < 0 || time.minutes < 0 || time.seconds < 0 || time.frames < 0)
        time.errorId = "IDM_STRIPEFORMAT_ERROR";
    else if (time.hours >= 24)
        time.errorId = "IDM_STRIPEHOURS_ERROR";
    else if (time.minutes >= 60)
        time.errorId = "IDM_STRIPEMINS_ERROR";
    else if (time.seconds > 59)
        time.errorId = "IDM_STRIPESECS_ERROR";
    else if (fps == 0 && time.frames > 23)
        time.errorId = "IDM_STRIPEFRMS24_ERROR";
    else if (fps == 1 && time.frames > 24)
        time.errorId = "IDM_STRIPEFRMS25_ERROR";
    else if ((fps == 2 || fps == 3) && time.frames > 29)
        time.errorId = "IDM_STRIPEFRMS30_ERROR";
    return time;
}

int FpsFromEngine(int value)
{
    return value >= 0 && value <= 3 ? 3 - value : 3;
}

int FpsToEngine(int value)
{
    return value >= 0 && value <= 3 ? 3 - value : 0;
}

int LevelFromEngine(int value)
{
    return value == 0 ? 1 : 0;
}

int LevelToEngine(int value)
{
    return value == 0 ? 1 : 0;
}

const char* FpsStatusText(int rateByte)
{
    static const char* const texts[] = {"30 ND", "30 DF", "25", "24"};
    return rateByte >= 0 && rateByte <= 3 ? texts[rateByte] : nullptr;
}

int ClampFlyJam(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return value < 0 ? 0 : value > 127 ? 127 : static_cast<int>(value);
}

std::string TimeText(int hours, int minutes, int seconds, int frames)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d:%02d", hours % 100, minutes % 100, seconds % 100, frames % 100);
    return text;
}
} // namespace SyncRules
