#pragma once
// The effects plug-in's per-user settings, read from the framework's settings store; a
// missing setting is written with its default (tooltips "yes", the others "no").

struct PreferenceFlags
{
    bool tooltips = true;
    bool extraBuffer = false;
    bool renderMode = false;
};

class Preferences
{
public:
    // Tooltips of the editor's controls.
    static bool ReadTooltipEnabled();
    // A larger stream buffer, and thus a longer reported delay.
    static bool ReadExtraBufferEnabled();
    // Treat every host as rendering offline.
    static bool ReadRenderModeEnabled();
    static PreferenceFlags Read();

    // Writes each flag that differs from the stored one and nothing else; answers which were
    // written (the editor tells the user that the audio settings take effect later).
    static PreferenceFlags Store(const PreferenceFlags& flags);
};
