// Dentrak's editor under Wine: the amount menu follows the effect and sets it.

#include "plugins/base/asio/AsioSystem.h"
#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/OptionMenu.h"
#include "plugins/dentrak/DentrakEditor.h"
#include "plugins/dentrak/DentrakEffect.h"
#include "standins/asio/StandinTestConfig.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace
{

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    return opcode == kHostVersion ? 2400 : 0;
}

class QuietAsio final : public AsioSystem
{
public:
    HRESULT CreateObject(const GUID& classId, void** object) override
    {
        return Default().CreateObject(classId, object);
    }
    std::string LoadText(int) override { return "text"; }
    void ShowMessage(const std::string&, const std::string&) override {}
};

class DentrakEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        AsioSystem::Use(&asio_);
        parent_ = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 180, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(parent_, nullptr);
    }
    void TearDown() override
    {
        DestroyWindow(parent_);
        AsioSystem::Use(nullptr);
        CoUninitialize();
    }

    StandinTestConfig config_{"[Driver]\nClock=manual\n"};
    QuietAsio asio_;
    HWND parent_ = nullptr;
};

TEST_F(DentrakEditorTest, TheMenuShowsAndSetsTheAmount)
{
    DentrakEffect effect(Host);
    effect.setBlockSize(256);
    auto* editor = static_cast<DentrakEditor*>(effect.GetEditor());
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(effect.GetRecord()->flags & kVstFlagHasEditor);
    VstRect* rect = nullptr;
    ASSERT_TRUE(editor->GetRect(&rect));
    EXPECT_EQ(rect->right, 282);
    EXPECT_EQ(rect->bottom, 155);

    ASSERT_EQ(editor->Open(parent_), 1);
    OptionMenu* menu = editor->GetAmountMenu();
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> entries;
    char text[256];
    for (int32_t i = 0; i < menu->GetNbEntries(); ++i)
    {
        menu->GetEntry(i, text);
        entries.push_back(text);
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(menu->GetCurrent(), 0); // amount 1

    ASSERT_TRUE(menu->SetCurrent(4));
    editor->OnValueChanged(nullptr, menu);
    EXPECT_EQ(effect.GetAmount(), 5);

    // A chunk from the host: the menu follows at the next idle.
    int32_t amount = 7;
    EXPECT_EQ(effect.setChunk(&amount, sizeof(amount), false), 4);
    effect.dispatcher(kEffEditIdle, 0, 0, nullptr, 0);
    EXPECT_EQ(menu->GetCurrent(), 6);

    editor->Close();
    EXPECT_EQ(editor->GetAmountMenu(), nullptr);
    ASSERT_EQ(editor->Open(parent_), 1); // and again
    EXPECT_EQ(editor->GetAmountMenu()->GetCurrent(), 6);
    editor->Close();
}

} // namespace
