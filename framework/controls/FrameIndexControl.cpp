#include "framework/controls/FrameIndexControl.h"

#include "framework/controls/FrameMap.h"

namespace
{
NumericItem* NumericOf(DataItem* item)
{
    if (!item || (item->GetKind() != DataItem::KindFlag && item->GetKind() != DataItem::KindInt &&
                  item->GetKind() != DataItem::KindReal))
        return nullptr;
    return static_cast<NumericItem*>(item);
}
}

void FrameIndexControl::SyncFrameFrom(DataItem* bound)
{
    if (NumericItem* item = NumericOf(bound))
        frame_ = FrameMap::FrameFromValue(static_cast<float>(item->GetValue()), static_cast<float>(item->GetMin()),
                                          static_cast<float>(item->GetMax()), FrameCount(), responseFunction_);
}

void FrameIndexControl::WriteFrameToItem(int update)
{
    NumericItem* item = NumericOf(GetItem());
    if (!item)
        return;
    const float value = FrameMap::ValueFromFrame(frame_, static_cast<float>(item->GetMin()),
                                                 static_cast<float>(item->GetMax()), FrameCount(), responseFunction_);
    if (value != static_cast<float>(item->GetValue()))
        item->SetValue(value, update, update, this);
}

void FrameIndexControl::SetFrame(int frame, int redraw, int notify, int writeItem)
{
    if (frame < 0 || frame > FrameCount() - 1 || frame == frame_)
        return;
    frame_ = frame;
    if (GetItem())
        WriteFrameToItem(writeItem);
    if (redraw)
        Invalidate(nullptr);
    if (notify)
        Notify(frame);
}

void FrameIndexControl::SetResponseFunction(const ResponseFunction* function)
{
    responseFunction_ = function;
    if (GetItem())
    {
        SyncFrameFromItem();
        Invalidate(nullptr);
    }
}

void FrameIndexControl::OnDataItemChanged()
{
    SyncFrameFromItem();
    if (GetParent())
        Invalidate(nullptr);
}

void FrameIndexControl::OnMouseMove(WPARAM, int x, int y)
{
    if (!IsPressed() || IsHidden() || IsDisabled())
        return;
    const int delta = IsHorizontal() ? x - LastX() : LastY() - y;
    const int next = FrameMap::DraggedFrame(frame_, delta, FrameCount());
    if (next != frame_)
        SetFrame(next, 1, 1, 1);
}
