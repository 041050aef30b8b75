#pragma once

#include "framework/base/String.h"
#include "framework/platform/Win32Api.h"

// Static file helpers over the 8-bit Win32 calls. A path that does not fit MAX_PATH bytes
// in the ANSI code page is refused (answer 0) rather than cut, so an operation never acts
// on a different, shortened path.
class FileSystem
{
public:
    static int CreateDirectory(const StringRef& path);
    // Creates every missing level; a trailing backslash is allowed. 0 at the first level
    // that can be neither found nor created.
    static int CreateDirectoryPath(const StringRef& path);
    static int RemoveDirectory(const StringRef& path);
    // Renames the last part of path to newName (same folder); 0 when path has no backslash.
    static int Rename(const StringRef& path, const StringRef& newName);
    static int DeleteFile(const StringRef& path);
    // Both answer 1 when anything matches the path (or pattern), file or folder alike.
    static int DirectoryExists(const StringRef& path);
    static int FileExists(const StringRef& path);
    // Characters a path may hold; an empty path is valid.
    static int IsValidPath(const StringRef& path);
    // What a user-typed category or preset name must be to become one file or folder name:
    // not empty, no separators, wildcards or characters files cannot hold, not "." or "..",
    // no trailing dot or blank, no device name.
    static int IsValidName(const StringRef& name);
    // Fails when target exists.
    static int CopyFile(const StringRef& source, const StringRef& target);

    // The text in the ANSI code page, zero-terminated, in room bytes; false (and out empty)
    // when it cannot be converted or does not fit.
    static bool ToAnsi(const StringRef& text, char* out, int room);
};
