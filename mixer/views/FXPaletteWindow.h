#pragma once

#include <memory>

#include <windows.h>

#include <shlobj.h>

#include "framework/base/String.h"
#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"
#include "framework/skin/SkinViewFactory.h"
#include "mixer/views/FrameSections.h"

class MainWindowLink;
class PresetInspector;
class PresetTreeView;
class TreeItem;

// The floating tool window of the effects library: the skin panel "fxPalette" with the preset
// tree ("presets"), the inspector, the buttons "exit", "help", "newcategory" and
// "importexportfx", and the import and export of libraries and categories, the only place
// where the program itself copies library folders. Its place is kept in "FX Palette XPos" and
// "YPos". User-interface thread only.
class FXPaletteWindow : public Panel, public MenuListener, public FxPaletteFace
{
public:
    // Commands of "ImportExportFXMenu".
    enum Command
    {
        kImportLibrary = 1,
        kImportCategory = 2,
        kExportLibrary = 3,
        kExportCategory = 4
    };

    FXPaletteWindow();
    ~FXPaletteWindow() override;

    // Builds "fxPalette" as a popup owned by parent at its stored place; programFolder holds
    // the library in use ("Core Effects", "Effect Presets"). 0 when the skin lacks the panel.
    int Create(Window* parent, MainWindowLink& link, const String& programFolder);
    DWORD GetStyle() override { return WS_POPUP; }
    void OnCreate() override;
    // Client coordinates: the palette is dragged by its texts and the bare panel.
    int OnNcHitTest(int x, int y) override;
    void OnMove(int x, int y) override;
    int OnControlNotify(Panel* panel, Control* control, int argument) override;
    void OnMenuCommand(int command) override;

    // FxPaletteFace
    Window& GetWindow() override { return *this; }
    void OnAppEvent(int id, VarnEventArg argument) override;
    void RefreshFit() override;
    void ShowInInspector(TreeItem* item);
    void RemoveFromInspector(TreeItem* item);

    // The four procedures of the menu.
    void ImportLibrary();
    void ImportCategory();
    void ExportLibrary();
    void ExportCategory();
    // Copies first (and second, when not empty) into destination with the shell's progress
    // window; 0 when a path cannot be given to the shell whole or the copy fails.
    int CopyFolders(const String& first, const String* second, const String& destination);

    PresetTreeView* GetTree() const { return tree_; }
    PresetInspector* GetInspector() const { return inspector_.get(); }
    MainWindowLink& Link() { return *link_; }

    // The palette whose panel is being built: the view factory gives its tree to it.
    static FXPaletteWindow* Building();

private:
    enum BrowseMode
    {
        kNone = 0,
        kBrowseImportLibrary,
        kBrowseImportCategory,
        kBrowseExportLibrary,
        kBrowseExportCategory
    };
    static int CALLBACK ChooserCallback(HWND window, UINT message, LPARAM lParam, LPARAM data);
    int Choose(BrowseMode mode, const char* title, String& folder);
    int Message(const char* box);
    void Remember(const char16_t* setting, const String& folder);

    Window* parent_ = nullptr;       // borrowed: the main frame
    MainWindowLink* link_ = nullptr; // borrowed
    PresetTreeView* tree_ = nullptr; // borrowed: the panel's view host owns it
    std::unique_ptr<PresetInspector> inspector_;
    String programFolder_;

    static FXPaletteWindow* current_;  // the palette, while one exists
    static FXPaletteWindow* building_; // during Create's panel build
    static BrowseMode browseMode_;     // the procedure whose chooser is open
};

// The mixer skin's view factory: the FX palette's "presets" tree is a PresetTreeView.
class PresetViewFactory : public SkinViewFactory
{
public:
    Window* CreateView(const String& name, int kind) override;
    void ViewCreated(Window*) override {}
};
