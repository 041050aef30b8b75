// The preferences store against the registry of the test's own prefix.
#include <gtest/gtest.h>

#include "framework/controls/Tooltip.h"
#include "framework/platform/RegistryKey.h"
#include "mixer/dialogs/PreferencesStore.h"
#include "mixer/names/ViewSettings.h"

namespace
{

class PreferencesStoreTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(view_.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1));
        ASSERT_TRUE(launcher_.Open(ViewSettings::kRoot, LauncherSettings::kKeyPath, 1));
        for (const char16_t* name : {u"skin", u"tooltipsenabled", LauncherSettings::kShowServicesSplash})
        {
            view_.DeleteKey(name);
            launcher_.DeleteKey(name);
        }
    }
    RegistryKey view_, launcher_;
};

TEST_F(PreferencesStoreTest, MissingValuesGiveTheirDefaults)
{
    Tooltip::TooltipsEnabled = 0;
    PreferencesStore store;
    EXPECT_EQ(store.GetSkinName(view_), 1);
    EXPECT_EQ(Tooltip::TooltipsEnabled, 1) << "tooltips are on when the value is missing";
    String skin;
    skin.AppendAscii("Default");
    store.GetSkinPath(skin);
    EXPECT_EQ(skin.CompareLiteral("Default"), 0);
    EXPECT_EQ(store.GetShowSplash(1), 1);
}

TEST_F(PreferencesStoreTest, WrittenValuesReadBack)
{
    PreferencesStore store;
    store.GetSkinName(view_);
    String dark;
    dark.AppendAscii("Dark");
    EXPECT_TRUE(store.SetSkinPath(dark));
    EXPECT_TRUE(store.SetTooltipsEnabled(0));
    EXPECT_EQ(Tooltip::TooltipsEnabled, 0);
    String skin;
    skin.AppendAscii("Default");
    store.GetSkinPath(skin);
    EXPECT_EQ(skin.CompareLiteral("Dark"), 0);
    Tooltip::TooltipsEnabled = 1;
    EXPECT_EQ(store.GetTooltipsEnabled(1), 0);
    EXPECT_EQ(Tooltip::TooltipsEnabled, 0);
    Tooltip::TooltipsEnabled = 1;
}

// The splash preference is one value: the one under Launcher that the start-up reads.
TEST_F(PreferencesStoreTest, TheSplashPreferenceLivesUnderLauncher)
{
    PreferencesStore store;
    store.GetSkinName(view_);
    EXPECT_TRUE(store.SetShowSplash(0));
    EXPECT_EQ(launcher_.ReadBool(LauncherSettings::kShowServicesSplash, 1), 0);
    String text;
    EXPECT_EQ(view_.ReadString(LauncherSettings::kShowServicesSplash, text, nullptr), 0)
        << "nothing is written under CorvanView";
    launcher_.WriteBool(LauncherSettings::kShowServicesSplash, 1);
    EXPECT_EQ(store.GetShowSplash(0), 1);
}
} // namespace
