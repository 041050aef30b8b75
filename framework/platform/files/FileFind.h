#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/platform/Win32Api.h"

// A directory search: either files (directories skipped) or subdirectories ("." and ".."
// skipped). Names come back without their folder; at the end the name is empty and the
// answer 0. Starting a search closes the one before.
class FileFind : public Object
{
public:
    FileFind() = default;
    ~FileFind() override;
    FileFind(const FileFind&) = delete;
    FileFind& operator=(const FileFind&) = delete;

    int FirstFile(const StringRef& pattern, String& name);
    int NextFile(String& name);
    // Searches folder\*.*.
    int FirstSubdirectory(const StringRef& folder, String& name);
    int NextSubdirectory(String& name);

private:
    void Close();
    int Start(const StringRef& pattern, WIN32_FIND_DATAA& found);
    // From the current entry on, the first that wants directories (or files); fills name.
    int Settle(WIN32_FIND_DATAA& found, bool directories, String& name);

    HANDLE search_ = nullptr; // null when no search is open
};
