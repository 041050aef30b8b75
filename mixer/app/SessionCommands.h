#pragma once
#include "framework/base/String.h"
#include "mixer/engine/VarnServices.h"

class MainWindow;
class Window;

// The main window's session commands: the save question, open, open a given file, save,
// save as, the save menu, and the report of a load result. They work on the main window's
// engine, its settings key and its just-loaded mark; every message is a skin message box over
// the frame. User-interface thread only.
class SessionCommands
{
public:
    explicit SessionCommands(MainWindow& window) : window_(window) {}

    // Asks whether to save a modified session; the working session is saved unless the user
    // saved. Always 1.
    int PromptToSave();
    // The new session dialog and a session from its template (or an empty one); true when a
    // session was made. fromRateChange keeps the dialog on the card's rate.
    bool NewSession(int fromRateChange);
    // The open dialog and the load; nonzero when a session was loaded. fromRateChange opens
    // only a file of the card's rate family.
    int OpenSession(int fromRateChange);
    // Loads path (the command line's file); nonzero when loaded.
    int OpenFile(const String& path);
    // Saves under the session's own path, or asks for one (save as) when it has no name; the
    // engine's result.
    int SaveSession();
    // Asks for a path and saves there; the engine's result, 0 when cancelled.
    int SaveSessionAs();
    void ShowSaveMenu(int screenX, int screenY);
    // The session settings over the mixer model, with the session's comment. OK with changes
    // stores the comment; changes (also cancelled ones: the dialog wrote them already) mark
    // the session modified and tell the main section (55). 0 when nothing changed.
    int EditSessionSettings();
    // The global preferences; a new skin has the main window rebuilt (view request 2).
    int EditGlobalPreferences();
    // The message of a load result; whether the session counts as loaded.
    int ReportLoadResult(int code);

private:
    // The raise-load-raise sequence under the busy cursor, then the report; on success the
    // full rebuild (posted), unmodified and the just-loaded mark.
    int Load(const String& path);
    // After a load or a new session that worked: the full rebuild (posted), unmodified, the
    // just-loaded mark and the tray tip.
    void Loaded();
    int SaveTo(const String& path);
    void MarkDirty(int dirty);
    // Event 55 to the main section.
    void SettingsChanged();
    void ShowMessage(const char* id);
    Window* Owner();
    // "Last Open Path" or "Last Save Path", else the sessions folder.
    void StartFolder(const char16_t* setting, String& folder);

    MainWindow& window_;
};
