#pragma once
#include <map>
#include <memory>
#include <set>
#include <string>

#include "mixer/names/PortNames.h"

// A string table whose text for an id is the id without "IDS_", so a composed id shows in
// the result, except for the ids it is told to lack.
class FakeStringTable : public StringTable
{
public:
    explicit FakeStringTable(const char* lacking = nullptr)
    {
        if (lacking)
            missing.insert(lacking);
    }
    const String* FindStringById(const char* id) override
    {
        std::string key = id;
        if (missing.count(key))
            return nullptr;
        std::unique_ptr<String>& text = texts_[key];
        if (!text)
        {
            text = std::make_unique<String>();
            text->AssignAscii(key.rfind("IDS_", 0) == 0 ? id + 4 : id);
        }
        return text.get();
    }
    void Set(const std::string& id, const std::string& text)
    {
        texts_[id] = std::make_unique<String>();
        texts_[id]->AssignAscii(text.c_str());
    }

    static std::string Ascii(const String& text)
    {
        std::string out;
        for (int i = 0; i < text.Length(); ++i)
            out += static_cast<char>(text.WideCharAt(i));
        return out;
    }

    std::set<std::string> missing;

private:
    std::map<std::string, std::unique_ptr<String>> texts_;
};
