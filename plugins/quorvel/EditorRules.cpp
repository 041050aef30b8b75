#include "plugins/quorvel/EditorRules.h"

#include "framework/platform/FileNames.h"
#include "plugins/quorvel/ParamChain.h"

#include <algorithm>
#include <cmath>
#include <string>

bool IsSignalLit(float level)
{
    return std::fabs(level) > kSignalThreshold;
}

LibraryNameCheck CheckLibraryName(const char16_t* name, int32_t length)
{
    if (length > kMaxLibraryName)
        return LibraryNameCheck::kTooLong;
    // Categories are folders: a separator, a drive or ".." would reach outside the library.
    return IsPlainFileName(name, length) ? LibraryNameCheck::kAccepted : LibraryNameCheck::kInvalid;
}

std::u16string PresetComboText(int32_t position, int32_t number, const std::u16string& name, bool userPreset,
                               const std::u16string& userDefined)
{
    std::u16string text = position < 10 ? u"00" : position < 100 ? u"0" : u"";
    for (char c : std::to_string(number))
        text += static_cast<char16_t>(c);
    text += u" - " + name;
    if (userPreset)
        text += u" " + userDefined;
    return text;
}

bool SlotSelection::IsSelected(int32_t row) const
{
    return row >= 0 && row < Count() && selected_[static_cast<size_t>(row)];
}

void SlotSelection::Reset(int32_t count)
{
    selected_.assign(static_cast<size_t>(std::max(count, 0)), false);
    if (!selected_.empty())
        selected_[0] = true;
}

void SlotSelection::SelectOnly(int32_t row)
{
    for (size_t i = 0; i < selected_.size(); ++i)
        selected_[i] = static_cast<int32_t>(i) == row;
}

void SlotSelection::Click(int32_t row, int32_t keys)
{
    if (keys != -1 && (keys & kControl))
    {
        if (row >= 0 && row < Count())
            selected_[static_cast<size_t>(row)] = !selected_[static_cast<size_t>(row)];
        current_ = kNone;
        return;
    }
    if (keys != -1 && (keys & kShift))
    {
        // Without a focus the range starts at the first record.
        const int32_t from = std::min(std::max(current_, 0), row);
        const int32_t to = std::max(std::max(current_, 0), row);
        for (int32_t i = 0; i < Count(); ++i)
            selected_[static_cast<size_t>(i)] = i >= from && i <= to;
        return;
    }
    SelectOnly(row);
    current_ = row;
}

void SlotSelection::Rebuild(int32_t count)
{
    selected_.assign(static_cast<size_t>(std::max(count, 0)), false);
    if (current_ >= count && current_ >= kVisibleSlots)
        current_ = 0;
    SelectOnly(current_);
}

void SlotSelection::InsertAt(int32_t row, int32_t count)
{
    row = std::min(std::max(row, 0), Count());
    selected_.insert(selected_.begin() + row, static_cast<size_t>(std::max(count, 0)), false);
}

void SlotSelection::RemoveAt(int32_t row)
{
    if (row >= 0 && row < Count())
        selected_.erase(selected_.begin() + row);
}

int32_t SlotAddPosition(int32_t firstVisible, int32_t slot, int32_t length)
{
    return std::max(std::min(firstVisible + slot, length), 0);
}

InsertMenuPlan PlanInsertMenu(const InsertMenuFacts& facts, int32_t current)
{
    InsertMenuPlan plan;
    // With nothing focused and nothing in the chain there is no insert to stand for it.
    if (current == SlotSelection::kNone && facts.chainLength == 0)
        return plan;
    plan.show = true;
    const bool empty = facts.chainLength == 0;
    plan.disabledAt[0] = !facts.slotHasInsert;
    plan.disabledAt[2] = empty;
    // While detached the specials count as not fitting.
    plan.disabledAt[4] = facts.disconnected || !facts.fits[2];
    plan.disabledAt[5] = facts.disconnected || !facts.fits[0];
    plan.disabledAt[6] = facts.disconnected || !facts.fits[1];
    plan.disabledAt[8] = empty || facts.disconnected;
    if (!facts.currentExists)
    {
        plan.appended.push_back({kInsertMenuSolo, "IDS_SOLO_INSERT", true});
        plan.appended.push_back({kInsertMenuBypass, "IDS_BYPASS_INSERT", true});
        return plan;
    }
    if (facts.disconnected)
        return plan;
    const bool noBypass = !facts.currentCanBypass;
    plan.appended.push_back({kInsertMenuSolo, facts.currentSoloed ? "IDS_UNSOLO_INSERT" : "IDS_SOLO_INSERT", noBypass});
    plan.appended.push_back(
        {kInsertMenuBypass, facts.currentBypassed ? "IDS_UNBYPASS_INSERT" : "IDS_BYPASS_INSERT", noBypass});
    if (facts.anyCanBypass && !facts.allBypassableBypassed)
        plan.appended.push_back({kInsertMenuBypassAll, "IDS_BYPASS_ALLINSERTS", false});
    if (facts.anyBypassed && facts.anyCanBypass)
        plan.appended.push_back({kInsertMenuUnbypassAll, "IDS_UNBYPASS_ALLINSERTS", false});
    return plan;
}

ParamRowKind PlanParamRow(const ParamRowFacts& facts)
{
    constexpr int32_t kFirstNoRowKind = 3; // kinds 3 and 4 get no row
    if ((facts.hasWetDry && facts.index == facts.wetDryIndex) || (facts.hasHidden && facts.index == facts.hiddenIndex))
        return ParamRowKind::kNone;
    if (facts.hasKinds ? facts.kind >= kFirstNoRowKind : !facts.named)
        return ParamRowKind::kNone;
    if (facts.access >= 1 && facts.access < ParamDescriptor::kReadOnlyAccess)
        return ParamRowKind::kParameter;
    if (facts.access == ParamDescriptor::kReadOnlyAccess)
        return ParamRowKind::kMeter;
    return facts.access == ParamDescriptor::kReadOnlyMeterAccess ? ParamRowKind::kInvertedMeter : ParamRowKind::kNone;
}

ParamRowLook ParamRowLookOf(int32_t kind)
{
    return {kind == 1, kind == 2};
}

float MeterRowLevel(bool processing, float reading)
{
    return processing ? reading : kMeterSilence;
}
