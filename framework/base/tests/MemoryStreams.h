#pragma once

// In-memory streams, and what the tests and fuzz targets read through them, for the base and
// XML tests, the fuzz targets and the parse benchmark.

#include "framework/base/Buffer.h"
#include "framework/base/ByteReader.h"
#include "framework/base/ByteWriter.h"
#include "framework/base/String.h"
#include "framework/base/TextCodec.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Reads a byte array with the push-back rules of FileStream; AtEnd turns on, as the C
// runtime's end-of-file flag does, once a read came up short.
class MemoryReader : public ByteReader
{
public:
    MemoryReader(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size), position_(0), pushBack_(256), atEnd_(0), error_(0)
    {
    }
    explicit MemoryReader(const std::vector<uint8_t>& bytes) : MemoryReader(bytes.data(), bytes.size()) {}

    int Read(void* buffer, int count, int* countRead) override
    {
        if (countRead)
            *countRead = 0;
        if (count < 0)
            return 0;
        int delivered = pushBack_.Pop(buffer, count);
        size_t want = static_cast<size_t>(count - delivered);
        size_t take = want < size_ - position_ ? want : size_ - position_;
        if (take)
        {
            memcpy(static_cast<uint8_t*>(buffer) + delivered, data_ + position_, take);
            position_ += take;
        }
        if (take < want)
            atEnd_ = 1;
        delivered += static_cast<int>(take);
        if (countRead)
            *countRead = delivered;
        return delivered == count;
    }
    int AtEnd() override { return atEnd_; }
    int HasError() override { return 0; }
    int Unread(const void* bytes, int count) override { return pushBack_.Unread(bytes, count); }
    int Skip(int count) override
    {
        int skipped = pushBack_.Pop(nullptr, count);
        size_t rest = static_cast<size_t>(count > skipped ? count - skipped : 0);
        if (rest > size_ - position_)
            rest = size_ - position_;
        position_ += rest;
        return skipped + static_cast<int>(rest);
    }
    long BytesLeft() override { return static_cast<long>(size_ - position_) + pushBack_.Held(); }
    int Close() override { return 1; }
    const String& GetPath() override { return path_; }
    int32_t GetError() override { return error_; }
    void SetError(int32_t code) override { error_ = code; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_;
    Buffer pushBack_;
    int atEnd_;
    int32_t error_;
    String path_;
};

// Collects written bytes; with a limit it takes no more than that many and then fails.
class MemoryWriter : public ByteWriter
{
public:
    explicit MemoryWriter(size_t limit = SIZE_MAX) : limit_(limit) {}

    int Write(const void* buffer, int count, int* countWritten) override
    {
        if (countWritten)
            *countWritten = 0;
        if (count < 0)
            return 0;
        size_t room = limit_ - bytes.size();
        size_t take = static_cast<size_t>(count) < room ? static_cast<size_t>(count) : room;
        const uint8_t* in = static_cast<const uint8_t*>(buffer);
        bytes.insert(bytes.end(), in, in + take);
        if (countWritten)
            *countWritten = static_cast<int>(take);
        return take == static_cast<size_t>(count);
    }
    int AtEnd() override { return 0; }
    int HasError() override { return 0; }
    int Flush() override { return 1; }
    int Close() override { return 1; }
    int32_t GetError() override { return 0; }
    long Size() override { return static_cast<long>(bytes.size()); }

    std::vector<uint8_t> bytes;

private:
    size_t limit_;
};

// Every unit the codec reads until a read fails.
inline std::u16string ReadAll(TextCodec& codec, ByteReader& reader)
{
    std::u16string units;
    char16_t unit;
    while (codec.ReadChar(reader, &unit))
        units += unit;
    return units;
}

inline std::u16string ReadAll(TextCodec& codec, const std::vector<uint8_t>& bytes)
{
    MemoryReader reader(bytes);
    return ReadAll(codec, reader);
}

// The units a String holds.
inline std::u16string Text(const String& text)
{
    return std::u16string(text.Text(), static_cast<size_t>(text.Length()));
}
