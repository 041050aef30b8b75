#include "framework/controls/ScrollbarGeometry.h"

#include "framework/platform/graphics/BitmapPixels.h"

#include <algorithm>
#include <cstdint>

namespace ScrollbarGeometry
{
namespace
{
// The thumb's offset in the track for a thumb of the given length: 0 without a range.
int ThumbOffset(int track, int thumbLength, const State& state)
{
    if (state.range <= 0)
        return 0;
    return static_cast<int>(static_cast<double>(track - thumbLength) * state.position / state.range);
}
} // namespace

int Track(int length, const Parts& parts)
{
    return length - parts.decBg - parts.incBg;
}

Span HitThumb(int length, const Parts& parts, const State& state)
{
    const int track = Track(length, parts);
    int thumbLength = track;
    if (state.total > 0)
        thumbLength = std::min(static_cast<int>(static_cast<double>(state.visible) / state.total * track), track);
    thumbLength = std::max(thumbLength, parts.decBg + parts.incBg);
    return Span{parts.decBg + ThumbOffset(track, thumbLength, state), thumbLength};
}

Span DragThumb(int length, const Parts& parts, const State& state)
{
    const int track = Track(length, parts);
    double share = 1.0;
    if (state.total > 0)
        share = std::min(static_cast<double>(state.visible) / state.total, 1.0);
    const int thumbLength = static_cast<int>(share * track);
    return Span{parts.decBg + ThumbOffset(track, thumbLength, state), thumbLength};
}

bool DrawnThumb(int length, const Parts& parts, const State& state, Span& thumb)
{
    if (state.total <= 0 || state.visible > state.total)
        return false;
    const int track = Track(length, parts);
    const int thumbLength = static_cast<int>(static_cast<int64_t>(track) * state.visible / state.total);
    if (thumbLength <= 0)
        return false;
    thumb = Span{parts.decBg + ThumbOffset(track, thumbLength, state), thumbLength};
    return true;
}

std::vector<Span> Tiles(int start, int span, int piece)
{
    std::vector<Span> tiles;
    if (piece < 1)
        return tiles;
    // No bitmap is longer than kMaxSide: tiles beyond it could never be seen.
    span = std::min(span, BitmapPixels::kMaxSide);
    for (int at = 0; at < span; at += piece)
        tiles.push_back(Span{start + at, std::min(piece, span - at)});
    return tiles;
}

int PageMove(const State& state)
{
    const int hidden = state.total - state.visible;
    if (hidden <= 0 || state.range <= 0)
        return 0;
    // Content units per position; below one the step is scaled the other way round instead of
    // dividing by zero.
    const int unitsPerPosition = hidden / state.range;
    const int64_t step = unitsPerPosition ? state.visible / unitsPerPosition
                                          : static_cast<int64_t>(state.visible) * state.range / hidden;
    // Successive pages overlap by one position, but every page moves.
    return static_cast<int>(std::max<int64_t>(step - 1, 1));
}

int PageUp(const State& state)
{
    return std::max(state.position - PageMove(state), 0);
}

int PageDown(const State& state)
{
    return std::min(state.position + PageMove(state), state.range);
}

int LineUp(const State& state)
{
    if (state.visible > state.total)
        return state.position;
    return std::max(state.position - 1, 0);
}

int LineDown(const State& state)
{
    if (state.visible > state.total || state.position >= state.range)
        return state.position;
    return state.position + 1;
}

int DragPosition(int thumbPixel, int length, const Parts& parts, const State& state)
{
    const int free = Track(length, parts) - DragThumb(length, parts, state).length;
    if (state.range <= 0 || free <= 0)
        return -1;
    const int position = static_cast<int>(static_cast<double>(thumbPixel) * state.range / free);
    return std::clamp(position, 0, state.range);
}
} // namespace ScrollbarGeometry
