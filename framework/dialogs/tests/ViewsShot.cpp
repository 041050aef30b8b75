// Shows a tree and a list with the test skin's icons - open and closed items, a marked item
// and the cursor in each - until 30 s have passed. It prints "shown" once both are on screen;
// panel-shot takes the screenshot then.
#include "framework/dialogs/tests/ViewsTestSkin.h"
#include "framework/platform/graphics/Graphics.h"

#include <cstdio>

using skintest::Text;

namespace
{
class Backdrop : public Window
{
public:
    int OnEraseBackground(Graphics& graphics) override
    {
        Rect clip;
        graphics.GetClipBox(clip);
        graphics.FillRect(clip, 0x646464);
        return 1;
    }
};

void Pump()
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}
} // namespace

int main()
{
    viewstest::ViewsSkin skin;
    if (!skin.loaded)
    {
        std::printf("the test skin did not load\n");
        return 1;
    }
    Backdrop backdrop;
    backdrop.Create(nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 480, 200, nullptr, 0, 0);

    TreeView tree;
    tree.SetStyle(skin.Tree());
    tree.Create(nullptr, WS_CHILD | WS_VISIBLE, 10, 10, 200, 180, &backdrop, 0, 0);
    TreeItem* effects = tree.AddItem(nullptr, Text("Core Effects"), 0, 0, false);
    for (const char* name : {"Reverb", "Delay", "Chorus"})
        tree.AddItem(effects, Text(name), 0, 0, false);
    TreeItem* presets = tree.AddItem(nullptr, Text("My Presets"), 0, 0, false);
    TreeItem* vocals = tree.AddItem(presets, Text("Vocals"), 0, 0, false);
    for (const char* name : {"Warm Plate", "Slap Back"})
        tree.AddItem(vocals, Text(name), 0, 0, false);
    tree.AddItem(presets, Text("Drums"), 0, 0, false);
    TreeItem* closed = tree.AddItem(nullptr, Text("Factory"), 0, 0, false);
    tree.AddItem(closed, Text("Hall"), 0, 0, false);
    tree.Expand(effects, false);
    tree.Expand(presets, false);
    tree.Expand(vocals, false);
    tree.SelectItem(effects->ChildAt(1), false, false); // marked, and the cursor

    ListBox list;
    ListBoxStyle style = skin.List();
    style.cellHeight = 58; // two lines of text under the icon
    list.SetStyle(style);
    list.Create(nullptr, WS_CHILD | WS_VISIBLE, 220, 10, 250, 180, &backdrop, 0, 0);
    const char* names[] = {"Studio", "Live Stage", "Podcast", "Mastering Suite", "Empty"};
    for (int i = 0; i < 5; ++i)
        list.AddItem(i % 2 ? skin.Image("listIcon1") : nullptr, Text(names[i]), i, 0, false);
    list.Select(list.ItemAt(1), true, false, false);
    list.SelectNext(); // the cursor moves on, the mark stays
    tree.InvalidateAll(1);
    list.InvalidateAll(1);

    for (int i = 0; i < 20; ++i)
    {
        Pump();
        ::Sleep(10);
    }
    std::printf("shown\n");
    std::fflush(stdout);
    for (int i = 0; i < 3000; ++i)
    {
        Pump();
        ::Sleep(10);
    }
    return 0;
}
