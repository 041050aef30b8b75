#include "plugins/quorvel/EditorPresetInspector.h"

#include "framework/controls/Scrollbar.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/Skin.h"
#include "plugins/quorvel/EditorMainPanel.h"
#include "plugins/quorvel/FxPalette.h"
#include "plugins/quorvel/PresetInspectorText.h"

#include <algorithm>

EditorPresetInspector::EditorPresetInspector(EffectCatalog* catalog) : ScrolledContent(kScrollUnit), catalog_(catalog)
{
}

EditorPresetInspector::~EditorPresetInspector()
{
    if (Scroller* bar = VerticalScroller())
        bar->SetClient(nullptr);
    Destroy();
}

bool EditorPresetInspector::Create(EditorMainPanel& panel)
{
    panel_ = &panel;
    Skin* skin = Skin::Current();
    String name;
    name.AssignAscii("presetinspector");
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    if (!panel.GetRegionRect(name, x, y, width, height, id))
        return false;
    if (skin)
    {
        skin->GetMiscParamColour("presetInspectorBgCol", background_);
        skin->GetMiscParamColour("presetInspectorTextCol", textColour_);
        String fontName;
        if (skin->FindMiscParam("presetInspectorFontName", fontName))
            font_ = skin->FindFont(fontName);
    }
    if (font_)
        lineHeight_ = font_->Height() + 1;
    if (!Window::Create(nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, &panel, 0, 0))
        return false;
    ::SetWindowLongPtrA(GetHandle(), GWLP_ID, kWindowId);
    name.AssignAscii("inspscrollbar");
    if (auto* bar = dynamic_cast<Scrollbar*>(panel.FindControl(name)))
        bar->SetClient(this);
    Layout();
    return true;
}

void EditorPresetInspector::AttachScroller(Scroller* scroller, int)
{
    SetVerticalScroller(scroller);
}

int EditorPresetInspector::ContentHeight() const
{
    if (lines_.empty())
        return 0;
    if (lines_.size() == 1)
        return lineHeight_ + 2;
    return static_cast<int>(lines_.size()) * (lineHeight_ + 1) + 2;
}

void EditorPresetInspector::SetItem(TreeItem* item)
{
    item_ = item;
    lines_.clear();
    const FxPalette* palette = panel_ ? panel_->Palette() : nullptr;
    const PaletteItem* data = palette && item ? palette->DataOf(item) : nullptr;
    if (data && !data->entry)
    {
        // A category whose only item is "<empty>" holds none.
        int presets = 0;
        for (int i = 0; i < item->ChildCount(); ++i)
            if (palette->DataOf(item->ChildAt(i)))
                ++presets;
        lines_ = CategoryInspectorLines(std::u16string(item->GetText().Text()), presets);
    }
    else if (data && catalog_)
    {
        lines_ = PresetInspectorLines(*catalog_, *data->entry, std::u16string(item->GetText().Text()));
    }
    Layout();
    InvalidateAll(1);
}

void EditorPresetInspector::ClearItem(TreeItem* item)
{
    if (item && item == item_)
    {
        item_ = nullptr;
        lines_.clear();
        InvalidateAll(1);
    }
    Layout();
}

void EditorPresetInspector::Layout()
{
    if (!VerticalScroller() || !GetHandle())
        return;
    RECT client = {};
    ::GetClientRect(GetHandle(), &client);
    const int windowHeight = client.bottom - client.top;
    const int content = ContentHeight();
    UpdateScroller(content / kScrollUnit, windowHeight / kScrollUnit, content, windowHeight);
}

void EditorPresetInspector::ScrollContents(int)
{
    InvalidateAll(1);
}

int EditorPresetInspector::OnEraseBackground(Graphics& graphics)
{
    RECT client = {};
    ::GetClientRect(GetHandle(), &client);
    graphics.FillRect(Rect{client.left, client.top, client.right, client.bottom}, background_);
    return 1;
}

void EditorPresetInspector::OnPaint(Graphics& graphics)
{
    if (!font_)
        return;
    RECT client = {};
    ::GetClientRect(GetHandle(), &client);
    int y = VerticalScroller() ? -ScrollPosition() * kScrollUnit : 1;
    for (const std::u16string& line : lines_)
    {
        graphics.TextOut(StringRef(line.c_str(), static_cast<int>(line.size())), 1, y,
                         Rect{client.left, client.top, client.right, client.bottom}, *font_, textColour_);
        y += lineHeight_ + 1;
    }
}

void EditorPresetInspector::OnMouseDown(WPARAM, int, int)
{
    ::SetFocus(GetHandle());
}

void EditorPresetInspector::OnMouseWheel(WPARAM keys, int, int)
{
    Scroller* bar = VerticalScroller();
    if (!bar)
        return;
    const int position = ScrollPosition() + (GET_WHEEL_DELTA_WPARAM(keys) > 0 ? -1 : 1);
    if (position >= 0 && position <= bar->GetRange())
        MoveScrollerTo(position);
}

int EditorPresetInspector::OnSize(WPARAM, int, int)
{
    Layout();
    return 1;
}
