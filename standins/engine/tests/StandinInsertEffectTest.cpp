// The simulated engine's inserts, effects and core presets: what the effect view relies on.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "standins/engine/EngineModel.h"
#include "standins/engine/StandinEffects.h"

namespace
{
struct Rig
{
    Rig()
    {
        id.data[0] = 7;
        effect.log = insert.log = record;
        effect.raise = insert.raise = raised;
        effect.SetLibrary(&library.corePresets);
        library.corePresets.AddPreset(id, 1, u"Init", 1);
        library.corePresets.AddPreset(id, 2, u"Mine", 0);
        insert.effect = &effect;
        insert.key = 40;
        insert.hasWetDry = true;
    }
    std::function<void(std::string)> record = [this](std::string line) { log.push_back(std::move(line)); };
    std::function<void(int, VarnEventArg)> raised = [this](int id, VarnEventArg argument) {
        events.emplace_back(id, argument);
    };
    VarnEffectId id{};
    StandinEffects effects;
    StandinFxLibrary library{".", effects, record, raised};
    StandinEffect effect{u"Drive", VarnEffectId{{7, 0, 0, 0}}, 90, StandinEffect::CoreParameters()};
    StandinBus bus{1};
    StandinInsert insert{&bus, 0};
    std::vector<std::string> log;
    std::vector<std::pair<int, VarnEventArg>> events;
};

TEST(StandinInsertEffect, InsertSettersRaiseTheirEventsAndRefuseBadValues)
{
    Rig rig;
    struct Case
    {
        const char* trace;
        int (*set)(StandinInsert&);
        int answer;
        int event;
    } cases[] = {
        {"wet/dry", [](StandinInsert& i) { return i.SetWetDry(0.25f, 0); }, 1, 752},
        {"wet/dry above 1", [](StandinInsert& i) { return i.SetWetDry(1.5f, 0); }, 0, 0},
        {"bypass", [](StandinInsert& i) { return i.SetBypass(1, 1); }, 1, 750},
        {"bypass 2", [](StandinInsert& i) { return i.SetBypass(2, 1); }, 0, 0},
        {"solo", [](StandinInsert& i) { return i.SetSolo(1, 1); }, 1, 751},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        rig.events.clear();
        EXPECT_EQ(c.set(rig.insert), c.answer);
        if (c.event)
            EXPECT_EQ(rig.events, (std::vector<std::pair<int, VarnEventArg>>{{c.event, 40}}));
        else
            EXPECT_TRUE(rig.events.empty());
    }
    EXPECT_FLOAT_EQ(rig.insert.GetWetDry(), 0.25f);
    EXPECT_EQ(rig.insert.IsBypassed(), 1);
    EXPECT_EQ(rig.insert.IsSoloed(), 1);
    rig.insert.effect = nullptr; // a send has no bypass
    EXPECT_EQ(rig.insert.SetBypass(0, 1), 0);
    rig.bus.inserts = {&rig.insert};
    EXPECT_EQ(rig.bus.GetInsert(0), &rig.insert);
    EXPECT_EQ(rig.bus.GetInsert(1), nullptr);
}

TEST(StandinInsertEffect, ParametersSetWithinTheirTypeAndRange)
{
    Rig rig;
    EXPECT_EQ(rig.effect.SetRealValue(4, 6.0f, 0), 1);
    EXPECT_EQ(rig.events.back(), (std::pair<int, VarnEventArg>{614, 90}));
    rig.events.clear();
    EXPECT_EQ(rig.effect.SetRealValue(4, 30.0f, 0), 0); // above the range
    EXPECT_EQ(rig.effect.SetSelectorValue(4, 1, 0), 0); // not a selector
    EXPECT_EQ(rig.effect.SetSelectorValue(2, 3, 0), 0); // past the last entry
    EXPECT_EQ(rig.effect.SetFlagValue(99, 1, 0), 0);    // no such parameter
    EXPECT_TRUE(rig.events.empty());
    EXPECT_FLOAT_EQ(rig.effect.GetRealValue(4, 0), 6.0f);
    EXPECT_EQ(rig.effect.SetIntValue(3, 250, 0), 1);
    char16_t text[8];
    EXPECT_EQ(rig.effect.GetDisplayText(3, text, 8), 1);
    EXPECT_EQ(std::u16string(text), u"250 ms");
    EXPECT_EQ(rig.effect.GetDisplayText(3, text, 3), 1); // cut to the buffer
    EXPECT_EQ(std::u16string(text), u"25");
    EXPECT_EQ(rig.effect.IsInternalParameter(7), 1);
}

TEST(StandinInsertEffect, CorePresetsRefuseFactoryPresetsAndBadNames)
{
    Rig rig;
    EXPECT_EQ(rig.library.GetCorePresetCount(&rig.id), 2);
    VarnCorePresetRecord factory{}, user{};
    ASSERT_EQ(rig.library.GetCorePreset(&rig.id, 0, &factory), 1);
    ASSERT_EQ(rig.library.GetCorePreset(&rig.id, 1, &user), 1);
    EXPECT_EQ(rig.library.GetCorePreset(&rig.id, 2, &user), 0);
    EXPECT_EQ(rig.library.DeleteCorePreset(&factory, 0, 1), 0);
    EXPECT_EQ(rig.library.RenameCorePreset(&factory, 0, u"New", 1), 0);
    EXPECT_EQ(rig.library.StoreCorePreset(&rig.effect, 0, 1), 0);
    EXPECT_EQ(rig.library.NewCorePreset(u"a/b", &rig.effect, 1, 0), 0);
    EXPECT_EQ(rig.library.RenameCorePreset(&user, 1, std::u16string(50, u'x').c_str(), 1), 0);
    EXPECT_EQ(rig.library.DeleteCorePreset(&user, 0, 1), 0); // the record is not the one at 0
    EXPECT_TRUE(rig.events.empty());
    EXPECT_EQ(rig.library.RenameCorePreset(&user, 1, u"Yours", 1), 1);
    EXPECT_EQ(rig.library.NewCorePreset(u"Third", &rig.effect, 1, 0), 1);
    EXPECT_EQ(rig.library.GetCorePresetCount(&rig.id), 3);
    EXPECT_EQ(rig.library.DeleteCorePreset(&user, 1, 1), 0); // renamed since it was read
    ASSERT_EQ(rig.library.GetCorePreset(&rig.id, 1, &user), 1);
    EXPECT_EQ(rig.library.DeleteCorePreset(&user, 1, 1), 1);
    EXPECT_EQ(rig.events, (std::vector<std::pair<int, VarnEventArg>>{{802, 0}, {800, 90}, {801, 0}}));
    ASSERT_EQ(rig.library.GetCorePreset(&rig.id, 1, &user), 1);
    EXPECT_EQ(std::u16string(user.name), u"Third");
    EXPECT_EQ(user.number, 3);
}

TEST(StandinInsertEffect, PresetSelectRaises602AndNamesThePreset)
{
    Rig rig;
    EXPECT_EQ(rig.effect.SelectPreset(1, 1), 1);
    char16_t name[16];
    rig.effect.GetPresetName(name, 16);
    EXPECT_EQ(std::u16string(name), u"Mine");
    EXPECT_EQ(rig.effect.SelectPreset(5, 1), 0);
    EXPECT_EQ(rig.events, (std::vector<std::pair<int, VarnEventArg>>{{602, 90}}));
    rig.effect.removed = 1;
    rig.effect.GetParameterCount();
    EXPECT_EQ(rig.log.back(), "removed effect GetParameterCount");
}
} // namespace
