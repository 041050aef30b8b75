#include "framework/base/Buffer.h"

#include <new>

Buffer::Buffer(int capacity)
    : data_(capacity > 0 ? new (std::nothrow) uint8_t[capacity] : nullptr), capacity_(data_ ? capacity : 0), held_(0)
{
}

Buffer::~Buffer()
{
    delete[] data_;
}

int Buffer::Unread(const void* bytes, int count)
{
    if (count < 0 || count > capacity_ - held_)
        return 0;
    const uint8_t* in = static_cast<const uint8_t*>(bytes);
    // Stored last byte first, so the first byte given is on top.
    for (int i = 0; i < count; ++i)
        data_[held_ + i] = in[count - 1 - i];
    held_ += count;
    return 1;
}

int Buffer::Pop(void* out, int count)
{
    int n = count < held_ ? count : held_;
    if (n <= 0)
        return 0;
    if (out)
    {
        uint8_t* o = static_cast<uint8_t*>(out);
        for (int i = 0; i < n; ++i)
            o[i] = data_[held_ - 1 - i];
    }
    held_ -= n;
    return n;
}
