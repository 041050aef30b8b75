#include "framework/platform/RegistryKey.h"

#include "framework/platform/RegistryImpl.h"

RegistryKey::RegistryKey() : impl_(new RegistryImpl()) {}

RegistryKey::~RegistryKey()
{
    delete impl_;
}

int RegistryKey::Open(const char* rootName, const StringRef& path, int create)
{
    return impl_->Open(rootName, path, create);
}

int RegistryKey::WriteString(const StringRef& name, const String* text)
{
    return impl_->WriteString(name, text);
}

int RegistryKey::ReadString(const StringRef& name, String& out, const String* defaultText)
{
    return impl_->ReadString(name, out, defaultText);
}

int RegistryKey::WriteBool(const StringRef& name, int flag)
{
    return impl_->WriteBool(name, flag);
}

int RegistryKey::ReadBool(const StringRef& name, int defaultFlag)
{
    return impl_->ReadBool(name, defaultFlag);
}

int RegistryKey::WriteUnsigned(const StringRef& name, uint32_t value)
{
    return impl_->WriteUnsigned(name, value);
}

uint32_t RegistryKey::ReadUnsigned(const StringRef& name, uint32_t defaultValue)
{
    return impl_->ReadUnsigned(name, defaultValue);
}

int RegistryKey::ReadValue(const StringRef& keyPath, const StringRef& valueName, String& out)
{
    return impl_->ReadValue(keyPath, valueName, out);
}

int RegistryKey::WriteValue(const StringRef& keyPath, const StringRef& valueName, const String* text)
{
    return impl_->WriteValue(keyPath, valueName, text);
}

void RegistryKey::GetRootName(String& out) const
{
    impl_->GetRootName(out);
}

void RegistryKey::GetPath(String& out) const
{
    impl_->GetPath(out);
}

int RegistryKey::DeleteKey(const StringRef& name)
{
    return impl_->DeleteKey(name);
}

int RegistryKey::Exists()
{
    return impl_->Exists();
}

int RegistryKey::ReadDword(const StringRef& valueName, uint32_t& out)
{
    return impl_->ReadDword(valueName, out);
}

int RegistryKey::WriteDword(const StringRef& valueName, uint32_t value)
{
    return impl_->WriteDword(valueName, value);
}

int RegistryKey::DeleteValue(const StringRef& valueName)
{
    return impl_->DeleteValue(valueName);
}
