#include "plugins/quorvel/StateChunk.h"

#include "plugins/quorvel/MemoryStream.h"
#include "plugins/quorvel/SubChunk.h"

#include <cstring>
#include <new>

namespace
{

constexpr int32_t kChunkVersion = 1;
constexpr int32_t kStateVersion = 2;
constexpr int32_t kValueVersion = 1;
constexpr int32_t kChannelVersion = 1;
constexpr size_t kRecordSize = 60;
// The smallest "PISP": its header, version and kind.
constexpr size_t kSmallestValue = 16;
constexpr size_t kNameUnits = 128;

bool WriteWords(ByteStream& stream, const void* data, size_t words)
{
    bool ok = true;
    for (size_t i = 0; i < words; ++i)
    {
        int32_t word = 0;
        std::memcpy(&word, static_cast<const uint8_t*>(data) + 4 * i, 4);
        ok = stream.WriteInt32(word) && ok;
    }
    return ok;
}

bool ReadWords(ChunkReader& reader, void* data, size_t words)
{
    for (size_t i = 0; i < words; ++i)
    {
        int32_t word = 0;
        if (!reader.ReadInt32(&word))
        {
            return false;
        }
        std::memcpy(static_cast<uint8_t*>(data) + 4 * i, &word, 4);
    }
    return true;
}

void WriteChannel(ByteStream& stream, const char* tag, const ChannelRecord& channel)
{
    SubChunkWriter chunk(stream, tag);
    size_t n = 0;
    while (n + 1 < kNameUnits && channel.name[n] != 0)
    {
        ++n;
    }
    stream.WriteInt32(kChannelVersion);
    stream.WriteInt32(channel.first);
    stream.WriteInt32(channel.second);
    stream.WriteInt32(static_cast<int32_t>(n + 1));
    for (size_t i = 0; i < n; ++i)
    {
        stream.Write(&channel.name[i], 2);
    }
    const char16_t terminator = 0;
    stream.Write(&terminator, 2);
}

void WriteInsert(ByteStream& stream, const InsertState& state)
{
    SubChunkWriter chunk(stream, "PINS");
    {
        SubChunkWriter header(stream, "PIST");
        stream.WriteInt32(kStateVersion);
        stream.WriteInt32(static_cast<int32_t>(state.valueCount));
    }
    if (state.kind == kInsertDspEffect)
    {
        stream.WriteInt32(static_cast<const DspEffectState&>(state).selectedPreset);
    }
    stream.WriteInt32(state.bypassed != 0 ? 1 : 0);
    stream.WriteInt32(state.soloed != 0 ? 1 : 0);
    for (uint32_t j = 0; j < state.valueCount; ++j)
    {
        SubChunkWriter value(stream, "PISP");
        const ParamValue& pair = state.values[j];
        stream.WriteInt32(kValueVersion);
        stream.WriteInt32(pair.kind);
        if (pair.kind >= 0 && pair.kind <= 4)
        {
            stream.WriteInt32(static_cast<int32_t>(pair.bits));
        }
    }
    if (state.kind == kInsertSend)
    {
        WriteChannel(stream, "PISI", static_cast<const SendState&>(state).send);
    }
    else if (state.kind == kInsertSendReturn)
    {
        const auto& routing = static_cast<const SendReturnState&>(state);
        WriteChannel(stream, "PISI", routing.send);
        WriteChannel(stream, "PIRI", routing.ret);
    }
}

// What one read step found.
enum class Step
{
    Read,
    Missing, // the sub-chunk is not there: skipped
    Refused, // the chunk is damaged
};

// A channel record; a name over 128 units is cut to 127 and terminated.
Step ReadChannel(ByteStream& stream, const char* tag, const ChunkReader& parent, ChannelRecord* channel)
{
    ChunkReader chunk(stream, tag, &parent);
    if (chunk.Overlong())
    {
        return Step::Refused;
    }
    if (!chunk.Ok())
    {
        return Step::Missing;
    }
    uint32_t units = 0;
    if (!chunk.Skip(4) || !chunk.ReadInt32(&channel->first) || !chunk.ReadInt32(&channel->second) ||
        !chunk.ReadUInt32(&units))
    {
        return Step::Read;
    }
    if (units > chunk.Left() / 2)
    {
        return Step::Refused;
    }
    const size_t kept = units < kNameUnits ? units : kNameUnits - 1;
    std::memset(channel->name, 0, sizeof(channel->name));
    chunk.Read(channel->name, 2 * kept);
    channel->name[kNameUnits - 1] = 0;
    return Step::Read;
}

Step ReadInsert(ByteStream& stream, const ChunkReader& top, InsertState* state)
{
    ChunkReader chunk(stream, "PINS", &top);
    if (chunk.Overlong())
    {
        return Step::Refused;
    }
    if (!chunk.Ok())
    {
        return Step::Missing;
    }
    uint32_t count = 0;
    {
        ChunkReader header(stream, "PIST", &chunk);
        if (header.Overlong())
        {
            return Step::Refused;
        }
        if (header.Ok() && header.Skip(4))
        {
            header.ReadUInt32(&count);
        }
    }
    if (state->kind == kInsertDspEffect)
    {
        chunk.ReadInt32(&static_cast<DspEffectState*>(state)->selectedPreset);
    }
    int32_t word = 0;
    if (chunk.ReadInt32(&word))
    {
        state->bypassed = word != 0 ? 1 : 0;
    }
    if (chunk.ReadInt32(&word))
    {
        state->soloed = word != 0 ? 1 : 0;
    }
    // Every value takes a sub-chunk of at least 16 bytes: a count the payload cannot hold is
    // not believed.
    if (count > chunk.Left() / kSmallestValue || !state->SetValueCount(count))
    {
        return Step::Refused;
    }
    for (uint32_t j = 0; j < count; ++j)
    {
        ChunkReader value(stream, "PISP", &chunk);
        if (value.Overlong())
        {
            return Step::Refused;
        }
        ParamValue& pair = state->values[j];
        if (value.Ok() && value.Skip(4) && value.ReadInt32(&pair.kind) && pair.kind >= 0 && pair.kind <= 4)
        {
            value.ReadUInt32(&pair.bits);
        }
    }
    Step step = Step::Read;
    if (state->kind == kInsertSend)
    {
        step = ReadChannel(stream, "PISI", chunk, &static_cast<SendState*>(state)->send);
    }
    else if (state->kind == kInsertSendReturn)
    {
        auto* routing = static_cast<SendReturnState*>(state);
        step = ReadChannel(stream, "PISI", chunk, &routing->send);
        if (step != Step::Refused)
        {
            step = ReadChannel(stream, "PIRI", chunk, &routing->ret);
        }
    }
    return step == Step::Refused ? Step::Refused : Step::Read;
}

} // namespace

bool WriteStateChunk(const InsertStateList& states, ByteStream& stream)
{
    if (!states.AllValid())
    {
        return false;
    }
    {
        SubChunkWriter chunk(stream, "PPI1");
        {
            SubChunkWriter header(stream, "PPII");
            stream.WriteInt32(kChunkVersion);
            stream.WriteInt32(static_cast<int32_t>(states.Count()));
        }
        for (uint32_t i = 0; i < states.Count(); ++i)
        {
            const InsertState& state = *states.At(i);
            stream.WriteInt32(state.kind);
            EffectId id;
            if (state.kind == kInsertDspEffect)
            {
                id = static_cast<const DspEffectState&>(state).preset.id;
            }
            WriteWords(stream, &id, sizeof(id) / 4);
            WriteWords(stream, &state.info, sizeof(state.info) / 4);
        }
        for (uint32_t i = 0; i < states.Count(); ++i)
        {
            WriteInsert(stream, *states.At(i));
        }
    }
    return !stream.Failed();
}

bool ReadStateChunk(ByteStream& stream, const PresetFinder& findPreset, InsertStateList* states)
{
    states->Clear();
    ChunkReader top(stream, "PPI1");
    if (!top.Ok())
    {
        return false;
    }
    uint32_t count = 0;
    {
        ChunkReader header(stream, "PPII", &top);
        if (header.Overlong())
        {
            return false;
        }
        if (header.Ok() && header.Skip(4))
        {
            header.ReadUInt32(&count);
        }
    }
    if (count > top.Left() / kRecordSize || !states->Reset(count))
    {
        return false;
    }
    for (uint32_t i = 0; i < count; ++i)
    {
        int32_t kind = 0;
        EffectId id;
        InsertInfo info{};
        if (!top.ReadInt32(&kind) || !ReadWords(top, &id, sizeof(id) / 4) || !ReadWords(top, &info, sizeof(info) / 4))
        {
            return false;
        }
        InsertState* state = states->CreateAt(i, kind);
        if (!state)
        {
            return false;
        }
        state->info = info;
        if (kind == kInsertDspEffect)
        {
            PresetRecord& preset = static_cast<DspEffectState*>(state)->preset;
            if (!findPreset || !findPreset(id, &preset))
            {
                preset = PresetRecord{};
                preset.id = id;
            }
        }
    }
    for (uint32_t i = 0; i < count; ++i)
    {
        if (ReadInsert(stream, top, states->At(i)) == Step::Refused)
        {
            return false;
        }
    }
    return states->AllValid();
}

std::unique_ptr<AlignedBuffer> MakeStateChunk(const InsertStateList& states)
{
    std::unique_ptr<AlignedBuffer> buffer(new (std::nothrow) AlignedBuffer(0, 16, true, true));
    if (!buffer || !buffer->IsValid())
    {
        return nullptr;
    }
    MemoryStream stream(buffer.get(), 1, MemoryStream::Mode::Writing, false);
    if (!WriteStateChunk(states, stream))
    {
        return nullptr;
    }
    return buffer;
}

bool ParseStateChunk(const void* data, size_t size, const PresetFinder& findPreset, InsertStateList* states)
{
    if (!data || size == 0)
    {
        return false;
    }
    auto* buffer = new (std::nothrow) AlignedBuffer(data, size, 16, true);
    if (!buffer)
    {
        return false;
    }
    MemoryStream stream(buffer, 1, MemoryStream::Mode::Reading, true);
    return buffer->IsValid() && buffer->Size() == size && ReadStateChunk(stream, findPreset, states);
}
