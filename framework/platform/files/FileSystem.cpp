#include "framework/platform/files/FileSystem.h"

#include "framework/base/AnsiCodePage.h"
#include "framework/base/AnsiText.h"
#include "framework/platform/FileNames.h"

#include <shlwapi.h>

#include <cstring>
#include <initializer_list>
#include <string>

namespace
{
// A path converted for the 8-bit calls; ok is false when it did not fit MAX_PATH bytes.
struct AnsiPath
{
    explicit AnsiPath(const StringRef& path) : ok(FileSystem::ToAnsi(path, text, MAX_PATH)) {}
    bool ok;
    char text[MAX_PATH];
};

int Matches(const StringRef& path)
{
    AnsiPath ansi(path);
    if (!ansi.ok)
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(ansi.text, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    return 1;
}

} // namespace

bool FileSystem::ToAnsi(const StringRef& text, char* out, int room)
{
    if (!AnsiTextToBuffer(text, out, room))
        return false;
    // A zero unit inside the text would silently end the path early.
    for (int i = 0; i < text.Length(); ++i)
    {
        if (text.Buffer()[i] == 0)
        {
            out[0] = 0;
            return false;
        }
    }
    return true;
}

int FileSystem::CreateDirectory(const StringRef& path)
{
    AnsiPath ansi(path);
    return ansi.ok && CreateDirectoryA(ansi.text, nullptr) ? 1 : 0;
}

int FileSystem::CreateDirectoryPath(const StringRef& path)
{
    AnsiPath ansi(path);
    if (!ansi.ok || ansi.text[0] == 0)
        return 0;
    auto ensure = [](const char* level) {
        return GetFileAttributesA(level) != INVALID_FILE_ATTRIBUTES || CreateDirectoryA(level, nullptr);
    };
    // The part before the first backslash (a drive) is never tested.
    char* separator = std::strchr(ansi.text, '\\');
    while (separator)
    {
        *separator = 0;
        const bool present = separator == ansi.text || ensure(ansi.text);
        *separator = '\\';
        if (!present)
            return 0;
        separator = std::strchr(separator + 1, '\\');
    }
    return ensure(ansi.text) ? 1 : 0;
}

int FileSystem::RemoveDirectory(const StringRef& path)
{
    AnsiPath ansi(path);
    return ansi.ok && RemoveDirectoryA(ansi.text) ? 1 : 0;
}

int FileSystem::Rename(const StringRef& path, const StringRef& newName)
{
    int lastSeparator = -1;
    for (int i = 0; i < path.Length(); ++i)
        if (path.Buffer()[i] == u'\\')
            lastSeparator = i;
    if (lastSeparator < 0)
        return 0;
    String target;
    if (!target.Assign(StringRef(path.Buffer(), lastSeparator + 1)) || !target.Append(newName))
        return 0;
    AnsiPath from(path);
    AnsiPath to(target);
    return from.ok && to.ok && MoveFileA(from.text, to.text) ? 1 : 0;
}

int FileSystem::DeleteFile(const StringRef& path)
{
    AnsiPath ansi(path);
    return ansi.ok && DeleteFileA(ansi.text) ? 1 : 0;
}

int FileSystem::DirectoryExists(const StringRef& path)
{
    return Matches(path);
}

int FileSystem::FileExists(const StringRef& path)
{
    return Matches(path);
}

int FileSystem::IsValidPath(const StringRef& path)
{
    char ansi[4096];
    if (!ToAnsi(path, ansi, sizeof(ansi)))
        return 0;
    for (const char* c = ansi; *c; ++c)
        if (PathGetCharTypeA(static_cast<unsigned char>(*c)) == GCT_INVALID)
            return 0;
    return 1;
}

int FileSystem::IsValidName(const StringRef& name)
{
    const int length = name.Length();
    if (!IsPlainFileName(name.Buffer(), length))
        return 0;
    const char16_t* units = name.Buffer();
    // Characters the code page lacks would reach the file system as '?'.
    char ansi[MAX_PATH];
    if (!ToAnsi(name, ansi, sizeof(ansi)))
        return 0;
    char16_t back[MAX_PATH];
    const int count = AnsiCodePage::ToWide(ansi, static_cast<int>(std::strlen(ansi)), back, MAX_PATH);
    return count == length && std::char_traits<char16_t>::compare(back, units, static_cast<size_t>(length)) == 0 ? 1
                                                                                                                 : 0;
}

int FileSystem::CopyFile(const StringRef& source, const StringRef& target)
{
    AnsiPath from(source);
    AnsiPath to(target);
    return from.ok && to.ok && CopyFileA(from.text, to.text, TRUE) ? 1 : 0;
}
