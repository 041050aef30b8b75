#include "plugins/base/platform/AlignedBuffer.h"

#include "plugins/base/platform/PlatformBase.h"

#include <cstdint>
#include <cstring>

AlignedBuffer::AlignedBuffer(size_t size, size_t unit, bool zeroed, bool owns)
    : size_(size), capacity_(0), unit_(unit ? unit : 16), data_(nullptr), owns_(owns)
{
    capacity_ = RoundUp(size);
    if (capacity_)
    {
        void* block = zeroed ? ThePlatform()->AllocZeroed(capacity_) : ThePlatform()->Alloc(capacity_);
        data_ = static_cast<unsigned char*>(block);
    }
    if (!data_)
        size_ = capacity_ = 0;
}

AlignedBuffer::AlignedBuffer(const void* source, size_t size, size_t unit, bool owns)
    : AlignedBuffer(size, unit, false, owns)
{
    if (data_ && size_)
        std::memcpy(data_, source, size_);
}

AlignedBuffer::AlignedBuffer(const AlignedBuffer& other, size_t unit, bool owns)
    : AlignedBuffer(other.data_, other.size_, unit, owns)
{
}

AlignedBuffer::~AlignedBuffer()
{
    if (owns_ && data_)
    {
        ThePlatform()->Free(data_);
        data_ = nullptr;
    }
}

size_t AlignedBuffer::RoundUp(size_t n) const
{
    if (n == 0)
        return unit_;
    if (n > SIZE_MAX - (unit_ - 1))
        return 0;
    return (n + unit_ - 1) / unit_ * unit_;
}

bool AlignedBuffer::IsValid() const
{
    return data_ != nullptr;
}

void* AlignedBuffer::Data() const
{
    return data_;
}

size_t AlignedBuffer::Size() const
{
    return size_;
}

bool AlignedBuffer::Reallocate(size_t capacity, size_t keep, bool zeroed)
{
    if (capacity == 0)
        return false;
    void* block = zeroed ? ThePlatform()->AllocZeroed(capacity) : ThePlatform()->Alloc(capacity);
    if (!block)
        return false;
    if (keep)
        std::memcpy(block, data_, keep);
    // Every block was allocated by this buffer; the owns flag only decides whether the
    // last one outlives it.
    ThePlatform()->Free(data_);
    data_ = static_cast<unsigned char*>(block);
    capacity_ = capacity;
    return true;
}

bool AlignedBuffer::Resize(size_t n)
{
    if (!data_)
        return false;
    const size_t capacity = RoundUp(n);
    if (capacity != capacity_ && !Reallocate(capacity, n < size_ ? n : size_, true))
        return false;
    size_ = n;
    return true;
}

bool AlignedBuffer::Append(const void* source, size_t n)
{
    return n == 0 ? IsValid() : Insert(size_, source, n);
}

bool AlignedBuffer::Insert(size_t position, const void* source, size_t n)
{
    if (!data_ || position > size_ || n == 0 || n > SIZE_MAX - size_)
        return false;
    if (size_ + n > capacity_ && !Reallocate(RoundUp(size_ + n), size_, false))
        return false;
    std::memmove(data_ + position + n, data_ + position, size_ - position);
    std::memcpy(data_ + position, source, n);
    size_ += n;
    return true;
}

bool AlignedBuffer::Erase(size_t position, size_t n)
{
    if (!data_ || n == 0 || position > size_ || n > size_ - position)
        return false;
    std::memmove(data_ + position, data_ + position + n, size_ - position - n);
    size_ -= n;
    // A smaller block is only an economy: when it cannot be had the bytes stay where they are.
    const size_t capacity = RoundUp(size_);
    if (capacity < capacity_)
        Reallocate(capacity, size_, false);
    return true;
}

bool AlignedBuffer::Reserve(size_t n)
{
    if (!data_ || n < size_)
        return false;
    const size_t capacity = RoundUp(n);
    return capacity == capacity_ || Reallocate(capacity, size_, true);
}
