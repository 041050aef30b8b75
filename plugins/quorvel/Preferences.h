#pragma once
// The effects plug-in's per-user settings that shape its audio path, read from the
// framework's settings store; a missing setting is written with its default ("no").

class Preferences
{
public:
    // A larger stream buffer, and thus a longer reported delay.
    static bool ReadExtraBufferEnabled();
    // Treat every host as rendering offline.
    static bool ReadRenderModeEnabled();
};
