#include "framework/dialogs/FileDialogImpl.h"

#include "framework/platform/files/ChooserSeam.h"
#include "framework/platform/files/FileSystem.h"

#include <cstring>

namespace
{
// Copies the text when given; a text that does not fit leaves the buffer empty.
bool Fill(const StringRef* text, char* buffer, int room)
{
    buffer[0] = 0;
    return !text || FileSystem::ToAnsi(*text, buffer, room);
}

// The length of a filter list up to and including its closing zero pair.
size_t FilterLength(const char* filter)
{
    if (!filter)
        return 0;
    const char* end = filter;
    while (end[0] || end[1])
        ++end;
    return static_cast<size_t>(end - filter) + 2;
}
} // namespace

FileDialogImpl::FileDialogImpl(int kind) : kind_(kind) {}

int FileDialogImpl::Init(const StringRef* initialDirectory, const StringRef* fileName, const StringRef* title,
                         const StringRef* defaultExtension)
{
    bool ok = Fill(initialDirectory, initialDirectory_, sizeof(initialDirectory_));
    ok = Fill(fileName, file_, sizeof(file_)) && ok;
    ok = Fill(title, title_, sizeof(title_)) && ok;
    ok = Fill(kind_ == Save ? defaultExtension : nullptr, defaultExtension_, sizeof(defaultExtension_)) && ok;
    fileTitle_[0] = 0;

    record_ = OPENFILENAMEA{};
    record_.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record_.lpstrInitialDir = initialDirectory_[0] ? initialDirectory_ : nullptr;
    record_.lpstrFile = file_;
    record_.nMaxFile = sizeof(file_);
    record_.lpstrFileTitle = fileTitle_;
    record_.nMaxFileTitle = sizeof(fileTitle_);
    record_.lpstrTitle = title && title_[0] ? title_ : nullptr;
    record_.lpstrDefExt = kind_ == Save && defaultExtension && defaultExtension_[0] ? defaultExtension_ : nullptr;
    record_.nFilterIndex = 1;
    record_.Flags = kind_ == Save ? OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT
                                  : OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    return ok ? 1 : 0;
}

int FileDialogImpl::Run(HWND owner, const char* filter)
{
    path_.Clear();
    if (record_.lStructSize == 0)
        Init(nullptr, nullptr, nullptr, nullptr);
    record_.hwndOwner = owner;
    record_.lpstrFilter = filter;

    if (ChooserSeam* seam = ChooserSeam::Installed())
    {
        ChooserSeam::Request request;
        request.kind = kind_ == Save ? ChooserSeam::SaveFile : ChooserSeam::OpenFile;
        request.owner = owner;
        request.title = title_;
        request.initialDirectory = initialDirectory_;
        request.fileName = file_;
        request.defaultExtension = defaultExtension_;
        request.filter.assign(filter ? filter : "", FilterLength(filter));
        request.flags = record_.Flags;
        std::string chosen;
        if (!seam->Answer(request, chosen) || chosen.size() >= sizeof(file_))
            return 0;
        std::memcpy(file_, chosen.c_str(), chosen.size() + 1);
    }
    else
    {
        const BOOL chosen = kind_ == Save ? GetSaveFileNameA(&record_) : GetOpenFileNameA(&record_);
        if (!chosen)
            return 0;
    }
    return path_.AppendAnsi(file_) ? 1 : 0;
}
