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

    // Installs seam (null: real dialogs again) and answers the one installed before.
    static ChooserSeam* Install(ChooserSeam* seam);
    static ChooserSeam* Installed();
};
