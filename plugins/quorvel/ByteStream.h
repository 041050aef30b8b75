#pragma once
// A stream of bytes with 32-bit values in a chosen byte order: order 1 keeps the machine's own
// order, any other value reverses every 32-bit value (the platform's SwapBytes). The state
// chunk is written and read through it.

#include <cstddef>
#include <cstdint>

class ByteStream
{
public:
    explicit ByteStream(int32_t order) : order_(order) {}
    virtual ~ByteStream() = default;
    ByteStream(const ByteStream&) = delete;
    ByteStream& operator=(const ByteStream&) = delete;

    // At or beyond the end -1 and nothing copied; else the bytes copied (at most n).
    virtual ptrdiff_t Read(void* destination, size_t n) = 0;
    // n, or -1 with nothing written when the bytes cannot be stored (Failed() from then on).
    virtual ptrdiff_t Write(const void* source, size_t n) = 0;
    virtual size_t Position() const = 0;
    // False when the stream cannot reach the position; it then stands at its end.
    virtual bool Seek(size_t position) = 0;
    virtual bool Skip(size_t n) = 0;
    virtual size_t Size() const = 0;
    // Moves back n bytes, not below 0.
    virtual void Back(size_t n) = 0;
    virtual void Rewind() = 0;

    // False, with value unchanged, unless all four bytes were read.
    bool ReadInt32(int32_t* value);
    bool ReadUInt32(uint32_t* value);
    bool WriteInt32(int32_t value);
    // A write failed since the stream was made.
    bool Failed() const { return failed_; }

protected:
    void MarkFailed() { failed_ = true; }

private:
    int32_t order_;
    bool failed_ = false;
};
