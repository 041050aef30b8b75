#pragma once
// The editor's rules that need no window: when a send/return lamp lights and which names the
// effect library takes.

#include <cstdint>
#include <string>

// A level lights its lamp when its magnitude is above -96 dB, strictly.
constexpr float kSignalThreshold = 1.5848931e-5f;
bool IsSignalLit(float level);

// Names of categories and presets become folder and file names of the mixer's library; the
// engine keeps 127 units of a name and the COM records 128 with the end mark.
constexpr int32_t kMaxLibraryName = 127;
enum class LibraryNameCheck
{
    kAccepted,
    kTooLong, // "IDM_MAX_CHAR_EXCEEDED"
    kInvalid, // "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET" (also an empty name)
};
LibraryNameCheck CheckLibraryName(const char16_t* name, int32_t length);

// A core preset's entry in the effect view's combo: "00" below position 10, "0" below 100,
// the number, " - ", the name and, for a user's preset, " " and userDefined.
std::u16string PresetComboText(int32_t position, int32_t number, const std::u16string& name, bool userPreset,
                               const std::u16string& userDefined);
