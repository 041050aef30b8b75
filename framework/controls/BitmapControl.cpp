#include "framework/controls/BitmapControl.h"

#include "framework/skin/SkinBitmap.h"

int BitmapControl::Setup(int x, int y, const String& name, SkinBitmap* bitmap)
{
    SetPosition(x, y);
    bitmap_ = bitmap;
    if (bitmap_ && bitmap_->GetDib())
        SetSize(bitmap_->Width(), bitmap_->Height());
    return SetName(name);
}

void BitmapControl::Draw()
{
    if (bitmap_)
        DrawBitmap(*bitmap_, 0, 0);
}
