#include "mixer/views/FXPaletteWindow.h"

#include <string>
#include <vector>

#include "framework/controls/Control.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/dialogs/TreeView.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/platform/files/Shell.h"
#include "framework/skin/Skin.h"
#include "framework/windows/AppBase.h"
#include "mixer/dialogs/FxCategoryDialogs.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/names/WindowMessages.h"
#include "mixer/views/FrameApp.h"
#include "mixer/views/FxPaletteRules.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/views/PresetInspector.h"
#include "mixer/views/PresetTreeView.h"

FXPaletteWindow* FXPaletteWindow::current_ = nullptr;
FXPaletteWindow* FXPaletteWindow::building_ = nullptr;
FXPaletteWindow::BrowseMode FXPaletteWindow::browseMode_ = FXPaletteWindow::kNone;

namespace
{
// Answers of the skin's message boxes.
constexpr int kAnswerYes = 3;
constexpr int kAnswerNo = 2;

String Text(const char* ascii)
{
    String text;
    text.AppendAscii(ascii);
    return text;
}

String Joined(const String& folder, const char* part)
{
    String path;
    path.Append(folder);
    path.AppendAscii(part);
    return path;
}

int ReadPosition(RegistryKey& key, const char16_t* name)
{
    String text;
    const String fallback = Text("20");
    key.ReadString(name, text, &fallback);
    return text.ToInt();
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data)
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoA(monitor, &info))
    {
        auto* monitors = reinterpret_cast<std::vector<FxPaletteRules::Monitor>*>(data);
        FxPaletteRules::Monitor entry;
        entry.bounds = Rect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
        entry.workArea = Rect{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
        monitors->push_back(entry);
    }
    return TRUE;
}
} // namespace

FXPaletteWindow::FXPaletteWindow()
{
    current_ = this;
    browseMode_ = kNone;
}

FXPaletteWindow::~FXPaletteWindow()
{
    // The tree goes with the panel's controls, after this palette's members: it tells the
    // palette nothing more. The inspector, a child window, goes before the panel's window.
    if (tree_)
        tree_->ForgetPalette();
    inspector_.reset();
    if (current_ == this)
        current_ = nullptr;
    browseMode_ = kNone;
}

FXPaletteWindow* FXPaletteWindow::Building()
{
    return building_;
}

int FXPaletteWindow::Create(Window* parent, MainWindowLink& link, const String& programFolder)
{
    parent_ = parent;
    link_ = &link;
    programFolder_.Assign(programFolder);
    Setup(this, 0, 0, 0x646464);
    building_ = this;
    const int built = PanelBuilder(link.GetSkin()).BuildPanel("fxPalette", *this, 1, nullptr);
    building_ = nullptr;
    if (!built)
        return 0;

    RegistryKey& key = link.GetSettings();
    const int storedX = ReadPosition(key, ViewSettings::kFxPaletteX);
    const int storedY = ReadPosition(key, ViewSettings::kFxPaletteY);
    std::vector<FxPaletteRules::Monitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    RECT work = {};
    if (!parent || !parent->GetMonitorWorkArea(work))
        Window::GetWorkArea(work);
    const Rect place = FxPaletteRules::PalettePlace(storedX, storedY, BackgroundWidth(), BackgroundHeight(), monitors,
                                                    Rect{work.left, work.top, work.right, work.bottom});
    if (!Panel::Create(parent, place.left, place.top, 0))
        return 0;
    if (const String* title = link.GetSkin().FindStringById("IDS_FXPALETTE_TITLE"))
        SetWindowTextW(GetHandle(), reinterpret_cast<LPCWSTR>(title->Text()));
    return 1;
}

void FXPaletteWindow::OnCreate()
{
    Panel::OnCreate();
    auto* host = dynamic_cast<ViewHostControl*>(FindControl(Text("presets")));
    tree_ = host ? dynamic_cast<PresetTreeView*>(host->GetView()) : nullptr;
    if (!tree_)
        return;
    IVarnServices* services = link_->GetServices();
    inspector_ =
        std::make_unique<PresetInspector>(link_->GetSkin(), *tree_, services ? services->GetFxLibrary() : nullptr);
    if (!inspector_->Create(*this))
        inspector_.reset();
    if (tree_->ChildCount(nullptr) > 0)
        tree_->SelectItem(tree_->ChildAt(nullptr, 0), true, true);
}

int FXPaletteWindow::OnNcHitTest(int x, int y)
{
    Control* control = ControlAt(x, y);
    return !control || control->GetType() == Control::TypeText ? HTCAPTION : -1;
}

void FXPaletteWindow::OnMove(int x, int y)
{
    if (!link_)
        return;
    String text;
    text.AppendInt(x);
    link_->GetSettings().WriteString(ViewSettings::kFxPaletteX, &text);
    text.Clear();
    text.AppendInt(y);
    link_->GetSettings().WriteString(ViewSettings::kFxPaletteY, &text);
}

int FXPaletteWindow::OnControlNotify(Panel*, Control* control, int)
{
    const String& name = control->GetName();
    if (name.CompareLiteral("exit") == 0 && parent_)
        ::PostMessageA(parent_->GetHandle(), WindowMessage::kToolbarRequest, FrameApp::kFxVisible, 0);
    else if (name.CompareLiteral("help") == 0)
    {
        if (AppBase* application = AppBase::Current())
            application->ShowHelp();
    }
    else if (name.CompareLiteral("newcategory") == 0 && tree_)
        tree_->NewCategory(nullptr, nullptr);
    else if (name.CompareLiteral("importexportfx") == 0)
    {
        if (PopupMenu* menu = link_->GetSkin().CreatePopupMenu("ImportExportFXMenu"))
        {
            POINT cursor = {};
            ::GetCursorPos(&cursor);
            menu->Track(cursor.x, cursor.y, this, this, 1);
        }
    }
    return 1;
}

void FXPaletteWindow::OnMenuCommand(int command)
{
    switch (command)
    {
    case kImportLibrary:
        ImportLibrary();
        break;
    case kImportCategory:
        ImportCategory();
        break;
    case kExportLibrary:
        ExportLibrary();
        break;
    case kExportCategory:
        ExportCategory();
        break;
    default:
        break;
    }
}

void FXPaletteWindow::OnAppEvent(int id, VarnEventArg argument)
{
    if (tree_)
        tree_->OnLibraryEvent(id, argument);
}

void FXPaletteWindow::RefreshFit()
{
    if (tree_)
        tree_->UpdateFitAll(true);
}

void FXPaletteWindow::ShowInInspector(TreeItem* item)
{
    if (inspector_)
        inspector_->SetItem(item);
}

void FXPaletteWindow::RemoveFromInspector(TreeItem* item)
{
    if (inspector_)
        inspector_->ClearItem(item);
}

int FXPaletteWindow::Message(const char* box)
{
    return SkinDialogs(link_->GetSkin()).ShowDefinedMessageBox(box, nullptr, nullptr);
}

void FXPaletteWindow::Remember(const char16_t* setting, const String& folder)
{
    link_->GetSettings().WriteString(setting, &folder);
}

int CALLBACK FXPaletteWindow::ChooserCallback(HWND window, UINT message, LPARAM lParam, LPARAM)
{
    FXPaletteWindow* palette = current_;
    if (!palette || !palette->link_)
        return 0;
    if (message == BFFM_INITIALIZED)
    {
        static const char16_t* const kSettings[] = {nullptr, ViewSettings::kLastImportLibrary,
                                                    ViewSettings::kLastImportCategory, ViewSettings::kLastExportLibrary,
                                                    ViewSettings::kLastExportCategory};
        String last;
        char path[MAX_PATH] = {};
        if (browseMode_ != kNone && palette->link_->GetSettings().ReadString(kSettings[browseMode_], last, nullptr) &&
            last.Length() > 0 && FileSystem::ToAnsi(last, path, sizeof(path)))
            ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(path));
    }
    else if (message == BFFM_SELCHANGED)
    {
        char path[MAX_PATH] = {};
        if (!SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), path))
            return 0;
        ::SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
        String folder;
        folder.AppendAnsi(path);
        if (browseMode_ == kBrowseImportLibrary)
        {
            const int usable = FileSystem::DirectoryExists(Joined(folder, "\\Effect Presets")) &&
                               FileSystem::DirectoryExists(Joined(folder, "\\Core Effects"));
            ::SendMessageA(window, BFFM_ENABLEOK, 0, usable);
        }
        else if (browseMode_ == kBrowseImportCategory)
            ::SendMessageA(window, BFFM_ENABLEOK, 0, FileSystem::DirectoryExists(Joined(folder, "\\Effect Presets")));
    }
    return 0;
}

int FXPaletteWindow::Choose(BrowseMode mode, const char* title, String& folder)
{
    browseMode_ = mode;
    const int chosen = Shell::BrowseForFolder(Text(title), folder, GetHandle(), &FXPaletteWindow::ChooserCallback);
    browseMode_ = kNone;
    return chosen;
}

int FXPaletteWindow::CopyFolders(const String& first, const String* second, const String& destination)
{
    // Each path whole in the ANSI code page, or no copy: a cut or mis-converted path would copy
    // another folder, or to another place.
    char buffer[MAX_PATH];
    std::string firstAnsi, secondAnsi;
    if (!FileSystem::ToAnsi(first, buffer, sizeof(buffer)))
        return 0;
    firstAnsi = buffer;
    if (second && second->Length() > 0)
    {
        if (!FileSystem::ToAnsi(*second, buffer, sizeof(buffer)))
            return 0;
        secondAnsi = buffer;
    }
    std::vector<char> sources;
    if (!FxPaletteRules::SourceList(firstAnsi, secondAnsi, sources))
        return 0;
    return Shell::CopyWithProgress(sources.data(), destination, Text("Exporting to "), GetHandle());
}

void FXPaletteWindow::ImportLibrary()
{
    String chosen;
    if (!Choose(kBrowseImportLibrary, "Choose the folder where the exported FX library is located", chosen))
        return;
    const String core = Joined(chosen, "\\Core Effects\\Presets");
    const String effects = Joined(chosen, "\\Effect Presets");
    const bool coreUsable =
        FileSystem::DirectoryExists(Joined(chosen, "\\Core Effects")) && FileSystem::DirectoryExists(core);
    const bool effectsUsable = FileSystem::DirectoryExists(effects) != 0;
    if (!coreUsable && !effectsUsable)
    {
        Message("IDM_INVALID_FX_DIR");
        return;
    }
    if (Message("IDM_IMPORT_FX_PROMPT") == kAnswerNo)
        return;
    IVarnServices* services = link_->GetServices();
    IVarnFxLibrary* library = services ? services->GetFxLibrary() : nullptr;
    if (!library || !library->ImportLibrary(core.Text(), effects.Text()))
    {
        Message("IDM_IMPORT_FX_UNSUCCESS");
        return;
    }
    Message("IDM_IMPORT_FX_SUCCESS");
    if (tree_)
        tree_->Reload();
    Remember(ViewSettings::kLastImportLibrary, chosen);
}

void FXPaletteWindow::ImportCategory()
{
    String chosen;
    if (!Choose(kBrowseImportCategory, "Choose the folder where the exported FX category/library is located", chosen))
        return;
    const String effects = Joined(chosen, "\\Effect Presets");
    if (!FileSystem::DirectoryExists(effects))
    {
        Message("IDM_INVALID_FX_MISSING_EFFECT_PRESETS_DIR");
        return;
    }
    ImportFxCategoryDialog dialog(link_->GetSkin(), effects, this);
    String category;
    if (!dialog.Run() || !dialog.GetSelectedName(category))
        return;
    if (Message("IDM_IMPORT_FX_PROMPT") == kAnswerNo)
        return;
    IVarnServices* services = link_->GetServices();
    IVarnFxLibrary* library = services ? services->GetFxLibrary() : nullptr;
    if (!library || !library->ImportCategory(effects.Text(), category.Text()))
    {
        Message("IDM_IMPORT_FX_CAT_UNSUCCESS");
        return;
    }
    Message("IDM_IMPORT_FX_CAT_SUCCESS");
    if (tree_)
        tree_->Reload();
    Remember(ViewSettings::kLastImportCategory, chosen);
}

void FXPaletteWindow::ExportLibrary()
{
    String chosen;
    if (!Choose(kBrowseExportLibrary, "Choose the folder to export the FX library", chosen))
        return;
    const String target = Joined(chosen, "\\Exported FXLibrary");
    if (FileSystem::DirectoryExists(target))
    {
        // Only YES replaces the old export; NO, cancel, Escape and close all keep it and stop.
        if (Message("IDM_EXPORT_FX_DIR_EXISTS") != kAnswerYes)
        {
            Message("IDM_EXPORT_FX_UNSUCCESS");
            return;
        }
        Shell::DeleteSilently(target, GetHandle());
    }
    FileSystem::CreateDirectory(target);
    const String effects = Joined(programFolder_, "\\Effect Presets");
    if (CopyFolders(Joined(programFolder_, "\\Core Effects"), &effects, target))
    {
        Message("IDM_EXPORT_FX_SUCCESS");
        Remember(ViewSettings::kLastExportLibrary, chosen);
    }
    else
        Message("IDM_EXPORT_FX_UNSUCCESS");
}

void FXPaletteWindow::ExportCategory()
{
    IVarnServices* services = link_->GetServices();
    IVarnFxLibrary* library = services ? services->GetFxLibrary() : nullptr;
    if (!library)
        return;
    ExportFxCategoryDialog dialog(link_->GetSkin(), *library, this);
    String category;
    if (!dialog.Run() || !dialog.GetSelectedName(category))
        return;
    String chosen;
    if (!Choose(kBrowseExportCategory, "Choose the folder to export the FX category", chosen))
        return;
    String target = Joined(chosen, "\\Exported FXCategory");
    if (!FileSystem::DirectoryExists(target))
        FileSystem::CreateDirectory(target);
    target.AppendAscii("\\Effect Presets");
    if (!FileSystem::DirectoryExists(target))
        FileSystem::CreateDirectory(target);
    String source = Joined(programFolder_, "\\Effect Presets\\");
    source.Append(category);
    String existing = Joined(target, "\\");
    existing.Append(category);
    if (FileSystem::DirectoryExists(existing))
    {
        if (Message("IDM_EXPORT_FX_CAT_EXISTS") != kAnswerYes)
        {
            Message("IDM_EXPORT_FX_CAT_UNSUCCESS");
            return;
        }
        Shell::DeleteSilently(existing, GetHandle());
    }
    if (CopyFolders(source, nullptr, target))
    {
        Message("IDM_EXPORT_FX_CAT_SUCCESS");
        Remember(ViewSettings::kLastExportCategory, chosen);
    }
    else
        Message("IDM_EXPORT_FX_CAT_UNSUCCESS");
}

Window* PresetViewFactory::CreateView(const String& name, int kind)
{
    FXPaletteWindow* palette = FXPaletteWindow::Building();
    if (kind != KindTreeView || name.CompareLiteral("presets") != 0 || !palette)
        return nullptr;
    return new PresetTreeView(palette->Link(), palette);
}
