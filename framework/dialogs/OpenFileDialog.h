#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/platform/Win32Api.h"

class FileDialogImpl;
class Window;

// The common open dialog: the chosen file must exist.
class OpenFileDialog : public Object
{
public:
    OpenFileDialog();
    ~OpenFileDialog() override;
    OpenFileDialog(const OpenFileDialog&) = delete;
    OpenFileDialog& operator=(const OpenFileDialog&) = delete;

    // Null arguments are not given. 0 when a text does not fit its buffer.
    int Init(const StringRef* initialDirectory, const StringRef* fileName, const StringRef* title);
    // owner: the owning framework window or null. 1 when a name was chosen.
    int Run(const Window* owner, const char* filter);
    const String& GetPath() const;

private:
    FileDialogImpl* impl_; // owned
};
