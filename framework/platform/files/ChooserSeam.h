#pragma once

#include "framework/platform/Win32Api.h"

#include <string>

// Where file and folder choosers get their answer in tests: with a seam installed no dialog
// is shown; the seam records what was asked and says what the person chose.
class ChooserSeam
{
public:
    enum Kind
    {
        OpenFile = 0,
        SaveFile = 1,
        Folder = 2
    };

    // What a chooser was asked, in the 8-bit text the dialog would have shown.
    struct Request
    {
        int kind = OpenFile;
        HWND owner = nullptr;
        std::string title;
        std::string initialDirectory;
        std::string fileName;
        std::string defaultExtension;
        std::string filter; // description and pattern pairs, each ended by a zero byte
        DWORD flags = 0;
    };

    virtual ~ChooserSeam() = default;
    // 1 with the chosen path, or 0 when the person cancelled.
    virtual int Answer(const Request& request, std::string& path) = 0;
    // The window a folder chooser's callback talks to in place of the shell's dialog (it hears
    // BFFM_SETSELECTIONA, BFFM_SETSTATUSTEXTA and BFFM_ENABLEOK); with none the callback is not
    // run. The callback hears BFFM_INITIALIZED before the answer and BFFM_SELCHANGED with the
    // chosen folder after it.
    virtual HWND FolderWindow() { return nullptr; }

    // Installs seam (null: real dialogs again) and answers the one installed before.
    static ChooserSeam* Install(ChooserSeam* seam);
    static ChooserSeam* Installed();
};
