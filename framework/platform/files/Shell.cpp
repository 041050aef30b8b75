#include "framework/platform/files/Shell.h"

#include "framework/platform/files/ChooserSeam.h"
#include "framework/platform/files/FileSystem.h"

#include <shellapi.h>

#include <cstring>

int Shell::CopyWithProgress(const char* sources, const StringRef& target, const StringRef& titlePrefix, HWND owner)
{
    // pTo is a list like pFrom: one path and a second zero byte.
    char to[MAX_PATH + 1] = {};
    char title[2 * MAX_PATH] = {};
    if (!sources || !FileSystem::ToAnsi(target, to, MAX_PATH) || !FileSystem::ToAnsi(titlePrefix, title, MAX_PATH))
        return 0;
    std::strcat(title, to);
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_COPY;
    operation.pFrom = sources;
    operation.pTo = to;
    operation.fFlags = FOF_SIMPLEPROGRESS;
    operation.lpszProgressTitle = title;
    const int result = SHFileOperationA(&operation);
    return CopySucceeded(result, operation.fAnyOperationsAborted);
}

int Shell::CopySucceeded(int result, BOOL aborted)
{
    return result <= 0 && !aborted ? 1 : 0;
}

int Shell::BrowseForFolder(const StringRef& title, String& folder, HWND owner, BFFCALLBACK callback)
{
    folder.Clear();
    char ansiTitle[MAX_PATH];
    if (!FileSystem::ToAnsi(title, ansiTitle, sizeof(ansiTitle)))
        return 0;
    if (ChooserSeam* seam = ChooserSeam::Installed())
    {
        ChooserSeam::Request request;
        request.kind = ChooserSeam::Folder;
        request.owner = owner;
        request.title = ansiTitle;
        request.flags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
        const HWND window = callback ? seam->FolderWindow() : nullptr;
        if (window)
            callback(window, BFFM_INITIALIZED, 0, 0);
        std::string path;
        if (!seam->Answer(request, path))
            return 0;
        if (window)
        {
            if (LPITEMIDLIST item = ILCreateFromPathA(path.c_str()))
            {
                callback(window, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(item), 0);
                ILFree(item);
            }
        }
        return folder.AppendAnsi(path.c_str()) ? 1 : 0;
    }
    char chosen[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = chosen;
    info.lpszTitle = ansiTitle;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    info.lpfn = callback;
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    if (!item)
        return 0;
    const BOOL found = SHGetPathFromIDListA(item, chosen);
    CoTaskMemFree(item);
    return found && folder.AppendAnsi(chosen) ? 1 : 0;
}

int Shell::DeleteSilently(const StringRef& path, HWND owner)
{
    // The path and the two zero bytes that end the list.
    char from[MAX_PATH + 1] = {};
    if (!FileSystem::ToAnsi(path, from, MAX_PATH))
        return ERROR_FILENAME_EXCED_RANGE;
    if (from[0] == 0)
        return ERROR_INVALID_PARAMETER;
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = from;
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION;
    return SHFileOperationA(&operation);
}
