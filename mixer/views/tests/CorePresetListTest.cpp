#include "mixer/views/CorePresetList.h"

#include <gtest/gtest.h>

#include <string>

#include "standins/engine/EngineModel.h"
#include "standins/engine/StandinEffects.h"

namespace
{
std::string Narrow(const String& text)
{
    std::string out;
    for (int i = 0; i < text.Length(); ++i)
        out += static_cast<char>(text.WideCharAt(i));
    return out;
}

// Presets numbered by the test, one of them a user preset, the effect on a given preset name.
struct PresetRig
{
    explicit PresetRig(const std::u16string& current)
    {
        effect.presetName = current;
        for (int k = 0; k < 12; ++k)
            library.corePresets.AddPreset(id, k + 1,
                                          k == 3   ? u"Twin"
                                          : k == 7 ? u"Twin"
                                                   : u"P" + std::u16string(1, u'a' + k),
                                          k == 11 ? 0 : 1);
    }
    VarnEffectId id{{5, 0, 0, 0}};
    StandinEffects effects;
    StandinFxLibrary library{".", effects, {}, {}};
    StandinEffect effect{u"Drive", VarnEffectId{{5, 0, 0, 0}}, 1, {}};
};

TEST(CorePresetList, TextsPadByPositionAndSelectionFollowsTheCurrentName)
{
    struct Case
    {
        const char* trace;
        const char16_t* current;
        int selected;
    } cases[] = {
        {"exact name", u"Pc", 2},
        {"the later of two equal names", u"Twin", 7},
        {"no name matches", u"Nothing", 0},
        {"the match is exact, case included", u"pc", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.trace);
        PresetRig rig(c.current);
        CorePresetList list;
        String mark;
        mark.AssignAscii("[user]");
        list.Read(rig.library, rig.effect, mark);
        ASSERT_EQ(list.texts.size(), 12u);
        EXPECT_EQ(list.selected, c.selected);
        EXPECT_EQ(Narrow(list.texts[0]), "001 - Pa");
        EXPECT_EQ(Narrow(list.texts[9]), "0010 - Pj"); // the zeros follow the position, not the number
        EXPECT_EQ(Narrow(list.texts[10]), "011 - Pk");
        EXPECT_EQ(Narrow(list.texts[11]), "012 - Pl [user]");
    }
}

TEST(CorePresetList, AnEffectWithoutPresetsGivesAnEmptyList)
{
    StandinEffects effects;
    StandinFxLibrary library{".", effects, {}, {}};
    StandinEffect effect{u"Drive", VarnEffectId{{9, 0, 0, 0}}, 1, {}};
    CorePresetList list;
    list.texts.emplace_back();
    list.selected = 4;
    list.Read(library, effect, String());
    EXPECT_TRUE(list.texts.empty());
    EXPECT_EQ(list.selected, 0);
}
} // namespace
