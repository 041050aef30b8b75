#include "framework/dialogs/SaveFileDialog.h"

#include "framework/dialogs/FileDialogImpl.h"
#include "framework/windows/Window.h"

SaveFileDialog::SaveFileDialog() : impl_(new FileDialogImpl(FileDialogImpl::Save)) {}

SaveFileDialog::~SaveFileDialog()
{
    delete impl_;
}

int SaveFileDialog::Init(const StringRef* initialDirectory, const StringRef* fileName, const StringRef* title,
                         const StringRef* defaultExtension)
{
    return impl_->Init(initialDirectory, fileName, title, defaultExtension);
}

int SaveFileDialog::Run(const Window* owner, const char* filter)
{
    return impl_->Run(owner ? owner->GetHandle() : nullptr, filter);
}

const String& SaveFileDialog::GetPath() const
{
    return impl_->Path();
}
