#include "framework/controls/Scrollbar.h"

#include "framework/platform/graphics/BitmapPixels.h"
#include "framework/platform/graphics/Region.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/SkinRecords.h"

#include <algorithm>

namespace
{
// The press, hold and drag state of the bar under the pointer; one pointer, so one state.
struct PressState
{
    bool decHeld = false;
    bool incHeld = false;
    bool dragging = false;
    bool pageUpHeld = false;
    bool pageDownHeld = false;
    int lastCoordinate = 0;
    int thumbPixel = 0;
    Scrollbar* active = nullptr; // borrowed
};
PressState gPress;
} // namespace

Scrollbar::Scrollbar() : Control(TypeScrollbar) {}

Scrollbar::~Scrollbar()
{
    // A repeat or drag left behind would act on the next bar pressed.
    if (gPress.active == this)
        gPress = PressState();
}

int Scrollbar::Setup(int x, int y, const String& name, const ScrollbarStyle* style, int length, int id,
                     ScrollClient* client)
{
    // The bar takes its thickness from the image and cuts its parts from it.
    if (!style || !style->images || !style->images->GetDib())
        return 0;
    const int lengths[] = {style->decBg,  style->barBg,    style->incBg,  style->decBut,
                           style->incBut, style->barBegin, style->barMid, style->barEnd};
    for (int part : lengths)
        if (part < 0)
            return 0;
    Control::SetPosition(x, y);
    SetName(name);
    vertical_ = style->vertical != 0;
    images_ = style->images;
    parts_.decBg = style->decBg;
    parts_.barBg = style->barBg;
    parts_.incBg = style->incBg;
    parts_.decBut = style->decBut;
    parts_.incBut = style->incBut;
    parts_.barBegin = style->barBegin;
    parts_.barMid = style->barMid;
    parts_.barEnd = style->barEnd;
    length_ = BoundedLength(length);
    id_ = id;
    Resize();
    SetClient(client);
    repeatTimer_.Attach(this, kRepeatMs, kRepeatArgument);
    return 1;
}

int Scrollbar::Thickness() const
{
    if (!images_)
        return 0;
    return vertical_ ? images_->Width() : images_->Height();
}

int Scrollbar::BoundedLength(int length)
{
    // No bar is longer than the longest bitmap it could be drawn into; the default state's
    // 3 x length must not wrap either.
    return std::clamp(length, 0, BitmapPixels::kMaxSide);
}

void Scrollbar::SetLength(int length)
{
    length = BoundedLength(length);
    if (length == length_)
        return;
    length_ = length;
    Resize();
}

void Scrollbar::Resize()
{
    if (vertical_)
        SetSize(Thickness(), length_);
    else
        SetSize(length_, Thickness());
    BuildRegions();
}

void Scrollbar::BuildRegions()
{
    const int thickness = Thickness();
    const int decHalf = parts_.decBut / 2;
    const int incHalf = parts_.incBut / 2;
    // An area of the image along the axis, as (x, y, width, height) in the image.
    auto area = [&](int offset, int length, int(&out)[4]) {
        out[0] = vertical_ ? 0 : offset;
        out[1] = vertical_ ? offset : 0;
        out[2] = vertical_ ? thickness : length;
        out[3] = vertical_ ? length : thickness;
    };
    auto opaque = [&](Region& region, int offset, int length, int at) {
        int a[4];
        area(offset, length, a);
        Region piece;
        if (length <= 0 || !images_->MakeRegionAt(piece, a[0], a[1], a[2], a[3]))
            return;
        piece.Offset(vertical_ ? 0 : at, vertical_ ? at : 0);
        if (region.Handle())
            region.Or(region, piece);
        else
            region.Copy(piece);
    };

    decButtonRegion_ = std::make_unique<Region>();
    opaque(*decButtonRegion_, parts_.DecButOffset(), decHalf, 0);
    incButtonRegion_ = std::make_unique<Region>();
    opaque(*incButtonRegion_, parts_.IncButOffset(), incHalf, length_ - incHalf);

    auto shape = std::make_unique<Region>();
    const int track = ScrollbarGeometry::Track(length_, parts_);
    if (track > 0)
    {
        if (vertical_)
            shape->AddRect(0, parts_.decBg, thickness, track);
        else
            shape->AddRect(parts_.decBg, 0, track, thickness);
    }
    opaque(*shape, parts_.DecBgOffset(), parts_.decBg, 0);
    opaque(*shape, parts_.IncBgOffset(), parts_.incBg, parts_.decBg + track);
    if (!shape->Handle())
        shape->AddRect(0, 0, Width(), Height());
    shape->Offset(X(), Y());
    SetShape(std::move(shape));
}

void Scrollbar::SetClient(ScrollClient* client)
{
    client_ = client;
    if (client_)
    {
        client_->AttachScroller(this, id_);
        return;
    }
    state_.visible = length_;
    state_.total = 3 * length_;
    state_.range = 20;
    state_.position = 0;
}

void Scrollbar::SetRange(int range, bool redraw)
{
    state_.range = range;
    if (state_.position > range)
        state_.position = range;
    if (redraw)
        Redraw();
}

void Scrollbar::SetTotal(int total, bool redraw)
{
    state_.total = total;
    if (redraw)
        Redraw();
}

void Scrollbar::SetVisible(int visible, bool redraw)
{
    state_.visible = visible;
    if (redraw)
        Redraw();
}

void Scrollbar::SetPosition(int position, bool redraw)
{
    if (position == state_.position)
        return;
    if (position < 0)
        position = 0;
    if (position > state_.range)
        position = state_.range;
    if (position == state_.position)
        return;
    state_.position = position;
    if (redraw)
        Redraw();
    if (client_)
        client_->OnScrollPosition(state_.position, this, id_);
}

void Scrollbar::NotifyClient()
{
    if (client_)
        client_->OnScrollerNotify(this, id_);
}

void Scrollbar::DrawPart(int offset, int length, int at)
{
    if (length <= 0)
        return;
    const int thickness = Thickness();
    if (vertical_)
        DrawBitmapPart(*images_, 0, offset, thickness, length, 0, at);
    else
        DrawBitmapPart(*images_, offset, 0, length, thickness, at, 0);
}

void Scrollbar::Draw()
{
    if (!images_)
        return;
    using namespace ScrollbarGeometry;
    const int track = Track(length_, parts_);
    DrawPart(parts_.DecBgOffset(), parts_.decBg, 0);
    const int decHalf = parts_.decBut / 2;
    DrawPart(parts_.DecButOffset() + (decPressed_ ? decHalf : 0), decHalf, 0);
    for (const Span& tile : Tiles(parts_.decBg, track, parts_.barBg))
        DrawPart(parts_.BarBgOffset(), tile.length, tile.start);
    DrawPart(parts_.IncBgOffset(), parts_.incBg, length_ - parts_.incBg);
    const int incHalf = parts_.incBut / 2;
    DrawPart(parts_.IncButOffset() + (incPressed_ ? incHalf : 0), incHalf, length_ - incHalf);

    Span thumb;
    if (!DrawnThumb(length_, parts_, state_, thumb))
        return;
    DrawPart(parts_.BarBeginOffset(), parts_.barBegin, thumb.start);
    const int middle = thumb.length - parts_.barBegin - parts_.barEnd;
    for (const Span& tile : Tiles(thumb.start + parts_.barBegin, middle, parts_.barMid))
        DrawPart(parts_.BarMidOffset(), tile.length, tile.start);
    DrawPart(parts_.BarEndOffset(), parts_.barEnd, thumb.start + thumb.length - parts_.barEnd);
}

void Scrollbar::DoStep(Step step)
{
    using namespace ScrollbarGeometry;
    int position = state_.position;
    switch (step)
    {
    case Step::LineUp:
        position = LineUp(state_);
        break;
    case Step::LineDown:
        position = LineDown(state_);
        break;
    case Step::PageUp:
        position = PageUp(state_);
        break;
    case Step::PageDown:
        position = PageDown(state_);
        break;
    }
    // Lines need content longer than the view; pages stop at the ends of the range.
    if ((step == Step::LineUp || step == Step::LineDown) && state_.visible > state_.total)
        return;
    if ((step == Step::PageUp && state_.position == 0) || (step == Step::PageDown && state_.position == state_.range))
        return;
    state_.position = position;
    Redraw();
    if (!client_)
        return;
    switch (step)
    {
    case Step::LineUp:
        client_->OnLineUp(state_.position, this, id_);
        break;
    case Step::LineDown:
        client_->OnLineDown(state_.position, this, id_);
        break;
    case Step::PageUp:
        client_->OnPageUp(state_.position, this, id_);
        break;
    case Step::PageDown:
        client_->OnPageDown(state_.position, this, id_);
        break;
    }
}

void Scrollbar::Hold(bool& held, Step step)
{
    held = true;
    gPress.active = this;
    DoStep(step);
    repeatTimer_.Stop();
    repeatTimer_.Start(kFirstRepeatMs);
}

void Scrollbar::OnMouseDown(WPARAM, int x, int y)
{
    if (state_.range == 0)
        return;
    if (decButtonRegion_ && decButtonRegion_->Contains(x, y))
    {
        decPressed_ = 1;
        Hold(gPress.decHeld, Step::LineUp);
        return;
    }
    if (incButtonRegion_ && incButtonRegion_->Contains(x, y))
    {
        incPressed_ = 1;
        Hold(gPress.incHeld, Step::LineDown);
        return;
    }
    const int coordinate = vertical_ ? y : x;
    const ScrollbarGeometry::Span thumb = ScrollbarGeometry::HitThumb(length_, parts_, state_);
    if (coordinate >= thumb.start && coordinate <= thumb.start + thumb.length)
    {
        gPress.dragging = true;
        gPress.active = this;
        gPress.thumbPixel = ScrollbarGeometry::DragThumb(length_, parts_, state_).start - parts_.decBg;
        gPress.lastCoordinate = coordinate;
        return;
    }
    if (coordinate < thumb.start)
    {
        if (state_.position != 0)
            Hold(gPress.pageUpHeld, Step::PageUp);
        return;
    }
    if (state_.position != state_.range)
        Hold(gPress.pageDownHeld, Step::PageDown);
}

void Scrollbar::OnMouseMove(WPARAM, int x, int y)
{
    if (!gPress.dragging || gPress.active != this)
        return;
    const int coordinate = vertical_ ? y : x;
    if (coordinate == gPress.lastCoordinate)
        return;
    gPress.thumbPixel += coordinate - gPress.lastCoordinate;
    gPress.lastCoordinate = coordinate;
    const int position = ScrollbarGeometry::DragPosition(gPress.thumbPixel, length_, parts_, state_);
    if (position < 0)
        return;
    state_.position = position;
    Redraw();
    if (client_)
        client_->OnScrollPosition(state_.position, this, id_);
}

void Scrollbar::OnMouseUp(WPARAM, int, int)
{
    if (gPress.active == this)
    {
        const bool button = gPress.decHeld || gPress.incHeld;
        const bool page = gPress.pageUpHeld || gPress.pageDownHeld;
        gPress = PressState();
        if (button || page)
        {
            repeatTimer_.Stop();
            decPressed_ = 0;
            incPressed_ = 0;
            Redraw();
        }
    }
    if (client_)
        client_->OnScrollEnd();
}

void Scrollbar::OnTimerTick(int32_t argument)
{
    Scrollbar* bar = gPress.active;
    if (argument != kRepeatArgument || !bar)
        return;
    repeatTimer_.Stop();
    if (gPress.decHeld)
        bar->DoStep(Step::LineUp);
    else if (gPress.incHeld)
        bar->DoStep(Step::LineDown);
    else if (gPress.pageUpHeld)
        bar->DoStep(Step::PageUp);
    else if (gPress.pageDownHeld)
        bar->DoStep(Step::PageDown);
    else
        return;
    repeatTimer_.Start(kRepeatMs);
}
