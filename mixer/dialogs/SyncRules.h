#pragma once
#include <string>

// The sync settings panel's rules that need no window: the SMPTE start time, the frame-rate
// and level maps between the engine's values and the panel's, and the flywheel jam.
namespace SyncRules
{
// A start time "hh:mm:ss:ff" checked for the panel's frame rate (0 24, 1 25, 2 and 3 30
// fps): the message id of what is wrong (null when valid) and the four fields. The text "0"
// stands for 00:00:00:00. Each field is one or two digits, blanks around it allowed.
struct StartTime
{
    const char* errorId;
    int hours, minutes, seconds, frames;
};
StartTime CheckStartTime(const std::string& text, int fps);

// The engine's "SMPTEStripeFrameRate" and the panel's "FPS" map both ways as 0<->3, 1<->2.
int FpsFromEngine(int value);
int FpsToEngine(int value);
// The engine's "SMPTEOutLevel" and the panel's "OutputLevel": 0<->1.
int LevelFromEngine(int value);
int LevelToEngine(int value);
// The status text of an engine frame-rate byte (0 "30 ND", 1 "30 DF", 2 "25", 3 "24"); null
// outside 0-3 (the status is left as it is).
const char* FpsStatusText(int rateByte);
// The flywheel jam typed: a number clamped to 0-127 (text that reads as none gives 0).
int ClampFlyJam(const std::string& text);
// The time display "hh:mm:ss:ff" of the engine's bytes.
std::string TimeText(int hours, int minutes, int seconds, int frames);
} // namespace SyncRules
