#pragma once
// Tagged sub-chunks: a 4-byte tag as it lies in memory, the 32-bit length of the payload that
// follows, then the payload. The writer fills in the length when it goes; the reader leaves
// the stream at its sub-chunk's end when it goes, so unread payload is skipped and a missing
// sub-chunk consumes nothing.

#include "plugins/quorvel/ByteStream.h"

#include <cstddef>
#include <cstdint>

class SubChunkWriter
{
public:
    SubChunkWriter(ByteStream& stream, const char* tag);
    ~SubChunkWriter();
    SubChunkWriter(const SubChunkWriter&) = delete;
    SubChunkWriter& operator=(const SubChunkWriter&) = delete;

private:
    ByteStream& stream_;
    size_t lengthPosition_;
    size_t payloadStart_;
};

class ChunkReader
{
public:
    // Opens the sub-chunk tagged tag at the stream's position. Its payload must fit in the
    // bytes left: of the parent sub-chunk it lies in, else of the stream.
    ChunkReader(ByteStream& stream, const char* tag, const ChunkReader* parent = nullptr);
    ~ChunkReader();
    ChunkReader(const ChunkReader&) = delete;
    ChunkReader& operator=(const ChunkReader&) = delete;

    // The tag matched and the payload fits.
    bool Ok() const { return ok_; }
    // The tag matched but the length runs past the bytes left: the data is damaged.
    bool Overlong() const { return overlong_; }
    size_t End() const { return end_; }
    // Payload bytes not read yet.
    size_t Left() const;

    // Reads inside the payload only: false, and nothing read, past its end.
    bool ReadInt32(int32_t* value);
    bool ReadUInt32(uint32_t* value);
    bool Read(void* destination, size_t n);
    bool Skip(size_t n);

private:
    ByteStream& stream_;
    size_t end_;
    bool ok_ = false;
    bool overlong_ = false;
};
