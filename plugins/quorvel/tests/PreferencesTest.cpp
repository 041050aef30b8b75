#include "plugins/quorvel/Preferences.h"

#include "framework/base/String.h"
#include "framework/platform/RegistryImpl.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/tests/MemoryRegistryBackend.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

class PreferencesTest : public testing::Test
{
protected:
    PreferencesTest() { RegistryImpl::SetBackend(&memory_); }
    ~PreferencesTest() override { RegistryImpl::SetBackend(nullptr); }

    // The setting's text as the settings store keeps it, "" when missing.
    std::string Stored(const char* name)
    {
        RegistryKey key;
        String setting;
        String out;
        setting.AppendAscii(name);
        if (!key.Open("HKEY_CURRENT_USER", u"Software\\Halvorn Professional\\KIV Quorvel\\", 0) ||
            !key.ReadString(setting, out, nullptr))
            return std::string();
        std::string text;
        for (int i = 0; i < out.Length(); ++i)
            text += static_cast<char>(out.Buffer()[i]);
        return text;
    }

    MemoryRegistryBackend memory_;
};

TEST_F(PreferencesTest, AFreshUserGetsTheDefaultsWritten)
{
    const PreferenceFlags flags = Preferences::Read();
    EXPECT_TRUE(flags.tooltips);
    EXPECT_FALSE(flags.extraBuffer);
    EXPECT_FALSE(flags.renderMode);
    EXPECT_EQ(Stored("TooltipEnabled"), "yes");
    EXPECT_EQ(Stored("ExtraBufferEnabled"), "no");
    EXPECT_EQ(Stored("RenderModeEnabled"), "no");
}

TEST_F(PreferencesTest, OnlyChangedFlagsAreWritten)
{
    Preferences::Read();
    // Unchanged: nothing is written, so a store that cannot write still reports nothing.
    memory_.failValueWrites = true;
    PreferenceFlags written = Preferences::Store(Preferences::Read());
    EXPECT_FALSE(written.tooltips || written.extraBuffer || written.renderMode);
    memory_.failValueWrites = false;

    PreferenceFlags flags;
    flags.tooltips = false;
    written = Preferences::Store(flags);
    EXPECT_TRUE(written.tooltips);
    EXPECT_FALSE(written.extraBuffer || written.renderMode);
    EXPECT_EQ(Stored("TooltipEnabled"), "no");
    EXPECT_FALSE(Preferences::ReadTooltipEnabled());

    flags.extraBuffer = true;
    flags.renderMode = true;
    written = Preferences::Store(flags);
    EXPECT_FALSE(written.tooltips);
    EXPECT_TRUE(written.extraBuffer && written.renderMode);
    EXPECT_TRUE(Preferences::ReadExtraBufferEnabled());
    EXPECT_TRUE(Preferences::ReadRenderModeEnabled());
}

TEST_F(PreferencesTest, AStoreThatCannotBeOpenedGivesTheDefaults)
{
    memory_.failWrites = true;
    memory_.failReads = true;
    const PreferenceFlags flags = Preferences::Read();
    EXPECT_TRUE(flags.tooltips);
    EXPECT_FALSE(flags.extraBuffer || flags.renderMode);
    const PreferenceFlags written = Preferences::Store(PreferenceFlags{false, true, true});
    EXPECT_FALSE(written.tooltips || written.extraBuffer || written.renderMode);
}

} // namespace
