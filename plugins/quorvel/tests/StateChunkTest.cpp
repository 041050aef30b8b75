#include "plugins/quorvel/InsertChain.h"
#include "plugins/quorvel/MemoryStream.h"
#include "plugins/quorvel/StateChunk.h"
#include "plugins/quorvel/SubChunk.h"
#include "plugins/quorvel/tests/FakeModelLink.h"
#include "plugins/quorvel/tests/ModelTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{

// Chunk bytes made by hand: tags, little-endian words, sub-chunks whose length End fills in.
class Bytes
{
public:
    Bytes& Tag(const char* tag)
    {
        data.insert(data.end(), tag, tag + 4);
        return *this;
    }
    Bytes& Word(uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
        {
            data.push_back(static_cast<uint8_t>(value >> (8 * i)));
        }
        return *this;
    }
    Bytes& Words(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
        {
            Word(value);
        }
        return *this;
    }
    Bytes& Units(const std::u16string& text)
    {
        for (char16_t unit : text)
        {
            data.push_back(static_cast<uint8_t>(unit));
            data.push_back(static_cast<uint8_t>(unit >> 8));
        }
        return *this;
    }
    Bytes& Begin(const char* tag)
    {
        Tag(tag);
        open_.push_back(data.size());
        return Word(0);
    }
    Bytes& End()
    {
        const size_t at = open_.back();
        open_.pop_back();
        const auto length = static_cast<uint32_t>(data.size() - at - 4);
        for (int i = 0; i < 4; ++i)
        {
            data[at + static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
        }
        return *this;
    }
    // The offset of the first occurrence of a tag.
    size_t Find(const char* tag) const
    {
        for (size_t i = 0; i + 4 <= data.size(); ++i)
        {
            if (std::memcmp(&data[i], tag, 4) == 0)
            {
                return i;
            }
        }
        ADD_FAILURE() << "no " << tag;
        return 0;
    }
    void Put(size_t offset, uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
        {
            data[offset + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (8 * i));
        }
    }

    std::vector<uint8_t> data;

private:
    std::vector<size_t> open_;
};

std::vector<uint8_t> Written(const InsertStateList& list)
{
    std::unique_ptr<AlignedBuffer> chunk = MakeStateChunk(list);
    if (!chunk)
    {
        return {};
    }
    const auto* bytes = static_cast<const uint8_t*>(chunk->Data());
    return std::vector<uint8_t>(bytes, bytes + chunk->Size());
}

bool Parse(const std::vector<uint8_t>& bytes, InsertStateList* list, const PresetFinder& finder = nullptr)
{
    return ParseStateChunk(bytes.data(), bytes.size(), finder, list);
}

InsertInfo Info(const std::u16string& name, int32_t canBypass)
{
    InsertInfo info{};
    std::memcpy(info.shortName, name.data(), 2 * name.size());
    info.canBypass = canBypass;
    info.wetDryIndex = -1;
    info.hiddenIndex = -1;
    return info;
}

// The header, one send/return record with one value, and its "PINS".
Bytes SendReturnChunk()
{
    Bytes b;
    b.Begin("PPI1").Begin("PPII").Word(1).Word(1).End();
    b.Word(6).Words(0, 4).Words(0, 10);
    b.Begin("PINS").Begin("PIST").Word(2).Word(1).End().Word(0).Word(1);
    b.Begin("PISP").Word(1).Word(2).Word(0x3F000000).End();
    b.Begin("PISI").Word(1).Word(2).Word(5).Word(3).Units(u"AB").Units(std::u16string(1, 0)).End();
    b.Begin("PIRI").Word(1).Word(2).Word(6).Word(2).Units(u"C").Units(std::u16string(1, 0)).End();
    b.End().End();
    return b;
}

using StateChunkTest = WithModelPlatform;

TEST_F(StateChunkTest, AnEmptyChainIs24Bytes)
{
    InsertStateList list;
    Bytes expected;
    expected.Begin("PPI1").Begin("PPII").Word(1).Word(0).End().End();
    const std::vector<uint8_t> bytes = Written(list);
    EXPECT_EQ(bytes.size(), 24u);
    EXPECT_EQ(bytes, expected.data);
}

TEST_F(StateChunkTest, OneSpecialInsertWithTwoValuesIs156Bytes)
{
    InsertStateList list;
    ASSERT_TRUE(list.Reset(1));
    InsertState* state = list.CreateAt(0, 2);
    ASSERT_TRUE(state);
    state->info = Info(u"Trim", 1);
    ASSERT_TRUE(state->SetValueCount(2));
    state->bypassed = 1;

    const std::vector<uint8_t> bytes = Written(list);
    ASSERT_EQ(bytes.size(), 156u);
    uint32_t rest = 0;
    std::memcpy(&rest, &bytes[4], 4);
    EXPECT_EQ(rest, 148u);

    Bytes expected;
    expected.Begin("PPI1").Begin("PPII").Word(1).Word(1).End();
    expected.Word(2).Words(0, 4).Units(u"Trim").Words(0, 3).Word(1).Word(0).Word(0).Word(0xFFFFFFFF).Word(0xFFFFFFFF);
    expected.Begin("PINS").Begin("PIST").Word(2).Word(2).End().Word(1).Word(0);
    expected.Begin("PISP").Word(1).Word(0).Word(0).End().Begin("PISP").Word(1).Word(0).Word(0).End();
    expected.End().End();
    EXPECT_EQ(bytes, expected.data);
}

TEST_F(StateChunkTest, EveryKindComesBackAsItWasWritten)
{
    InsertStateList list;
    ASSERT_TRUE(list.Reset(4));
    auto* effect = static_cast<DspEffectState*>(list.CreateAt(0, 1));
    effect->info = Info(u"Reverb", 1);
    effect->info.hasWetDry = 1;
    effect->info.wetDryIndex = 2;
    effect->preset.id.data[1] = 0xABCD;
    effect->selectedPreset = 4;
    effect->soloed = 1;
    ASSERT_TRUE(effect->SetValueCount(3));
    effect->values[0] = ParamValue::Real(-0.0f);
    effect->values[1] = ParamValue::Integer(4, -3);
    effect->values[2] = ParamValue::Real(0.75f);
    list.CreateAt(1, 4)->info = Info(u"Meter", 0);
    auto* send = static_cast<SendState*>(list.CreateAt(2, 5));
    send->send = ChannelRecord{u"Out 5/6", 1, 2};
    auto* routing = static_cast<SendReturnState*>(list.CreateAt(3, 6));
    routing->send = ChannelRecord{u"Out 1/2", 2, 0};
    routing->ret = ChannelRecord{u"In 1/2", 2, 1};
    const std::vector<uint8_t> bytes = Written(list);
    ASSERT_FALSE(bytes.empty());

    PresetRecord known{};
    const std::u16string name = u"Hall";
    std::memcpy(known.name, name.data(), 2 * name.size());
    known.id = effect->preset.id;
    int lookups = 0;
    const PresetFinder finder = [&](const EffectId& id, PresetRecord* record) {
        ++lookups;
        if (id != known.id)
        {
            return false;
        }
        *record = known;
        return true;
    };
    InsertStateList read;
    ASSERT_TRUE(Parse(bytes, &read, finder));
    EXPECT_EQ(lookups, 1);
    ASSERT_EQ(read.Count(), 4u);
    const auto* readEffect = static_cast<DspEffectState*>(read.At(0));
    EXPECT_EQ(std::u16string(readEffect->preset.name), name) << "the catalogue's record";
    EXPECT_EQ(readEffect->selectedPreset, 4);
    EXPECT_EQ(readEffect->soloed, 1);
    EXPECT_EQ(readEffect->info.wetDryIndex, 2);
    ASSERT_EQ(readEffect->valueCount, 3u);
    EXPECT_EQ(readEffect->values[1].AsInteger(), -3);
    EXPECT_EQ(readEffect->values[0].bits, 0x80000000u);
    EXPECT_EQ(std::u16string(read.At(1)->info.shortName), u"Meter");
    EXPECT_EQ(std::u16string(static_cast<SendState*>(read.At(2))->send.name), u"Out 5/6");
    EXPECT_EQ(static_cast<SendReturnState*>(read.At(3))->ret.second, 1);
    EXPECT_EQ(Written(read), bytes);
}

TEST_F(StateChunkTest, APresetTheCatalogueDoesNotKnowKeepsItsId)
{
    InsertStateList list;
    ASSERT_TRUE(list.Reset(1));
    auto* effect = static_cast<DspEffectState*>(list.CreateAt(0, 1));
    effect->preset.id.data[0] = 0x1234;
    effect->preset.id.data[3] = 0x5678;
    const std::vector<uint8_t> bytes = Written(list);

    InsertStateList read;
    ASSERT_TRUE(Parse(bytes, &read, [](const EffectId&, PresetRecord*) { return false; }));
    EXPECT_EQ(static_cast<DspEffectState*>(read.At(0))->preset.id, effect->preset.id);
    InsertStateList withoutMixer;
    ASSERT_TRUE(Parse(bytes, &withoutMixer));
    EXPECT_EQ(Written(withoutMixer), bytes) << "saved again, the effect is kept";
}

// The instance without its send/return pair.
class NoPairHost final : public ChainHost
{
public:
    void RebuildParamMap() override {}
    void SyncParamMap() override {}
    void StoreParamRequests(bool) override {}
    void WakeParamStores() override {}
    bool HoldsSendReturn() override { return false; }
};

TEST_F(StateChunkTest, AChunkRestoredWithoutTheMixerIsSavedAgainUnchanged)
{
    FakeModelLink link;
    for (int32_t command = 4; command <= 51; ++command)
    {
        link.refused.insert(command); // no mixer program answers
    }
    EffectCatalog catalog(&link);
    NoPairHost host;
    InsertChain chain(&link, &catalog, &host);
    // A DSP effect the catalogue cannot find, a trim pot and a send/return, with their
    // values and switches.
    InsertStateList states;
    ASSERT_TRUE(states.Reset(3));
    auto* effect = static_cast<DspEffectState*>(states.CreateAt(0, kInsertDspEffect));
    effect->preset.id.data[2] = 0xC0FFEE;
    effect->info = Info(u"Reverb", 1);
    effect->bypassed = 1;
    effect->selectedPreset = 3;
    ASSERT_TRUE(effect->SetValueCount(2));
    effect->values[1] = ParamValue::Real(0.25f);
    states.CreateAt(1, kInsertTrimPot)->info = Info(u"Trim", 0);
    auto* routing = static_cast<SendReturnState*>(states.CreateAt(2, kInsertSendReturn));
    routing->info = Info(u"S/R", 1);
    routing->soloed = 1;
    routing->send = ChannelRecord{u"Out 1/2", 2, 0};
    routing->ret = ChannelRecord{u"In 1/2", 2, 1};
    const std::vector<uint8_t> chunk = Written(states);
    ASSERT_FALSE(chunk.empty());

    InsertStateList read;
    ASSERT_TRUE(Parse(chunk, &read, [](const EffectId&, PresetRecord*) { return false; }));
    chain.Restore(read);
    ASSERT_EQ(chain.Count(), 3);
    InsertStateList captured;
    {
        InsertChain::Hold hold(chain);
        ASSERT_TRUE(captured.Capture(chain));
    }
    EXPECT_EQ(Written(captured), chunk);
}

TEST_F(StateChunkTest, ExtraPayloadIsSkipped)
{
    Bytes b;
    b.Begin("PPI1").Begin("PPII").Word(1).Word(1).Word(99).End();
    b.Word(3).Words(0, 4).Words(0, 10);
    b.Begin("PINS").Begin("PIST").Word(2).Word(1).Word(0xDEAD).End().Word(1).Word(0);
    b.Begin("PISP").Word(1).Word(1).Word(42).Word(43).End().Word(77).End();
    b.End();
    InsertStateList read;
    ASSERT_TRUE(Parse(b.data, &read));
    ASSERT_EQ(read.Count(), 1u);
    EXPECT_EQ(read.At(0)->kind, 3);
    EXPECT_EQ(read.At(0)->bypassed, 1);
    ASSERT_EQ(read.At(0)->valueCount, 1u);
    EXPECT_EQ(read.At(0)->values[0].AsInteger(), 42);
}

TEST_F(StateChunkTest, AValueOfKind7HasNoValue)
{
    InsertStateList list;
    ASSERT_TRUE(list.Reset(1));
    InsertState* state = list.CreateAt(0, 2);
    ASSERT_TRUE(state->SetValueCount(2));
    state->values[0].kind = 7;
    state->values[0].bits = 99;
    state->values[1] = ParamValue::Integer(3, 5);
    Bytes b;
    b.data = Written(list);
    const size_t pisp = b.Find("PISP");
    EXPECT_EQ(b.data[pisp + 4], 8u);
    EXPECT_EQ(b.data[pisp + 16 + 4], 12u);

    InsertStateList read;
    ASSERT_TRUE(Parse(b.data, &read));
    EXPECT_EQ(read.At(0)->values[0].kind, 7);
    EXPECT_EQ(read.At(0)->values[0].bits, 0u);
    EXPECT_EQ(read.At(0)->values[1].AsInteger(), 5);
}

TEST_F(StateChunkTest, NoRecordsRestoreAnEmptyChain)
{
    Bytes b;
    b.Begin("PPI1").Begin("PPII").Word(1).Word(0).End().End();
    InsertStateList read;
    ASSERT_TRUE(read.Reset(2));
    ASSERT_TRUE(Parse(b.data, &read));
    EXPECT_EQ(read.Count(), 0u);
}

TEST_F(StateChunkTest, AValidHandMadeChunkIsRead)
{
    InsertStateList read;
    ASSERT_TRUE(Parse(SendReturnChunk().data, &read));
    const auto* routing = static_cast<SendReturnState*>(read.At(0));
    EXPECT_EQ(std::u16string(routing->send.name), u"AB");
    EXPECT_EQ(routing->send.second, 5);
    EXPECT_EQ(std::u16string(routing->ret.name), u"C");
    EXPECT_EQ(routing->soloed, 1);
    EXPECT_FLOAT_EQ(routing->values[0].AsReal(), 0.5f);
}

TEST_F(StateChunkTest, HostileChunksAreRefused)
{
    struct Case
    {
        const char* trace;
        std::function<void(Bytes&)> change;
    } cases[] = {
        {"not PPI1", [](Bytes& b) { b.data[0] = 'X'; }},
        {"the outer length past the data", [](Bytes& b) { b.Put(4, static_cast<uint32_t>(b.data.size() - 7)); }},
        {"2^32 - 1 records", [](Bytes& b) { b.Put(b.Find("PPII") + 12, 0xFFFFFFFF); }},
        {"more records than bytes", [](Bytes& b) { b.Put(b.Find("PPII") + 12, 4); }},
        {"a second record made of the next bytes", [](Bytes& b) { b.Put(b.Find("PPII") + 12, 2); }},
        {"record kind 0", [](Bytes& b) { b.Put(24, 0); }},
        {"record kind 7", [](Bytes& b) { b.Put(24, 7); }},
        {"record kind -1", [](Bytes& b) { b.Put(24, 0xFFFFFFFF); }},
        {"2^32 - 1 values", [](Bytes& b) { b.Put(b.Find("PIST") + 12, 0xFFFFFFFF); }},
        {"more values than bytes", [](Bytes& b) { b.Put(b.Find("PIST") + 12, 6); }},
        {"a PINS longer than the chunk", [](Bytes& b) { b.Put(b.Find("PINS") + 4, 0x7FFFFFFF); }},
        {"a PIST longer than its PINS", [](Bytes& b) { b.Put(b.Find("PIST") + 4, 0x1000); }},
        {"a PISP longer than its PINS", [](Bytes& b) { b.Put(b.Find("PISP") + 4, 0xFFFFFFF0); }},
        {"a name of 2^30 units", [](Bytes& b) { b.Put(b.Find("PISI") + 20, 0x40000000); }},
        {"a name longer than its sub-chunk", [](Bytes& b) { b.Put(b.Find("PISI") + 20, 4); }},
        {"canBypass 2", [](Bytes& b) { b.Put(24 + 20 + 20, 2); }},
        {"a return channel of 1", [](Bytes& b) { b.Put(b.Find("PIRI") + 12, 1); }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        Bytes b = SendReturnChunk();
        c.change(b);
        InsertStateList read;
        EXPECT_FALSE(Parse(b.data, &read));
    }
}

TEST_F(StateChunkTest, EveryCutShortChunkIsRefused)
{
    const std::vector<uint8_t> whole = SendReturnChunk().data;
    for (size_t size = 1; size < whole.size(); ++size)
    {
        SCOPED_TRACE(size);
        InsertStateList read;
        EXPECT_FALSE(ParseStateChunk(whole.data(), size, nullptr, &read));
    }
    InsertStateList read;
    EXPECT_FALSE(ParseStateChunk(nullptr, whole.size(), nullptr, &read));
    EXPECT_FALSE(ParseStateChunk(whole.data(), 0, nullptr, &read));
}

TEST_F(StateChunkTest, ANameOver128UnitsIsCut)
{
    const std::u16string longName(200, u'n');
    Bytes b;
    b.Begin("PPI1").Begin("PPII").Word(1).Word(1).End();
    b.Word(5).Words(0, 4).Words(0, 10);
    b.Begin("PINS").Begin("PIST").Word(2).Word(0).End().Word(0).Word(0);
    b.Begin("PISI").Word(1).Word(1).Word(3).Word(201).Units(longName).Units(std::u16string(1, 0)).End();
    b.End().End();
    InsertStateList read;
    ASSERT_TRUE(Parse(b.data, &read));
    const auto* send = static_cast<SendState*>(read.At(0));
    EXPECT_EQ(std::u16string(send->send.name), std::u16string(127, u'n'));
    EXPECT_EQ(send->send.second, 3);
}

TEST_F(StateChunkTest, ValuesWhoseMemoryCannotBeHadRefuseTheChunk)
{
    Bytes b = SendReturnChunk();
    b.Put(b.Find("PIST") + 12, 2);
    InsertStateList read;
    ASSERT_TRUE(Parse(b.data, &read)) << "two values, the second one missing, are read";
    ModelPlatform().failingSize = 2 * sizeof(ParamValue);
    EXPECT_FALSE(Parse(b.data, &read));
}

TEST_F(StateChunkTest, AListWithAnInvalidRecordIsNotWritten)
{
    InsertStateList list;
    ASSERT_TRUE(list.Reset(2));
    list.CreateAt(0, 2);
    EXPECT_FALSE(MakeStateChunk(list)) << "an empty entry";
    list.CreateAt(1, 6);
    EXPECT_FALSE(MakeStateChunk(list)) << "send/return channels not 2";
}

TEST_F(StateChunkTest, AReadingStreamNeverGrows)
{
    auto* buffer = new AlignedBuffer("abcdefgh", 8, 16, true);
    MemoryStream stream(buffer, 1, MemoryStream::Mode::Reading, true);
    EXPECT_FALSE(stream.Seek(0x7FFFFFF0));
    EXPECT_EQ(stream.Size(), 8u);
    EXPECT_EQ(stream.Position(), 8u);
    char byte = 0;
    EXPECT_EQ(stream.Read(&byte, 1), -1);
    stream.Back(20);
    EXPECT_EQ(stream.Position(), 0u);
    EXPECT_FALSE(stream.Skip(9));
    stream.Rewind();
    EXPECT_EQ(stream.Write("0123456789", 10), -1);
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(buffer->Size(), 8u);
    char all[12] = {};
    EXPECT_EQ(stream.Read(all, sizeof(all)), 8);
    EXPECT_STREQ(all, "abcdefgh");
}

TEST_F(StateChunkTest, AWritingStreamGrowsAndReportsAFailedGrowth)
{
    AlignedBuffer buffer(0, 16, true, true);
    MemoryStream stream(&buffer, 1, MemoryStream::Mode::Writing, false);
    EXPECT_TRUE(stream.WriteInt32(0x01020304));
    EXPECT_TRUE(stream.Seek(40));
    EXPECT_EQ(stream.Size(), 40u);
    ModelPlatform().failing = true;
    EXPECT_EQ(stream.Write("x", 1000), -1);
    EXPECT_TRUE(stream.Failed());
    EXPECT_EQ(stream.Size(), 40u);
}

TEST_F(StateChunkTest, SubChunksAreBoundedByTheirParent)
{
    Bytes b;
    b.Begin("OUTR").Begin("INNR").Word(1).End().Word(2).End();
    b.Put(b.Find("INNR") + 4, 12); // past the outer payload's end, inside the data
    b.Word(3).Word(4);
    auto* buffer = new AlignedBuffer(b.data.data(), b.data.size(), 16, true);
    MemoryStream stream(buffer, 1, MemoryStream::Mode::Reading, true);
    {
        ChunkReader outer(stream, "OUTR");
        ASSERT_TRUE(outer.Ok());
        {
            ChunkReader missing(stream, "NONE", &outer);
            EXPECT_FALSE(missing.Ok());
            EXPECT_FALSE(missing.Overlong());
        }
        EXPECT_EQ(stream.Position(), 8u) << "a missing sub-chunk consumes nothing";
        ChunkReader inner(stream, "INNR", &outer);
        EXPECT_TRUE(inner.Overlong());
    }
    EXPECT_EQ(stream.Position(), 24u) << "the outer sub-chunk's end";
    int32_t value = 0;
    EXPECT_TRUE(stream.ReadInt32(&value));
    EXPECT_EQ(value, 3);
}

} // namespace
