#pragma once

#include "framework/base/SortedMap.h"

#include <cstdint>

// A sorted map keyed by a signed 32-bit integer, in numeric order.
class IntDictionary : public SortedMap
{
public:
    class Entry : public SortedMap::Entry
    {
    public:
        int32_t key = 0;
    };

    IntDictionary();
    ~IntDictionary() override;

    Node* Find(int32_t key) const;
    InsertResult Insert(int32_t key, Object* value);
    int Remove(int32_t key);

    static int32_t KeyOf(const Node* node);

protected:
    int KeyCompare(const SortedMap::Entry* entry, const void* key) const override;
    SortedMap::Entry* MakeEntry(const void* key, Object* value) override;
    void DestroyNode(Node* node) override;
};
