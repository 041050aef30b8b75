#pragma once
// A state chunk of one special insert with one value, as the plug-in saves it, in the hex
// bytes tools/vsthost takes (--set-chunk): the chains a host's project brings along.
#include "plugins/base/platform/AlignedBuffer.h"
#include "plugins/base/platform/PlatformBase.h"
#include "plugins/quorvel/InsertEffect.h"
#include "plugins/quorvel/InsertState.h"
#include "plugins/quorvel/StateChunk.h"

#include <cstdio>
#include <memory>
#include <string>

inline std::string SpecialChunkHex(int32_t kind, const std::u16string& name, const ParamValue& value)
{
    InsertStateList chain;
    if (!CreatePlatform(0x10000) || !chain.Reset(1))
    {
        return {};
    }
    InsertState* insert = chain.CreateAt(0, kind);
    insert->info = InsertInfo{{}, 1, 0, 0, -1, -1};
    name.copy(insert->info.shortName, 10);
    if (!insert->SetValueCount(1))
    {
        return {};
    }
    insert->values[0] = value;
    const std::unique_ptr<AlignedBuffer> chunk = MakeStateChunk(chain);
    std::string hex;
    for (size_t i = 0; chunk && i < chunk->Size(); ++i)
    {
        char pair[3];
        std::snprintf(pair, sizeof(pair), "%02x", static_cast<const uint8_t*>(chunk->Data())[i]);
        hex += pair;
    }
    return hex;
}
