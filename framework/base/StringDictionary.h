#pragma once

#include "framework/base/SortedMap.h"
#include "framework/base/String.h"

// A sorted map keyed by UTF-16 text in String::Compare order, the empty key first.
class StringDictionary : public SortedMap
{
public:
    class Entry : public SortedMap::Entry
    {
    public:
        String key; // own copy of the text
    };

    StringDictionary();
    ~StringDictionary() override;

    Node* Find(const char16_t* key) const;
    InsertResult Insert(const char16_t* key, Object* value);
    int Remove(const char16_t* key);

    static const String& KeyOf(const Node* node);

protected:
    int KeyCompare(const SortedMap::Entry* entry, const void* key) const override;
    SortedMap::Entry* MakeEntry(const void* key, Object* value) override;
    void DestroyNode(Node* node) override;
};
