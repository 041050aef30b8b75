#include "plugins/quorvel/MemoryStream.h"

#include "plugins/base/platform/PlatformBase.h"

MemoryStream::MemoryStream(AlignedBuffer* buffer, int32_t order, Mode mode, bool owns)
    : ByteStream(order), buffer_(buffer), size_(buffer->Size()), mode_(mode), owns_(owns)
{
}

MemoryStream::~MemoryStream()
{
    if (owns_)
    {
        delete buffer_;
    }
}

ptrdiff_t MemoryStream::Read(void* destination, size_t n)
{
    if (position_ >= size_)
    {
        return -1;
    }
    const size_t count = n < size_ - position_ ? n : size_ - position_;
    ThePlatform()->MoveBytes(destination, static_cast<const unsigned char*>(buffer_->Data()) + position_, count);
    position_ += count;
    return static_cast<ptrdiff_t>(count);
}

ptrdiff_t MemoryStream::Write(const void* source, size_t n)
{
    if (n > SIZE_MAX - position_ || (position_ + n > size_ && !Grow(position_ + n)))
    {
        MarkFailed();
        return -1;
    }
    ThePlatform()->MoveBytes(static_cast<unsigned char*>(buffer_->Data()) + position_, source, n);
    position_ += n;
    return static_cast<ptrdiff_t>(n);
}

bool MemoryStream::Seek(size_t position)
{
    if (position > size_ && !Grow(position))
    {
        position_ = size_;
        return false;
    }
    position_ = position;
    return true;
}

bool MemoryStream::Skip(size_t n)
{
    return Seek(n > SIZE_MAX - position_ ? SIZE_MAX : position_ + n);
}

void MemoryStream::Back(size_t n)
{
    position_ = n < position_ ? position_ - n : 0;
}

bool MemoryStream::Grow(size_t n)
{
    if (mode_ != Mode::Writing || !buffer_->Resize(n))
    {
        return false;
    }
    size_ = buffer_->Size();
    return true;
}
