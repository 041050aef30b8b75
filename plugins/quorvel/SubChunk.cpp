#include "plugins/quorvel/SubChunk.h"

#include <cstring>

SubChunkWriter::SubChunkWriter(ByteStream& stream, const char* tag) : stream_(stream)
{
    stream_.Write(tag, 4);
    lengthPosition_ = stream_.Position();
    stream_.WriteInt32(0);
    payloadStart_ = stream_.Position();
}

SubChunkWriter::~SubChunkWriter()
{
    const size_t end = stream_.Position();
    stream_.Seek(lengthPosition_);
    stream_.WriteInt32(static_cast<int32_t>(end - payloadStart_));
    stream_.Seek(end);
}

ChunkReader::ChunkReader(ByteStream& stream, const char* tag, const ChunkReader* parent)
    : stream_(stream), end_(stream.Position())
{
    const size_t start = stream_.Position();
    const size_t limit = parent ? parent->End() : stream_.Size();
    char read[4] = {};
    uint32_t length = 0;
    if (limit < start || limit - start < 8 || stream_.Read(read, 4) != 4 || std::memcmp(read, tag, 4) != 0 ||
        !stream_.ReadUInt32(&length))
    {
        stream_.Seek(start);
        return;
    }
    const size_t payload = stream_.Position();
    if (length > limit - payload)
    {
        overlong_ = true;
        end_ = limit;
        return;
    }
    ok_ = true;
    end_ = payload + length;
}

ChunkReader::~ChunkReader()
{
    stream_.Seek(end_);
}

size_t ChunkReader::Left() const
{
    const size_t position = stream_.Position();
    return ok_ && position < end_ ? end_ - position : 0;
}

bool ChunkReader::Read(void* destination, size_t n)
{
    return n == 0 || (n <= Left() && stream_.Read(destination, n) == static_cast<ptrdiff_t>(n));
}

bool ChunkReader::ReadUInt32(uint32_t* value)
{
    return Left() >= 4 && stream_.ReadUInt32(value);
}

bool ChunkReader::ReadInt32(int32_t* value)
{
    return Left() >= 4 && stream_.ReadInt32(value);
}

bool ChunkReader::Skip(size_t n)
{
    return n <= Left() && stream_.Skip(n);
}
