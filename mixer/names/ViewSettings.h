#pragma once

// The mixer's settings keys (HKEY_CURRENT_USER), CorvanView and Launcher, and the names of
// their values. Everything that reads or writes them takes the paths and the names from here;
// the framework gets the path and the names it hands over from the application
// (AppBase::SetSettingsKey).

namespace ViewSettings
{
constexpr char kRoot[] = "HKEY_CURRENT_USER";
constexpr char16_t kKeyPath[] = u"Software\\Halvorn Professional\\KivCorvanDSP\\CorvanView";

// The frame's place and width.
constexpr char16_t kFrameX[] = u"XPos";
constexpr char16_t kFrameY[] = u"YPos";
constexpr char16_t kFrameWidth[] = u"width";
// The session shown in the title and whether it is modified.
constexpr char16_t kLastSavedSession[] = u"LastSavedSession";
constexpr char16_t kDirtySession[] = u"DirtySession";
// The main section's view mode.
constexpr char16_t kTvViewMode[] = u"TV View Mode";
// What the outputs and inputs views list: "physical" or "host".
constexpr char16_t kTvOutputsMode[] = u"TV Outputs Mode";
constexpr char16_t kTvInputsMode[] = u"TV Inputs Mode";
constexpr char16_t kFxPaletteVisible[] = u"FX palette visible";
// The FX palette's place and the folders its four import and export choosers start on.
constexpr char16_t kFxPaletteX[] = u"FX Palette XPos";
constexpr char16_t kFxPaletteY[] = u"FX Palette YPos";
constexpr char16_t kLastImportLibrary[] = u"Last Import Library directory";
constexpr char16_t kLastImportCategory[] = u"Last Import Category directory";
constexpr char16_t kLastExportLibrary[] = u"Last Export Library directory";
constexpr char16_t kLastExportCategory[] = u"Last Export Category directory";
// The sync settings panel's visibility is kept under two names: the frame writes "Sync UI
// Panel" when it opens or closes the panel, the main toolbar "Sync Panel Visible" when its
// toggle changes. Both are kept, as other readers of the key may look for either.
constexpr char16_t kSyncUiPanel[] = u"Sync UI Panel";
constexpr char16_t kSyncPanelVisible[] = u"Sync Panel Visible";
// Where the sync settings panel was left (numbers).
constexpr char16_t kSyncPanelX[] = u"Sync Settings Panel XPos";
constexpr char16_t kSyncPanelY[] = u"Sync Settings Panel YPos";
// The application's mode, and the start-up hand-over of a second start.
constexpr char16_t kInCorvanViewMode[] = u"in CorvanView mode";
// A second start's hand-over, which the framework writes: a sub-key whose default value holds
// the session path, and a named REG_DWORD value (1) asking the running start to show its
// CorvanView, which the framework alone reads.
constexpr char16_t kCommandLineOpen[] = u"CommandLineOpen";
constexpr char16_t kLaunchCorvanView[] = u"LaunchCorvanView";
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

// The launcher's key: the start-up preferences and warnings.
namespace LauncherSettings
{
constexpr char16_t kKeyPath[] = u"Software\\Halvorn Professional\\KivCorvanDSP\\Launcher";
constexpr char16_t kShowServicesSplash[] = u"show services splash";
constexpr char16_t kShowExitWarning[] = u"show exit warning";
constexpr char16_t kSavedFxPath[] = u"Saved FX Path"; // the effects file a start loads, then forgets
// Whether a start loads the saved effects: read as "Load fx on startup" at start-up and
// toggled from the menu as "load fx on startup". The registry takes both for one value (its
// names compare without case); both spellings are kept as the program writes them.
constexpr char16_t kLoadFxOnStartup[] = u"Load fx on startup";
constexpr char16_t kLoadFxOnStartupToggled[] = u"load fx on startup";
} // namespace LauncherSettings
