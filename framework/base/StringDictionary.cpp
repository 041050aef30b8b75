#include "framework/base/StringDictionary.h"

#include <new>

StringDictionary::StringDictionary() = default;

StringDictionary::~StringDictionary()
{
    EraseRange(Begin(), End());
}

SortedMap::Node* StringDictionary::Find(const char16_t* key) const
{
    return SortedMap::Find(key);
}

SortedMap::InsertResult StringDictionary::Insert(const char16_t* key, Object* value)
{
    return SortedMap::Insert(key, value);
}

int StringDictionary::Remove(const char16_t* key)
{
    return SortedMap::Remove(key);
}

const String& StringDictionary::KeyOf(const Node* node)
{
    return static_cast<const Entry*>(node->entry)->key;
}

// String::Compare answers 1 whichever side is empty, which is no order; here the empty
// key sorts before every other key.
int StringDictionary::KeyCompare(const SortedMap::Entry* entry, const void* key) const
{
    const String& entryKey = static_cast<const Entry*>(entry)->key;
    const auto* text = static_cast<const char16_t*>(key);
    bool entryEmpty = entryKey.Length() == 0;
    bool keyEmpty = text == nullptr || *text == 0;
    if (entryEmpty || keyEmpty)
        return entryEmpty == keyEmpty ? 0 : (entryEmpty ? -1 : 1);
    return entryKey.Compare(text);
}

SortedMap::Entry* StringDictionary::MakeEntry(const void* key, Object* value)
{
    Entry* entry = new (std::nothrow) Entry;
    if (entry == nullptr)
        return nullptr;
    if (!entry->key.AssignWide(static_cast<const char16_t*>(key)))
    {
        delete entry;
        return nullptr;
    }
    entry->value = value;
    return entry;
}

void StringDictionary::DestroyNode(Node* node)
{
    delete node->entry;
    SortedMap::DestroyNode(node);
}
