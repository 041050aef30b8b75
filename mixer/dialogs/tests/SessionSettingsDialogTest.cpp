// The session settings through the shipped skin's "sessionsettings" on the stand-in engine:
// what opening writes back, the pages each hardware keeps, the writes of each choice, the
// refresh of event 55 while open, and what a cancel leaves.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/PageTab.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/SessionSettingsDialog.h"
#include "mixer/engine/EngineVocabulary.h"
#include "standins/engine/EngineModel.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/WinePath.h"

namespace fs = std::filesystem;

namespace
{
using skintest::Narrow;
using skintest::Text;

struct Seen
{
    std::vector<std::string> pages;
    std::vector<std::string> syncEntries;
    std::vector<std::string> rateEntries;
    bool syncDisabled = false;
    bool rateDisabled = false;
    std::string title;
};

class Script : public DialogAnswerer
{
public:
    Script() { Dialog::SetAnswerer(this); }
    ~Script() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        seen = Look(dialog);
        if (step)
            step(dialog);
        dialog.End(answer);
    }
    static std::vector<std::string> Entries(Dialog& dialog, const char* name, bool& disabled)
    {
        std::vector<std::string> texts;
        auto* combo = dynamic_cast<ComboBox*>(dialog.FindControl(Text(name)));
        disabled = combo && combo->IsDisabled();
        for (int i = 0; combo && i < combo->ItemCount(); ++i)
        {
            String text;
            combo->GetItemText(i, text);
            texts.push_back(Narrow(text));
        }
        return texts;
    }
    static Seen Look(Dialog& dialog)
    {
        Seen seen;
        if (PageTab* tab = dialog.FindPageTab(Text("sessiontabs")))
            for (int i = 0; i < tab->PageCount(); ++i)
                seen.pages.push_back(Narrow(tab->Page(i)->name));
        seen.syncEntries = Entries(dialog, "ExtSyncSrc", seen.syncDisabled);
        seen.rateEntries = Entries(dialog, "SampleRate", seen.rateDisabled);
        seen.title = Narrow(dialog.GetTitle());
        return seen;
    }
    Seen seen;
    std::function<void(Dialog&)> step;
    int answer = 0;
};

// Picks a combo entry as the user's menu would.
void Choose(Dialog& dialog, const char* combo, int index)
{
    auto* box = dynamic_cast<ComboBox*>(dialog.FindControl(Text(combo)));
    ASSERT_NE(box, nullptr) << combo;
    box->OnMenuCommand(index);
}

void SetItem(Dialog& dialog, const char* name, int value)
{
    auto* item = dynamic_cast<NumericItem*>(dialog.FindDataItem(Text(name)));
    ASSERT_NE(item, nullptr) << name;
    item->SetValue(static_cast<float>(value), 1, 1, nullptr);
}

bool Disabled(Dialog& dialog, const char* control)
{
    Control* found = dialog.FindControl(Text(control));
    return found && found->IsDisabled();
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class SessionSettingsDialogTest : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(scratch_.Path() / "program");
        ASSERT_TRUE(skin_.Load(Text(WinePath(fs::path(KIV_PROGRAM_DIR) / "Skins" / "Default").c_str()), nullptr));
    }
    std::unique_ptr<StandinServices> Engine(const std::string& card)
    {
        std::ofstream(scratch_.Path() / "program" / "SimulatedCard.txt") << card;
        auto engine = std::make_unique<StandinServices>();
        const std::u16string program = (scratch_.Path() / "program").u16string();
        const std::u16string data = scratch_.Path().u16string();
        EXPECT_EQ(engine->Init(program.c_str(), data.c_str(), data.c_str()), 1);
        return engine;
    }
    static StandinSettings& Store(StandinServices& engine)
    {
        return *static_cast<StandinSettings*>(engine.GetMixer()->GetHardware()->GetSettings());
    }
    // The store writes logged since mark.
    static std::vector<std::string> WritesSince(StandinServices& engine, size_t mark)
    {
        std::vector<std::string> writes;
        const std::vector<std::string> log = engine.GetCallLog();
        for (size_t i = mark; i < log.size(); ++i)
            if (log[i].rfind("SetValue ", 0) == 0)
                writes.push_back(log[i]);
        return writes;
    }
    // Opens the dialog over the engine's model; the script's step runs while it is open.
    int Open(StandinServices& engine, SessionSettingsDialog& dialog, int answer,
             std::function<void(Dialog&)> step = nullptr)
    {
        script_.answer = answer;
        script_.step = std::move(step);
        dialog.SetMixer(engine.GetMixer());
        dialog.SetComment(nullptr);
        return dialog.Run(skin_, nullptr);
    }

    ScratchFolder scratch_{"kiv-sessionsettings"};
    Skin skin_;
    Script script_;
};
} // namespace

TEST_F(SessionSettingsDialogTest, OpeningWritesBackWhatTheStoreLacks)
{
    {
        auto engine = Engine("present=1\nsystems=1\nfeatures=1\nrate=1\nrates=0,1\n");
        const size_t mark = engine->GetCallLog().size();
        SessionSettingsDialog dialog;
        EXPECT_EQ(Open(*engine, dialog, 0), 0);
        EXPECT_EQ(script_.seen.title, "Session Settings") << "the title a rate change leaves open";
        const std::vector<std::string> writes = WritesSince(*engine, mark);
        EXPECT_NE(std::find(writes.begin(), writes.end(), "SetValue SPDIFFormat=0"), writes.end());
        EXPECT_NE(std::find(writes.begin(), writes.end(), "SetValue Out1L1R=1"), writes.end());
        EXPECT_NE(std::find(writes.begin(), writes.end(), "SetValue MidiInput2Src=0"), writes.end());
        EXPECT_EQ(Store(*engine).values.at("SPDIFFormat"), 0);
        EXPECT_EQ(dialog.IsModified(), 0) << "opening is no change of the user's";
    }
    {
        // What the store holds stays; the sync card's port goes where there is none.
        auto engine = Engine("present=1\nsystems=1\nfeatures=1\nrate=1\nsetting=SPDIFFormat 1\n"
                             "setting=MidiInput2Src 1\nsetting=Out1L1R 0\n");
        const size_t mark = engine->GetCallLog().size();
        SessionSettingsDialog dialog;
        Open(*engine, dialog, 0);
        const std::vector<std::string> writes = WritesSince(*engine, mark);
        for (const std::string& write : writes)
        {
            EXPECT_NE(write.rfind("SetValue SPDIFFormat=", 0), 0u) << write;
            EXPECT_NE(write.rfind("SetValue Out1L1R=", 0), 0u) << write;
        }
        EXPECT_EQ(Store(*engine).values.at("SPDIFFormat"), 1);
        EXPECT_EQ(Store(*engine).values.at("MidiInput2Src"), 0);
    }
    {
        // Feature 4 hardware writes only what it always has.
        auto engine = Engine("present=1\nsystems=1\nfeatures=4\nrate=1\n");
        const size_t mark = engine->GetCallLog().size();
        SessionSettingsDialog dialog;
        Open(*engine, dialog, 0);
        const std::vector<std::string> writes = WritesSince(*engine, mark);
        EXPECT_NE(std::find(writes.begin(), writes.end(), "SetValue SPDIFFormat=0"), writes.end());
        EXPECT_NE(std::find(writes.begin(), writes.end(), "SetValue PCICardSpdifIn=0"), writes.end());
        EXPECT_EQ(std::find(writes.begin(), writes.end(), "SetValue Out1L1R=1"), writes.end());
    }
}

TEST_F(SessionSettingsDialogTest, EachHardwareKeepsItsPagesAndSyncSources)
{
    const struct
    {
        const char* label;
        const char* card;
        std::vector<std::string> pages;
        std::vector<std::string> sync;
        bool syncDisabled;
    } cases[] = {
        {"first model", "features=1\nrate=1\n", {"clock", "midi", "levels"}, {"S/PDIF", "ADAT"}, true},
        {"with the sync card",
         "features=1,3\nrate=1\n",
         {"clock", "midi", "levels"},
         {"S/PDIF", "ADAT", "WORD CLOCK"},
         true},
        {"feature 4", "features=4\nrate=1\n", {"clock", "digital"}, {"S/PDIF"}, true},
        {"feature 4 at 192 kHz: nothing to sync to",
         "features=4\nrate=3\nrates=0,1,2,3,4,5\n",
         {"clock", "digital"},
         {" "},
         true},
        {"feature 9", "features=9\nrate=1\n", {"clock", "levels9"}, {"Disabled"}, true},
        {"features 9 and 10",
         "features=9,10\nrate=1\nsyncsources=5,2\n",
         {"clock", "levels9"},
         {"Dock S/PDIF", "Dock ADAT"},
         true},
        {"feature 11", "features=9,10,11\nrate=1\nsyncsources=2\n", {"clock", "midi", "levels11"}, {"Dock ADAT"}, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.label);
        auto engine = Engine(std::string("present=1\nsystems=1\n") + c.card);
        SessionSettingsDialog dialog;
        Open(*engine, dialog, 0);
        EXPECT_EQ(script_.seen.pages, c.pages);
        EXPECT_EQ(script_.seen.syncEntries, c.sync);
        EXPECT_EQ(script_.seen.syncDisabled, c.syncDisabled) << "the clock starts internal";
        EXPECT_FALSE(script_.seen.rateDisabled);
    }
}

TEST_F(SessionSettingsDialogTest, RatesOfTheFamilyAndWhatEachChoiceWrites)
{
    auto engine = Engine("present=1\nsystems=1\nfeatures=1\nrate=1\nrates=0,1\n");
    SessionSettingsDialog dialog;
    size_t mark = 0;
    std::vector<std::string> sameRate, otherRate, external, internal, level;
    Open(*engine, dialog, 1, [&](Dialog& shown) {
        mark = engine->GetCallLog().size();
        Choose(shown, "SampleRate", 1); // 48 kHz, the session's own
        sameRate = WritesSince(*engine, mark);
        mark = engine->GetCallLog().size();
        Choose(shown, "SampleRate", 0);
        otherRate = WritesSince(*engine, mark);
        mark = engine->GetCallLog().size();
        SetItem(shown, "SampleRateType", 1);
        external = WritesSince(*engine, mark);
        EXPECT_FALSE(Disabled(shown, "ExtSyncSrc"));
        EXPECT_TRUE(Disabled(shown, "SampleRate"));
        mark = engine->GetCallLog().size();
        Choose(shown, "ExtSyncSrc", 1); // ADAT
        SetItem(shown, "SampleRateType", 0);
        internal = WritesSince(*engine, mark);
        mark = engine->GetCallLog().size();
        SetItem(shown, "Out2L2R", 0);
        level = WritesSince(*engine, mark);
    });
    EXPECT_EQ(script_.seen.rateEntries, (std::vector<std::string>{"44.1 KHz", "48 KHz"}));
    EXPECT_TRUE(sameRate.empty()) << "the session's own rate writes nothing";
    EXPECT_EQ(otherRate, (std::vector<std::string>{"SetValue SampleRate=44100"}));
    EXPECT_EQ(external, (std::vector<std::string>{"SetValue ExtSyncSrc=1"}));
    EXPECT_EQ(internal, (std::vector<std::string>{"SetValue ExtSyncSrc=2", "SetValue ExtSyncSrc=0",
                                                  "SetValue SampleRate=44100"}));
    EXPECT_EQ(level, (std::vector<std::string>{"SetValue Out2L2R=0"}));
    EXPECT_EQ(dialog.IsModified(), 1);
}

TEST_F(SessionSettingsDialogTest, EventFiftyFiveWhileOpenShowsTheStoreAgain)
{
    auto engine = Engine("present=1\nsystems=1\nfeatures=9,10\nrate=3\nrates=2,3,4,5\nsyncsources=5,2\n"
                         "setting=Tebro192KettermMode 2\n");
    SessionSettingsDialog dialog;
    bool before = false, after = false;
    std::vector<std::string> syncBefore, syncAfter;
    Open(*engine, dialog, 0, [&](Dialog& shown) {
        shown.FindPageTab(Text("sessiontabs"));
        shown.SelectTabPage(Text("sessiontabs"), 1);
        before = Disabled(shown, "DockIn2L2RMinus10");
        bool ignored = false;
        shown.SelectTabPage(Text("sessiontabs"), 0);
        syncBefore = Script::Entries(shown, "ExtSyncSrc", ignored);
        // The mode changes behind the dialog's back; the engine says settings changed.
        Store(*engine).values["Tebro192KettermMode"] = 0;
        dialog.OnEngineEvent(EngineEvent::kHardwareChange, 0);
        Pump();
        syncAfter = Script::Entries(shown, "ExtSyncSrc", ignored);
        Store(*engine).values["Tebro192KettermMode"] = 1;
        shown.SelectTabPage(Text("sessiontabs"), 1);
        after = Disabled(shown, "DockIn2L2RMinus10");
    });
    EXPECT_EQ(syncBefore, (std::vector<std::string>{"Dock ADAT"})) << "mode 2 at 192 kHz: no dock S/PDIF";
    EXPECT_EQ(syncAfter, (std::vector<std::string>{"Dock S/PDIF"})) << "mode 0: no dock ADAT";
    EXPECT_FALSE(before);
    EXPECT_TRUE(after) << "mode 1 takes the second dock pair";
}

TEST_F(SessionSettingsDialogTest, ACancelledDialogKeepsWhatItWroteAndSaysSo)
{
    auto engine = Engine("present=1\nsystems=1\nfeatures=1\nrate=1\n");
    SessionSettingsDialog untouched;
    EXPECT_EQ(Open(*engine, untouched, 0), 0);
    EXPECT_EQ(untouched.IsModified(), 0);

    SessionSettingsDialog changed;
    EXPECT_EQ(Open(*engine, changed, 0, [](Dialog& shown) { SetItem(shown, "SoftLimit", 0); }), 0);
    EXPECT_EQ(changed.IsModified(), 1);
    EXPECT_EQ(Store(*engine).values.at("SoftLimit"), 0) << "cancel takes back nothing";
}
