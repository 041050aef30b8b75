// The FX palette as a person sees it: the shipped mixer skin's palette over a library with
// the factory chains, two categories of the user's and the core effects, the Core Effects
// node and the factory chains open and a chain shown in the inspector. It prints "shown" once
// the palette is up; panel-shot takes the screenshot then.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "framework/platform/RegistryKey.h"
#include "mixer/views/FXPaletteWindow.h"
#include "mixer/views/PresetTreeView.h"
#include "mixer/views/tests/RecordingMainWindow.h"
#include "standins/engine/StandinServices.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

int main()
{
    using namespace viewstest;
    ScratchFolder scratch("kiv-fxpalette-shot");
    const fs::path& root = scratch.Path();
    for (const char* folder : {"program/Effect Presets/Guitars", "program/Effect Presets/Vocals",
                               "program/Core Effects/Presets/Chorus", "data", "sessions"})
        fs::create_directories(root / folder);
    std::ofstream(root / "program" / "SimulatedCard.txt") << "present=1\nsystems=1\nrate=1\n";
    auto* engine = new StandinServices;
    if (engine->Init((root / "program").u16string().c_str(), (root / "data").u16string().c_str(),
                     (root / "sessions").u16string().c_str()) != 1)
    {
        std::printf("the engine did not start\n");
        return 1;
    }
    PresetViewFactory factory;
    struct Link : RecordingLink
    {
        IVarnHardware* GetCurrentSystem() override { return services->GetMixer()->GetSystem(0); }
    } link;
    link.services = engine;
    std::string skin = std::string("Z:") + KIV_PROGRAM_DIR + "/Skins/Default";
    for (char& c : skin)
        if (c == '/')
            c = '\\';
    if (!link.skin.Load(Text(skin.c_str()), &factory) ||
        !link.settings.Open("HKEY_CURRENT_USER", Text("Software\\KivViewsTest\\FxPaletteShot"), 1))
    {
        std::printf("the skin or the settings could not be opened\n");
        return 1;
    }
    Window frame;
    frame.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0);
    String folder;
    folder.AppendAnsi(("Z:" + (root / "program").generic_string()).c_str());
    FXPaletteWindow palette;
    if (!palette.Create(&frame, link, folder))
    {
        std::printf("the palette could not be made\n");
        return 1;
    }
    PresetTreeView* tree = palette.GetTree();
    for (int i = 0; tree && i < tree->ChildCount(nullptr); ++i)
    {
        TreeItem* node = tree->ChildAt(nullptr, i);
        if (node->GetText().CompareLiteral("Core Effects") == 0 ||
            node->GetText().CompareLiteral("Factory Chains") == 0)
            tree->Expand(node, true);
        if (node->GetText().CompareLiteral("Factory Chains") == 0 && node->ChildCount() > 0)
            tree->SelectItem(node->ChildAt(node->ChildCount() - 1), true, true);
    }
    palette.Show(SW_SHOW);
    std::printf("shown\n");
    std::fflush(stdout);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
