// KivQuorvel's editor under Wine with the mixer program running: the palette shows the mixer's
// library and follows its changes, the inspector, the menus and dialogs, the shared skin, the
// meter thread's messages and the editor's end with dialogs open. Shots of what a person sees
// go to the tree's shots folder.
#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/InPlaceEditor.h"
#include "framework/controls/PopupMenu.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "framework/windows/DragDrop.h"
#include "framework/skin/Skin.h"
#include "plugins/quorvel/DspEffectInsert.h"
#include "plugins/quorvel/EditorControlContextMenu.h"
#include "plugins/quorvel/EditorDialogs.h"
#include "plugins/quorvel/EditorInsertSlot.h"
#include "plugins/quorvel/EditorMainPanel.h"
#include "plugins/quorvel/EditorParamList.h"
#include "plugins/quorvel/EffectView.h"
#include "plugins/quorvel/InsertChain.h"
#include "plugins/quorvel/ServicesConnection.h"
#include "plugins/quorvel/ServicesLink.h"
#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/EditorPresetInspector.h"
#include "plugins/quorvel/EffectCatalog.h"
#include "plugins/quorvel/FxPalette.h"
#include "plugins/quorvel/KivQuorvelEditor.h"
#include "plugins/quorvel/KivQuorvelEffect.h"
#include "plugins/quorvel/Preferences.h"
#include "plugins/quorvel/tests/WithTheMixer.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenPixels.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <thread>
#include <functional>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    return opcode == kHostVersion ? 2400 : 0;
}

void PumpMessagesFor(DWORD milliseconds)
{
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= milliseconds; }, milliseconds + 1000);
}

std::wstring ShotPath(const char* name)
{
    const fs::path shots = fs::path(KIV_BUILD_DIR) / "shots";
    std::error_code error;
    fs::create_directories(shots, error);
    return (shots / name).wstring();
}

using skintest::Narrow;

std::string Narrow(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}

using dialogstest::Script;

// The source names of the dialogs and boxes the script saw, in order.
std::vector<std::string> Shown(const Script& script)
{
    std::vector<std::string> names;
    for (const dialogstest::Seen& seen : script.SeenDialogs())
        names.push_back(seen.source);
    return names;
}

void Accept(Dialog& dialog)
{
    dialog.End(1);
}

// As typed: the open editor of the name is committed first, then the item holds the text.
void SetText(Dialog& dialog, const char* item, const std::u16string& text)
{
    InPlaceEditor::CloseCurrent();
    String name;
    name.AssignAscii(item);
    if (auto* found = dynamic_cast<TextItem*>(dialog.FindDataItem(name)))
        found->text.AssignWide(text.c_str());
}

// A host window with one effect and its editor.
struct Instance
{
    Instance()
    {
        effect = new KivQuorvelEffect(&Host);
        editor = dynamic_cast<KivQuorvelEditor*>(effect->GetEditor());
    }
    ~Instance()
    {
        if (effect)
            effect->Destroy();
        if (parent)
            DestroyWindow(parent);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    bool Open(int x = 0)
    {
        parent = CreateWindowExA(0, "STATIC", "host", WS_POPUP | WS_VISIBLE, x, 0, KivQuorvelEditor::kWidth,
                                 KivQuorvelEditor::kHeight, nullptr, nullptr, nullptr, nullptr);
        return parent && editor && editor->Open(parent) == 1;
    }
    FxPalette* Palette() const { return editor->GetPanel() ? editor->GetPanel()->Palette() : nullptr; }
    // Opens the editor and finds the parts the slot and effect-view cases work with; false when
    // one is missing (the skin lacks it, or the instance has no services link).
    bool OpenWithTheChain()
    {
        if (!Open() || !(panel = editor->GetPanel()))
            return false;
        slots = panel->Slots();
        view = panel->GetEffectView();
        services = effect->GetServices();
        chain = services ? services->GetInsertChain() : nullptr;
        catalog = services ? services->GetCatalog() : nullptr;
        return slots && view && chain && catalog;
    }

    KivQuorvelEffect* effect = nullptr;
    KivQuorvelEditor* editor = nullptr; // the effect's
    HWND parent = nullptr;
    // Found by OpenWithTheChain.
    EditorMainPanel* panel = nullptr;
    EditorInsertSlot* slots = nullptr;
    EffectView* view = nullptr;
    ServicesConnection* services = nullptr;
    InsertChain* chain = nullptr;
    EffectCatalog* catalog = nullptr;
};

// The library edits in the engine's call log.
size_t Edits(const std::string& log)
{
    size_t count = 0;
    for (size_t at = log.find("PresetCategory "); at != std::string::npos; at = log.find("PresetCategory ", at + 1))
        ++count;
    return count;
}

TreeItem* TopItem(FxPalette& palette, const std::u16string& text)
{
    for (int i = 0; i < palette.ChildCount(nullptr); ++i)
        if (std::u16string(palette.ChildAt(nullptr, i)->GetText().Text()) == text)
            return palette.ChildAt(nullptr, i);
    return nullptr;
}

TreeItem* Child(TreeItem* parent, const std::u16string& text)
{
    for (int i = 0; parent && i < parent->ChildCount(); ++i)
        if (std::u16string(parent->ChildAt(i)->GetText().Text()) == text)
            return parent->ChildAt(i);
    return nullptr;
}

class QuorvelEditorTest : public QuorvelWithTheMixer
{
};

// The core effect of that name, loaded at the chain's position; its identity, 0 when it failed.
uint32_t LoadCoreEffect(EffectCatalog& catalog, InsertChain& chain, const std::u16string& name, int32_t position)
{
    std::shared_ptr<PresetCategory> core = catalog.CategoryCount() > 0 ? catalog.CategoryAt(0) : nullptr;
    for (int32_t i = 0; core && i < core->PresetCount(); ++i)
        if (std::shared_ptr<PresetEntry> entry = core->PresetAt(i))
            if (std::u16string(entry->Record().name) == name)
            {
                if (!chain.LoadPreset(entry->Id(), position, true, true))
                    return 0;
                InsertChain::Hold hold(chain);
                return chain.At(position) ? chain.At(position)->Identity() : 0;
            }
    return 0;
}

// The server's value of a parameter of the insert at position, read again.
ParamValue ServerValue(InsertChain& chain, int32_t position, int32_t index)
{
    InsertChain::Hold hold(chain);
    ParamValue pair;
    InsertEffect* insert = chain.At(position);
    if (insert && insert->RefreshParamValue(index))
        insert->GetParamValue(index, &pair);
    else if (insert)
        insert->GetParamValue(index, &pair);
    return pair;
}

template <typename Item>
Item* ParamItem(EditorParamItem& row)
{
    String name;
    name.AssignAscii("param");
    return dynamic_cast<Item*>(row.FindDataItem(name));
}

TEST_F(QuorvelEditorTest, ThePaletteShowsAndFollowsTheLibrary)
{
    Instance instance;
    ASSERT_NE(instance.editor, nullptr);
    VstRect* rect = nullptr;
    ASSERT_TRUE(instance.editor->GetRect(&rect));
    EXPECT_EQ(rect->right - rect->left, 600);
    EXPECT_EQ(rect->bottom - rect->top, 418);
    ASSERT_TRUE(instance.Open());
    FxPalette* palette = instance.Palette();
    ASSERT_NE(palette, nullptr);
    EffectCatalog* catalog = palette->Catalog();
    ASSERT_NE(catalog, nullptr);
    ASSERT_GT(palette->ChildCount(nullptr), 1) << "the mixer's library";

    TreeItem* chains = TopItem(*palette, u"Factory Chains");
    ASSERT_NE(chains, nullptr);
    TreeItem* vocal = Child(chains, u"Vocal Chain");
    ASSERT_NE(vocal, nullptr) << "factory presets carry no [user]";
    palette->Expand(chains, true);
    palette->SelectItem(vocal, true, true);
    const std::vector<std::u16string>& lines = instance.editor->GetPanel()->Inspector()->Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(Narrow(lines.front()), "Vocal Chain:");
    EXPECT_GT(lines.size(), 1u);

    // Menus: none on the core category and its effects, one on the others.
    TreeItem* core = palette->ChildAt(nullptr, 0);
    ASSERT_TRUE(catalog->CategoryAt(0)->IsCore());
    EXPECT_FALSE(palette->OpenMenu(core, 100, 100));
    if (core->ChildCount() > 0)
    {
        EXPECT_FALSE(palette->OpenMenu(core->ChildAt(0), 100, 100));
    }
    EXPECT_FALSE(palette->CanDrag(chains)) << "categories are not dragged";

    // A category made in the library comes back as a top-level item with "<empty>".
    const int before = palette->ChildCount(nullptr);
    ASSERT_EQ(catalog->CreateCategory(u"Mine"), EffectCatalog::kEditDone);
    EXPECT_NE(EngineLog().find("CreatePresetCategory Mine"), std::string::npos) << "the edit reached the engine";
    ASSERT_TRUE(PumpUntil([&] { return TopItem(*palette, u"Mine") != nullptr; }));
    EXPECT_EQ(palette->ChildCount(nullptr), before + 1);
    TreeItem* mine = TopItem(*palette, u"Mine");
    ASSERT_EQ(mine->ChildCount(), 1);
    EXPECT_EQ(std::u16string(mine->ChildAt(0)->GetText().Text()), u"<empty>");
    EXPECT_FALSE(palette->CanDrag(mine->ChildAt(0)));
    EXPECT_TRUE(palette->OpenMenu(mine, 120, 200));
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-palette-menu.png")));
    PopupMenu::CloseAll();
    PumpMessagesFor(100);

    // A sine through the instance: the send lamps light, and the return ones with what the
    // card gives back.
    instance.effect->setSampleRate(48000.0f);
    instance.effect->setBlockSize(256);
    instance.effect->resume();
    std::atomic<bool> playing{true};
    std::thread audio([&] {
        std::vector<float> left(256), right(256), outLeft(256), outRight(256);
        float* inputs[2] = {left.data(), right.data()};
        float* outputs[2] = {outLeft.data(), outRight.data()};
        double phase = 0.0;
        while (playing.load())
        {
            for (int i = 0; i < 256; ++i)
            {
                left[i] = right[i] = 0.5f * static_cast<float>(std::sin(phase));
                phase += 2.0 * 3.14159265358979 * 440.0 / 48000.0;
            }
            instance.effect->processReplacing(inputs, outputs, 256);
            Sleep(5);
        }
    });
    String sendLeft;
    sendLeft.AssignAscii("sendleft");
    auto* lamp = dynamic_cast<FlagItem*>(instance.editor->GetPanel()->FindDataItem(sendLeft));
    ASSERT_NE(lamp, nullptr);
    const bool lit = PumpUntil([&] { return lamp->value == 1.0f; }, 15000);
    palette->SelectItem(vocal, true, true);
    PumpMessagesFor(500);
    EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-editor.png")));
    playing.store(false);
    audio.join();
    instance.effect->suspend();
    EXPECT_TRUE(lit) << "the send lamp lights with a signal";
    EXPECT_TRUE(palette->CanDrag(vocal)) << "a preset that fits drags while the chain is attached";

    // Refused names never reach the mixer: the message, and the library as it was.
    const size_t edits = Edits(EngineLog());
    for (const std::u16string& name : {std::u16string(u"a\\b"), std::u16string(u".."), std::u16string(u"C:"),
                                       std::u16string(128, u'x'), std::u16string(u"Core Effects")})
    {
        SCOPED_TRACE(Narrow(name));
        Script script;
        script.Then([&](Dialog& dialog) {
            SetText(dialog, "name", name);
            dialog.End(1);
        });
        const int categories = catalog->CategoryCount();
        EXPECT_EQ(palette->NewCategory(nullptr), 0);
        const std::vector<std::string> shown = Shown(script);
        ASSERT_EQ(shown.size(), 2u);
        const char* expected = name.size() > 127         ? "IDM_MAX_CHAR_EXCEEDED"
                               : name == u"Core Effects" ? "IDM_PRESET_CATEGORY_EXISTS"
                                                         : "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET";
        EXPECT_EQ(shown[1], expected);
        EXPECT_EQ(catalog->CategoryCount(), categories);
    }
    EXPECT_EQ(Edits(EngineLog()), edits) << "nothing was sent";
    {
        // A factory preset can be neither renamed nor deleted.
        Script script;
        script.Then(Accept);
        script.Then(Accept);
        palette->RunCommand(vocal, 11);
        palette->RunCommand(vocal, 10);
        EXPECT_EQ(Shown(script),
                  (std::vector<std::string>{"IDM_RENAME_FACTORY_PRESET_ALERT", "IDM_DELETE_FACTORY_PRESET_ALERT"}));
        EXPECT_NE(Child(chains, u"Vocal Chain"), nullptr);
    }
    {
        // The name dialog as it shows, then a good name.
        Script script;
        script.Then([&](Dialog& dialog) {
            SetText(dialog, "name", u"Drums 2");
            PumpMessagesFor(300);
            EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-newname.png")));
            dialog.End(1);
        });
        String made;
        EXPECT_EQ(palette->NewCategory(&made), 1);
        EXPECT_EQ(Narrow(made), "Drums 2");
        ASSERT_TRUE(PumpUntil([&] { return TopItem(*palette, u"Drums 2") != nullptr; }));
    }
    {
        // A rename comes back as the item's new text, in its place.
        Script script;
        script.Then([&](Dialog& dialog) {
            SetText(dialog, "name", u"Drums 3");
            dialog.End(1);
        });
        TreeItem* drums = TopItem(*palette, u"Drums 2");
        ASSERT_NE(drums, nullptr);
        palette->RunCommand(drums, 2);
        ASSERT_TRUE(PumpUntil([&] { return TopItem(*palette, u"Drums 3") != nullptr; }));
        EXPECT_EQ(TopItem(*palette, u"Drums 3"), drums);
        EXPECT_NE(EngineLog().find("RenamePresetCategory Drums 2 Drums 3"), std::string::npos);
    }
    {
        // A category the library drops takes its item, and the inspector lets go of what it
        // showed of it, a child too.
        palette->Expand(mine, true);
        palette->SelectItem(mine->ChildAt(0), true, true);
        ASSERT_EQ(instance.editor->GetPanel()->Inspector()->ShownItem(), mine->ChildAt(0));
        EXPECT_TRUE(instance.editor->GetPanel()->Inspector()->Lines().empty()) << "\"<empty>\" shows nothing";
        ASSERT_EQ(catalog->DeleteCategory(u"Mine"), EffectCatalog::kEditDone);
        ASSERT_TRUE(PumpUntil([&] { return TopItem(*palette, u"Mine") == nullptr; }));
        EXPECT_EQ(instance.editor->GetPanel()->Inspector()->ShownItem(), nullptr);
    }
    {
        // The menu's delete asks first; the first category is shown then.
        Script script;
        script.Then(Accept); // yes, delete it
        palette->RunCommand(TopItem(*palette, u"Drums 3"), 1);
        ASSERT_TRUE(PumpUntil([&] { return TopItem(*palette, u"Drums 3") == nullptr; }));
        EXPECT_EQ(Shown(script), std::vector<std::string>{"IDM_DELETE_CATEGORY_ALERT"});
        EXPECT_EQ(instance.editor->GetPanel()->Inspector()->ShownItem(), palette->ChildAt(nullptr, 0));
    }
}

TEST_F(QuorvelEditorTest, TheNewPresetDialogMakesACategory)
{
    Instance instance;
    ASSERT_TRUE(instance.Open());
    EditorMainPanel* panel = instance.editor->GetPanel();
    EffectCatalog* catalog = instance.Palette()->Catalog();
    ASSERT_NE(catalog, nullptr);
    Script script;
    script.Then([&](Dialog& dialog) {
        PumpMessagesFor(300);
        EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-newpreset.png")));
        String name;
        name.AssignAscii("catchoices");
        auto* combo = dynamic_cast<ComboBox*>(dialog.FindControl(name));
        ASSERT_NE(combo, nullptr);
        combo->SetSelection(0); // "create a new category": the name dialog opens inside
        dialog.End(1);
    });
    script.Then([&](Dialog& dialog) {
        SetText(dialog, "name", u"From The Dialog");
        dialog.End(1);
    });
    EditorNewPresetDialog dialog(*panel, catalog);
    ASSERT_GT(dialog.EntryCount(), 1);
    for (int i = 0; i < dialog.EntryCount(); ++i)
        EXPECT_NE(Narrow(dialog.EntryAt(i)), "Core Effects");
    EXPECT_EQ(dialog.Run(), 1);
    String category;
    dialog.GetCategory(category);
    EXPECT_EQ(Narrow(category), "From The Dialog");
    EXPECT_EQ(Shown(script), (std::vector<std::string>{"newpreset", "newname"}));
    ASSERT_TRUE(PumpUntil([&] { return TopItem(*instance.Palette(), u"From The Dialog") != nullptr; }));
}

TEST_F(QuorvelEditorTest, PreferencesOfAFreshUserAndOkUnchangedWritesNothing)
{
    const PreferenceFlags fresh = Preferences::Read();
    EXPECT_TRUE(fresh.tooltips);
    EXPECT_FALSE(fresh.extraBuffer);
    EXPECT_FALSE(fresh.renderMode);
    Instance instance;
    ASSERT_TRUE(instance.Open());
    Script script;
    script.Then([&](Dialog& dialog) {
        PumpMessagesFor(300);
        EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-preferences.png")));
        dialog.End(1);
    });
    EditorPreferencesDialog dialog(*instance.editor->GetPanel());
    ASSERT_EQ(dialog.Run(), 1);
    dialog.Apply();
    EXPECT_EQ(Shown(script), std::vector<std::string>{"globalpreferences"}) << "no alert for unchanged settings";
}

TEST_F(QuorvelEditorTest, OnlyDeleteIsUsedOfTheHostsKeys)
{
    Instance instance;
    ASSERT_TRUE(instance.Open());
    const VstKeyCode remove{0, 22, 0};
    const VstKeyCode space{' ', 0, 0};
    EXPECT_EQ(instance.editor->OnKeyDown(remove), 1);
    EXPECT_EQ(instance.editor->OnKeyDown(space), 0) << "the host keeps its own shortcuts";
    EXPECT_EQ(instance.editor->OnKeyUp(remove), 0);
    EXPECT_EQ(instance.editor->SetKnobMode(1), 0);
    EXPECT_FALSE(instance.editor->OnWheel(1.0f));
}

TEST_F(QuorvelEditorTest, TwoEditorsShareOneSkinUntilTheSecondCloses)
{
    Instance first;
    Instance second;
    EXPECT_EQ(KivQuorvelEditor::SkinUseCount(), 0);
    ASSERT_TRUE(first.Open());
    Skin* skin = Skin::Current();
    ASSERT_TRUE(second.Open(620));
    EXPECT_EQ(KivQuorvelEditor::SkinUseCount(), 2);
    EXPECT_EQ(Skin::Current(), skin) << "one skin load";
    first.editor->Close();
    EXPECT_EQ(KivQuorvelEditor::SkinUseCount(), 1);
    EXPECT_EQ(Skin::Current(), skin);
    second.editor->Close();
    EXPECT_EQ(KivQuorvelEditor::SkinUseCount(), 0);
    EXPECT_EQ(Skin::Current(), nullptr);
}

TEST_F(QuorvelEditorTest, OneTickIsQueuedWhileTheGuiThreadWaitsAndNoneAfterClose)
{
    Instance instance;
    ASSERT_TRUE(instance.Open());
    HWND window = instance.editor->GetPanel()->GetHandle();
    Sleep(600); // thirty periods without a message served
    int ticks = 0;
    int lamps = 0;
    // Taken from the queue first and handled after: a handled one lets the next be posted.
    std::vector<MSG> queued;
    MSG message;
    while (PeekMessageA(&message, window, kMessageMeterLamps, kMessageMeterTick, PM_REMOVE))
    {
        (message.message == kMessageMeterTick ? ticks : lamps) += 1;
        queued.push_back(message);
    }
    for (const MSG& taken : queued)
        DispatchMessageA(&taken);
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(lamps, 1);
    PumpMessagesFor(200);
    instance.editor->Close();
    EXPECT_FALSE(instance.editor->PostToPanel(kMessageSessionChanged, 0, 0)) << "nothing reaches a closed editor";
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(QuorvelEditorTest, ClosingOrDeletingInsideADialogEndsItAndTearsDownAfterItsLoop)
{
    {
        Instance instance;
        ASSERT_TRUE(instance.Open());
        HWND window = instance.editor->GetPanel()->GetHandle();
        Script script;
        script.Then([&](Dialog&) {
            instance.editor->Close();
            EXPECT_FALSE(instance.editor->PostToPanel(kMessageSessionChanged, 0, 0)) << "nothing posted any more";
        });
        EditorPreferencesDialog dialog(*instance.editor->GetPanel());
        EXPECT_EQ(dialog.Run(), 0) << "the close ended the dialog";
        EXPECT_TRUE(IsWindow(window)) << "the panel outlives the loop it returned into";
        PumpMessagesFor(200);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(KivQuorvelEditor::SkinUseCount(), 0);
    }
    {
        Instance instance;
        ASSERT_TRUE(instance.Open());
        HWND window = instance.editor->GetPanel()->GetHandle();
        Script script;
        script.Then([&](Dialog&) {
            instance.effect->Destroy();
            instance.effect = nullptr;
        });
        EditorPreferencesDialog dialog(*instance.editor->GetPanel());
        EXPECT_EQ(dialog.Run(), 0);
        PumpMessagesFor(300);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(KivQuorvelEditor::SkinUseCount(), 0);
    }
    {
        // Deleted with the editor open and no dialog: the editor goes first.
        Instance instance;
        ASSERT_TRUE(instance.Open());
        HWND window = instance.editor->GetPanel()->GetHandle();
        instance.effect->Destroy();
        instance.effect = nullptr;
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(KivQuorvelEditor::SkinUseCount(), 0);
    }
}

} // namespace

// The selected insert's view: its rows by kind, what the model says shown without being sent
// back, a user's edit sent, and an insert removed while shown.
TEST_F(QuorvelEditorTest, TheEffectViewShowsAnInsertsRowsAndSendsOnlyEdits)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    const uint32_t reverb = LoadCoreEffect(*instance.services->GetCatalog(), *instance.chain, u"Reverb", 0);
    ASSERT_NE(reverb, 0u);
    {
        InsertChain::Hold hold(*instance.chain);
        ASSERT_TRUE(instance.chain->At(0)->SetBypass(true));
    }
    PumpMessagesFor(200);

    instance.panel->ShowInsert(reverb, true);
    EXPECT_EQ(instance.view->Shown(), reverb);
    EditorParamList* list = instance.view->Params();
    ASSERT_NE(list, nullptr);
    // Gain, Mode, Steps, Level (an inverted meter), Reset, Taps, Tone, Drive and Output (a
    // meter): Mix is the wet/dry and Link is hidden.
    const int32_t indices[] = {0, 1, 2, 3, 6, 7, 8, 9, 10};
    ASSERT_EQ(list->RowCount(), static_cast<int>(std::size(indices)));
    for (int r = 0; r < list->RowCount(); ++r)
    {
        SCOPED_TRACE(r);
        EXPECT_EQ(list->Row(r)->Index(), indices[r]);
        EXPECT_EQ(list->FindRow(indices[r]), r);
    }
    EXPECT_TRUE(list->Row(3)->IsMeter());
    EXPECT_EQ(list->FindRow(4), -1) << "no row for the wet/dry";
    auto* gain = ParamItem<RealItem>(*list->Row(0));
    ASSERT_NE(gain, nullptr);
    EXPECT_FLOAT_EQ(gain->value, 0.5f) << "the model's value";
    EXPECT_FLOAT_EQ(gain->defaultValue, 0.5f) << "the descriptor's default";
    ASSERT_NE(ParamItem<IntItem>(*list->Row(1)), nullptr) << "the selector";
    EXPECT_EQ(ParamItem<IntItem>(*list->Row(1))->maximum, 2);
    ASSERT_NE(ParamItem<FlagItem>(*list->Row(2)), nullptr) << "the toggle";
    EXPECT_EQ(ParamItem<NumericItem>(*list->Row(4)), nullptr) << "the trigger has no value";
    auto* taps = ParamItem<IntItem>(*list->Row(5));
    ASSERT_NE(taps, nullptr) << "the discrete one";
    EXPECT_EQ(std::make_pair(taps->minimum, taps->maximum), std::make_pair(1, 8));
    EXPECT_EQ(taps->value, 4);
    ASSERT_NE(ParamItem<RealItem>(*list->Row(6)), nullptr);
    EXPECT_TRUE(ParamItem<RealItem>(*list->Row(6))->IsHidden()) << "parameter kind 1";
    EXPECT_FALSE(ParamItem<RealItem>(*list->Row(6))->IsDisabled());
    ASSERT_NE(ParamItem<RealItem>(*list->Row(7)), nullptr);
    EXPECT_TRUE(ParamItem<RealItem>(*list->Row(7))->IsDisabled()) << "parameter kind 2";
    EXPECT_FALSE(ParamItem<RealItem>(*list->Row(7))->IsHidden());
    EXPECT_TRUE(list->Row(8)->IsMeter());
    EXPECT_FLOAT_EQ(ParamItem<RealItem>(*list->Row(8))->minimum, -120.0f) << "a meter in dB";
    {
        InsertChain::Hold hold(*instance.chain);
        EXPECT_TRUE(instance.chain->At(0)->ReadBypass());
        EXPECT_TRUE(instance.chain->At(0)->IsBypassed()) << "showing an insert leaves it bypassed";
    }
    String bypass;
    bypass.AssignAscii("bypass");
    auto* bypassItem = dynamic_cast<FlagItem*>(instance.view->FindDataItem(bypass));
    ASSERT_NE(bypassItem, nullptr);
    EXPECT_EQ(bypassItem->value, 1);

    // A model value shown in a row is not sent again; the user's edit is.
    {
        InsertChain::Hold hold(*instance.chain);
        ASSERT_TRUE(instance.chain->At(0)->SetParam(0, 2, ParamValue::Real(0.75f).bits));
    }
    // The values set go to the server through the host's path, on the instance.services thread.
    ASSERT_TRUE(PumpUntil([&] { return ServerValue(*instance.chain, 0, 0).AsReal() == 0.75f; }, 5000));
    list->RefreshRow(0);
    EXPECT_FLOAT_EQ(gain->value, 0.75f);
    gain->SetValue(0.25f, 1, 1, nullptr);
    EXPECT_TRUE(PumpUntil([&] { return ServerValue(*instance.chain, 0, 0).AsReal() == 0.25f; }, 5000))
        << "the edit reached the engine";
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-effectview.png")));

    // Shown again with force the rows are made again; without, nothing changes.
    EditorParamItem* first = list->Row(0);
    instance.panel->ShowInsert(reverb, false);
    EXPECT_EQ(instance.view->Params()->Row(0), first);
    instance.panel->ShowInsert(reverb, true);
    ASSERT_NE(instance.view->Params(), nullptr);
    EXPECT_EQ(instance.view->Params()->RowCount(), static_cast<int>(std::size(indices)));

    // The model's parameter events: for the shown insert's notify id a row re-reads its value
    // (also a value set behind the row's back); for an unknown id nothing happens.
    int32_t notifyId = 0;
    {
        InsertChain::Hold hold(*instance.chain);
        notifyId = instance.chain->At(0)->GetNotifyId();
        ASSERT_TRUE(instance.chain->At(0)->SetParam(0, 2, ParamValue::Real(0.5f).bits));
    }
    ASSERT_TRUE(PumpUntil([&] { return ServerValue(*instance.chain, 0, 0).AsReal() == 0.5f; }, 5000));
    auto* shownGain = ParamItem<RealItem>(*instance.view->Params()->Row(0));
    ASSERT_NE(shownGain, nullptr);
    // The set's own event from the model may still be on its way (late on a loaded machine):
    // let it land before the row is put out of step.
    PumpUntil([&] { return shownGain->value == 0.5f; }, 2000);
    PumpMessagesFor(300);
    shownGain->SetValue(0.1f, 1, 0, nullptr);
    PostMessageA(instance.panel->GetHandle(), kMessageEvent1, 0, static_cast<LPARAM>(notifyId + 1000));
    PumpMessagesFor(200);
    EXPECT_FLOAT_EQ(shownGain->value, 0.1f) << "another insert's event";
    PostMessageA(instance.panel->GetHandle(), kMessageEvent1, 0, static_cast<LPARAM>(notifyId));
    EXPECT_TRUE(PumpUntil([&] { return shownGain->value == 0.5f; }, 3000));
    PostMessageA(instance.panel->GetHandle(), kMessageEvent2, 1, static_cast<LPARAM>(notifyId));
    PostMessageA(instance.panel->GetHandle(), kMessageEvent4, 2, static_cast<LPARAM>(notifyId));
    PumpMessagesFor(300);
    ASSERT_NE(instance.view->Params(), nullptr);
    EXPECT_EQ(instance.view->Params()->RowCount(), static_cast<int>(std::size(indices)))
        << "the same set of parameters";

    // The insert goes while shown: the instance.view keeps only its identity and finds nothing.
    ASSERT_TRUE(instance.chain->RemoveAt(0, true));
    EXPECT_FALSE(instance.view->WithInsert([](InsertEffect&) {}));
    instance.view->Params()->RefreshAll();
    instance.view->RefreshMeters(true);
    instance.panel->ShowInsert(reverb, true);
    EXPECT_EQ(instance.view->Shown(), 0u);
    ASSERT_NE(instance.view->Params(), nullptr);
    EXPECT_EQ(instance.view->Params()->RowCount(), 0);
}

namespace
{

std::shared_ptr<PresetEntry> CoreEntry(EffectCatalog& catalog, const std::u16string& name)
{
    std::shared_ptr<PresetCategory> core = catalog.CategoryCount() > 0 ? catalog.CategoryAt(0) : nullptr;
    for (int32_t i = 0; core && i < core->PresetCount(); ++i)
        if (std::shared_ptr<PresetEntry> entry = core->PresetAt(i))
            if (std::u16string(entry->Record().name) == name)
                return entry;
    return nullptr;
}

// The chain's inserts by their shown names, in chain order.
std::vector<std::string> ChainNames(InsertChain& chain)
{
    InsertChain::Hold hold(chain);
    std::vector<std::string> names;
    for (int32_t i = 0; i < chain.Count(); ++i)
    {
        String name;
        InsertDisplayName(*chain.At(i), name);
        names.push_back(Narrow(name));
    }
    return names;
}

std::vector<int32_t> SelectedRows(const EditorInsertSlot& slots)
{
    std::vector<int32_t> rows;
    for (int32_t i = 0; i < slots.Selection().Count(); ++i)
        if (slots.Selection().IsSelected(i))
            rows.push_back(i);
    return rows;
}

size_t Occurrences(const std::string& log, const std::string& what)
{
    size_t count = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1))
        ++count;
    return count;
}

} // namespace

// The insert slots: drops add and replace, the selection (also on empty slots), moves
// (onto the slot below: unchanged), the menu's specials, delete by key, a preset made from
// the inserts with the library's name rule, and the peak meter's slot meters.
TEST_F(QuorvelEditorTest, TheInsertSlotsShowSelectAndEditTheChain)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    const std::shared_ptr<PresetEntry> reverb = CoreEntry(*instance.catalog, u"Reverb");
    const std::shared_ptr<PresetEntry> delay = CoreEntry(*instance.catalog, u"Delay");
    const std::shared_ptr<PresetEntry> compressor = CoreEntry(*instance.catalog, u"Compressor");
    ASSERT_TRUE(reverb && delay && compressor);

    // Drops on instance.slots: past the instance.chain's end they add at the end.
    ASSERT_TRUE(instance.slots->AddAt(*reverb, 0));
    ASSERT_TRUE(instance.slots->AddAt(*delay, 5));
    ASSERT_TRUE(instance.slots->AddAt(*compressor, 1));
    PumpMessagesFor(300);
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Compressor", "Delay"}));
    EXPECT_EQ(instance.slots->Current(), 1);
    ASSERT_NE(instance.panel->GetEffectView(), nullptr);
    {
        InsertChain::Hold hold(*instance.chain);
        EXPECT_EQ(instance.panel->GetEffectView()->Shown(), instance.chain->At(1)->Identity())
            << "the focused insert is shown";
    }
    EXPECT_EQ(instance.slots->Selection().Count(), 3);

    // Selection: Shift from 0 to 2, Ctrl off again, an empty slot.
    instance.slots->ClickSlot(0, 0);
    instance.slots->ClickSlot(2, MK_SHIFT);
    EXPECT_EQ(SelectedRows(*instance.slots), (std::vector<int32_t>{0, 1, 2}));
    instance.slots->ClickSlot(1, MK_CONTROL);
    EXPECT_EQ(SelectedRows(*instance.slots), (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(instance.slots->Current(), -1);
    instance.slots->ClickSlot(7, 0);
    EXPECT_TRUE(SelectedRows(*instance.slots).empty());
    EXPECT_EQ(instance.slots->Current(), 7);
    EXPECT_EQ(instance.slots->Selection().Count(), 3) << "no record for an empty slot";
    EXPECT_FALSE(instance.slots->HasInsertAt(7));

    // A drop on an occupied slot loads the item onto that insert.
    ASSERT_TRUE(instance.slots->ReplaceAt(*delay, 0));
    PumpMessagesFor(200);
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Delay", "Compressor", "Delay"}));
    ASSERT_TRUE(instance.slots->ReplaceAt(*reverb, 0));
    PumpMessagesFor(200);

    // Moves: onto the slot right below changes nothing; onto the end and back.
    uint32_t first = 0;
    {
        InsertChain::Hold hold(*instance.chain);
        first = instance.chain->At(0)->Identity();
    }
    EXPECT_TRUE(instance.slots->Move(0, 1));
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Compressor", "Delay"}));
    {
        InsertChain::Hold hold(*instance.chain);
        EXPECT_EQ(instance.chain->At(0)->Identity(), first) << "the same insert, left where it was";
    }
    EXPECT_TRUE(instance.slots->Move(0, 3));
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Compressor", "Delay", "Reverb"}));
    EXPECT_EQ(instance.slots->Current(), 2);
    EXPECT_TRUE(instance.slots->Move(2, 0));
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Compressor", "Delay"}));
    PumpMessagesFor(200);

    // The menu's special insert goes in at the focused row; its slot gets two meters.
    instance.slots->ClickSlot(1, 0);
    instance.slots->RunCommand(kInsertMenuAddPeakMeter);
    PumpMessagesFor(300);
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Peak Meter", "Compressor", "Delay"}));
    uint32_t peak = 0;
    {
        InsertChain::Hold hold(*instance.chain);
        peak = instance.chain->At(1)->Identity();
    }
    RealItem* left = instance.slots->MeterItem(peak, 0);
    RealItem* right = instance.slots->MeterItem(peak, 1);
    ASSERT_NE(left, nullptr) << "the peak meter's slot meters";
    ASSERT_NE(right, nullptr);
    // The engine's two meter parameters read in dB from -120 to 0: each slot meter takes its
    // own one's range.
    for (RealItem* side : {left, right})
    {
        EXPECT_FLOAT_EQ(side->minimum, -120.0f);
        EXPECT_FLOAT_EQ(side->maximum, 0.0f);
        side->value = -7.0f;
    }
    instance.slots->RefreshMeters(false);
    EXPECT_FLOAT_EQ(left->value, -120.0f) << "silent while the host does not process";
    EXPECT_FLOAT_EQ(right->value, -120.0f);

    // Bypass through the menu shows in the slot's font and in the model.
    instance.slots->ClickSlot(2, 0);
    instance.slots->RunCommand(kInsertMenuBypass);
    {
        InsertChain::Hold hold(*instance.chain);
        EXPECT_TRUE(instance.chain->At(2)->IsBypassed());
    }
    instance.slots->ClickSlot(0, 0);
    PumpMessagesFor(300);
    // Lit as while the host plays (the ticks of this idle host would let it fall at once).
    left->SetValue(-6.0f, 1, 0, nullptr);
    right->SetValue(-18.0f, 1, 0, nullptr);
    PumpMessagesFor(40); // the display catches up; a tick or two lets it fall an LED
    EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-inserts.png")));

    // Delete (the host's key 46) removes the selected inserts.
    instance.slots->ClickSlot(3, 0);
    ::SendMessageA(instance.panel->GetHandle(), WM_KEYDOWN, VK_DELETE, 0);
    PumpMessagesFor(200);
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Peak Meter", "Compressor"}));
    instance.slots->ClickSlot(1, 0);
    instance.slots->RunCommand(kInsertMenuDelete);
    PumpMessagesFor(200);
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Compressor"}));
    EXPECT_EQ(instance.slots->MeterCount(), 0) << "the deleted meter's slot meters went with it";

    // A preset from the inserts: the library's name rule, nothing sent for a refused name.
    const struct
    {
        const char* trace;
        std::u16string name;
        const char* message;
    } names[] = {
        {"128 characters", std::u16string(128, u'n'), "IDM_MAX_CHAR_EXCEEDED"},
        {"a separator", u"a\\b", "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {"127 characters", std::u16string(127, u'p'), nullptr},
    };
    for (const auto& c : names)
    {
        SCOPED_TRACE(c.trace);
        const size_t sent = Occurrences(EngineLog(), "CreatePreset ");
        Script script;
        script.Then([&](Dialog& dialog) {
            SetText(dialog, "presetname", c.name);
            dialog.End(1);
        });
        script.Then([](Dialog& dialog) { dialog.End(1); });
        instance.slots->RunCommand(kInsertMenuPresetFromInserts);
        std::vector<std::string> expected{"newpreset"};
        if (c.message)
            expected.push_back(c.message);
        EXPECT_EQ(Shown(script), expected);
        EXPECT_EQ(Occurrences(EngineLog(), "CreatePreset "), sent + (c.message ? 0 : 1));
    }

    // Remove all; the instance.slots follow the instance.chain.
    instance.slots->RunCommand(kInsertMenuRemoveAll);
    PumpMessagesFor(200);
    EXPECT_TRUE(ChainNames(*instance.chain).empty());
    EXPECT_EQ(instance.slots->Selection().Count(), 0);
    EXPECT_EQ(instance.panel->GetEffectView()->Shown(), 0u);
}

namespace
{

// Drags that end over no window: the test drops by calling the panel itself.
class NoDropTarget : public DragWindows
{
public:
    NoDropTarget() { previous_ = DragDrop::InstallWindows(this); }
    ~NoDropTarget() { DragDrop::InstallWindows(previous_); }
    NoDropTarget(const NoDropTarget&) = delete;
    NoDropTarget& operator=(const NoDropTarget&) = delete;

    Window* FromPoint(int, int) override { return nullptr; }
    HWND Handle(Window*) override { return nullptr; }
    int OnDragOver(Window*, int, int, intptr_t, intptr_t) override { return 0; }
    int OnDrop(Window*, int, int, intptr_t, intptr_t) override { return 0; }

private:
    DragWindows* previous_;
};

// The middle of a visible slot in the panel's coordinates.
POINT SlotPoint(EditorMainPanel& panel, int slot)
{
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    panel.GetRegionRect(EditorInsertSlot::SlotRegion(slot), x, y, width, height, id);
    return POINT{x + width / 2, y + height / 2};
}

} // namespace

// Drags onto the slots: an insert's own drag (cursor kinds, onto itself and the slot below:
// unchanged, onto another insert: before it, onto an empty slot: to the end) and the
// palette's (an empty slot adds, an occupied one replaces); then the slot menu's shot.
TEST_F(QuorvelEditorTest, DropsOnTheSlotsMoveAddAndReplaceInserts)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    FxPalette* palette = instance.Palette();
    ASSERT_TRUE(instance.chain && instance.catalog && palette);
    for (const char16_t* name : {u"Reverb", u"Compressor", u"Delay"})
    {
        const std::shared_ptr<PresetEntry> entry = CoreEntry(*instance.catalog, name);
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(instance.slots->AddAt(*entry, instance.slots->Length()));
    }
    PumpMessagesFor(300);
    ASSERT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Compressor", "Delay"}));

    NoDropTarget target;
    const auto dragInsert = [&](int row, int slot) {
        DragDrop::Begin(nullptr, instance.panel, EditorMainPanel::kDragInsert, row);
        const POINT at = SlotPoint(*instance.panel, slot);
        const int cursor = instance.panel->OnDragOver(at.x, at.y, EditorMainPanel::kDragInsert, row);
        instance.panel->OnDrop(at.x, at.y, EditorMainPanel::kDragInsert, row);
        DragDrop::End();
        PumpMessagesFor(150);
        return cursor;
    };
    EXPECT_EQ(dragInsert(0, 0), EditorMainPanel::kCursorNoDrop) << "over itself";
    EXPECT_EQ(dragInsert(0, 1), EditorMainPanel::kCursorDrop);
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Compressor", "Delay"}))
        << "onto the slot right below: unchanged";
    EXPECT_EQ(dragInsert(0, 2), EditorMainPanel::kCursorDrop);
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Compressor", "Reverb", "Delay"}))
        << "onto an insert: before it";
    EXPECT_EQ(dragInsert(0, 6), EditorMainPanel::kCursorNoDrop) << "over an empty slot";
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Delay", "Compressor"}))
        << "onto an empty slot: to the end";

    const std::shared_ptr<PresetEntry> equalizer = CoreEntry(*instance.catalog, u"Equalizer");
    ASSERT_NE(equalizer, nullptr);
    ASSERT_NE(palette->EntryOf(equalizer->Identity()), nullptr) << "the palette holds the dragged entry";
    const auto dragPreset = [&](int slot) {
        const auto identity = static_cast<intptr_t>(equalizer->Identity());
        DragDrop::Begin(nullptr, palette, FxPalette::kDragPreset, identity);
        const POINT at = SlotPoint(*instance.panel, slot);
        const int cursor = instance.panel->OnDragOver(at.x, at.y, FxPalette::kDragPreset, identity);
        instance.panel->OnDrop(at.x, at.y, FxPalette::kDragPreset, identity);
        DragDrop::End();
        PumpMessagesFor(200);
        return cursor;
    };
    EXPECT_EQ(dragPreset(9), EditorMainPanel::kCursorDrop);
    EXPECT_EQ(ChainNames(*instance.chain), (std::vector<std::string>{"Reverb", "Delay", "Compressor", "Equalizer"}));
    EXPECT_EQ(dragPreset(1), EditorMainPanel::kCursorDrop);
    EXPECT_EQ(ChainNames(*instance.chain),
              (std::vector<std::string>{"Reverb", "Equalizer", "Compressor", "Equalizer"}));
    EXPECT_EQ(instance.slots->Current(), 1);

    // A drag from anywhere else is refused.
    DragDrop::Begin(nullptr, instance.editor->GetPanel()->GetEffectView(), 0, 0);
    const POINT at = SlotPoint(*instance.panel, 0);
    EXPECT_EQ(instance.panel->OnDragOver(at.x, at.y, 0, 0), 0);
    EXPECT_EQ(instance.panel->OnDrop(at.x, at.y, 0, 0), 0);
    DragDrop::End();
    EXPECT_EQ(ChainNames(*instance.chain).size(), 4u);

    // The menu of a slot at the pointer.
    POINT screen = SlotPoint(*instance.panel, 1);
    ::ClientToScreen(instance.panel->GetHandle(), &screen);
    ::SetCursorPos(screen.x, screen.y);
    instance.slots->ClickSlot(1, 0);
    ASSERT_TRUE(instance.slots->ShowContextMenu(1));
    PumpMessagesFor(300);
    ASSERT_NE(PopupMenu::Current(), nullptr);
    EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-insertmenu.png")));
    PopupMenu::CloseAll();
    PumpMessagesFor(100);
}

// The effect view's core preset menu: a factory preset is neither deleted nor renamed, a
// new one is selected once the list has it, names follow the library's rule, store and
// delete reach the engine.
TEST_F(QuorvelEditorTest, TheCorePresetMenuEditsTheEffectsPresets)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    const uint32_t reverb = LoadCoreEffect(*instance.services->GetCatalog(), *instance.chain, u"Reverb", 0);
    ASSERT_NE(reverb, 0u);
    PumpMessagesFor(200);
    instance.panel->ShowInsert(reverb, true);
    String curpreset;
    curpreset.AssignAscii("curpreset");
    auto* selected = dynamic_cast<IntItem*>(instance.view->FindDataItem(curpreset));
    ASSERT_NE(selected, nullptr);
    const auto presetCount = [&] {
        int32_t count = 0;
        instance.view->WithInsert(
            [&](InsertEffect& insert) { count = static_cast<DspEffectInsert&>(insert).PresetCount(); });
        return count;
    };
    const int32_t factoryCount = presetCount();
    ASSERT_GT(factoryCount, 0);
    const auto logged = [](const char* what) { return Occurrences(EngineLog(), what); };

    // The menu at the "Edit" button.
    String editName;
    editName.AssignAscii("editpreset");
    if (Control* edit = instance.view->FindControl(editName))
    {
        Rect rect;
        edit->GetRect(rect);
        POINT screen{rect.left + 4, rect.bottom - 2};
        ::ClientToScreen(instance.view->GetHandle(), &screen);
        ::SetCursorPos(screen.x, screen.y);
    }
    ASSERT_TRUE(instance.view->ShowPresetMenu());
    PumpMessagesFor(300);
    ASSERT_NE(PopupMenu::Current(), nullptr);
    EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-presetmenu.png")));
    PopupMenu::CloseAll();
    PumpMessagesFor(100);

    {
        SCOPED_TRACE("a factory preset is kept");
        Script script;
        script.Then([](Dialog& dialog) { dialog.End(1); });
        script.Then([](Dialog& dialog) { dialog.End(1); });
        const size_t deletes = logged("DeleteCorePreset ");
        instance.view->RunPresetCommand(2);
        instance.view->RunPresetCommand(3);
        EXPECT_EQ(Shown(script), (std::vector<std::string>{"IDM_DELETE_FACTORY_CORE_PRESET_ALERT",
                                                           "IDM_RENAME_FACTORY_CORE_PRESET_ALERT"}));
        EXPECT_EQ(logged("DeleteCorePreset "), deletes);
        EXPECT_EQ(presetCount(), factoryCount);
    }
    {
        SCOPED_TRACE("a new preset is appended and selected");
        Script script;
        script.Then([](Dialog& dialog) {
            SetText(dialog, "name", u"Mine");
            dialog.End(1);
        });
        const size_t creates = logged("CreateCorePreset ");
        instance.view->RunPresetCommand(1);
        EXPECT_EQ(logged("CreateCorePreset "), creates + 1);
        EXPECT_EQ(Shown(script), (std::vector<std::string>{"newname"}));
        ASSERT_TRUE(PumpUntil([&] { return presetCount() == factoryCount + 1; }, 5000));
        EXPECT_TRUE(PumpUntil([&] { return selected->value == factoryCount; }, 3000));
    }
    {
        SCOPED_TRACE("a name with a separator is refused, nothing sent");
        Script script;
        script.Then([](Dialog& dialog) {
            SetText(dialog, "name", u"a\\b");
            dialog.End(1);
        });
        script.Then([](Dialog& dialog) { dialog.End(1); });
        const size_t renames = logged("RenameCorePreset ");
        instance.view->RunPresetCommand(3);
        EXPECT_EQ(Shown(script), (std::vector<std::string>{"newname", "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"}));
        EXPECT_EQ(logged("RenameCorePreset "), renames);
    }
    {
        SCOPED_TRACE("rename, store and delete of the user's preset reach the engine");
        // The user chooses the new preset in the combo: the insert selects it.
        selected->SetValue(static_cast<float>(factoryCount), 1, 1, nullptr);
        ASSERT_TRUE(PumpUntil(
            [&] {
                int32_t chosen = -1;
                instance.view->WithInsert(
                    [&](InsertEffect& insert) { chosen = static_cast<DspEffectInsert&>(insert).SelectedPreset(); });
                return chosen == factoryCount;
            },
            5000));
        Script script;
        script.Then([](Dialog& dialog) {
            SetText(dialog, "name", u"Mine Too");
            dialog.End(1);
        });
        script.Then([](Dialog& dialog) { dialog.End(1); }); // the delete's question
        const size_t renames = logged("RenameCorePreset ");
        const size_t stores = logged("ApplyPresetById ");
        const size_t deletes = logged("DeleteCorePreset ");
        instance.view->RunPresetCommand(3);
        EXPECT_EQ(logged("RenameCorePreset "), renames + 1);
        EXPECT_TRUE(PumpUntil(
            [&] {
                std::u16string name;
                instance.view->WithInsert([&](InsertEffect& insert) {
                    if (const CorePresetRecord* record = static_cast<DspEffectInsert&>(insert).PresetAt(factoryCount))
                        name = record->name;
                });
                return name == u"Mine Too";
            },
            5000));
        instance.view->RunPresetCommand(4);
        EXPECT_EQ(logged("ApplyPresetById "), stores + 1);
        instance.view->RunPresetCommand(2);
        EXPECT_EQ(logged("DeleteCorePreset "), deletes + 1);
        EXPECT_EQ(Shown(script), (std::vector<std::string>{"newname", "IDM_DELETE_PRESET_ALERT"}));
        EXPECT_TRUE(PumpUntil([&] { return presetCount() == factoryCount; }, 5000));
    }
}

// A parameter's control menu: a value copied from one insert's row is pasted into another
// insert's and reaches the engine; reset puts the descriptor's default back.
TEST_F(QuorvelEditorTest, TheControlMenuCopiesAcrossInsertsAndResets)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    const uint32_t reverb = LoadCoreEffect(*instance.services->GetCatalog(), *instance.chain, u"Reverb", 0);
    const uint32_t delay = LoadCoreEffect(*instance.services->GetCatalog(), *instance.chain, u"Delay", 1);
    ASSERT_TRUE(reverb && delay);
    PumpMessagesFor(200);

    instance.panel->ShowInsert(reverb, true);
    ASSERT_NE(instance.view->Params(), nullptr);
    ASSERT_GT(instance.view->Params()->RowCount(), 0);
    EditorParamItem* row = instance.view->Params()->Row(0);
    auto* gain = ParamItem<RealItem>(*row);
    ASSERT_NE(gain, nullptr);
    gain->SetValue(0.8f, 1, 1, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return ServerValue(*instance.chain, 0, 0).AsReal() == 0.8f; }, 5000));

    // The menu on the row's control, at the pointer.
    String controlName;
    controlName.AssignAscii("control");
    Control* control = row->FindControl(controlName);
    ASSERT_NE(control, nullptr);
    Rect rect;
    control->GetRect(rect);
    POINT screen{rect.left + 8, rect.top + 4};
    ::ClientToScreen(row->GetHandle(), &screen);
    ::SetCursorPos(screen.x, screen.y);
    row->OnRightClickControl(control);
    PumpMessagesFor(300);
    ASSERT_NE(PopupMenu::Current(), nullptr) << "the control's menu shows";
    EXPECT_TRUE(SaveScreenPicture(ShotPath("quorvel-controlmenu.png")));
    PopupMenu::CloseAll();
    PumpMessagesFor(100);

    row->OnMenuCommand(99); // no menu open: nothing
    EditorControlContextMenu::OnCommand(gain, ControlContextMenu::kCopy);
    EXPECT_EQ(EditorControlContextMenu::Clipboard().IsEmpty(DataItem::KindReal), 0);

    instance.panel->ShowInsert(delay, true);
    ASSERT_NE(instance.view->Params(), nullptr);
    auto* other = ParamItem<RealItem>(*instance.view->Params()->Row(0));
    ASSERT_NE(other, nullptr);
    EXPECT_FLOAT_EQ(other->value, 0.5f);
    EditorControlContextMenu::OnCommand(other, ControlContextMenu::kPaste);
    EXPECT_FLOAT_EQ(other->value, 0.8f);
    EXPECT_TRUE(PumpUntil([&] { return ServerValue(*instance.chain, 1, 0).AsReal() == 0.8f; }, 5000))
        << "the paste reached the other insert in the engine";
    EditorControlContextMenu::OnCommand(other, ControlContextMenu::kReset);
    EXPECT_FLOAT_EQ(other->value, 0.5f);
    EXPECT_TRUE(PumpUntil([&] { return ServerValue(*instance.chain, 1, 0).AsReal() == 0.5f; }, 5000));

    // Texts keep 200 units.
    String longText;
    longText.AssignWide(std::u16string(260, u't').c_str());
    EditorControlContextMenu::SetClipboardText(longText);
    String kept;
    EditorControlContextMenu::GetClipboardText(kept);
    EXPECT_EQ(kept.Length(), 200);
}

namespace
{

// The identities of the chain's inserts, in chain order.
std::vector<uint32_t> ChainIdentities(InsertChain& chain)
{
    InsertChain::Hold hold(chain);
    std::vector<uint32_t> identities;
    for (int32_t i = 0; i < chain.Count(); ++i)
        identities.push_back(chain.At(i)->Identity());
    return identities;
}

// The pixels of a control's place in its panel's composed background.
std::vector<uint32_t> PixelsOf(Panel& panel, Control& control)
{
    std::vector<uint32_t> pixels;
    const Bitmap* picture = panel.ComposedBackground();
    Rect rect;
    control.GetRect(rect);
    for (int y = rect.top; picture && y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            pixels.push_back(picture->GetPixel(x, y) & 0xFFFFFF);
    return pixels;
}

} // namespace

// Levels the card reports through the control channel light the slot meters and the rows'
// meters while the host processes; without processing they show -120. A slot repaint with a
// steady level keeps the lit meter on top of the slot's images.
TEST_F(QuorvelEditorTest, TheCardsLevelsLightSlotAndRowMetersThroughRepaints)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    auto* link = dynamic_cast<ServicesLink*>(instance.services);
    ASSERT_NE(link, nullptr);
    InsertChain* chain = instance.services->GetInsertChain();
    const uint32_t reverb = LoadCoreEffect(*instance.services->GetCatalog(), *chain, u"Reverb", 0);
    ASSERT_NE(reverb, 0u);
    instance.slots->ClickSlot(0, 0);
    instance.slots->RunCommand(kInsertMenuAddPeakMeter);
    PumpMessagesFor(300);
    ASSERT_EQ(ChainNames(*chain), (std::vector<std::string>{"Peak Meter", "Reverb"}));
    const uint32_t peak = ChainIdentities(*chain)[0];
    RealItem* left = instance.slots->MeterItem(peak, 0);
    RealItem* right = instance.slots->MeterItem(peak, 1);
    ASSERT_TRUE(left && right);
    const int client = static_cast<int>(link->GetClientId());

    // The Peak Meter's Left and Right (parameters 0 and 1), each its own level.
    ASSERT_EQ(EngineRequest(ClientRequest::Text(client, 0, ClientRequest::kLevel, 0, "-6")), "ok");
    ASSERT_EQ(EngineRequest(ClientRequest::Text(client, 0, ClientRequest::kLevel, 1, "-30")), "ok");
    EXPECT_TRUE(PumpUntil(
        [&] {
            instance.slots->RefreshMeters(true);
            return left->value == -6.0f && right->value == -30.0f;
        },
        5000))
        << left->value << " " << right->value;
    // What the meter shows now is drawn again by a repaint of the instance.slots, the level unchanged.
    String leftName;
    leftName.AssignAscii("leftPeakMeter");
    Control* leftMeter = instance.panel->FindControl(leftName);
    ASSERT_NE(leftMeter, nullptr);
    const std::vector<uint32_t> lit = PixelsOf(*instance.panel, *leftMeter);
    instance.slots->Rebuild();
    EXPECT_EQ(PixelsOf(*instance.panel, *leftMeter), lit) << "the meter is still drawn over its slot";
    instance.slots->ClickSlot(1, 0);
    EXPECT_EQ(PixelsOf(*instance.panel, *leftMeter), lit) << "also after a click elsewhere";
    PumpMessagesFor(100);
    instance.slots->RefreshMeters(false);
    EXPECT_FLOAT_EQ(left->value, -120.0f) << "not processing";
    EXPECT_FLOAT_EQ(right->value, -120.0f);

    // The Reverb's Output row (parameter 10, a meter in dB).
    instance.panel->ShowInsert(ChainIdentities(*chain)[1], true);
    ASSERT_NE(instance.view->Params(), nullptr);
    const int position = instance.view->Params()->FindRow(10);
    ASSERT_GE(position, 0);
    EditorParamItem* output = instance.view->Params()->Row(position);
    ASSERT_TRUE(output->IsMeter());
    auto* outputItem = ParamItem<RealItem>(*output);
    ASSERT_NE(outputItem, nullptr);
    ASSERT_EQ(EngineRequest(ClientRequest::Text(client, 1, ClientRequest::kLevel, 10, "-20")), "ok");
    EXPECT_TRUE(PumpUntil(
        [&] {
            instance.view->RefreshMeters(true);
            return outputItem->value == -20.0f;
        },
        5000))
        << outputItem->value;
    instance.view->RefreshMeters(false);
    EXPECT_FLOAT_EQ(outputItem->value, -120.0f) << "not processing";
    // A level past the parameter's range is refused by the card, nothing changed.
    EXPECT_NE(EngineRequest(ClientRequest::Text(client, 1, ClientRequest::kLevel, 10, "20")), "ok");
}

// With more inserts than slots and the slots scrolled: a drop, the menu and the host's delete
// key (opcode 59, key 22) act on the rows the user sees.
TEST_F(QuorvelEditorTest, ScrolledSlotsAddReplaceMoveAndDeleteTheRowsShown)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    FxPalette* palette = instance.Palette();
    ASSERT_TRUE(instance.chain && instance.catalog && palette);
    const std::shared_ptr<PresetEntry> equalizer = CoreEntry(*instance.catalog, u"Equalizer");
    const std::shared_ptr<PresetEntry> delay = CoreEntry(*instance.catalog, u"Delay");
    ASSERT_TRUE(equalizer && delay);
    for (int i = 0; i < 15; ++i)
        ASSERT_TRUE(instance.chain->LoadPreset(equalizer->Id(), i, true, true)) << i;
    PumpMessagesFor(300);
    ASSERT_EQ(instance.slots->Length(), 15);
    instance.slots->ScrollBy(5);
    ASSERT_EQ(instance.slots->FirstVisible(), 2) << "the wheel stops at the bar's maximum";
    std::vector<uint32_t> rows = ChainIdentities(*instance.chain);

    NoDropTarget target;
    const auto dragInsert = [&](int slot, int onto) {
        const intptr_t row = instance.slots->FirstVisible() + slot;
        DragDrop::Begin(nullptr, instance.panel, EditorMainPanel::kDragInsert, row);
        const POINT at = SlotPoint(*instance.panel, onto);
        instance.panel->OnDragOver(at.x, at.y, EditorMainPanel::kDragInsert, row);
        instance.panel->OnDrop(at.x, at.y, EditorMainPanel::kDragInsert, row);
        DragDrop::End();
        PumpMessagesFor(150);
    };
    {
        SCOPED_TRACE("onto the slot below, scrolled: unchanged");
        dragInsert(2, 3);
        EXPECT_EQ(ChainIdentities(*instance.chain), rows);
    }
    {
        SCOPED_TRACE("a move by drop, scrolled: the row shown in slot 2 goes before the one in slot 5");
        const int32_t first = instance.slots->FirstVisible();
        ASSERT_GT(first, 0);
        dragInsert(2, 5);
        const uint32_t moved = rows[static_cast<size_t>(first + 2)];
        rows.erase(rows.begin() + first + 2);
        rows.insert(rows.begin() + first + 4, moved);
        EXPECT_EQ(ChainIdentities(*instance.chain), rows);
        EXPECT_EQ(instance.slots->Current(), first + 4);
    }
    {
        SCOPED_TRACE("a replace by drop, scrolled: the row shown in slot 0");
        const int32_t first = instance.slots->FirstVisible();
        ASSERT_GT(first, 0);
        const auto identity = static_cast<intptr_t>(delay->Identity());
        DragDrop::Begin(nullptr, palette, FxPalette::kDragPreset, identity);
        const POINT at = SlotPoint(*instance.panel, 0);
        EXPECT_EQ(instance.panel->OnDragOver(at.x, at.y, FxPalette::kDragPreset, identity),
                  EditorMainPanel::kCursorDrop);
        instance.panel->OnDrop(at.x, at.y, FxPalette::kDragPreset, identity);
        DragDrop::End();
        PumpMessagesFor(200);
        std::vector<std::string> names(15, "Equalizer");
        names[static_cast<size_t>(first)] = "Delay";
        EXPECT_EQ(ChainNames(*instance.chain), names);
        EXPECT_EQ(instance.slots->Current(), first);
    }
    const auto addsAt = [&](const char* trace, const std::function<void()>& add, const std::string& name, int32_t row) {
        SCOPED_TRACE(trace);
        const size_t before = ChainNames(*instance.chain).size();
        add();
        PumpMessagesFor(200);
        const std::vector<std::string> names = ChainNames(*instance.chain);
        ASSERT_EQ(names.size(), before + 1);
        EXPECT_EQ(names[static_cast<size_t>(row)], name);
    };
    const auto deletes = [&](const char* trace, int32_t slot, const std::function<void()>& remove) {
        SCOPED_TRACE(trace);
        ASSERT_GT(instance.slots->FirstVisible(), 0);
        instance.slots->ClickSlot(slot, 0);
        const std::vector<uint32_t> before = ChainIdentities(*instance.chain);
        const uint32_t gone = before[static_cast<size_t>(instance.slots->FirstVisible() + slot)];
        remove();
        PumpMessagesFor(200);
        const std::vector<uint32_t> now = ChainIdentities(*instance.chain);
        EXPECT_EQ(now.size(), before.size() - 1);
        EXPECT_EQ(std::count(now.begin(), now.end(), gone), 0);
    };
    {
        const int32_t first = instance.slots->FirstVisible();
        ASSERT_GT(first, 0);
        addsAt(
            "an add by drop on the area below the rows, scrolled: at the row of that slot",
            [&] { ASSERT_TRUE(instance.slots->AddAt(*delay, 13)); }, "Delay", std::min(first + 13, 15));
    }
    deletes("a delete by the menu, scrolled", 3, [&] { instance.slots->RunCommand(kInsertMenuDelete); });
    {
        const int32_t first = instance.slots->FirstVisible();
        ASSERT_GT(first, 0);
        instance.slots->ClickSlot(2, 0);
        addsAt(
            "an add by the menu, scrolled: at the focused row",
            [&] { instance.slots->RunCommand(kInsertMenuAddTrimPot); }, "Trim Pot", first + 2);
    }
    deletes("a delete by the host's key (opcode 59, key 22), scrolled", 1, [&] {
        VstKeyCode remove{0, 22, 0};
        EXPECT_EQ(instance.effect->dispatcher(kEffEditKeyDown, 0, 22, &remove, 0.0f), 1);
    });
}

// An insert shown in the effect view goes with a host's setChunk: the view lets go of it.
TEST_F(QuorvelEditorTest, AnInsertRemovedBySetChunkWhileShownEmptiesTheView)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    void* data = nullptr;
    const int32_t size = instance.effect->getChunk(&data, false);
    ASSERT_GT(size, 0);
    const std::vector<uint8_t> empty(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    const uint32_t reverb = LoadCoreEffect(*instance.services->GetCatalog(), *instance.chain, u"Reverb", 0);
    ASSERT_NE(reverb, 0u);
    PumpMessagesFor(200);
    instance.panel->ShowInsert(reverb, true);
    ASSERT_EQ(instance.view->Shown(), reverb);
    ASSERT_NE(instance.view->Params(), nullptr);
    ASSERT_GT(instance.view->Params()->RowCount(), 0);

    std::vector<uint8_t> chunk = empty;
    EXPECT_GT(instance.effect->setChunk(chunk.data(), static_cast<int32_t>(chunk.size()), false), 0);
    EXPECT_TRUE(PumpUntil([&] { return ChainNames(*instance.chain).empty() && instance.view->Shown() == 0u; }, 5000));
    // What the instance.view still does with its rows finds nothing and sends nothing.
    if (instance.view->Params())
    {
        instance.view->Params()->RefreshAll();
        EXPECT_EQ(instance.view->Params()->RowCount(), 0);
    }
    instance.view->RefreshMeters(true);
    instance.panel->Slots()->RefreshMeters(true);
    PumpMessagesFor(200);
    EXPECT_EQ(instance.view->Shown(), 0u);
}

// Each row kind sends the user's edit to the engine (its call log) and follows what the card
// changes: a value (5633), a selector's choices (5634), a parameter kind (5635), a name (5636).
TEST_F(QuorvelEditorTest, EachRowKindEditsTheEngineAndFollowsTheCard)
{
    Instance instance;
    ASSERT_TRUE(instance.OpenWithTheChain());
    auto* link = dynamic_cast<ServicesLink*>(instance.services);
    ASSERT_NE(link, nullptr);
    InsertChain* chain = instance.services->GetInsertChain();
    const uint32_t reverb = LoadCoreEffect(*instance.services->GetCatalog(), *chain, u"Reverb", 0);
    ASSERT_NE(reverb, 0u);
    PumpMessagesFor(200);
    instance.panel->ShowInsert(reverb, true);
    const int client = static_cast<int>(link->GetClientId());
    const auto row = [&](int32_t parameter) -> EditorParamItem* {
        EditorParamList* list = instance.view->Params();
        const int position = list ? list->FindRow(parameter) : -1;
        return position >= 0 ? list->Row(position) : nullptr;
    };
    const std::string prefix = "SetParameterValue " + std::to_string(client) + " 0 ";
    const struct
    {
        const char* trace;
        int32_t parameter;
        int kind;
        float value;
    } edits[] = {
        {"continuous", 0, 2, 0.3f},
        {"selector", 1, 4, 2.0f},
        {"toggle", 2, 1, 0.0f},
        {"discrete", 7, 3, 6.0f},
    };
    for (const auto& edit : edits)
    {
        SCOPED_TRACE(edit.trace);
        EditorParamItem* item = row(edit.parameter);
        ASSERT_NE(item, nullptr);
        auto* value = ParamItem<NumericItem>(*item);
        ASSERT_NE(value, nullptr);
        const size_t before = Occurrences(EngineLog(), prefix + std::to_string(edit.parameter) + " ");
        value->SetValue(edit.value, 1, 1, nullptr);
        EXPECT_TRUE(PumpUntil(
            [&] { return Occurrences(EngineLog(), prefix + std::to_string(edit.parameter) + " ") > before; }, 5000));
    }

    // What the card changes in a parameter shows in its row: 5633 a value, 5634 new choices of
    // the selector (their count), 5636 a name.
    const struct
    {
        const char* trace;
        int parameter;
        const char* change;
        const char* to;
        std::function<bool(EditorParamItem&)> shown;
    } changes[] = {
        {"5633 value", 7, ClientRequest::kValue, "2",
         [](EditorParamItem& taps) { return ParamItem<IntItem>(taps) && ParamItem<IntItem>(taps)->value == 2; }},
        {"5634 choices", 1, ClientRequest::kChoices, "A,B,C,D",
         [](EditorParamItem& mode) { return ParamItem<IntItem>(mode) && ParamItem<IntItem>(mode)->maximum == 3; }},
        {"5636 name", 2, ClientRequest::kName, "Stepped",
         [](EditorParamItem& steps) {
             TextControl* name = steps.FindTextControl("paramname");
             return name && Narrow(std::u16string(name->GetText().Text())) == "Stepped";
         }},
    };
    for (const auto& change : changes)
    {
        SCOPED_TRACE(change.trace);
        ASSERT_EQ(EngineRequest(ClientRequest::Text(client, 0, change.change, change.parameter, change.to)), "ok");
        EXPECT_TRUE(PumpUntil(
            [&] {
                EditorParamItem* item = row(change.parameter);
                return item && change.shown(*item);
            },
            5000));
    }
    // 5635: a parameter that becomes kind 3 loses its row.
    ASSERT_NE(row(8), nullptr);
    ASSERT_EQ(EngineRequest(ClientRequest::Text(client, 0, ClientRequest::kKind, 8, "3")), "ok");
    EXPECT_TRUE(PumpUntil([&] { return instance.view->Params() && row(8) == nullptr; }, 5000));
    EXPECT_NE(row(0), nullptr) << "the other rows stay";
}
