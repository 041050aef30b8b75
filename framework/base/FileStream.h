#pragma once

#include "framework/base/Buffer.h"
#include "framework/base/ByteReader.h"
#include "framework/base/ByteWriter.h"
#include "framework/base/Object.h"
#include "framework/base/String.h"

#include <cstdint>
#include <cstdio>

// A file read or written through the C runtime's buffered files, with 256 bytes of push-back.
// Every operation on a closed stream records kStreamErrorFail and fails softly.
class FileStream : public Object, public ByteReader, public ByteWriter
{
public:
    // A stream made with deleteOnClose must come from new: Close destroys it.
    explicit FileStream(int deleteOnClose);
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    // 0 when a file is already open. The path and mode go to fopen in the ANSI code page.
    int Open(const char16_t* path, const char16_t* mode);
    int OpenRead(const char16_t* path);

    int Read(void* buffer, int count, int* countRead) override;
    int AtEnd() override;
    int HasError() override;
    int Unread(const void* bytes, int count) override;
    int Skip(int count) override;
    long BytesLeft() override;
    // 1 when no file is open. A stream made with deleteOnClose is destroyed by it. 0 when closing
    // failed to write out buffered bytes.
    int Close() override;
    const String& GetPath() override;
    int32_t GetError() override;
    void SetError(int32_t code) override;

    int Write(const void* buffer, int count, int* countWritten) override;
    int Flush() override;
    long Size() override;

private:
    int CloseFile();

    String path_;
    Buffer pushBack_;
    FILE* file_;
    long size_;
    int deleteOnClose_;
    int32_t error_;
};
