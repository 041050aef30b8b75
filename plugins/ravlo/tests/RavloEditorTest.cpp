// Ravlo's editor on the simulated card under Wine: the pair menus, the lights, the mixer
// button and closing and reopening.

#include "plugins/base/asio/AsioSystem.h"
#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/OnOffButton.h"
#include "plugins/base/gui/OptionMenu.h"
#include "plugins/ravlo/MixerLaunch.h"
#include "plugins/ravlo/RavloEditor.h"
#include "plugins/ravlo/RavloEffect.h"
#include "plugins/ravlo/RavloSystem.h"
#include "standins/asio/StandinTestConfig.h"
#include "tests/support/ScratchFolder.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{

namespace fs = std::filesystem;

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    return opcode == kHostVersion ? 2400 : 0;
}

// No boxes and no machine settings in tests.
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

class QuietRavlo final : public RavloSystem
{
public:
    bool ReadSetting(const char*, uint32_t*) override { return false; }
    void ShowInformation(const char*, const char*) override {}
};

std::vector<std::string> Entries(const OptionMenu* menu)
{
    std::vector<std::string> entries;
    char text[256];
    for (int32_t i = 0; i < menu->GetNbEntries(); ++i)
    {
        menu->GetEntry(i, text);
        entries.push_back(text);
    }
    return entries;
}

class RavloEditorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        parent_ = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 180, nullptr, nullptr, nullptr,
                                  nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(parent_); }

    void SetUp() override
    {
        ASSERT_NE(parent_, nullptr);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        AsioSystem::Use(&asio_);
        RavloSystem::Use(&ravlo_);
    }
    void TearDown() override
    {
        effects_.clear();
        RavloSystem::Use(nullptr);
        AsioSystem::Use(nullptr);
        CoUninitialize();
    }

    RavloEffect* NewEffect()
    {
        effects_.push_back(std::make_unique<RavloEffect>(Host));
        RavloEffect* effect = effects_.back().get();
        effect->setSampleRate(44100.0f);
        effect->setBlockSize(256);
        return effect;
    }
    static RavloEditor* EditorOf(RavloEffect* effect) { return static_cast<RavloEditor*>(effect->GetEditor()); }
    static RavloEditor* Open(RavloEffect* effect)
    {
        RavloEditor* editor = EditorOf(effect);
        EXPECT_NE(editor, nullptr);
        EXPECT_EQ(editor->Open(parent_), 1);
        return editor;
    }
    static int32_t Step() { return StandinControl<StandinAsioStepProc>("StandinAsioStep")(); }

    static HWND parent_;
    QuietAsio asio_;
    QuietRavlo ravlo_;
    std::vector<std::unique_ptr<RavloEffect>> effects_;
};

HWND RavloEditorTest::parent_ = nullptr;

TEST_F(RavloEditorTest, MenusOfferFreePairsAndAlwaysTheInstancesOwn)
{
    StandinTestConfig config("[Driver]\nClock=manual\nInputs=20\nOutputs=20\n");
    RavloEffect* first = NewEffect();
    first->SetOutputPair(0);
    first->SetInputPair(0);
    RavloEffect* second = NewEffect();
    RavloEditor* firstEditor = Open(first);
    RavloEditor* secondEditor = Open(second);

    // Two editors of one plug-in file share one window class.
    char firstClass[64] = {}, secondClass[64] = {};
    GetClassNameA(firstEditor->GetFrame()->GetWindow(), firstClass, sizeof(firstClass));
    GetClassNameA(secondEditor->GetFrame()->GetWindow(), secondClass, sizeof(secondClass));
    EXPECT_STREQ(firstClass, secondClass);

    // The second instance: pair 0 is the first one's; the next eight free ones are listed.
    EXPECT_EQ(Entries(secondEditor->GetOutputMenu()),
              (std::vector<std::string>{"Off: <select output>", "Out 3", "Out 5", "Out 7", "Out 9", "Out 11", "Out 13",
                                        "Out 15", "Out 17"}));
    EXPECT_EQ(secondEditor->GetOutputMenu()->GetCurrent(), 0);
    EXPECT_EQ(secondEditor->GetInputMenu()->GetNbEntries(), 9);
    // The first lists its own pair, chosen.
    EXPECT_EQ(Entries(firstEditor->GetOutputMenu())[1], "Out 1");
    EXPECT_EQ(firstEditor->GetOutputMenu()->GetCurrent(), 1);
    EXPECT_EQ(firstEditor->GetInputMenu()->GetCurrent(), 1);

    // Its own pair beyond eight free ones is still listed, and chosen.
    first->SetOutputPair(9);
    firstEditor->Update();
    const std::vector<std::string> entries = Entries(firstEditor->GetOutputMenu());
    ASSERT_EQ(entries.size(), 9u);
    EXPECT_EQ(entries.back(), "Out 19");
    EXPECT_EQ(firstEditor->GetOutputMenu()->GetCurrent(), 8);

    secondEditor->Close();
    firstEditor->Close();
    WNDCLASSA info{};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), firstClass, &info));
}

TEST_F(RavloEditorTest, MenuChoicesSetThePairsAndEntryZeroTurnsAPairOff)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    RavloEffect* effect = NewEffect();
    RavloEditor* editor = Open(effect);
    OptionMenu* output = editor->GetOutputMenu();
    OptionMenu* input = editor->GetInputMenu();
    ASSERT_TRUE(output->SetCurrent(3));
    editor->OnValueChanged(nullptr, output);
    EXPECT_EQ(effect->GetOutputPair(), 2);
    ASSERT_TRUE(input->SetCurrent(2));
    editor->OnValueChanged(nullptr, input);
    EXPECT_EQ(effect->GetInputPair(), 1);

    ASSERT_TRUE(output->SetCurrent(0));
    editor->OnValueChanged(nullptr, output);
    EXPECT_EQ(effect->GetOutputPair(), -1);
    EXPECT_EQ(effect->GetInputPair(), 1);
    editor->Close();
}

TEST_F(RavloEditorTest, LightsFollowTheSignalAndStopWithTheEditor)
{
    StandinTestConfig config("[Driver]\nClock=manual\nPreferredBuffer=256\n");
    RavloEffect* effect = NewEffect();
    effect->SetOutputPair(0);
    effect->SetInputPair(0);
    effect->resume();
    RavloEditor* editor = Open(effect);
    ASSERT_TRUE(editor->LightsRunning());

    std::vector<float> left(256), right(256), outLeft(256), outRight(256);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    // Feeds blocks of a signal (or silence) for a while, the driver stepped after each.
    const auto feed = [&](float amplitude, int blocks) {
        for (int b = 0; b < blocks; ++b)
        {
            for (size_t i = 0; i < left.size(); ++i)
            {
                left[i] = right[i] = amplitude * static_cast<float>(std::sin(0.05 * static_cast<double>(i)));
                outLeft[i] = outRight[i] = 0.0f;
            }
            effect->process(inputs, outputs, 256); // Ravlo accumulates
            Step();
            Sleep(10);
        }
    };
    const auto lit = [&]() {
        std::vector<bool> state;
        for (int32_t i = 0; i < 4; ++i)
            state.push_back(editor->GetLight(i)->GetValue() != 0.0f);
        return state;
    };
    feed(0.5f, 40); // 400 ms: several periods of the light thread
    EXPECT_EQ(lit(), (std::vector<bool>{true, true, true, true}));
    feed(0.0f, 60); // the loop drains, then silence
    EXPECT_EQ(lit(), (std::vector<bool>{false, false, false, false}));

    // The light thread wakes on the stop event, not at the end of its period. Under Wine on a
    // loaded machine every close pays the wine server's round trips, which alone reached
    // 100 ms in all five rounds once, so the quickest of five closes is held to five periods:
    // a thread that ignores the event and runs on (Close then waits 30 s) fails every time.
    auto quickest = std::chrono::steady_clock::duration::max();
    for (int round = 0; round < 5; ++round)
    {
        if (round > 0)
        {
            editor = Open(effect);
            ASSERT_TRUE(editor->LightsRunning());
            Sleep(150); // the thread is in its period
        }
        const auto start = std::chrono::steady_clock::now();
        editor->Close();
        quickest = std::min(quickest, std::chrono::steady_clock::now() - start);
        EXPECT_FALSE(editor->LightsRunning());
    }
    EXPECT_LT(quickest, std::chrono::milliseconds(5 * RavloEditor::kLightPeriod));
}

TEST_F(RavloEditorTest, ClosingAndReopeningDrawsFreshMenuBitmaps)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    RavloEffect* effect = NewEffect();
    RavloEditor* editor = Open(effect);
    editor->Close();
    EXPECT_EQ(editor->GetOutputMenu(), nullptr);
    editor = Open(effect);
    ASSERT_NE(editor->GetOutputMenu(), nullptr);
    EXPECT_EQ(editor->GetOutputMenu()->GetNbEntries(), 5); // "Off" and four free pairs of 8 outputs

    // The whole editor drawn into a bitmap: background, menus with their bitmaps, lights.
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, RavloEditor::kWidth, RavloEditor::kHeight);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    {
        DrawContext context(editor->GetFrame(), memory, nullptr);
        editor->GetFrame()->Draw(&context);
    }
    // The menus' light background (from bitmaps 102 and 103) near their left edges.
    EXPECT_EQ(GetPixel(memory, 76, 51), RGB(0xe9, 0xee, 0xf3));
    EXPECT_EQ(GetPixel(memory, 76, 90), RGB(0xe9, 0xee, 0xf3));
    // An unlit light (bitmap 112), and the background's panel around it.
    EXPECT_EQ(GetPixel(memory, 229 + 4, 52 + 4), RGB(0x1f, 0x44, 0x29));
    EXPECT_EQ(GetPixel(memory, 229, 52), RGB(0x23, 0x2b, 0x35));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    editor->Close();
}

TEST_F(RavloEditorTest, TheMixerButtonStartsTheLaunchPathAndComesBackUp)
{
    StandinTestConfig config("[Driver]\nClock=manual\n");
    ScratchFolder folder("ravlo-editor");
    const fs::path program = folder / "Mixer Program" / "KivCorvanDSP.exe";
    fs::create_directories(program.parent_path());
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof(self));
    fs::copy_file(fs::path(self).parent_path() / "KivMixerStandin.exe", program);
    const std::string keyName = std::string(kBrandingKey) + "\\" + kCardInstanceId;
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const std::string value = program.string();
    RegSetValueExA(key, kLaunchPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);

    RavloEffect* effect = NewEffect();
    RavloEditor* editor = Open(effect);
    OnOffButton* button = editor->GetLaunchButton();
    DrawContext context(editor->GetFrame(), nullptr, nullptr);
    button->MouseDown(&context, Point(190, 125)); // on, then the listener launches
    EXPECT_EQ(button->GetValue(), 0.0f);
    const fs::path marker = program.string() + ".launched";
    for (int i = 0; i < 200 && !fs::exists(marker); ++i)
    {
        Sleep(50);
    }
    EXPECT_TRUE(fs::exists(marker));
    editor->Close();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyName.c_str());
}

} // namespace
