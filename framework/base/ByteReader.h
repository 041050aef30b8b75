#pragma once

#include <cstdint>

class String;

// Error codes a stream keeps (the values of E_FAIL and E_OUTOFMEMORY).
constexpr int32_t kStreamErrorNone = 0;
constexpr int32_t kStreamErrorFail = static_cast<int32_t>(0x80004005u);
constexpr int32_t kStreamErrorOutOfMemory = static_cast<int32_t>(0x8007000Eu);

// Source of bytes for the text codecs and the XML loader. Results are 1/0 unless said otherwise.
// Objects are never deleted through this interface; their owner holds the concrete type.
class ByteReader
{
public:
    // 1 when all count bytes were delivered; *countRead (may be null) gets the number delivered.
    virtual int Read(void* buffer, int count, int* countRead) = 0;
    virtual int AtEnd() = 0;
    virtual int HasError() = 0;
    // Pushes bytes back so that the first of them is read next; 0 when they do not fit.
    virtual int Unread(const void* bytes, int count) = 0;
    // Returns the number of bytes skipped.
    virtual int Skip(int count) = 0;
    virtual long BytesLeft() = 0;
    virtual int Close() = 0;
    virtual const String& GetPath() = 0;
    virtual int32_t GetError() = 0;
    virtual void SetError(int32_t code) = 0;

protected:
    ~ByteReader() = default;
};
