// The VST parameters over the insert chain: which parameters are mapped, the conversions per
// value kind, and the texts the host shows.
#include "plugins/quorvel/ParamMap.h"
#include "plugins/quorvel/tests/FakeChain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

TEST(ParamMapConversions, OnePairPerKindForSetGetAndReport)
{
    const struct
    {
        const char* name;
        FakeParam param;
        float normalized;
        int32_t kind;
        double value;   // integer or float, as the kind says
        float readBack; // what get answers for the stored value
    } cases[] = {
        {"float -100..100", FloatParam(u"Mix", -100.0f, 100.0f), 0.9f, 2, 80.0, 0.9f},
        {"float beyond 100 in whole steps", FloatParam(u"Freq", 0.0f, 1000.0f), 0.12345f, 2, 123.0, 0.123f},
        {"selector of range 1: any value above 0 is 1", IntParam(u"Mode", 4, 0, 1), 0.3f, 4, 1, 1.0f},
        {"selector of range 1 at 0", IntParam(u"Mode", 4, 0, 1), 0.0f, 4, 0, 0.0f},
        {"selector rounds", IntParam(u"Type", 4, 0, 4), 0.6f, 4, 2, 0.5f},
        {"integer with offset", IntParam(u"Taps", 0, 10, 20), 0.55f, 0, 16, 0.6f},
        {"integer halves away from zero", IntParam(u"Gain", 3, -10, 10), 0.375f, 3, -2, 0.4f},
        {"switch truncates", IntParam(u"On", 1, 0, 1), 0.9f, 1, 0, 0.0f},
        {"switch on", IntParam(u"On", 1, 0, 1), 1.0f, 1, 1, 1.0f},
        // An empty range: every host value is the minimum, and reads back as 0, not infinity.
        {"empty float range", FloatParam(u"Fixed", 5.0f, 5.0f), 0.7f, 2, 5.0, 0.0f},
        {"empty integer range", IntParam(u"Fixed", 0, 3, 3), 0.7f, 0, 3, 0.0f},
    };
    for (const auto& c : cases)
    {
        FakeChain chain;
        chain.Add(u"Fx", {c.param});
        std::unique_ptr<ParamMap> map = ParamMap::Build(&chain);
        ASSERT_EQ(map->Count(), 1) << c.name;
        ASSERT_TRUE(map->Request(0, c.normalized));
        EXPECT_TRUE(chain.stored.empty()) << "kept for the chain's holder";
        const float asked = map->Get(0);
        map->StoreRequests(chain, false);
        EXPECT_EQ(map->Get(0), asked) << c.name << ": the same value before and after it is stored";
        const ParamValue stored = chain.inserts[0].values[0];
        EXPECT_EQ(stored.kind, c.kind) << c.name;
        if (c.kind == 2)
        {
            EXPECT_NEAR(stored.AsReal(), c.value, 1e-4) << c.name;
        }
        else
        {
            EXPECT_EQ(stored.AsInteger(), static_cast<int32_t>(c.value)) << c.name;
        }
        EXPECT_NEAR(map->Get(0), c.readBack, 1e-4) << c.name;
        // The report to the host converts the same way as get.
        EXPECT_EQ(ParamMap::ToNormalized(*map->Find(0), stored), map->Get(0)) << c.name;
    }
}

// Every value of the engine's range comes back from the host's 0..1 as it was, for every kind
// and over ranges that do not start at 0.
TEST(ParamMapConversions, RoundTripOverTheEnginesRanges)
{
    const struct
    {
        const char* name;
        FakeParam param;
        double step;      // the values tried: minimum, minimum + step, ... maximum
        double tolerance; // how far a value may come back from where it was
    } cases[] = {
        {"integer 0..10", IntParam(u"P", 0, 0, 10), 1, 0},
        {"integer -48..12", IntParam(u"P", 0, -48, 12), 1, 0},
        {"integer 0..65535", IntParam(u"P", 0, 0, 65535), 7, 0},
        {"stepped -10..10", IntParam(u"P", 3, -10, 10), 1, 0},
        {"stepped 100..120", IntParam(u"P", 3, 100, 120), 1, 0},
        {"switch", IntParam(u"P", 1, 0, 1), 1, 0},
        {"selector 0..4", IntParam(u"P", 4, 0, 4), 1, 0},
        {"selector of two", IntParam(u"P", 4, 0, 1), 1, 0},
        {"selector 2..6", IntParam(u"P", 4, 2, 6), 1, 0},
        {"selector of two from 1", IntParam(u"P", 4, 1, 2), 1, 0},
        {"float -1..1", FloatParam(u"P", -1.0f, 1.0f), 0.125, 1e-6},
        {"float 0..100", FloatParam(u"P", 0.0f, 100.0f), 2.5, 1e-4},
        {"float -96..12", FloatParam(u"P", -96.0f, 12.0f), 0.5, 1e-4},
        // Beyond +-100 values are whole: a whole value comes back exactly.
        {"float 20..20000", FloatParam(u"P", 20.0f, 20000.0f), 333, 0},
        {"float -1000..-200", FloatParam(u"P", -1000.0f, -200.0f), 50, 0},
    };
    for (const auto& c : cases)
    {
        FakeChain chain;
        chain.Add(u"Fx", {c.param});
        std::unique_ptr<ParamMap> map = ParamMap::Build(&chain);
        ASSERT_EQ(map->Count(), 1) << c.name;
        const ParamMap::Record& record = *map->Find(0);
        const double low = record.offset;
        const double high = low + (c.param.valueKind == 1 ? 1.0 : record.range);
        for (double v = low; v <= high; v += c.step)
        {
            const ParamValue value = c.param.valueKind == 2
                                         ? ParamValue::Real(static_cast<float>(v))
                                         : ParamValue::Integer(c.param.valueKind, static_cast<int32_t>(v));
            const float normalized = ParamMap::ToNormalized(record, value);
            EXPECT_GE(normalized, 0.0f) << c.name << " at " << v;
            EXPECT_LE(normalized, 1.0f) << c.name << " at " << v;
            const ParamValue back = ParamMap::ToValue(record, normalized);
            EXPECT_EQ(back.kind, value.kind) << c.name << " at " << v;
            if (c.param.valueKind == 2)
            {
                EXPECT_NEAR(back.AsReal(), v, c.tolerance) << c.name << " at " << v;
            }
            else
            {
                EXPECT_EQ(back.AsInteger(), static_cast<int32_t>(v)) << c.name << " at " << v;
            }
        }
    }
}

// Whatever the host sends, the insert gets a value inside its range (NaN leaves the value as it
// was), and whatever the engine holds, the host reads 0..1.
TEST(ParamMapConversions, HostValuesAreClampedAndReadsStayInsideZeroToOne)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct
    {
        const char* name;
        FakeParam param;
        float sent;
        double stored; // what the insert gets: integer or float as the kind says
    } sets[] = {
        {"below 0", FloatParam(u"P", -100.0f, 100.0f), -1.0f, -100.0},
        {"above 1", FloatParam(u"P", -100.0f, 100.0f), 2.0f, 100.0},
        {"huge", FloatParam(u"P", -100.0f, 100.0f), 1e30f, 100.0},
        {"infinity", FloatParam(u"P", 20.0f, 20000.0f), inf, 20000.0},
        {"minus infinity", FloatParam(u"P", 20.0f, 20000.0f), -inf, 20.0},
        {"integer above 1", IntParam(u"P", 0, -48, 12), 7.5f, 12},
        {"integer minus infinity", IntParam(u"P", 0, -48, 12), -inf, -48},
        {"stepped huge", IntParam(u"P", 3, 0, 10), 1e30f, 10},
        {"switch above 1", IntParam(u"P", 1, 0, 1), 3.0f, 1},
        {"switch below 0", IntParam(u"P", 1, 0, 1), -0.5f, 0},
        {"selector of two below 0", IntParam(u"P", 4, 0, 1), -2.0f, 0},
        {"selector above 1", IntParam(u"P", 4, 2, 6), 9.0f, 6},
    };
    for (const auto& c : sets)
    {
        FakeChain chain;
        chain.Add(u"Fx", {c.param});
        std::unique_ptr<ParamMap> map = ParamMap::Build(&chain);
        ASSERT_TRUE(map->Request(0, c.sent)) << c.name;
        map->StoreRequests(chain, false);
        const ParamValue stored = chain.inserts[0].values[0];
        if (c.param.valueKind == 2)
        {
            EXPECT_EQ(stored.AsReal(), static_cast<float>(c.stored)) << c.name;
        }
        else
        {
            EXPECT_EQ(stored.AsInteger(), static_cast<int32_t>(c.stored)) << c.name;
        }
        const float read = map->Get(0);
        EXPECT_TRUE(read >= 0.0f && read <= 1.0f) << c.name << ": " << read;
    }

    // NaN: nothing is asked of the insert, and the host reads the value it had.
    {
        FakeChain chain;
        chain.Add(u"Fx", {FloatParam(u"P", -100.0f, 100.0f)});
        chain.inserts[0].values[0] = ParamValue::Real(50.0f);
        std::unique_ptr<ParamMap> map = ParamMap::Build(&chain);
        EXPECT_FALSE(map->Request(0, nan));
        map->StoreRequests(chain, false);
        EXPECT_TRUE(chain.stored.empty());
        EXPECT_FLOAT_EQ(map->Get(0), 0.75f);
    }

    // Values the engine holds outside the parameter's range, before the host set anything.
    const struct
    {
        const char* name;
        FakeParam param;
        ParamValue held;
        float read;
    } reads[] = {
        {"switch at 3", IntParam(u"P", 1, 0, 10), ParamValue::Integer(1, 3), 1.0f},
        {"switch at -1", IntParam(u"P", 1, 0, 1), ParamValue::Integer(1, -1), 1.0f},
        {"integer below its minimum", IntParam(u"P", 0, 0, 10), ParamValue::Integer(0, -5), 0.0f},
        {"stepped above its maximum", IntParam(u"P", 3, 0, 10), ParamValue::Integer(3, 40), 1.0f},
        {"selector above its maximum", IntParam(u"P", 4, 0, 3), ParamValue::Integer(4, 7), 1.0f},
        {"float above its maximum", FloatParam(u"P", -1.0f, 1.0f), ParamValue::Real(1e30f), 1.0f},
        {"float infinity", FloatParam(u"P", -1.0f, 1.0f), ParamValue::Real(-inf), 0.0f},
        {"float NaN", FloatParam(u"P", -1.0f, 1.0f), ParamValue::Real(nan), 0.0f},
        {"another kind's pair", FloatParam(u"P", 0.0f, 1.0f), ParamValue::Integer(7, 12345), 0.0f},
    };
    for (const auto& c : reads)
    {
        FakeChain chain;
        chain.Add(u"Fx", {c.param});
        chain.inserts[0].values[0] = c.held;
        std::unique_ptr<ParamMap> map = ParamMap::Build(&chain);
        EXPECT_EQ(map->Get(0), c.read) << c.name;
        EXPECT_EQ(ParamMap::ToNormalized(*map->Find(0), c.held), c.read) << c.name << ": the report to the host";
    }
}

TEST(ParamMapBuilding, ShownWritableParametersInChainOrderUpTo256)
{
    FakeChain chain;
    FakeParam meter = IntParam(u"Level", 0, 0, 100);
    meter.access = 8;
    FakeParam meter9 = meter;
    meter9.access = 9;
    FakeChain::Insert& first = chain.Add(
        u"Delay", {IntParam(u"Time", 0, 0, 1000), meter, FloatParam(u"Wet", 0, 1), meter9, IntParam(u"Hid", 0, 0, 1)});
    first.hasWetDry = false;
    first.wetDryIndex = 2;
    first.hasHidden = true;
    first.hiddenIndex = 4;
    chain.AddEmpty();
    std::vector<FakeParam> many;
    for (int i = 0; i < 300; ++i)
    {
        many.push_back(IntParam(u"P", 0, 0, 10));
    }
    chain.Add(u"Big", many);
    std::unique_ptr<ParamMap> map = ParamMap::Build(&chain);
    // Insert 0 gives one (meters, the unused wet/dry and the hidden one are skipped), the
    // empty position none, and the big insert fills the rest: 255 of its 300.
    ASSERT_EQ(map->Count(), ParamMap::kMaxParams);
    int32_t position = 0, index = 0;
    map->Lookup(0, &position, &index);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(index, 0);
    map->Lookup(255, &position, &index);
    EXPECT_EQ(position, 2);
    EXPECT_EQ(index, 254);
    map->Lookup(256, &position, &index);
    EXPECT_EQ(position, -1) << "the 257th parameter is not mapped";
    EXPECT_EQ(index, -1);
    map->Lookup(-1, &position, &index);
    EXPECT_EQ(position, -1);
    EXPECT_EQ(map->FindByInsert(2, 254)->vstIndex, 255);
    EXPECT_EQ(map->FindByInsert(2, 255), nullptr);

    // Setting an index beyond the map stores nothing; getting it answers 0.
    EXPECT_FALSE(map->Request(256, 0.5f));
    EXPECT_FALSE(map->Request(-1, 0.5f));
    map->StoreRequests(chain, false);
    EXPECT_TRUE(chain.stored.empty());
    EXPECT_EQ(map->Get(256), 0.0f);

    // With wet/dry in use it is mapped; a detached chain maps nothing.
    chain.inserts[0].hasWetDry = true;
    map = ParamMap::Build(&chain);
    EXPECT_EQ(map->FindByInsert(0, 2)->vstIndex, 1);
    chain.attached = false;
    EXPECT_EQ(ParamMap::Build(&chain)->Count(), 0);
    EXPECT_EQ(ParamMap::Build(nullptr)->Count(), 0);
}

TEST(ParamMapTexts, NamesDisplaysAndLabels)
{
    FakeChain chain;
    FakeParam time = IntParam(u"Time", 3, 0, 1000);
    time.unit = u"millisec";
    FakeParam feedback = FloatParam(u"Feedback with a long name", -1.0f, 1.0f);
    feedback.unit = u"percent of it";
    FakeParam hidden = IntParam(u"Secret", 4, 0, 3);
    hidden.paramKind = 3;
    chain.Add(u"LongName12", {time, feedback, IntParam(u"Bypass", 1, 0, 1), hidden, IntParam(u"Odd", 0, 0, 1)});
    FakeParam accented = IntParam(u"Gro\u00df", 0, 0, 1);
    chain.Add(u"\u4e2dcho", {accented});
    std::unique_ptr<ParamMap> map = ParamMap::Build(&chain);
    chain.inserts[0].values[0] = ParamValue::Integer(3, 250);
    chain.inserts[0].values[1] = ParamValue::Real(-0.126f);
    chain.inserts[0].values[2] = ParamValue::Integer(1, 1);
    chain.inserts[0].values[4] = ParamValue::Integer(0, 0);
    map->Sync(chain);

    char text[64];
    auto name = [&](int32_t i) {
        std::strcpy(text, "old");
        map->Name(i, text);
        return std::string(text);
    };
    auto display = [&](int32_t i) {
        std::strcpy(text, "old");
        map->Display(i, text);
        return std::string(text);
    };
    auto label = [&](int32_t i) {
        std::strcpy(text, "old");
        map->Label(i, text);
        return std::string(text);
    };
    EXPECT_EQ(name(0), "LongName:Time") << "the short name is cut at 8 characters";
    EXPECT_EQ(name(1), "LongName:Feedback with a long n") << "at most 31 characters";
    EXPECT_EQ(name(3), "hidden parameter");
    EXPECT_EQ(name(5), "?cho:Gro?") << "what the code page cannot show";
    EXPECT_EQ(name(6), "unmapped");
    EXPECT_EQ(display(0), "250");
    EXPECT_EQ(display(1), "-0.13");
    EXPECT_EQ(display(2), "On");
    EXPECT_EQ(display(4), " - ");
    EXPECT_EQ(display(6), " NA ");
    EXPECT_EQ(label(0), "millisec");
    EXPECT_EQ(label(1), "percent ") << "at most 8 characters";
    EXPECT_EQ(label(6), " NA ");

    // Names and labels are the map's own: the chain changing under it changes nothing the
    // host reads until the chain's holder builds the next map.
    chain.inserts[0].shownCount = 2;
    chain.inserts[0].shortName.clear();
    EXPECT_EQ(name(0), "LongName:Time");
    EXPECT_EQ(label(0), "millisec");
}

TEST(ParamMapRequests, GoOnlyToTheInsertTheMapWasBuiltFor)
{
    FakeChain chain;
    chain.Add(u"A", {IntParam(u"P", 0, 0, 10)});
    chain.Add(u"B", {IntParam(u"Q", 0, 0, 10)});
    std::unique_ptr<ParamMap> map = ParamMap::Build(&chain);
    ASSERT_EQ(map->Count(), 2);

    // Position 0 now holds another insert (a move or a replacement the map has not followed):
    // its value is not the host's business; position 1 is gone.
    std::swap(chain.inserts[0], chain.inserts[1]);
    chain.inserts[1].shortName.clear();
    ASSERT_TRUE(map->Request(0, 1.0f));
    ASSERT_TRUE(map->Request(1, 1.0f));
    map->StoreRequests(chain, true);
    EXPECT_TRUE(chain.stored.empty());
    EXPECT_EQ(map->Get(0), 0.0f) << "a dropped request is not read back";

    // Built again it follows the inserts, and a store from the services thread says so.
    map = ParamMap::Build(&chain);
    ASSERT_EQ(map->Count(), 1);
    ASSERT_TRUE(map->Request(0, 0.5f));
    map->StoreRequests(chain, true);
    EXPECT_EQ(chain.stored, (std::vector<std::pair<int32_t, int32_t>>{{0, 0}}));
    EXPECT_EQ(chain.directStores, 1);
    EXPECT_EQ(chain.inserts[0].values[0].AsInteger(), 5);
}

TEST(ParamMapRequests, MoveToTheNextMapUnlessItHasItsOwn)
{
    FakeChain chain;
    chain.Add(u"A", {IntParam(u"P", 0, 0, 10), IntParam(u"Q", 0, 0, 10)});
    std::unique_ptr<ParamMap> old = ParamMap::Build(&chain);
    old->Request(0, 0.3f);
    old->Request(1, 0.4f);
    chain.AddEmpty();
    std::swap(chain.inserts[0], chain.inserts[1]); // the insert moved to position 1
    std::unique_ptr<ParamMap> fresh = ParamMap::Build(&chain);
    fresh->Request(1, 0.9f);
    EXPECT_TRUE(fresh->TakeRequests(*old));
    EXPECT_EQ(fresh->Current(0).AsInteger(), 3) << "followed its insert to its new place";
    EXPECT_EQ(fresh->Current(1).AsInteger(), 9) << "the newer request stays";
    fresh->StoreRequests(chain, false);
    EXPECT_EQ(chain.inserts[1].values[0].AsInteger(), 3);
}

} // namespace
