#include "mixer/views/PresetInspector.h"

#include "framework/controls/Panel.h"
#include "framework/controls/Scrollbar.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/skin/Skin.h"
#include "mixer/views/FxPaletteRules.h"
#include "mixer/views/PresetTreeView.h"

namespace
{
String NameOf(const char16_t* name, int room)
{
    int length = 0;
    while (length < room - 1 && name[length])
        ++length;
    String text;
    text.Append(StringRef(name, length));
    return text;
}

// A node's child count, the placeholder not counted.
int EntryCount(PresetTreeView& tree, TreeItem* node)
{
    if (node->ChildCount() == 1 && !tree.RecordOf(node->ChildAt(0)))
        return 0;
    return node->ChildCount();
}
} // namespace

PresetInspector::PresetInspector(Skin& skin, PresetTreeView& tree, IVarnFxLibrary* library)
    : skin_(skin), tree_(tree), library_(library)
{
}

PresetInspector::~PresetInspector()
{
    if (scroller_)
        scroller_->SetClient(nullptr);
}

int PresetInspector::Create(Panel& palette)
{
    skin_.GetMiscParamColour("presetInspectorBgCol", background_);
    skin_.GetMiscParamColour("presetInspectorTextCol", textColour_);
    String fontName;
    if (skin_.FindMiscParam("presetInspectorFontName", fontName))
        font_ = skin_.FindFont(fontName);
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    String region;
    region.AssignAscii("presetinspector");
    if (!palette.GetRegionRect(region, x, y, width, height, id))
        return 0;
    height_ = height;
    if (!Window::Create(nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, &palette, 0, 0))
        return 0;
    // Window::Create gives a child no id of its own.
    ::SetWindowLongPtrA(GetHandle(), GWLP_ID, kControlId);
    String barName;
    barName.AssignAscii("inspscrollbar");
    if (auto* bar = dynamic_cast<Scrollbar*>(palette.FindControl(barName)))
        bar->SetClient(this);
    return 1;
}

int PresetInspector::LineHeight() const
{
    return font_ ? font_->Height() + 1 : 10;
}

int PresetInspector::WindowHeight() const
{
    return height_;
}

void PresetInspector::SetItem(TreeItem* item)
{
    PresetItemRecord* record = item ? tree_.RecordOf(item) : nullptr;
    item_ = item && (record || !item->Parent()) ? item : nullptr;
    using FxPaletteRules::Shown;
    Shown shown = Shown::Nothing;
    int effects = 0;
    if (item_ && record && record->kind == PresetItemRecord::kPreset)
    {
        shown = Shown::Preset;
        effects = ItemOf<PresetItem>(record)->record.effectCount;
    }
    else if (item_ && record)
        shown = Shown::Line;
    else if (item_)
        shown = Shown::CoreNode;
    contentHeight_ = FxPaletteRules::ContentHeight(shown, effects, LineHeight());
    Layout(true);
    InvalidateAll(1);
    if (GetHandle())
        UpdateWindow(GetHandle());
}

void PresetInspector::ClearItem(TreeItem* item)
{
    if (item && item == item_)
        SetItem(nullptr);
}

int PresetInspector::Lines(String* lines, int room)
{
    int count = 0;
    auto add = [&](const String& text) {
        if (count < room)
            lines[count].Assign(text);
        ++count;
    };
    PresetItemRecord* record = item_ ? tree_.RecordOf(item_) : nullptr;
    if (!item_)
    {
        String blank;
        blank.AssignAscii(" ");
        add(blank);
        return count;
    }
    if (!item_->Parent() || (record && record->kind == PresetItemRecord::kCategory))
    {
        String text;
        if (!record)
            text.Append(tree_.CoreText());
        else
            text.Append(NameOf(ItemOf<CategoryItem>(record)->record.name, 256));
        text.AppendAscii(" (");
        text.AppendInt(EntryCount(tree_, item_));
        text.AppendAscii(")");
        add(text);
        return count;
    }
    if (record->kind == PresetItemRecord::kCoreEffect)
    {
        add(NameOf(ItemOf<CoreEffectItem>(record)->record.name, 256));
        return count;
    }
    const VarnPresetRecord& preset = ItemOf<PresetItem>(record)->record;
    String title;
    title.Append(item_->GetText());
    title.AppendAscii(":");
    add(title);
    // The record holds kVarnPresetEffects ids whatever count it states.
    const int effects = FxPaletteRules::PresetEffectCount(preset.effectCount);
    for (int k = 1; k <= effects; ++k)
    {
        String line;
        line.AppendInt(k);
        line.AppendAscii(". ");
        char16_t name[256] = {};
        if (library_ && library_->GetEffectName(&preset.effects[k - 1], name, 256))
            line.Append(NameOf(name, 256));
        else
            line.AppendAscii("???");
        add(line);
    }
    return count;
}

int PresetInspector::OnEraseBackground(Graphics&)
{
    return 1;
}

void PresetInspector::OnPaint(Graphics& graphics)
{
    RECT client = {};
    ::GetClientRect(GetHandle(), &client);
    graphics.FillRect(Rect{0, 0, client.right, client.bottom}, background_);
    if (!font_)
        return;
    const FontInterface& font = *font_;
    String lines[FxPaletteRules::kMaxPresetEffects + 1];
    const int count = Lines(lines, FxPaletteRules::kMaxPresetEffects + 1);
    const int top = 1 - position_ * FxPaletteRules::kScrollStep;
    for (int i = 0; i < count && i <= FxPaletteRules::kMaxPresetEffects; ++i)
        graphics.TextOut(lines[i], 1, top + i * LineHeight(), Rect{0, 0, client.right, client.bottom}, font,
                         textColour_);
}

void PresetInspector::OnMouseDown(WPARAM, int, int)
{
    SetFocus();
}

void PresetInspector::OnMouseWheel(WPARAM keys, int, int)
{
    if (!scroller_)
        return;
    const int delta = static_cast<short>(HIWORD(keys));
    int position = scroller_->GetPosition();
    if (delta > 0 && position > 0)
        --position;
    else if (delta < 0 && position < scroller_->GetRange())
        ++position;
    scroller_->SetPosition(position, true);
    scroller_->NotifyClient();
}

void PresetInspector::AttachScroller(Scroller* scroller, int)
{
    scroller_ = scroller;
    Layout(false);
}

void PresetInspector::OnScrollPosition(int position, Scroller*, int)
{
    const int old = position_;
    position_ = position;
    if (GetHandle() && old != position)
    {
        Scroll(0, FxPaletteRules::kScrollStep * (old - position));
        UpdateWindow(GetHandle());
    }
}

void PresetInspector::Layout(bool notify)
{
    if (!scroller_)
        return;
    const FxPaletteRules::InspectorScroll scroll =
        FxPaletteRules::LayoutScroll(contentHeight_, WindowHeight(), scroller_->GetPosition());
    scroller_->SetVisible(WindowHeight(), false);
    scroller_->SetTotal(contentHeight_, false);
    scroller_->SetPosition(scroll.position, false);
    scroller_->SetRange(scroll.maximum, true);
    if (notify || scroll.position != position_)
        OnScrollPosition(scroll.position, scroller_, 0);
}
