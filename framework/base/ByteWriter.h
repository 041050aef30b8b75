#pragma once

#include <cstdint>

// Sink of bytes for the text codecs and the XML writer. Results are 1/0 unless said otherwise.
// Objects are never deleted through this interface; their owner holds the concrete type.
class ByteWriter
{
public:
    // 1 when all count bytes were written; *countWritten (may be null) gets the number written.
    virtual int Write(const void* buffer, int count, int* countWritten) = 0;
    virtual int AtEnd() = 0;
    virtual int HasError() = 0;
    virtual int Flush() = 0;
    virtual int Close() = 0;
    virtual int32_t GetError() = 0;
    // Size of the written file in bytes.
    virtual long Size() = 0;

protected:
    ~ByteWriter() = default;
};
