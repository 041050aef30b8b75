#pragma once

#include "framework/base/Object.h"

#include <cstdint>

// Push-back store of a stream: a stack of bytes, so popping returns them in the order
// they were handed to Unread.
class Buffer : public Object
{
public:
    // capacity 0 when the allocation fails; such a buffer refuses every non-empty Unread.
    explicit Buffer(int capacity);
    ~Buffer() override;
    Buffer(const Buffer&) = delete;
    Buffer& operator=(const Buffer&) = delete;

    // 1 when all count bytes were stored (count 0 always fits), 0 when they do not fit.
    int Unread(const void* bytes, int count);
    // Delivers min(count, Held()) bytes, the most recently pushed first; a null out discards them.
    int Pop(void* out, int count);
    void Clear() { held_ = 0; }
    int Held() const { return held_; }
    int Capacity() const { return capacity_; }

private:
    uint8_t* data_;
    int capacity_;
    int held_;
};
