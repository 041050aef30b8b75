#pragma once
// A byte stream over an AlignedBuffer. A writing stream grows its buffer as it writes or
// seeks past the end; a reading stream never grows: it stops at its data's end.

#include "plugins/base/platform/AlignedBuffer.h"
#include "plugins/quorvel/ByteStream.h"

class MemoryStream final : public ByteStream
{
public:
    enum class Mode
    {
        Reading,
        Writing,
    };

    // buffer: owned when owns is set, else borrowed.
    MemoryStream(AlignedBuffer* buffer, int32_t order, Mode mode, bool owns);
    ~MemoryStream() override;

    ptrdiff_t Read(void* destination, size_t n) override;
    ptrdiff_t Write(const void* source, size_t n) override;
    size_t Position() const override { return position_; }
    bool Seek(size_t position) override;
    bool Skip(size_t n) override;
    size_t Size() const override { return size_; }
    void Back(size_t n) override;
    void Rewind() override { position_ = 0; }

    // Writing streams: the buffer resized to n; false, nothing changed, when it cannot be.
    bool Grow(size_t n);
    const void* Data() const { return buffer_->Data(); }

private:
    AlignedBuffer* buffer_;
    size_t size_;
    size_t position_ = 0;
    Mode mode_;
    bool owns_;
};
