#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "framework/platform/graphics/Rect.h"

// The FX palette's arithmetic, kept apart from its windows so that it runs anywhere: where
// the palette opens, the inspector's content height and scroll range, and the shell's lists
// of the folder copy.
namespace FxPaletteRules
{
// The palette's offset from the work area's top left when its stored place is unusable.
constexpr int kDefaultOffset = 20;
// The inspector scrolls in steps of this many pixels.
constexpr int kScrollStep = 5;
// A preset record holds this many effect ids.
constexpr int kMaxPresetEffects = 200;
// Room of the shell copy's source list, terminators included (the shell copy bounds the
// destination itself).
constexpr std::size_t kSourceListRoom = 780;

// One monitor: its whole rectangle and its work area.
struct Monitor
{
    Rect bounds;
    Rect workArea;
};

// Where the palette of the size opens for its stored top left. A point inside the virtual
// screen (all monitors, bounds inclusive) is kept, but the palette is moved into the nearest
// work area, so that a point on a right or bottom edge or in a gap between monitors still
// opens where it can be reached; any other point opens at the parent's work area + 20.
Rect PalettePlace(int storedX, int storedY, int width, int height, const std::vector<Monitor>& monitors,
                  const Rect& parentWorkArea);

// What the inspector shows: nothing, the Core Effects node, a core effect or category, or a
// preset with its effects.
enum class Shown
{
    Nothing,
    CoreNode,
    Line,
    Preset
};
// Effects a preset record can list: its stored count bounded by the record's room.
int PresetEffectCount(int stored);
// The inspector's content height in pixels.
int ContentHeight(Shown shown, int effectCount, int lineHeight);

// What the inspector gives its scroll bar after a layout.
struct InspectorScroll
{
    int maximum = 0;
    int position = 0;
};
InspectorScroll LayoutScroll(int contentHeight, int windowHeight, int position);

// The shell's double-zero-terminated list of 8-bit source paths: first, then second when not
// empty. false (and the list empty) when it does not fit its room, so nothing is copied, or
// when the first path is empty.
bool SourceList(const std::string& first, const std::string& second, std::vector<char>& list);
} // namespace FxPaletteRules
