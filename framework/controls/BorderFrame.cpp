#include "framework/controls/BorderFrame.h"

#include <cstring>

int BorderFrame::Build(SkinBitmap& image)
{
    const int side = 2 * ControlLayout::kBorderCorner + ControlLayout::kBorderEdge;
    if (!image.GetDib() || image.Width() < side || image.Height() < side)
        return 0;
    for (int i = 0; i < ControlLayout::kBorderPieceCount; ++i)
    {
        const ControlLayout::BorderPiece& piece = ControlLayout::kBorderPieces[i];
        if (!pieces_[i].CopyPiece(image, piece.x, piece.y, piece.width, piece.height))
            return 0;
    }
    source_ = &image;
    return 1;
}

SkinBitmap* BorderFrame::Piece(const char* baseName)
{
    for (int i = 0; i < ControlLayout::kBorderPieceCount; ++i)
        if (std::strcmp(ControlLayout::kBorderPieces[i].baseName, baseName) == 0)
            return source_ ? &pieces_[i] : nullptr;
    return nullptr;
}
