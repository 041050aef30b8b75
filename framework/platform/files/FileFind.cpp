#include "framework/platform/files/FileFind.h"

#include "framework/platform/files/FileSystem.h"

#include <cstring>

namespace
{
bool IsDirectory(const WIN32_FIND_DATAA& found)
{
    return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}
} // namespace

FileFind::~FileFind()
{
    Close();
}

void FileFind::Close()
{
    if (search_)
        FindClose(search_);
    search_ = nullptr;
}

int FileFind::Start(const StringRef& pattern, WIN32_FIND_DATAA& found)
{
    Close();
    char ansi[MAX_PATH];
    if (!FileSystem::ToAnsi(pattern, ansi, sizeof(ansi)))
        return 0;
    HANDLE search = FindFirstFileA(ansi, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    search_ = search;
    return 1;
}

int FileFind::Settle(WIN32_FIND_DATAA& found, bool directories, String& name)
{
    for (;;)
    {
        const bool wanted = directories ? IsDirectory(found) && !IsDotEntry(found.cFileName) : !IsDirectory(found);
        if (wanted)
        {
            name.Clear();
            if (name.AppendAnsi(found.cFileName))
                return 1;
            break;
        }
        if (!FindNextFileA(search_, &found))
            break;
    }
    Close();
    name.Clear();
    return 0;
}

int FileFind::FirstFile(const StringRef& pattern, String& name)
{
    WIN32_FIND_DATAA found;
    if (!Start(pattern, found))
    {
        name.Clear();
        return 0;
    }
    return Settle(found, false, name);
}

int FileFind::NextFile(String& name)
{
    WIN32_FIND_DATAA found;
    if (!search_ || !FindNextFileA(search_, &found))
    {
        Close();
        name.Clear();
        return 0;
    }
    return Settle(found, false, name);
}

int FileFind::FirstSubdirectory(const StringRef& folder, String& name)
{
    String pattern;
    WIN32_FIND_DATAA found;
    if (!pattern.Assign(folder) || !pattern.AppendWide(u"\\*.*") || !Start(pattern, found))
    {
        name.Clear();
        return 0;
    }
    return Settle(found, true, name);
}

int FileFind::NextSubdirectory(String& name)
{
    WIN32_FIND_DATAA found;
    if (!search_ || !FindNextFileA(search_, &found))
    {
        Close();
        name.Clear();
        return 0;
    }
    return Settle(found, true, name);
}
