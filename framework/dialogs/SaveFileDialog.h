#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/platform/Win32Api.h"

class FileDialogImpl;
class Window;

// The common save dialog: asks before overwriting an existing file.
class SaveFileDialog : public Object
{
public:
    SaveFileDialog();
    ~SaveFileDialog() override;
    SaveFileDialog(const SaveFileDialog&) = delete;
    SaveFileDialog& operator=(const SaveFileDialog&) = delete;

    // Null arguments are not given. 0 when a text does not fit its buffer.
    int Init(const StringRef* initialDirectory, const StringRef* fileName, const StringRef* title,
             const StringRef* defaultExtension);
    // owner: the owning framework window or null. 1 when a name was chosen.
    int Run(const Window* owner, const char* filter);
    const String& GetPath() const;

private:
    FileDialogImpl* impl_; // owned
};
