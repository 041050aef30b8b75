// A growable byte buffer whose capacity is a multiple of its unit. Memory comes from the
// platform object; a failed allocation leaves the buffer as it was and answers false.
#pragma once

#include <cstddef>

class AlignedBuffer
{
public:
    AlignedBuffer(size_t size, size_t unit, bool zeroed, bool owns);
    AlignedBuffer(const void* source, size_t size, size_t unit, bool owns);
    AlignedBuffer(const AlignedBuffer& other, size_t unit, bool owns);
    virtual ~AlignedBuffer();

    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;

    virtual bool IsValid() const;
    virtual void* Data() const;
    virtual size_t Size() const;
    virtual bool Resize(size_t n);
    virtual bool Append(const void* source, size_t n);
    virtual bool Insert(size_t position, const void* source, size_t n);
    virtual bool Erase(size_t position, size_t n);
    virtual bool Reserve(size_t n);

    size_t Capacity() const { return capacity_; }
    // The unit for 0, else the smallest multiple of the unit not below n (0 when that
    // does not fit in a size).
    size_t RoundUp(size_t n) const;

private:
    // Moves the first keep bytes into a new block of the given capacity; false, with
    // nothing changed, when the block cannot be had.
    bool Reallocate(size_t capacity, size_t keep, bool zeroed);

    size_t size_;
    size_t capacity_;
    size_t unit_;
    unsigned char* data_;
    bool owns_;
};
