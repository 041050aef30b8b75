#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/platform/Win32Api.h"

#include <commdlg.h>

// The common back end of the open and save dialogs: the dialog record and its buffers.
class FileDialogImpl : public Object
{
public:
    enum Kind
    {
        Open = 0,
        Save = 1
    };

    explicit FileDialogImpl(int kind);
    FileDialogImpl(const FileDialogImpl&) = delete;
    FileDialogImpl& operator=(const FileDialogImpl&) = delete;

    // Null arguments leave their buffer empty (the title: the dialog's own). 0 when a text
    // does not fit its buffer; that buffer is then left empty.
    int Init(const StringRef* initialDirectory, const StringRef* fileName, const StringRef* title,
             const StringRef* defaultExtension);
    // filter: 8-bit description and pattern pairs ending in two zero bytes, or null.
    int Run(HWND owner, const char* filter);
    const String& Path() const { return path_; }

private:
    int kind_;
    OPENFILENAMEA record_ = {};
    char initialDirectory_[400] = {};
    char file_[400] = {};
    char title_[100] = {};
    char fileTitle_[100] = {};
    char defaultExtension_[100] = {};
    String path_;
};
