#pragma once

#include "framework/base/Object.h"
#include "framework/controls/ControlLayout.h"
#include "framework/skin/SkinBitmap.h"

// The eight pieces of a 32 x 32 border image (ControlLayout::kBorderPieces), copied out of
// it once; the panel's border image controls draw them.
class BorderFrame : public Object
{
public:
    // 0 when the image is missing or smaller than 32 x 32.
    int Build(SkinBitmap& image);
    SkinBitmap* Source() const { return source_; }
    // The piece of a border run's base name; null for any other name.
    SkinBitmap* Piece(const char* baseName);

private:
    SkinBitmap* source_ = nullptr; // borrowed from the skin
    SkinBitmap pieces_[ControlLayout::kBorderPieceCount];
};
