#pragma once

#include "framework/base/String.h"
#include "framework/platform/Win32Api.h"

#include <shlobj.h>

// Shell operations: a copy with the shell's progress window, the folder chooser and a
// silent delete of whole trees.
class Shell
{
public:
    // sources: 8-bit paths, each ended by a zero byte, the list by a second one. Answers 1
    // when the shell reports success (CopySucceeded).
    static int CopyWithProgress(const char* sources, const StringRef& target, const StringRef& titlePrefix, HWND owner);
    // The copy's answer from the shell's result and its aborted flag: a copy the person
    // cancelled in the progress window is partial and answers 0 even though the shell's
    // result says success.
    static int CopySucceeded(int result, BOOL aborted);
    // 1 with the chosen folder's path, 0 when nothing was chosen.
    static int BrowseForFolder(const StringRef& title, String& folder, HWND owner, BFFCALLBACK callback);
    // Deletes a file or a whole tree without a question or progress window. Answers the
    // shell's result: 0 on success; ERROR_FILENAME_EXCED_RANGE for a path that does not fit,
    // ERROR_INVALID_PARAMETER for an empty one.
    static int DeleteSilently(const StringRef& path, HWND owner);
};
