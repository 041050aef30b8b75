#include "plugins/quorvel/ByteStream.h"

#include "plugins/base/platform/PlatformBase.h"

#include <cstring>

bool ByteStream::ReadUInt32(uint32_t* value)
{
    uint32_t word = 0;
    if (Read(&word, sizeof(word)) != static_cast<ptrdiff_t>(sizeof(word)))
    {
        return false;
    }
    ThePlatform()->SwapBytes(&word, sizeof(word), order_);
    *value = word;
    return true;
}

bool ByteStream::ReadInt32(int32_t* value)
{
    uint32_t word = 0;
    if (!ReadUInt32(&word))
    {
        return false;
    }
    std::memcpy(value, &word, sizeof(word));
    return true;
}

bool ByteStream::WriteInt32(int32_t value)
{
    ThePlatform()->SwapBytes(&value, sizeof(value), order_);
    return Write(&value, sizeof(value)) == static_cast<ptrdiff_t>(sizeof(value));
}
