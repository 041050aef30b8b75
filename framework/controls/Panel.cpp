#include "framework/controls/Panel.h"

#include "framework/controls/BitmapControl.h"
#include "framework/controls/BorderFrame.h"
#include "framework/controls/Button.h"
#include "framework/controls/Control.h"
#include "framework/controls/ControlLayout.h"
#include "framework/controls/InPlaceEditor.h"
#include "framework/controls/PageSelection.h"
#include "framework/controls/PageTab.h"
#include "framework/controls/RegionControl.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/Tooltip.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/platform/graphics/Region.h"
#include "framework/skin/SkinBitmap.h"

#include <algorithm>

namespace
{
// The tiles [first, end) of a row of count tiles, one every step from start and extent long,
// that can reach into [from, to): the rest lie wholly before or after it.
struct TileSpan
{
    int first;
    int end;
};
TileSpan TilesOver(int start, int step, int extent, int count, int from, int to)
{
    if (step < 1)
        return {0, 0};
    const int64_t before = (int64_t{from} - start - std::max(extent, step)) / step;
    const int64_t after = (int64_t{to} - start) / step + 1;
    return {static_cast<int>(std::clamp<int64_t>(before, 0, count)),
            static_cast<int>(std::clamp<int64_t>(after, 0, count))};
}

// Whether two rectangles share a pixel.
bool Overlap(const Rect& a, const Rect& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// Whether the window hides all of the area: shown, not minimised, opaque and of no shape of its
// own (a shaped or see-through window may leave some of it to be seen).
bool Covers(HWND window, const RECT& area)
{
    if (!::IsWindowVisible(window) || ::IsIconic(window))
        return false;
    if (::GetWindowLongA(window, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT))
        return false;
    RECT box = {};
    if (::GetWindowRgnBox(window, &box) != ERROR)
        return false;
    RECT place = {};
    return ::GetWindowRect(window, &place) && place.left <= area.left && place.top <= area.top &&
           place.right >= area.right && place.bottom >= area.bottom;
}

// Whether one window above the top-level window hides all of it.
bool WhollyCovered(HWND root)
{
    RECT area = {};
    if (!::GetWindowRect(root, &area))
        return false;
    for (HWND above = ::GetWindow(root, GW_HWNDPREV); above; above = ::GetWindow(above, GW_HWNDPREV))
        if (Covers(above, area))
            return true;
    return false;
}

// The last look at a top-level window's cover; looks older than a second are dropped.
struct CoverLook
{
    HWND root;
    uint32_t at; // the ticker's clock
    bool covered;
};
constexpr uint32_t kCoverLookMilliseconds = 250;
std::vector<CoverLook> gCoverLooks; // user-interface thread only
} // namespace

Panel::Panel()
{
    waitingWatch_.panel = this;
}

Panel::~Panel()
{
    if (observer_)
        observer_->OnPanelDestroyed(this);
    Tooltip::ForgetOwner(this);
    Clear(1);
}

void Panel::OnCreate()
{
    for (int i = 0; i < ControlCount(); ++i)
        if (controls_[static_cast<size_t>(i)]->GetType() == Control::TypeViewHost)
            static_cast<ViewHostControl*>(controls_[static_cast<size_t>(i)])->CreateView(*this, i);
}

int Panel::Setup(ControlListener* listener, int width, int height, uint32_t backgroundColour)
{
    listener_ = listener;
    width_ = width;
    height_ = height;
    backgroundColour_ = backgroundColour;
    return 1;
}

int Panel::OnOwnedItemNotify(DataItem* item, int argument)
{
    return GetListener()->OnDataItemNotify(this, item, argument);
}

SkinBitmap* Panel::GetBackgroundBitmap()
{
    if (sections_.empty())
        return nullptr;
    SkinBitmap* bitmap = sections_.front()->bitmap;
    return bitmap->GetDib() ? bitmap : nullptr;
}

int Panel::Create(Window* parent, int x, int y, int id)
{
    EnsureBackground();
    const int shaped = HasShapedBackground();
    const DWORD style = GetStyle() | (shaped ? 0 : WS_VISIBLE);
    if (!CreateEx(nullptr, GetExStyle(), style, x, y, width_, height_, 0, parent))
        return 0;
    if (style & WS_CHILD)
        ::SetWindowLongPtrA(GetHandle(), GWLP_ID, id);
    if (shaped)
    {
        Region shape;
        if (BuildShapeRegion(shape))
            SetRegion(&shape, 1);
        Show(SW_SHOW);
    }
    return 1;
}

void Panel::SetSize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    background_.reset();
    width_ = width;
    height_ = height;
    EnsureBackground();
    if (HasShapedBackground())
    {
        Region shape;
        if (BuildShapeRegion(shape))
            SetRegion(&shape, 1);
    }
}

int Panel::BackgroundWidth()
{
    EnsureBackground();
    return background_ ? background_->Width() : 0;
}

int Panel::BackgroundHeight()
{
    EnsureBackground();
    return background_ ? background_->Height() : 0;
}

int Panel::AddBackgroundSection(SkinBitmap* bitmap, int x, int y, int countX, int countY, int pieceWidth)
{
    // The image's size is known once it is loaded.
    if (!bitmap || !bitmap->GetDib())
        return 0;
    countX = std::max(countX, 1);
    countY = std::max(countY, 1);
    // In 64 bits: skin numbers reach here, and a wrapped product would make a small bitmap
    // over a section of billions of tiles.
    const int64_t drawnWidth = pieceWidth == -1 ? bitmap->Width() : pieceWidth;
    const int64_t width = std::max<int64_t>(width_, x + countX * drawnWidth);
    const int64_t height = std::max<int64_t>(height_, y + int64_t{countY} * bitmap->Height());
    if (!BitmapPixels::SizeAllowed(width, height, bitmap->GetDib()->BitsPerPixel()))
        return 0;
    auto section = std::make_unique<BackgroundSection>();
    section->bitmap = bitmap;
    section->x = x;
    section->y = y;
    section->countX = countX;
    section->countY = countY;
    section->pieceWidth = pieceWidth;
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    sections_.push_back(std::move(section));
    return 1;
}

void Panel::ClearBackground()
{
    sections_.clear();
    background_.reset();
}

int Panel::HasShapedBackground() const
{
    for (const auto& section : sections_)
        if (section->bitmap->IsTransparent())
            return 1;
    return 0;
}

std::unique_ptr<Bitmap> Panel::ComposeBackground(int x, int y, int width, int height)
{
    SkinBitmap* format = GetBackgroundBitmap();
    if (width <= 0 || height <= 0 || !format)
        return nullptr;
    auto bitmap = std::make_unique<Bitmap>();
    if (!bitmap->Create(width, height, *format->GetDib()))
        return nullptr;
    bitmap->FillRect(0, 0, width, height, backgroundColour_);
    const Rect area = {x, y, x + width, y + height};
    for (const auto& section : sections_)
    {
        SkinBitmap& image = *section->bitmap;
        const int drawnWidth = section->pieceWidth == -1 ? image.Width() : section->pieceWidth;
        // Only the tiles that can touch the area are visited: a partial redraw of a long
        // section costs what it shows.
        const TileSpan across =
            TilesOver(section->x, image.Width(), drawnWidth, section->countX, area.left, area.right);
        const TileSpan down =
            TilesOver(section->y, image.Height(), image.Height(), section->countY, area.top, area.bottom);
        for (int j = down.first; j < down.end; ++j)
            for (int i = across.first; i < across.end; ++i)
            {
                // Tiles start every image width; the piece width only says how much is drawn.
                const int left = section->x + i * image.Width();
                const int top = section->y + j * image.Height();
                const Rect tile = {left, top, left + drawnWidth, top + image.Height()};
                if (!Overlap(tile, area))
                    continue;
                const int fromX = std::max(tile.left, area.left);
                const int fromY = std::max(tile.top, area.top);
                const int toX = std::min(tile.right, area.right);
                const int toY = std::min(tile.bottom, area.bottom);
                image.Draw(*bitmap, fromX - left, fromY - top, toX - fromX, toY - fromY, fromX - x, fromY - y, 1);
            }
    }
    return bitmap;
}

void Panel::EnsureBackground()
{
    if (background_)
        return;
    background_ = ComposeBackground(0, 0, width_, height_);
    if (background_)
        DrawControls(nullptr);
}

void Panel::DrawControls(const Rect* area)
{
    for (Control* control : controls_)
    {
        if (control->IsInvisible())
            continue;
        Rect rect;
        control->GetRect(rect);
        if (!area || Overlap(rect, *area))
            control->DrawCurrent();
    }
}

int Panel::CanBeSeen()
{
    HWND window = GetHandle();
    if (!window || !::IsWindowVisible(window))
        return 0;
    HWND root = ::GetAncestor(window, GA_ROOT);
    if (!root || ::IsIconic(root))
        return 0;
    const uint32_t now = Timer::Now();
    gCoverLooks.erase(std::remove_if(gCoverLooks.begin(), gCoverLooks.end(),
                                     [&](const CoverLook& look) { return now - look.at > 1000; }),
                      gCoverLooks.end());
    auto look = std::find_if(gCoverLooks.begin(), gCoverLooks.end(),
                             [&](const CoverLook& entry) { return entry.root == root; });
    if (look == gCoverLooks.end())
        look = gCoverLooks.insert(gCoverLooks.end(), CoverLook{root, now, WhollyCovered(root)});
    else if (now - look->at >= kCoverLookMilliseconds)
        *look = CoverLook{root, now, WhollyCovered(root)};
    return look->covered ? 0 : 1;
}

void Panel::WatchWaitingControls()
{
    if (!waitingWatch_.attached)
        waitingWatch_.attached = waitingWatch_.timer.Attach(&waitingWatch_, 0, 0);
    waitingWatch_.timer.Start(0);
}

void Panel::WaitingWatch::OnTimerTick(int32_t)
{
    if (!panel->CanBeSeen())
        return;
    timer.Stop();
    for (Control* control : panel->controls_)
        if (control->IsWaiting())
            control->AskForPaint();
}

void Panel::DrawStaleControls(const Rect& area)
{
    if (!staleControls_ || !background_)
        return;
    staleControls_ = 0;
    for (Control* control : controls_)
    {
        if (!control->IsStale())
            continue;
        Rect rect;
        control->GetRect(rect);
        if (control->IsInvisible() || Overlap(rect, area))
            control->DrawCurrent();
        else
            staleControls_ = 1;
    }
}

void Panel::RedrawArea(const Rect* rect, int now)
{
    if (!rect)
    {
        background_.reset();
        EnsureBackground();
        if (now)
        {
            InvalidateAll(1);
            Update();
        }
        return;
    }
    Rect area = *rect;
    if (background_)
    {
        // Controls are drawn whole: the area grows over every control it meets, so that one
        // drawn again never covers a later one outside the area.
        for (bool grown = true; grown;)
        {
            grown = false;
            for (Control* control : controls_)
            {
                Rect bounds;
                control->GetRect(bounds);
                if (control->IsInvisible() || !Overlap(bounds, area))
                    continue;
                const Rect united = {std::min(area.left, bounds.left), std::min(area.top, bounds.top),
                                     std::max(area.right, bounds.right), std::max(area.bottom, bounds.bottom)};
                if (united.left != area.left || united.top != area.top || united.right != area.right ||
                    united.bottom != area.bottom)
                {
                    area = united;
                    grown = true;
                }
            }
        }
        const std::unique_ptr<Bitmap> piece =
            ComposeBackground(area.left, area.top, area.right - area.left, area.bottom - area.top);
        if (piece)
        {
            background_->CopyPixels(*piece, 0, 0, piece->Width(), piece->Height(), area.left, area.top,
                                    BitmapPixels::CopyBottomUp, -1, -1, 0);
            DrawControls(&area);
        }
    }
    if (now)
    {
        const RECT dirty = {area.left, area.top, area.right, area.bottom};
        Invalidate(dirty, 1);
        Update();
    }
}

int Panel::BuildShapeRegion(Region& region)
{
    if (!background_)
        return 0;
    for (const auto& section : sections_)
    {
        if (!section->bitmap->IsTransparent())
            continue;
        // The key is a colour of the section's image; its key point lies in that image (or in
        // the composite it was cut from), not in the background.
        uint32_t key = 0;
        if (section->bitmap->GetKeyPixel(key))
            return region.FromBitmapKeyed(*background_, 0, 0, background_->Width(), background_->Height(), key);
        break;
    }
    return region.AddRect(0, 0, background_->Width(), background_->Height());
}

int Panel::OnEraseBackground(Graphics& graphics)
{
    Rect clip;
    graphics.GetClipBox(clip);
    DrawStaleControls(clip);
    if (background_)
        graphics.Blit(*background_, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, clip.left,
                      clip.top);
    else
        graphics.FillRect(clip, backgroundColour_);
    return 1;
}

void Panel::Clear(int deleteDataItems)
{
    ClearBackground();
    // The tabs' radio logic leaves its buttons before they go.
    pageTabs_.clear();
    std::vector<Control*> controls;
    controls.swap(controls_);
    for (Control* control : controls)
        delete control;
    if (deleteDataItems)
    {
        dataItems_.DeleteValues(dataItems_.Begin(), dataItems_.End());
        dataItems_.EraseRange(dataItems_.Begin(), dataItems_.End());
    }
    borderFrames_.clear();
    width_ = 0;
    height_ = 0;
}

void Panel::ResetControls()
{
    Control* pressed = Control::PressedControl();
    if (pressed && pressed->GetParent() == this)
        Control::SetPressedControl(nullptr);
    Clear(0);
}

void Panel::AddControl(Control* control, DataItem* item)
{
    if (!control)
        return;
    controls_.push_back(control);
    if (item)
    {
        control->BindItem(item);
        item->Bind(control);
    }
    control->SetParent(this);
}

void Panel::DropControl(Control* control, int redraw, int now)
{
    auto found = std::find(controls_.begin(), controls_.end(), control);
    if (found == controls_.end())
        return;
    Rect rect;
    control->GetRect(rect);
    controls_.erase(found);
    for (const auto& tab : pageTabs_)
        tab->Forget(control);
    delete control; // clears the globals that point to it
    if (redraw)
        RedrawArea(&rect, now);
}

void Panel::RaiseControl(Control* control)
{
    auto found = std::find(controls_.begin(), controls_.end(), control);
    if (found == controls_.end())
        return;
    controls_.erase(found);
    controls_.push_back(control);
    if (background_ && !control->IsInvisible())
        control->Draw();
}

Control* Panel::FindControl(const String& name) const
{
    for (Control* control : controls_)
        if (control->GetName().Compare(name.Text()) == 0)
            return control;
    return nullptr;
}

Control* Panel::ControlAtIndex(int index) const
{
    return index >= 0 && index < ControlCount() ? controls_[static_cast<size_t>(index)] : nullptr;
}

Control* Panel::ControlAt(int x, int y) const
{
    for (Control* control : controls_)
        if (!control->IsInvisible() && control->HitTest(x, y))
            return control;
    return nullptr;
}

Control* Panel::ControlAtForClick(int x, int y) const
{
    for (Control* control : controls_)
        if (control->GetType() != Control::TypeBitmap && !control->IsInvisible() && control->HitTest(x, y))
            return control;
    return nullptr;
}

const Control* Panel::FindRegionControl(const String* name, int id) const
{
    for (const Control* control : controls_)
    {
        if (control->GetType() != Control::TypeRegion)
            continue;
        if (name ? control->GetName().Compare(name->Text()) == 0
                 : static_cast<const RegionControl*>(control)->GetId() == id)
            return control;
    }
    return nullptr;
}

int Panel::GetRegionRect(const String& name, int& x, int& y, int& width, int& height, int& id) const
{
    const Control* control = FindRegionControl(&name, 0);
    if (!control)
        return 0;
    x = control->X();
    y = control->Y();
    width = control->Width();
    height = control->Height();
    id = static_cast<const RegionControl*>(control)->GetId();
    return 1;
}

int Panel::GetRegionRectById(int id, int& x, int& y, int& width, int& height, String& name) const
{
    const Control* control = FindRegionControl(nullptr, id);
    if (!control)
        return 0;
    x = control->X();
    y = control->Y();
    width = control->Width();
    height = control->Height();
    name.Assign(control->GetName());
    return 1;
}

int Panel::IsPointInRegion(int x, int y, const String& name) const
{
    const Control* control = FindRegionControl(&name, 0);
    return control && control->HitTest(x, y) ? 1 : 0;
}

int Panel::IsPointInRegionById(int x, int y, int id) const
{
    const Control* control = FindRegionControl(nullptr, id);
    return control && control->HitTest(x, y) ? 1 : 0;
}

DataItem* Panel::RegisterDataItem(const char* name, DataItem* item)
{
    if (!item)
        return nullptr;
    String key;
    if (!key.AppendAnsi(name ? name : "") || !item->SetName(key))
    {
        delete item;
        return nullptr;
    }
    // A taken name would leave the new item unreachable and never deleted.
    if (!dataItems_.Insert(key.Text(), item).inserted)
    {
        delete item;
        return nullptr;
    }
    item->SetOwner(this);
    return item;
}

template <typename Item>
Item* Panel::AddItem(const char* name, Item* item, int disabled, int hidden)
{
    item->SetDisabled(disabled, 0);
    item->SetHidden(hidden, 0);
    return static_cast<Item*>(RegisterDataItem(name, item));
}

FlagItem* Panel::AddFlagItem(const char* name, int value, int disabled, int hidden)
{
    auto* item = new FlagItem();
    item->value = value;
    return AddItem(name, item, disabled, hidden);
}

template <typename Item, typename Value>
Item* Panel::AddRangedItem(const char* name, Value value, Value minimum, Value maximum, int disabled, int hidden)
{
    auto* item = new Item();
    item->value = value;
    item->minimum = minimum;
    item->maximum = maximum;
    return AddItem(name, item, disabled, hidden);
}

IntItem* Panel::AddIntItem(const char* name, int value, int minimum, int maximum, int disabled, int hidden)
{
    return AddRangedItem<IntItem>(name, value, minimum, maximum, disabled, hidden);
}

RealItem* Panel::AddRealItem(const char* name, float value, float minimum, float maximum, int disabled, int hidden)
{
    return AddRangedItem<RealItem>(name, value, minimum, maximum, disabled, hidden);
}

TextItem* Panel::AddTextItem(const char* name, const String& text, int disabled, int hidden)
{
    auto* item = new TextItem();
    if (!item->text.Assign(text))
    {
        delete item;
        return nullptr;
    }
    return AddItem(name, item, disabled, hidden);
}

TextControl* Panel::FindTextControl(const char* name) const
{
    String key;
    if (!key.AppendAnsi(name ? name : ""))
        return nullptr;
    Control* control = FindControl(key);
    return control && control->GetType() == Control::TypeText ? static_cast<TextControl*>(control) : nullptr;
}

DataItem* Panel::FindDataItem(const String& name) const
{
    StringDictionary::Node* node = dataItems_.Find(name.Text());
    return node == dataItems_.End() ? nullptr : static_cast<DataItem*>(node->entry->value);
}

void Panel::RemoveDataItem(DataItem* item)
{
    if (!item)
        return;
    StringDictionary::Node* node = dataItems_.Find(item->GetName().Text());
    // Only the item registered under that name is ours to delete.
    if (node == dataItems_.End() || node->entry->value != item)
        return;
    dataItems_.EraseNode(node);
    delete item;
}

void Panel::ToLocal(const Control& control, int x, int y, int& localX, int& localY)
{
    localX = x - control.X();
    localY = y - control.Y();
}

void Panel::OnMouseDown(WPARAM flags, int x, int y)
{
    InPlaceEditor::CloseCurrent();
    Tooltip::Destroy();
    SetCapture();
    Control* hit = ControlAtForClick(x, y);
    if (!hit)
    {
        Control::SetPressedControl(nullptr);
        return;
    }
    if (hit->GetType() == Control::TypeRegion)
        return;
    int localX = 0;
    int localY = 0;
    ToLocal(*hit, x, y, localX, localY);
    hit->SetLastPosition(localX, localY);
    Control::SetPressedControl(hit);
    hit->OnMouseDown(flags, localX, localY);
}

void Panel::OnDoubleClick(WPARAM flags, int x, int y)
{
    OnMouseDown(flags, x, y);
}

void Panel::OnMouseMove(WPARAM flags, int x, int y)
{
    int localX = 0;
    int localY = 0;
    if (Control* pressed = Control::PressedControl())
    {
        Control::SetHoverControl(pressed);
        ToLocal(*pressed, x, y, localX, localY);
        // The control sees its previous position during the call: the drag is the difference.
        pressed->OnMouseMove(flags, localX, localY);
        if (Control::PressedControl() == pressed)
            pressed->SetLastPosition(localX, localY);
        return;
    }
    Control* hit = ControlAt(x, y);
    if (!hit)
    {
        Tooltip::Destroy();
        Control::SetHoverControl(nullptr);
        return;
    }
    // A region is only an area; while the window holds the capture a press hit nothing.
    if (hit->GetType() == Control::TypeRegion || HasCapture())
        return;
    ToLocal(*hit, x, y, localX, localY);
    hit->OnMouseMove(flags, localX, localY);
    hit->ShowTooltip();
    Control::SetHoverControl(hit);
}

void Panel::OnMouseUp(WPARAM flags, int x, int y)
{
    Window::ReleaseCapture();
    Control* pressed = Control::PressedControl();
    if (!pressed)
        return;
    Control::SetPressedControl(nullptr);
    int localX = 0;
    int localY = 0;
    ToLocal(*pressed, x, y, localX, localY);
    pressed->SetLastPosition(localX, localY);
    pressed->OnMouseUp(flags, localX, localY);
}

void Panel::OnRightButtonDown(WPARAM, int x, int y)
{
    Control* hit = ControlAt(x, y);
    Control::SetRightClickedControl(hit);
    if (hit)
        OnRightClickControl(hit);
}

void Panel::OnTimer(UINT_PTR id)
{
    if (Control* hover = Control::HoverControl())
        hover->OnTimer(id);
}

int Panel::OnDataItemNotify(Panel*, DataItem* item, int)
{
    for (const auto& tab : pageTabs_)
        if (IntItem* selection = tab->SelectionItem())
            if (selection == item)
            {
                SelectTabPage(tab->name, selection->value);
                return 1;
            }
    return 0;
}

int Panel::AddImageRun(const String& baseName, SkinBitmap* bitmap, int x, int y, int horizontal, int count,
                       const String* tabName, int pageIndex)
{
    // The run steps by the image's size: without one every piece would lie on the first.
    if (!bitmap || !bitmap->GetDib())
        return 0;
    // Pieces past the widest bitmap could never be seen: a run holds at most as many as fit.
    const int step = horizontal ? bitmap->Width() : bitmap->Height();
    const int pieces = std::clamp(count, 1, BitmapPixels::kMaxSide / std::max(step, 1) + 1);
    for (int i = 0; i < pieces; ++i)
    {
        String name;
        auto* image = new BitmapControl();
        if (!name.Assign(baseName) || !name.AppendInt(i) ||
            !image->Setup(horizontal ? x + i * bitmap->Width() : x, horizontal ? y : y + i * bitmap->Height(), name,
                          bitmap))
        {
            delete image;
            return 0;
        }
        if (!tabName)
            AddControl(image, nullptr);
        else if (!AddControlToPage(*tabName, pageIndex, image, nullptr))
            return 0; // no such page: the piece was deleted
    }
    return 1;
}

void Panel::AddBorder(SkinBitmap* image, int x, int y, int width, int height, const String* tabName, int pageIndex)
{
    if (!image)
        return;
    BorderFrame* frame = nullptr;
    for (const auto& built : borderFrames_)
        if (built->Source() == image)
            frame = built.get();
    if (!frame)
    {
        auto made = std::make_unique<BorderFrame>();
        if (!made->Build(*image))
            return;
        frame = made.get();
        borderFrames_.push_back(std::move(made));
    }
    for (const ControlLayout::BorderRun& run : ControlLayout::BorderRuns(x, y, width, height))
    {
        String name;
        if (!name.AssignAscii(run.baseName))
            return;
        AddImageRun(name, frame->Piece(run.baseName), run.x, run.y, run.horizontal ? 1 : 0, run.count, tabName,
                    pageIndex);
    }
}

int Panel::AddPageTab(const String& name, SkinBitmap* tabImages, SkinBitmap* pageBorderImages, FontInterface* font,
                      uint32_t textColour, uint32_t checkedTextColour, int leftSegment, int middleSegment,
                      int rightSegment, int x, int y, int width, int height)
{
    // The buttons' height is a quarter of the images' (four states).
    if (!tabImages || !tabImages->GetDib() || tabImages->Height() < 4 || FindPageTab(name))
        return 0;
    auto tab = std::make_unique<PageTab>();
    const std::unique_ptr<char[]> itemName = name.ToAnsi();
    IntItem* item = itemName && tab->name.Assign(name) ? AddIntItem(itemName.get(), 0, 0, 0, 0, 0) : nullptr;
    if (!item)
        return 0;
    const ControlLayout::Area area = ControlLayout::PageBorder(x, y, width, height, tabImages->Height() / 4);
    AddBorder(pageBorderImages, area.x, area.y, area.width, area.height, nullptr, 0);
    tab->x = x;
    tab->y = y;
    tab->width = area.width;
    tab->height = height;
    tab->selectionLogic.Bind(item, 0);
    tab->tabImages = tabImages;
    tab->font = font;
    tab->textColour = textColour;
    tab->checkedTextColour = checkedTextColour;
    tab->leftSegment = leftSegment;
    tab->middleSegment = middleSegment;
    tab->rightSegment = rightSegment;
    pageTabs_.push_back(std::move(tab));
    return 1;
}

namespace
{
// Tab buttons are named after their tab and their place in the row.
int TabButtonName(String& name, const String& tabName, int index)
{
    return name.Assign(tabName) && name.AppendAscii("TabBut") && name.AppendInt(index);
}

// Tab buttons show what a button does when it is disabled.
const uint32_t kDisabledTabText = 0x646464;
} // namespace

int Panel::AddTabPage(const String& tabName, const String& pageName, const String& title)
{
    PageTab* tab = FindPageTab(tabName);
    if (!tab)
        return -1;
    const int index = tab->PageCount();
    auto page = std::make_unique<TabPage>();
    String buttonName;
    if (!page->name.Assign(pageName) || !page->title.Assign(title) || !TabButtonName(buttonName, tabName, index))
        return -1;
    int buttonX = tab->x;
    for (const auto& earlier : tab->pages)
        buttonX += earlier->tabButton ? earlier->tabButton->Width() : 0;
    const int width = (tab->font ? tab->font->TextWidth(title) : 0) + tab->tabImages->Width() / 2;
    auto* button = new Button();
    if (!button->SetupSegmented(buttonX, tab->y, buttonName, width, tab->tabImages, tab->leftSegment,
                                tab->middleSegment, tab->rightSegment, nullptr, title, tab->font, tab->textColour,
                                tab->checkedTextColour, kDisabledTabText, tab->textColour, tab->checkedTextColour,
                                &tab->selectionLogic))
    {
        delete button;
        return -1;
    }
    page->tabButton = button;
    tab->pages.push_back(std::move(page));
    if (IntItem* item = tab->SelectionItem())
        PageSelection::OnPageAdded(*item);
    AddControl(button, nullptr);
    button->Invalidate(nullptr);
    return index;
}

int Panel::AddControlToPage(const String& tabName, int pageIndex, Control* control, DataItem* item)
{
    if (!control)
        return 0;
    PageTab* tab = FindPageTab(tabName);
    TabPage* page = tab ? tab->Page(pageIndex) : nullptr;
    if (!page)
    {
        delete control;
        return 0;
    }
    page->controls.push_back(control);
    control->SetInvisible(pageIndex != tab->currentPage);
    AddControl(control, item);
    return 1;
}

int Panel::RemoveTabPage(const String& tabName, int index)
{
    PageTab* tab = FindPageTab(tabName);
    if (!tab || !tab->Page(index))
        return -1;
    const int pageCount = tab->PageCount();
    // Each later tab button takes the place (and the name) of the one before it.
    for (int i = pageCount - 1; i > index; --i)
    {
        Button* button = tab->Page(i)->tabButton;
        const Button* before = tab->Page(i - 1)->tabButton;
        String name;
        if (!button || !before)
            continue;
        button->MoveTo(before->X(), before->Y());
        if (TabButtonName(name, tabName, i - 1))
            button->SetName(name);
    }
    std::unique_ptr<TabPage> page = std::move(tab->pages[static_cast<size_t>(index)]);
    tab->pages.erase(tab->pages.begin() + index);
    for (Control* control : page->controls)
        DropControl(control, 1, 1);
    if (page->tabButton)
        DropControl(page->tabButton, 1, 1); // leaves the tab's radio logic
    IntItem detached;
    IntItem* item = tab->SelectionItem();
    const int shown = tab->currentPage;
    const int next = PageSelection::OnPageRemoved(item ? *item : detached, shown, index, pageCount);
    tab->currentPage = std::max(next, 0);
    if (index == shown && next >= 0)
        for (Control* control : tab->Page(next)->controls)
            control->SetInvisible(0);
    if (item)
        item->RefreshControls(nullptr); // the tab buttons follow the item
    const Rect area = {tab->x, tab->y, tab->x + tab->width, tab->y + tab->height};
    RedrawArea(&area, 1);
    if (index == shown && next >= 0)
        OnTabPageChanged(tabName, next);
    return tab->PageCount() - 1;
}

void Panel::SelectTabPage(const String& tabName, int index)
{
    PageTab* tab = FindPageTab(tabName);
    if (!tab || index < 0 || index == tab->currentPage || index >= tab->PageCount())
        return;
    if (TabPage* shown = tab->Page(tab->currentPage))
        for (Control* control : shown->controls)
            control->SetInvisible(1);
    tab->currentPage = index;
    for (Control* control : tab->Page(index)->controls)
        control->SetInvisible(0);
    const Rect area = {tab->x, tab->y, tab->x + tab->width, tab->y + tab->height};
    RedrawArea(&area, 1);
    IntItem* item = tab->SelectionItem();
    if (item && item->value != index && item->Accepts(index))
    {
        item->value = index;
        item->RefreshControls(nullptr);
    }
    OnTabPageChanged(tabName, index);
}

int Panel::GetTabPage(const String& tabName) const
{
    const PageTab* tab = FindPageTab(tabName);
    return tab ? tab->currentPage : -1;
}

void Panel::SetTabPageDisabled(const String& tabName, int index, int disabled)
{
    const PageTab* tab = FindPageTab(tabName);
    const TabPage* page = tab ? tab->Page(index) : nullptr;
    if (page && page->tabButton)
        page->tabButton->SetDisabled(disabled, 0, 1);
}

PageTab* Panel::FindPageTab(const String& name) const
{
    for (const auto& tab : pageTabs_)
        if (tab->name.Compare(name.Text()) == 0)
            return tab.get();
    return nullptr;
}
