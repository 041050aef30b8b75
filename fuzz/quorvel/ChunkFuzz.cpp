// Hands arbitrary bytes to the effects plug-in's state chunk reader, as a host's setChunk
// would. What the reader accepts must be whole: every record valid, and written again it
// reads back to the same bytes. ASan sees any read past the data or into missing values.

#include "plugins/base/platform/PlatformBase.h"
#include "plugins/quorvel/StateChunk.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace
{

// A catalogue that knows the ids whose first word is odd: both paths are taken.
bool FindAny(const EffectId& id, PresetRecord* record)
{
    *record = PresetRecord{};
    record->id = id;
    record->name[0] = u'P';
    return (id.data[0] & 1) != 0;
}

void Fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static PlatformBase* platform = CreatePlatform(0x10000);
    (void)platform;
    InsertStateList states;
    if (!ParseStateChunk(data, size, FindAny, &states))
    {
        return 0;
    }
    if (!states.AllValid() || states.Count() > size / 60)
    {
        Fail("an accepted chunk holds records it cannot");
    }
    volatile uint32_t sum = 0;
    for (uint32_t i = 0; i < states.Count(); ++i)
    {
        const InsertState& state = *states.At(i);
        for (uint32_t j = 0; j < state.valueCount; ++j)
        {
            sum = sum + state.values[j].bits;
        }
    }
    std::unique_ptr<AlignedBuffer> written = MakeStateChunk(states);
    if (!written)
    {
        Fail("an accepted chunk cannot be written");
    }
    InsertStateList again;
    if (!ParseStateChunk(written->Data(), written->Size(), FindAny, &again) || again.Count() != states.Count())
    {
        Fail("a written chunk is not read back");
    }
    std::unique_ptr<AlignedBuffer> twice = MakeStateChunk(again);
    if (!twice || twice->Size() != written->Size() || std::memcmp(twice->Data(), written->Data(), written->Size()) != 0)
    {
        Fail("a chunk read back is written differently");
    }
    return 0;
}
