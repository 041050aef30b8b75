#pragma once

#include <cstddef>
#include <cstdint>

#include "mixer/engine/VarnServices.h"

// What the FX palette's tree hands to the drop targets when an effect or a preset is dragged
// onto an insert slot, and the item records the tree keeps for its entries.
//
// A drag from the tree runs through DragDrop with value 1 = PresetDrag::kKind and value 2 = a
// pointer to the dragged entry's PresetItemRecord (a core effect's or a preset's, never a
// category's). The pointed-to record is a copy the tree keeps until its next drag starts, so
// the drop reads it whole even when the library deletes the entry while the drag runs; it is
// valid during OnDragOver and OnDrop only. Read it through PresetDrag::CoreEffectOf and
// PresetDrag::PresetOf.

// What a tree item of the effects library stands for: its kind, whether it fits the DSP of
// the current target, then a copy of the engine's record (the head is each item's first
// member, so an item is reached from its head).
struct PresetItemRecord
{
    enum Kind : std::int32_t
    {
        kCoreEffect = 0,
        kCategory = 1,
        kPreset = 2
    };
    enum Fit : std::int32_t
    {
        kFits = 0,
        kDoesNotFit = 1,
        kNotComputed = 2
    };
    std::int32_t kind;
    std::int32_t fit;
};
struct CoreEffectItem
{
    PresetItemRecord head{PresetItemRecord::kCoreEffect, PresetItemRecord::kNotComputed};
    VarnCoreEffectRecord record{};
};
struct CategoryItem
{
    PresetItemRecord head{PresetItemRecord::kCategory, PresetItemRecord::kNotComputed};
    VarnCategoryRecord record{};
};
struct PresetItem
{
    PresetItemRecord head{PresetItemRecord::kPreset, PresetItemRecord::kNotComputed};
    VarnPresetRecord record{};
};
static_assert(sizeof(PresetItemRecord) == 8, "item record head");
static_assert(offsetof(CoreEffectItem, record) == 8 && sizeof(CoreEffectItem) == 8 + 568, "core effect item");
static_assert(offsetof(CategoryItem, record) == 8 && sizeof(CategoryItem) == 8 + 512, "category item");
static_assert(offsetof(PresetItem, record) == 8 && sizeof(PresetItem) == 8 + 4760, "preset item");

// The item a head belongs to; the head's kind says which.
template <class Item>
Item* ItemOf(PresetItemRecord* head)
{
    return reinterpret_cast<Item*>(head);
}

namespace PresetDrag
{
// DragDrop's value 1 of a drag from the FX palette's tree.
constexpr std::intptr_t kKind = 1;
// The tree's drag timer argument (its drag scrolling).
constexpr int kTimerArgument = 12;

// The dragged entry of a drag with these values, or null when the drag is another kind.
inline const PresetItemRecord* Dragged(std::intptr_t value1, std::intptr_t value2)
{
    return value1 == kKind ? reinterpret_cast<const PresetItemRecord*>(value2) : nullptr;
}
// The engine's record of a dragged core effect, or null when the drag carries none.
inline const VarnCoreEffectRecord* CoreEffectOf(std::intptr_t value1, std::intptr_t value2)
{
    const PresetItemRecord* head = Dragged(value1, value2);
    return head && head->kind == PresetItemRecord::kCoreEffect ? &reinterpret_cast<const CoreEffectItem*>(head)->record
                                                               : nullptr;
}
// The engine's record of a dragged preset, or null when the drag carries none.
inline const VarnPresetRecord* PresetOf(std::intptr_t value1, std::intptr_t value2)
{
    const PresetItemRecord* head = Dragged(value1, value2);
    return head && head->kind == PresetItemRecord::kPreset ? &reinterpret_cast<const PresetItem*>(head)->record
                                                           : nullptr;
}
} // namespace PresetDrag
