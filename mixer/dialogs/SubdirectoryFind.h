#pragma once

#include "framework/platform/files/FileFind.h"

// A search that lists only the subfolders of one folder, without "." and ".."; its search is
// closed when it goes.
class SubdirectoryFind : public FileFind
{
public:
    int First(const StringRef& folder, String& name) { return FirstSubdirectory(folder, name); }
    int Next(String& name) { return NextSubdirectory(name); }
};
