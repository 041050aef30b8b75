#include "framework/base/IntDictionary.h"

#include <new>

IntDictionary::IntDictionary() = default;

IntDictionary::~IntDictionary()
{
    EraseRange(Begin(), End());
}

SortedMap::Node* IntDictionary::Find(int32_t key) const
{
    return SortedMap::Find(&key);
}

SortedMap::InsertResult IntDictionary::Insert(int32_t key, Object* value)
{
    return SortedMap::Insert(&key, value);
}

int IntDictionary::Remove(int32_t key)
{
    return SortedMap::Remove(&key);
}

int32_t IntDictionary::KeyOf(const Node* node)
{
    return static_cast<const Entry*>(node->entry)->key;
}

// Compared, not subtracted: keys 2^31 or more apart would overflow a difference.
int IntDictionary::KeyCompare(const SortedMap::Entry* entry, const void* key) const
{
    int32_t a = static_cast<const Entry*>(entry)->key;
    int32_t b = *static_cast<const int32_t*>(key);
    return a < b ? -1 : (a > b ? 1 : 0);
}

SortedMap::Entry* IntDictionary::MakeEntry(const void* key, Object* value)
{
    Entry* entry = new (std::nothrow) Entry;
    if (entry == nullptr)
        return nullptr;
    entry->key = *static_cast<const int32_t*>(key);
    entry->value = value;
    return entry;
}

void IntDictionary::DestroyNode(Node* node)
{
    delete node->entry;
    SortedMap::DestroyNode(node);
}
