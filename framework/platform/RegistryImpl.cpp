#include "framework/platform/RegistryImpl.h"

#include "framework/base/AnsiText.h"

#include <cstring>

namespace
{

struct RootName
{
    const char* name;
    RegistryRoot root;
};

const RootName kRoots[] = {
    {"HKEY_CLASSES_ROOT", RegistryRoot::ClassesRoot},
    {"HKEY_CURRENT_USER", RegistryRoot::CurrentUser},
    {"HKEY_LOCAL_MACHINE", RegistryRoot::LocalMachine},
    {"HKEY_USERS", RegistryRoot::Users},
};

void AssignAnsi(String& out, const std::string& text)
{
    out.Clear();
    out.AppendAnsi(text.c_str());
}

String BoolText(int flag)
{
    String text;
    text.AssignAscii(flag ? "yes" : "no");
    return text;
}

} // namespace

#ifndef _WIN32
RegistryBackend* RegistryBackend::System()
{
    return nullptr;
}
#endif

RegistryBackend* RegistryImpl::backend_ = RegistryBackend::System();

void RegistryImpl::SetBackend(RegistryBackend* backend)
{
    backend_ = backend ? backend : RegistryBackend::System();
}

std::string RegistryImpl::SettingPath(const StringRef& name) const
{
    return AnsiText(path_) + "\\" + AnsiText(name);
}

int RegistryImpl::Open(const char* rootName, const StringRef& path, int create)
{
    if (!rootName)
        return 0;
    RegistryRoot root = RegistryRoot::None;
    for (const RootName& candidate : kRoots)
        if (std::strcmp(candidate.name, rootName) == 0)
            root = candidate.root;
    if (root == RegistryRoot::None)
        return 0;
    root_ = root;
    path_.Assign(path);
    if (!create)
        return 1;
    return backend_ && backend_->CreateKey(root_, AnsiText(path_)) ? 1 : 0;
}

int RegistryImpl::WriteString(const StringRef& name, const String* text)
{
    if (!backend_ || root_ == RegistryRoot::None)
        return 0;
    if (!text)
        return backend_->CreateKey(root_, SettingPath(name));
    return backend_->WriteText(root_, SettingPath(name), std::string(), AnsiText(*text));
}

int RegistryImpl::ReadString(const StringRef& name, String& out, const String* defaultText)
{
    RegistryBackend::ReadResult result = RegistryBackend::ReadResult::Failed;
    std::string text;
    if (backend_ && root_ != RegistryRoot::None)
        result = backend_->ReadText(root_, SettingPath(name), std::string(), text);
    if (result == RegistryBackend::ReadResult::Ok)
    {
        AssignAnsi(out, text);
        return 1;
    }
    if (result == RegistryBackend::ReadResult::NoValue)
        out.Clear();
    if (!defaultText)
        return 0;
    // Only a setting that is truly absent is filled in: a value we merely failed to read
    // stays as the user left it.
    const bool absent = result == RegistryBackend::ReadResult::NoKey || result == RegistryBackend::ReadResult::NoValue;
    if (absent && !WriteString(name, defaultText))
        return 0;
    out.Assign(*defaultText);
    return 0;
}

int RegistryImpl::WriteBool(const StringRef& name, int flag)
{
    const String text = BoolText(flag);
    return WriteString(name, &text);
}

int RegistryImpl::ReadBool(const StringRef& name, int defaultFlag)
{
    const String fallback = BoolText(defaultFlag);
    String text;
    ReadString(name, text, &fallback);
    return text.CompareNoCaseAscii("yes") == 0 ? 1 : 0;
}

int RegistryImpl::WriteUnsigned(const StringRef& name, uint32_t value)
{
    String text;
    text.AssignUnsigned(value, 0);
    return WriteString(name, &text);
}

uint32_t RegistryImpl::ReadUnsigned(const StringRef& name, uint32_t defaultValue)
{
    String fallback;
    fallback.AssignUnsigned(defaultValue, 0);
    String text;
    ReadString(name, text, &fallback);
    return text.ToUnsigned();
}

int RegistryImpl::ReadValue(const StringRef& keyPath, const StringRef& valueName, String& out)
{
    if (!backend_ || root_ == RegistryRoot::None)
        return 0;
    std::string text;
    const RegistryBackend::ReadResult result = backend_->ReadText(root_, AnsiText(keyPath), AnsiText(valueName), text);
    if (result == RegistryBackend::ReadResult::Ok)
    {
        AssignAnsi(out, text);
        return 1;
    }
    if (result == RegistryBackend::ReadResult::NoValue)
        out.Clear();
    return 0;
}

int RegistryImpl::WriteValue(const StringRef& keyPath, const StringRef& valueName, const String* text)
{
    if (!backend_ || root_ == RegistryRoot::None)
        return 0;
    if (!text)
        return backend_->CreateKey(root_, AnsiText(keyPath));
    return backend_->WriteText(root_, AnsiText(keyPath), AnsiText(valueName), AnsiText(*text));
}

void RegistryImpl::GetRootName(String& out) const
{
    out.Clear();
    for (const RootName& candidate : kRoots)
        if (candidate.root == root_)
            out.AssignAscii(candidate.name);
}

void RegistryImpl::GetPath(String& out) const
{
    out.Assign(path_);
}

int RegistryImpl::DeleteKey(const StringRef& name)
{
    if (!backend_ || root_ == RegistryRoot::None)
        return 0;
    const std::string path = SettingPath(name);
    backend_->DeleteKey(root_, path);
    return backend_->KeyExists(root_, path) ? 0 : 1;
}

int RegistryImpl::Exists()
{
    return backend_ && root_ != RegistryRoot::None && backend_->KeyExists(root_, AnsiText(path_)) ? 1 : 0;
}

int RegistryImpl::ReadDword(const StringRef& valueName, uint32_t& out)
{
    return backend_ && root_ != RegistryRoot::None &&
                   backend_->ReadDword(root_, AnsiText(path_), AnsiText(valueName), out)
               ? 1
               : 0;
}

int RegistryImpl::WriteDword(const StringRef& valueName, uint32_t value)
{
    return backend_ && root_ != RegistryRoot::None &&
                   backend_->WriteDword(root_, AnsiText(path_), AnsiText(valueName), value)
               ? 1
               : 0;
}

int RegistryImpl::DeleteValue(const StringRef& valueName)
{
    return backend_ && root_ != RegistryRoot::None && backend_->DeleteValue(root_, AnsiText(path_), AnsiText(valueName))
               ? 1
               : 0;
}
