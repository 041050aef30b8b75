#include "framework/dialogs/OpenFileDialog.h"

#include "framework/dialogs/FileDialogImpl.h"
#include "framework/windows/Window.h"

OpenFileDialog::OpenFileDialog() : impl_(new FileDialogImpl(FileDialogImpl::Open)) {}

OpenFileDialog::~OpenFileDialog()
{
    delete impl_;
}

int OpenFileDialog::Init(const StringRef* initialDirectory, const StringRef* fileName, const StringRef* title)
{
    return impl_->Init(initialDirectory, fileName, title, nullptr);
}

int OpenFileDialog::Run(const Window* owner, const char* filter)
{
    return impl_->Run(owner ? owner->GetHandle() : nullptr, filter);
}

const String& OpenFileDialog::GetPath() const
{
    return impl_->Path();
}
