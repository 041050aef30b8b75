#pragma once
// A registry held in memory for the portable tests: keys and value names compare without
// case as in the real one; writes and reads can be made to fail.
#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <utility>

#include "framework/platform/RegistryBackend.h"

class MemoryRegistryBackend final : public RegistryBackend
{
public:
    bool failWrites = false;      // keys cannot be created
    bool failValueWrites = false; // keys can be created, values not written
    bool failReads = false;

    int CreateKey(RegistryRoot root, const std::string& path) override
    {
        if (failWrites || root == RegistryRoot::None)
            return 0;
        std::string key = Fold(path);
        while (!key.empty() && key.back() == '\\')
            key.pop_back();
        // Every parent exists along with the key.
        for (size_t at = key.find('\\'); at != std::string::npos; at = key.find('\\', at + 1))
            keys_[{root, key.substr(0, at)}];
        keys_[{root, key}];
        return 1;
    }

    int WriteText(RegistryRoot root, const std::string& path, const std::string& name, const std::string& text) override
    {
        if (!CreateKey(root, path) || failValueWrites)
            return 0;
        keys_[{root, Fold(path)}][Fold(name)] = text;
        return 1;
    }

    ReadResult ReadText(RegistryRoot root, const std::string& path, const std::string& name, std::string& out) override
    {
        if (failReads)
            return ReadResult::Failed;
        auto key = keys_.find({root, Fold(path)});
        if (key == keys_.end())
            return ReadResult::NoKey;
        auto value = key->second.find(Fold(name));
        if (value == key->second.end())
            return ReadResult::NoValue;
        out = value->second;
        return ReadResult::Ok;
    }

    int DeleteKey(RegistryRoot root, const std::string& path) override
    {
        const std::string key = Fold(path);
        for (const auto& entry : keys_)
            if (entry.first.first == root && entry.first.second.rfind(key + "\\", 0) == 0)
                return 0; // has subkeys
        dwords_.erase({root, key});
        return keys_.erase({root, key}) ? 1 : 0;
    }

    int KeyExists(RegistryRoot root, const std::string& path) override
    {
        return keys_.count({root, Fold(path)}) ? 1 : 0;
    }

    int ReadDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t& out) override
    {
        if (failReads)
            return 0;
        auto key = dwords_.find({root, Fold(path)});
        if (key == dwords_.end())
            return 0;
        auto value = key->second.find(Fold(name));
        if (value == key->second.end())
            return 0;
        out = value->second;
        return 1;
    }

    int WriteDword(RegistryRoot root, const std::string& path, const std::string& name, uint32_t value) override
    {
        if (failValueWrites || !KeyExists(root, path))
            return 0;
        dwords_[{root, Fold(path)}][Fold(name)] = value;
        return 1;
    }

    int DeleteValue(RegistryRoot root, const std::string& path, const std::string& name) override
    {
        auto key = dwords_.find({root, Fold(path)});
        return key != dwords_.end() && key->second.erase(Fold(name)) ? 1 : 0;
    }

private:
    static std::string Fold(std::string text)
    {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    }

    std::map<std::pair<RegistryRoot, std::string>, std::map<std::string, std::string>> keys_;
    // The 32-bit values, apart from the text ones (a name holds one or the other here).
    std::map<std::pair<RegistryRoot, std::string>, std::map<std::string, uint32_t>> dwords_;
};
