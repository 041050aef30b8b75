#include "framework/base/FileStream.h"

#include <memory>

namespace
{

constexpr int kPushBackBytes = 256;

// Size of the file by seeking to its end and back; -1 when a seek or position query fails.
long MeasureSize(FILE* file)
{
    long position = ftell(file);
    if (position < 0 || fseek(file, 0, SEEK_END) != 0)
        return -1;
    long size = ftell(file);
    if (fseek(file, position, SEEK_SET) != 0)
        return -1;
    return size;
}

} // namespace

FileStream::FileStream(int deleteOnClose)
    : pushBack_(kPushBackBytes), file_(nullptr), size_(0), deleteOnClose_(deleteOnClose), error_(kStreamErrorNone)
{
}

FileStream::~FileStream()
{
    // Not Close: that would destroy a deleteOnClose stream a second time.
    CloseFile();
}

int FileStream::Open(const char16_t* path, const char16_t* mode)
{
    if (file_)
        return 0;
    if (!path_.AssignWide(path))
    {
        SetError(kStreamErrorOutOfMemory);
        return 0;
    }
    String modeText;
    std::unique_ptr<char[]> ansiPath = path_.ToAnsi();
    std::unique_ptr<char[]> ansiMode;
    if (modeText.AssignWide(mode))
        ansiMode = modeText.ToAnsi();
    if (ansiPath && ansiMode)
        file_ = fopen(ansiPath.get(), ansiMode.get());
    // A stream whose size cannot be measured (not seekable) cannot answer BytesLeft or Skip.
    long size = file_ ? MeasureSize(file_) : -1;
    if (size < 0)
    {
        CloseFile();
        path_.Clear();
        SetError(kStreamErrorFail);
        return 0;
    }
    size_ = size;
    SetError(kStreamErrorNone);
    return 1;
}

int FileStream::OpenRead(const char16_t* path)
{
    return Open(path, u"rb");
}

int FileStream::Read(void* buffer, int count, int* countRead)
{
    if (countRead)
        *countRead = 0;
    if (!file_)
    {
        SetError(kStreamErrorFail);
        return 0;
    }
    if (count < 0)
        return 0;
    int delivered = pushBack_.Pop(buffer, count);
    if (delivered < count)
    {
        delivered += static_cast<int>(fread(static_cast<uint8_t*>(buffer) + delivered, 1, count - delivered, file_));
        if (ferror(file_))
            SetError(kStreamErrorFail);
    }
    if (countRead)
        *countRead = delivered;
    return delivered == count;
}

int FileStream::AtEnd()
{
    return !file_ || feof(file_);
}

int FileStream::HasError()
{
    return !file_ || ferror(file_);
}

int FileStream::Unread(const void* bytes, int count)
{
    if (!file_)
    {
        SetError(kStreamErrorFail);
        return 0;
    }
    return pushBack_.Unread(bytes, count);
}

int FileStream::Skip(int count)
{
    if (!file_)
    {
        SetError(kStreamErrorFail);
        return 0;
    }
    if (count <= 0)
        return 0;
    int fromBuffer = pushBack_.Pop(nullptr, count);
    long left = BytesLeft();
    long rest = count - fromBuffer;
    if (rest > left)
        rest = left;
    if (rest <= 0)
        return fromBuffer;
    if (fseek(file_, rest, SEEK_CUR) != 0)
    {
        SetError(kStreamErrorFail);
        return fromBuffer;
    }
    return fromBuffer + static_cast<int>(rest);
}

long FileStream::BytesLeft()
{
    long position = file_ ? ftell(file_) : -1;
    if (position < 0)
    {
        SetError(kStreamErrorFail);
        return pushBack_.Held();
    }
    // A stream written past its size at open has no file bytes left to read.
    long inFile = size_ > position ? size_ - position : 0;
    return inFile + pushBack_.Held();
}

int FileStream::Close()
{
    if (!file_)
        return 1;
    int closed = CloseFile();
    if (deleteOnClose_)
    {
        delete this;
        return closed;
    }
    if (!closed)
        SetError(kStreamErrorFail);
    return closed;
}

int FileStream::CloseFile()
{
    if (!file_)
        return 1;
    path_.Clear();
    // Bytes pushed back belong to this file, not to the next one opened.
    pushBack_.Clear();
    FILE* file = file_;
    file_ = nullptr;
    // fclose flushes what was written: its failure is lost data.
    return fclose(file) == 0;
}

const String& FileStream::GetPath()
{
    return path_;
}

int32_t FileStream::GetError()
{
    return error_;
}

void FileStream::SetError(int32_t code)
{
    error_ = code;
}

int FileStream::Write(const void* buffer, int count, int* countWritten)
{
    if (countWritten)
        *countWritten = 0;
    if (!file_)
    {
        SetError(kStreamErrorFail);
        return 0;
    }
    if (count < 0)
        return 0;
    int written = static_cast<int>(fwrite(buffer, 1, count, file_));
    if (ferror(file_))
        SetError(kStreamErrorFail);
    if (countWritten)
        *countWritten = written;
    return written == count;
}

int FileStream::Flush()
{
    if (!file_ || fflush(file_) != 0)
    {
        SetError(kStreamErrorFail);
        return 0;
    }
    return 1;
}

long FileStream::Size()
{
    if (!file_)
    {
        SetError(kStreamErrorFail);
        return 0;
    }
    long size = MeasureSize(file_);
    if (size < 0)
    {
        SetError(kStreamErrorFail);
        return 0;
    }
    SetError(kStreamErrorNone);
    return size;
}
