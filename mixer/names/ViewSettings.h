#pragma once

// The mixer's settings key (HKEY_CURRENT_USER) and the names of its values. Everything that
// reads or writes the key takes the path and the names from here; the framework gets the
// path from the application (AppBase::SetSettingsKey).
#define KIV_VIEW_SETTINGS_KEY "Software\\Halvorn Professional\\KivCorvanDSP\\CorvanView"

namespace ViewSettings
{
constexpr char kRoot[] = "HKEY_CURRENT_USER";
constexpr char16_t kKeyPath[] = u"" KIV_VIEW_SETTINGS_KEY;
constexpr char kKeyPathAnsi[] = KIV_VIEW_SETTINGS_KEY;

// The frame's place and width.
constexpr char16_t kFrameX[] = u"XPos";
constexpr char16_t kFrameY[] = u"YPos";
constexpr char16_t kFrameWidth[] = u"width";
// The session shown in the title and whether it is modified.
constexpr char16_t kLastSavedSession[] = u"LastSavedSession";
constexpr char16_t kDirtySession[] = u"DirtySession";
// The main section's view mode.
constexpr char16_t kTvViewMode[] = u"TV View Mode";
constexpr char16_t kFxPaletteVisible[] = u"FX palette visible";
// The sync settings panel's visibility is kept under two names: the frame writes "Sync UI
// Panel" when it opens or closes the panel, the main toolbar "Sync Panel Visible" when its
// toggle changes. Both are kept, as other readers of the key may look for either.
constexpr char16_t kSyncUiPanel[] = u"Sync UI Panel";
constexpr char16_t kSyncPanelVisible[] = u"Sync Panel Visible";
// The application's mode, and the start-up hand-over of a second start.
constexpr char16_t kInCorvanViewMode[] = u"in CorvanView mode";
// A sub-key whose default value holds the session path; the framework writes it (with the
// launch flag, which it alone reads) under the path it is given.
constexpr char16_t kCommandLineOpen[] = u"CommandLineOpen";
// The preferences and warnings kept in the key.
constexpr char16_t kSkin[] = u"skin";
constexpr char16_t kTooltipsEnabled[] = u"tooltipsenabled";
constexpr char16_t kShowNoAsioWarning[] = u"show no asio warning";
constexpr char16_t kSampleRateChangedOption[] = u"Sample Rate Changed Option";
// The session commands' folders (ending in a backslash) and the new session's choice of
// opening the session settings afterwards.
constexpr char16_t kLastOpenPath[] = u"Last Open Path";
constexpr char16_t kLastSavePath[] = u"Last Save Path";
constexpr char16_t kLaunchSyncDlg[] = u"LaunchSyncDlg";
} // namespace ViewSettings
