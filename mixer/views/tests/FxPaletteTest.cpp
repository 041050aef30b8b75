// The FX palette under Wine against the simulated engine, its library in a scratch program
// folder, the shipped mixer skin, dialogs and boxes answered by a script and the folder
// chooser by a recording seam.
#include <gtest/gtest.h>

#include <windows.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "framework/windows/DragDrop.h"
#include "framework/platform/files/tests/RecordingChooser.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/dialogs/FxCategoryDialogs.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/views/FXPaletteWindow.h"
#include "mixer/views/PresetInspector.h"
#include "mixer/views/PresetTreeView.h"
#include "mixer/views/tests/MainSectionTestSupport.h"
#include "tests/support/WinePath.h"

namespace
{
using namespace mainsection;
using skintest::Narrow;

String Wide(const std::string& text)
{
    String out;
    out.AppendAnsi(text.c_str());
    return out;
}

// Answers every dialog and box in order: the box's or dialog's name, what to type into the
// name dialog, what to answer, and what to do while it is open.
class Script : public DialogAnswerer
{
public:
    struct Answer
    {
        std::string typed;
        int code = 1;
        std::function<void()> meanwhile;
    };
    Script() { Dialog::SetAnswerer(this); }
    ~Script() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown.push_back(Narrow(dialog.GetSourceName()));
        Answer answer;
        if (!answers.empty())
        {
            answer = answers.front();
            answers.pop_front();
        }
        else
            answer.code = 0;
        if (answer.meanwhile)
            answer.meanwhile();
        if (!answer.typed.empty())
            TextControl::SetEditorText(Wide(answer.typed));
        dialog.End(answer.code);
    }
    std::deque<Answer> answers;
    std::vector<std::string> shown;
};

// The main window as the palette sees it: the current system is system 0.
class PaletteLink : public RecordingLink
{
public:
    IVarnHardware* GetCurrentSystem() override
    {
        IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
        return mixer ? mixer->GetSystem(0) : nullptr;
    }
};

// The windows a drag is offered to: one drop target, wherever the pointer is, that records
// what the drag carries.
class DropRecorder : public DragWindows
{
public:
    explicit DropRecorder(Window& target) : target_(target) { previous_ = DragDrop::InstallWindows(this); }
    ~DropRecorder() { DragDrop::InstallWindows(previous_); }
    Window* FromPoint(int, int) override { return &target_; }
    HWND Handle(Window* window) override { return window->GetHandle(); }
    int OnDragOver(Window*, int, int, intptr_t value1, intptr_t value2) override
    {
        seen.push_back("over " + Describe(value1, value2));
        return 1;
    }
    int OnDrop(Window*, int, int, intptr_t value1, intptr_t value2) override
    {
        seen.push_back("drop " + Describe(value1, value2));
        return 1;
    }
    static std::string Ascii(const char16_t* name)
    {
        std::string text;
        for (; *name; ++name)
            text.push_back(static_cast<char>(*name));
        return text;
    }
    // What the slot side reads of a drag: the effect's or the preset's name.
    static std::string Describe(intptr_t value1, intptr_t value2)
    {
        if (const VarnCoreEffectRecord* effect = PresetDrag::CoreEffectOf(value1, value2))
            return "effect " + Ascii(effect->name);
        if (const VarnPresetRecord* preset = PresetDrag::PresetOf(value1, value2))
            return "preset " + Ascii(preset->name);
        return "other " + std::to_string(value1);
    }
    std::vector<std::string> seen;

private:
    Window& target_;
    DragWindows* previous_;
};

class FxPaletteTest : public testing::Test
{
protected:
    static constexpr const char16_t* kSettingsKey = u"Software\\Halvorn Professional\\KivCorvanDSP\\FxPaletteTest";

    void SetUp() override
    {
        for (const char* folder : {"program/Effect Presets/Zoo", "program/Effect Presets/amp",
                                   "program/Core Effects/Presets/Chorus", "data", "sessions", "exports"})
            fs::create_directories(root_ / folder);
        std::ofstream(root_ / "program" / "Effect Presets" / "Zoo" / "marker.txt") << "zoo";
        std::ofstream(root_ / "program" / "SimulatedCard.txt") << "present=1\nsystems=1\nrate=1\nfeatures=0\n";
        ASSERT_EQ(engine_.Init((root_ / "program").u16string().c_str(), (root_ / "data").u16string().c_str(),
                               (root_ / "sessions").u16string().c_str()),
                  1);
        engine_.AddListener(&queue_);
        String path;
        path.AppendAnsi((ProgramFolder() + "\\Skins\\Default").c_str());
        ASSERT_TRUE(skin_.Load(path, &factory_));
        link_.skin = &skin_;
        link_.services = &engine_;
        ASSERT_TRUE(link_.settings.Open("HKEY_CURRENT_USER", StringRef(kSettingsKey), 1));
        for (const char16_t* name :
             {ViewSettings::kFxPaletteX, ViewSettings::kFxPaletteY, ViewSettings::kLastImportLibrary,
              ViewSettings::kLastImportCategory, ViewSettings::kLastExportLibrary, ViewSettings::kLastExportCategory})
            link_.settings.DeleteKey(StringRef(name));
        ASSERT_TRUE(frame_.Create(nullptr, WS_POPUP, 0, 0, 400, 300, nullptr, 0, 0));
        palette_ = std::make_unique<FXPaletteWindow>();
        ASSERT_TRUE(palette_->Create(&frame_, link_, Wide(WinePath(root_ / "program"))));
        ASSERT_NE(palette_->GetTree(), nullptr);
        ASSERT_NE(palette_->GetInspector(), nullptr);
        tree_ = palette_->GetTree();
    }

    void TearDown() override
    {
        engine_.RemoveListener(&queue_);
        palette_.reset();
        engine_.Release();
    }

    // The engine's events so far, handed to the palette as the main window does.
    void Deliver()
    {
        engine_.WaitForEvents();
        for (auto& event : queue_.Take())
            palette_->OnAppEvent(event.first, event.second);
    }

    std::vector<std::string> TopLevel()
    {
        std::vector<std::string> texts;
        for (int i = 0; i < tree_->ChildCount(nullptr); ++i)
            texts.push_back(Narrow(tree_->ChildAt(nullptr, i)->GetText()));
        return texts;
    }
    TreeItem* Node(const char* text)
    {
        for (int i = 0; i < tree_->ChildCount(nullptr); ++i)
            if (Narrow(tree_->ChildAt(nullptr, i)->GetText()) == text)
                return tree_->ChildAt(nullptr, i);
        return nullptr;
    }
    std::string InspectorFirstLine(TreeItem* item)
    {
        palette_->ShowInInspector(item);
        String lines[4];
        palette_->GetInspector()->Lines(lines, 4);
        return Narrow(lines[0]);
    }
    std::vector<std::string> Logged(const std::string& prefix)
    {
        std::vector<std::string> found;
        for (const std::string& entry : engine_.GetCallLog())
            if (entry.rfind(prefix, 0) == 0)
                found.push_back(entry);
        return found;
    }
    // A user preset "Lead" of one Reverb in the category, made as KivQuorvel makes one.
    void MakeUserPreset(const char16_t* category, const char16_t* name = u"Lead")
    {
        IVarnAutomation* automation = engine_.GetAutomation();
        int client = 0;
        ASSERT_EQ(automation->RegisterClient(&client), 1);
        unsigned char info[64] = {};
        ASSERT_EQ(automation->SetInsertEffect(engine_.GetFxLibrary() ? ReverbId() : VarnEffectId{}, client, 0, info, 0),
                  1);
        const int positions[] = {0};
        ASSERT_EQ(automation->CreatePreset(client, category, name, 1, positions), 1);
    }
    VarnEffectId ReverbId()
    {
        VarnCoreEffectRecord record{};
        for (int i = 0; engine_.GetFxLibrary()->GetCoreEffectInfo(i, &record); ++i)
            if (std::u16string(record.name) == u"Reverb")
                return record.id;
        return VarnEffectId{};
    }

    ScratchFolder scratch_{"kiv-fxpalette"};
    const fs::path& root_ = scratch_.Path();
    StandinServices& engine_ = *new StandinServices;
    EventQueue queue_;
    PresetViewFactory factory_;
    Skin skin_;
    PaletteLink link_;
    Window frame_;
    std::unique_ptr<FXPaletteWindow> palette_;
    PresetTreeView* tree_ = nullptr;
};

TEST_F(FxPaletteTest, TheTreeListsTheLibrarySortedWithItsCountsAndUserPresets)
{
    // Sorted with ASCII letters folded: amp before the Core Effects node, Zoo last.
    EXPECT_EQ(TopLevel(), (std::vector<std::string>{"amp", "Core Effects", "Factory Chains", "Zoo"}));
    TreeItem* amp = Node("amp");
    ASSERT_NE(amp, nullptr);
    ASSERT_EQ(amp->ChildCount(), 1);
    EXPECT_EQ(Narrow(amp->ChildAt(0)->GetText()), "(empty)");
    EXPECT_EQ(InspectorFirstLine(amp), "amp (0)");
    EXPECT_EQ(InspectorFirstLine(Node("Factory Chains")), "Factory Chains (2)");
    EXPECT_EQ(InspectorFirstLine(Node("Core Effects")), "Core Effects (5)");
    EXPECT_EQ(InspectorFirstLine(nullptr), " ");

    // A preset made in the empty category arrives as 0x355: the placeholder goes, one child.
    MakeUserPreset(u"amp");
    Deliver();
    ASSERT_EQ(amp->ChildCount(), 1);
    EXPECT_EQ(Narrow(amp->ChildAt(0)->GetText()), "Lead [user]");
    EXPECT_EQ(InspectorFirstLine(amp), "amp (1)");
    palette_->ShowInInspector(amp->ChildAt(0));
    String lines[3];
    ASSERT_EQ(palette_->GetInspector()->Lines(lines, 3), 2);
    EXPECT_EQ(Narrow(lines[0]), "Lead [user]:");
    EXPECT_EQ(Narrow(lines[1]), "1. Reverb");
    EXPECT_EQ(Logged("AcknowledgeEvent 853"),
              (std::vector<std::string>{"AcknowledgeEvent 853 \"amp\" \"Lead\" preset \"Lead\""}));
}

TEST_F(FxPaletteTest, TypedNamesAreCheckedBeforeTheEngineHearsThem)
{
    using PresetNames::Use;
    using PresetNames::Verdict;
    const String core = Wide("Core Effects");
    struct Row
    {
        Use use;
        std::string typed;
        Verdict verdict;
        const char* message; // or the name sent
    } rows[] = {
        {Use::RenameCategory, "Drums  ", Verdict::Send, "Drums"},
        {Use::RenameCategory, "Drums\t", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {Use::RenameCategory, std::string(50, 'x'), Verdict::Refused, "IDM_MAX_CHAR_EXCEEDED"},
        {Use::RenameCategory, std::string(49, 'x'), Verdict::Send, nullptr},
        {Use::RenameCategory, "Old", Verdict::Nothing, nullptr},
        {Use::RenameCategory, "", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {Use::RenameCategory, "   ", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {Use::RenameCategory, "..", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {Use::RenameCategory, "a\\b", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {Use::RenameCategory, "C:x", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {Use::RenameCategory, "core effects", Verdict::Refused, "IDM_PRESET_CATEGORY_EXISTS"},
        {Use::NewCategory, "core effects", Verdict::Refused, "IDM_PRESET_CATEGORY_EXISTS"},
        {Use::NewCategory, std::string(127, 'x'), Verdict::Send, nullptr},
        {Use::NewCategory, std::string(128, 'x'), Verdict::Refused, "IDM_MAX_CHAR_EXCEEDED"},
        {Use::NewCategory, std::string(255, 'x'), Verdict::Refused, "IDM_MAX_CHAR_EXCEEDED"},
        {Use::NewCategory, "..", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {Use::NewCategory, "a/b", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
        {Use::NewCategory, "", Verdict::Nothing, nullptr},
        {Use::NewCategory, "Keys", Verdict::Send, "Keys"},
        {Use::RenamePreset, "Old", Verdict::Nothing, nullptr},
        {Use::RenamePreset, std::string(50, 'p'), Verdict::Refused, "IDM_MAX_CHAR_EXCEEDED"},
        {Use::RenamePreset, "Lead 2", Verdict::Send, "Lead 2"},
        {Use::RenamePreset, "x?", Verdict::Refused, "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"},
    };
    for (const Row& row : rows)
    {
        String name;
        const char* message = nullptr;
        const Verdict verdict = PresetNames::Check(row.use, Wide(row.typed), Wide("Old"), core, name, message);
        EXPECT_EQ(static_cast<int>(verdict), static_cast<int>(row.verdict)) << row.typed;
        if (row.verdict == Verdict::Refused)
        {
            EXPECT_STREQ(message, row.message) << row.typed;
        }
        if (row.verdict == Verdict::Send)
        {
            EXPECT_EQ(Narrow(name), row.message ? row.message : row.typed) << row.typed;
        }
    }

    // Through the dialog: a refused name shows its box and reaches no engine call.
    Script script;
    script.answers = {{"..", 1, {}}, {"", 1, {}}};
    EXPECT_EQ(tree_->NewCategory(nullptr, nullptr), 0);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"newname", "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET"}));
    EXPECT_TRUE(Logged("Library CreateCategory").empty());
    script.answers = {{"Keys", 1, {}}};
    String made;
    EXPECT_EQ(tree_->NewCategory(&made, nullptr), 1);
    EXPECT_EQ(Narrow(made), "Keys");
    EXPECT_EQ(Logged("Library CreateCategory"), (std::vector<std::string>{"Library CreateCategory Keys 1 -> 1"}));
}

TEST_F(FxPaletteTest, EachLibraryEventIsHandledAndAcknowledgedOnce)
{
    IVarnFxLibrary* library = engine_.GetFxLibrary();
    ASSERT_EQ(library->CreateCategory(u"Keys", 1), 1);
    Deliver();
    EXPECT_NE(Node("Keys"), nullptr);
    ASSERT_EQ(library->RenameCategory(u"Keys", u"Piano", 1), 1);
    Deliver();
    EXPECT_EQ(Node("Keys"), nullptr);
    ASSERT_NE(Node("Piano"), nullptr);
    ASSERT_EQ(library->DeleteCategory(u"Piano", 1), 1);
    Deliver();
    EXPECT_EQ(Node("Piano"), nullptr);
    EXPECT_EQ(Logged("AcknowledgeEvent"), (std::vector<std::string>{
                                              "AcknowledgeEvent 850 0 category \"Keys\" 0",
                                              "AcknowledgeEvent 852 \"Keys\" \"Piano\" 0",
                                              "AcknowledgeEvent 851 \"Piano\" 0 0",
                                          }));
    // An event whose entry cannot be found is dropped without an acknowledgement.
    palette_->OnAppEvent(0x353, 0);
    palette_->OnAppEvent(0x354, 0);
    palette_->OnAppEvent(0x356, 0);
    EXPECT_EQ(Logged("AcknowledgeEvent").size(), 3u);

    // A user preset renamed, then deleted: the tree follows, each acknowledged.
    MakeUserPreset(u"amp");
    Deliver();
    TreeItem* amp = Node("amp");
    ASSERT_NE(amp, nullptr);
    auto* record = ItemOf<PresetItem>(tree_->RecordOf(amp->ChildAt(0)));
    ASSERT_NE(record, nullptr);
    const VarnPresetRecord lead = record->record;
    ASSERT_EQ(library->RenamePreset(&lead, u"Solo", 1), 1);
    Deliver();
    EXPECT_EQ(Narrow(amp->ChildAt(0)->GetText()), "Solo [user]");
    ASSERT_EQ(library->DeletePreset(&lead, 1), 1);
    Deliver();
    ASSERT_EQ(amp->ChildCount(), 1);
    EXPECT_EQ(Narrow(amp->ChildAt(0)->GetText()), "(empty)");
    const std::vector<std::string> acks = Logged("AcknowledgeEvent");
    ASSERT_EQ(acks.size(), 6u);
    EXPECT_EQ(acks[4], "AcknowledgeEvent 855 \"amp\" \"Solo [user]\" preset \"Solo\"");
    EXPECT_EQ(acks[5].rfind("AcknowledgeEvent 854 \"amp\" \"Solo [user]\" id ", 0), 0u) << acks[5];
}

TEST_F(FxPaletteTest, ACategoryDeletedWhileItsRenameDialogIsOpenIsNotRenamed)
{
    TreeItem* zoo = Node("Zoo");
    ASSERT_NE(zoo, nullptr);
    Script script;
    script.answers = {{"Bass", 1, [&] {
                           ASSERT_EQ(engine_.GetFxLibrary()->DeleteCategory(u"Zoo", 1), 1);
                           Deliver();
                       }}};
    tree_->RememberItem(zoo);
    tree_->OnMenuCommand(2);
    EXPECT_EQ(Node("Zoo"), nullptr);
    EXPECT_EQ(tree_->RememberedItem(), nullptr);
    EXPECT_TRUE(Logged("Library RenameCategory").empty());
    EXPECT_EQ(Logged("AcknowledgeEvent 851"), (std::vector<std::string>{"AcknowledgeEvent 851 \"Zoo\" 0 0"}));
}

TEST_F(FxPaletteTest, ExportsMakeTheirFoldersAskBeforeOverwritingAndRememberTheirFolder)
{
    RecordingChooser chooser;
    Script script;
    const std::string exports = WinePath(root_ / "exports");
    chooser.answers = {exports};
    script.answers = {{"", 1, {}}};
    palette_->OnMenuCommand(FXPaletteWindow::kExportLibrary);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"IDM_EXPORT_FX_SUCCESS"}));
    EXPECT_TRUE(fs::exists(root_ / "exports" / "Exported FXLibrary" / "Effect Presets" / "Zoo" / "marker.txt"));
    EXPECT_TRUE(fs::is_directory(root_ / "exports" / "Exported FXLibrary" / "Core Effects" / "Presets" / "Chorus"));
    ASSERT_FALSE(chooser.requests.empty());
    EXPECT_EQ(chooser.requests[0].title, "Choose the folder to export the FX library");

    // Again: the chooser starts on the folder used last, and closing the question (0) is NO.
    std::ofstream(root_ / "exports" / "Exported FXLibrary" / "old.txt") << "old";
    chooser.sent.clear();
    chooser.answers = {exports};
    script.shown.clear();
    script.answers = {{"", 0, {}}, {"", 1, {}}};
    palette_->OnMenuCommand(FXPaletteWindow::kExportLibrary);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"IDM_EXPORT_FX_DIR_EXISTS", "IDM_EXPORT_FX_UNSUCCESS"}));
    EXPECT_TRUE(fs::exists(root_ / "exports" / "Exported FXLibrary" / "old.txt"));
    ASSERT_FALSE(chooser.sent.empty());
    EXPECT_EQ(chooser.sent[0].message, static_cast<UINT>(BFFM_SETSELECTIONA));
    EXPECT_EQ(chooser.sent[0].text, exports);

    // YES replaces the old export.
    chooser.answers = {exports};
    script.shown.clear();
    script.answers = {{"", 3, {}}, {"", 1, {}}};
    palette_->OnMenuCommand(FXPaletteWindow::kExportLibrary);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"IDM_EXPORT_FX_DIR_EXISTS", "IDM_EXPORT_FX_SUCCESS"}));
    EXPECT_FALSE(fs::exists(root_ / "exports" / "Exported FXLibrary" / "old.txt"));

    // A category: the dialog offers the library's categories, the copy lands in its folder.
    fs::create_directories(root_ / "cats");
    chooser.answers = {WinePath(root_ / "cats")};
    script.shown.clear();
    script.answers = {{"", 1, {}}, {"", 1, {}}};
    palette_->OnMenuCommand(FXPaletteWindow::kExportCategory);
    ASSERT_EQ(script.shown.size(), 2u);
    EXPECT_EQ(script.shown[0], "ExportFXCategory");
    EXPECT_EQ(script.shown[1], "IDM_EXPORT_FX_CAT_UNSUCCESS") << "Factory Chains has no folder to copy";
    String last;
    ASSERT_TRUE(link_.settings.ReadString(StringRef(ViewSettings::kLastExportLibrary), last, nullptr));
    EXPECT_EQ(Narrow(last), exports);
    EXPECT_FALSE(link_.settings.ReadString(StringRef(ViewSettings::kLastExportCategory), last, nullptr));
}

TEST_F(FxPaletteTest, ImportsCheckTheirFolderAndTheChooserRefusesAnIncompleteLibrary)
{
    RecordingChooser chooser;
    Script script;
    // Only "Effect Presets": the chooser's OK goes grey; the import itself still goes on.
    fs::create_directories(root_ / "incoming" / "Effect Presets" / "Strings");
    const std::string incoming = WinePath(root_ / "incoming");
    chooser.answers = {incoming};
    script.answers = {{"", 3, {}}, {"", 1, {}}};
    palette_->OnMenuCommand(FXPaletteWindow::kImportLibrary);
    ASSERT_GE(chooser.sent.size(), 2u);
    EXPECT_EQ(chooser.sent.back().message, static_cast<UINT>(BFFM_ENABLEOK));
    EXPECT_EQ(chooser.sent.back().value, 0);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"IDM_IMPORT_FX_PROMPT", "IDM_IMPORT_FX_SUCCESS"}));
    EXPECT_NE(Node("Strings"), nullptr) << "the tree is built again after the import";

    // A category from the same folder: the dialog lists its subfolders.
    fs::create_directories(root_ / "incoming" / "Effect Presets" / "Brass");
    chooser.sent.clear();
    chooser.answers = {incoming};
    script.shown.clear();
    script.answers = {{"", 1, {}}, {"", 3, {}}, {"", 1, {}}};
    palette_->OnMenuCommand(FXPaletteWindow::kImportCategory);
    EXPECT_EQ(script.shown,
              (std::vector<std::string>{"ImportFXCategory", "IDM_IMPORT_FX_PROMPT", "IDM_IMPORT_FX_CAT_SUCCESS"}));
    EXPECT_EQ(chooser.sent.back().value, 1) << "a folder with Effect Presets is fine for a category";
    String last;
    ASSERT_TRUE(link_.settings.ReadString(StringRef(ViewSettings::kLastImportCategory), last, nullptr));
    EXPECT_EQ(Narrow(last), incoming);

    // A folder without "Effect Presets" stops at once.
    chooser.answers = {WinePath(root_ / "exports")};
    script.shown.clear();
    script.answers = {{"", 1, {}}};
    palette_->OnMenuCommand(FXPaletteWindow::kImportCategory);
    EXPECT_EQ(script.shown, (std::vector<std::string>{"IDM_INVALID_FX_MISSING_EFFECT_PRESETS_DIR"}));
}

TEST_F(FxPaletteTest, ThePaletteIsDraggedByItsTitleAndItsButtonsTakeTheirClicks)
{
    // The skin's title text at (6, 3) and the bare panel drag; "exit" at (194, 2) does not.
    EXPECT_EQ(palette_->OnNcHitTest(10, 8), HTCAPTION);
    EXPECT_EQ(palette_->OnNcHitTest(3, 410), HTCAPTION);
    EXPECT_EQ(palette_->OnNcHitTest(200, 8), -1);
    // Its moves are stored.
    palette_->OnMove(123, 45);
    String x, y;
    ASSERT_TRUE(link_.settings.ReadString(StringRef(ViewSettings::kFxPaletteX), x, nullptr));
    ASSERT_TRUE(link_.settings.ReadString(StringRef(ViewSettings::kFxPaletteY), y, nullptr));
    EXPECT_EQ(Narrow(x), "123");
    EXPECT_EQ(Narrow(y), "45");
}

TEST_F(FxPaletteTest, ADragIsRefusedForAnEffectThatDoesNotFitWhenSystemZeroHasFeatureZero)
{
    TreeItem* core = Node("Core Effects");
    ASSERT_NE(core, nullptr);
    TreeItem* effect = core->ChildAt(0);
    PresetItemRecord* record = tree_->RecordOf(effect);
    ASSERT_NE(record, nullptr);
    tree_->Expand(core, false);
    EXPECT_EQ(record->fit, PresetItemRecord::kFits);
    EXPECT_TRUE(tree_->CanDrag(effect));
    record->fit = PresetItemRecord::kDoesNotFit;
    EXPECT_FALSE(tree_->CanDrag(effect));
    EXPECT_FALSE(tree_->CanDrag(core)) << "a node is never dragged";
    EXPECT_FALSE(tree_->CanDrag(Node("amp")->ChildAt(0))) << "nor the placeholder";
}

TEST_F(FxPaletteTest, ADragCarriesTheEntryToTheDropAndIsRefusedWhereItCannotStart)
{
    DropRecorder drops(frame_);
    TreeItem* core = Node("Core Effects");
    ASSERT_NE(core, nullptr);
    tree_->Expand(core, false);
    TreeItem* effect = core->ChildAt(0);
    const std::string name = Narrow(effect->GetText());
    struct Case
    {
        const char* label;
        TreeItem* item;
        int fit;
        std::vector<std::string> seen;
    };
    const Case cases[] = {
        {"a fitting effect", effect, PresetItemRecord::kFits, {"over effect " + name, "drop effect " + name}},
        {"an effect that does not fit", effect, PresetItemRecord::kDoesNotFit, {}},
        {"a category", Node("amp"), PresetItemRecord::kFits, {}},
        {"the placeholder", Node("amp")->ChildAt(0), PresetItemRecord::kFits, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        drops.seen.clear();
        if (PresetItemRecord* record = tree_->RecordOf(c.item))
            record->fit = c.fit;
        tree_->OnItemMouseDown(tree_, c.item, 0, 0);
        EXPECT_EQ(DragDrop::IsSource(tree_), !c.seen.empty());
        tree_->OnItemMouseMove(tree_, c.item, 0, 0);
        tree_->OnItemMouseUp(tree_, c.item, 0, 0);
        EXPECT_FALSE(DragDrop::IsSource(tree_));
        EXPECT_EQ(drops.seen, c.seen);
    }
}

TEST_F(FxPaletteTest, APresetDeletedWhileItIsDraggedStillReachesTheDropWhole)
{
    MakeUserPreset(u"amp");
    Deliver();
    TreeItem* amp = Node("amp");
    ASSERT_NE(amp, nullptr);
    ASSERT_EQ(amp->ChildCount(), 1);
    TreeItem* preset = amp->ChildAt(0);
    ASSERT_EQ(Narrow(preset->GetText()), "Lead [user]");
    tree_->RecordOf(preset)->fit = PresetItemRecord::kFits;
    DropRecorder drops(frame_);
    tree_->OnItemMouseDown(tree_, preset, 0, 0);
    ASSERT_TRUE(DragDrop::IsSource(tree_));
    VarnPresetRecord record = ItemOf<PresetItem>(tree_->RecordOf(preset))->record;
    ASSERT_EQ(engine_.GetFxLibrary()->DeletePreset(&record, 1), 1);
    Deliver();
    ASSERT_EQ(Narrow(Node("amp")->ChildAt(0)->GetText()), "(empty)") << "the tree has freed the preset's record";
    // A new entry may take the freed record's memory.
    MakeUserPreset(u"Zoo", u"Pad");
    Deliver();
    tree_->OnItemMouseUp(tree_, nullptr, 0, 0);
    EXPECT_EQ(drops.seen, (std::vector<std::string>{"drop preset Lead"}));
}

TEST_F(FxPaletteTest, TheDragTimerScrollsTheStripsNearTheirEdgesAndFeedsTheirAndTheSectionsInsertsOutsideTheTree)
{
    RecordingHost area;
    area.hasStripSection = 1;
    area.stripWidth = 300;
    tree_->SetDragArea(&area);
    RECT treeRect = {};
    GetWindowRect(tree_->GetHandle(), &treeRect);
    DropRecorder drops(frame_);
    TreeItem* effect = Node("Core Effects")->ChildAt(0);
    tree_->Expand(Node("Core Effects"), false);

    // Without a drag the tick does nothing.
    tree_->OnTimerTick(PresetDrag::kTimerArgument);
    EXPECT_TRUE(area.log.empty());

    tree_->OnItemMouseDown(tree_, effect, 0, 0);
    ASSERT_TRUE(DragDrop::IsSource(tree_));
    // The strips' and the main section's insert slots take the pointer in screen coordinates.
    const int outsideX = treeRect.right + 40, outsideY = treeRect.bottom + 40;
    const std::string at = std::to_string(outsideX) + "," + std::to_string(outsideY);
    const std::string inserts = "strip inserts " + at, section = "section inserts " + at;
    struct Case
    {
        const char* label;
        int stripX;
        bool overTree;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        {"just left of the strips", -19, false, {"scroll -1", inserts, section}},
        {"at their left edge", 0, false, {inserts, section}},
        {"just right of them", 319, false, {"scroll 1", inserts, section}},
        {"far right", 320, false, {inserts, section}},
        {"over the tree", -1, true, {"scroll -1"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.label);
        area.stripX = c.stripX;
        area.stripY = 7;
        area.log.clear();
        if (c.overTree)
            SetCursorPos(treeRect.left + 2, treeRect.top + 2);
        else
            SetCursorPos(outsideX, outsideY);
        tree_->OnTimerTick(PresetDrag::kTimerArgument);
        ASSERT_FALSE(area.log.empty());
        area.log.erase(area.log.begin()); // where the pointer was asked
        EXPECT_EQ(area.log, c.log);
    }
    // Another timer's tick is not the drag's.
    area.log.clear();
    tree_->OnTimerTick(PresetDrag::kTimerArgument + 1);
    EXPECT_TRUE(area.log.empty());
    tree_->OnItemMouseUp(tree_, nullptr, 0, 0);
    tree_->SetDragArea(nullptr);
}
} // namespace
