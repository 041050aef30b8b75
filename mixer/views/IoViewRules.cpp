#include "mixer/views/IoViewRules.h"

IoHardware MakeIoHardware(int modelCode, bool f1, bool f2, bool f4, bool f9, bool f10, bool f11)
{
    IoHardware hardware;
    hardware.modelCode = modelCode;
    hardware.f1 = f1;
    hardware.f2 = f2;
    hardware.f4 = f4;
    hardware.f9 = f9 || (f10 && f11);
    hardware.f10 = f10;
    hardware.f11 = f11;
    return hardware;
}

bool ShowsPhysicalOutput(const IoHardware& h, int i)
{
    const int code = h.modelCode;
    if (code == 2 || code == 4)
    {
        if (i == 0)
            return h.f2 || h.f1 || h.f4 || h.f9;
        if (h.f9 && !h.f10)
            return false;
        if (i > 1 && h.f4)
            return false;
        if (i > 3 && !h.f1 && !h.f10)
            return false;
        return !(i > 5 && h.f10);
    }
    if (code == 3 || code == 5)
    {
        if (i == 0)
            return h.f2 || h.f1 || h.f4 || h.f9;
        if (h.f4)
            return false;
        if (h.f9 && !h.f10)
            return false;
        if (i > 1 && !h.f1 && !h.f10 && !h.f11)
            return false;
        return !(i > 2 && h.f11 && !h.f10);
    }
    if (i == 0)
        return h.f4 || h.f2 || h.f9;
    if (h.f9 && !h.f10)
        return false;
    if (i > 1 && h.f4)
        return false;
    if (i > 5 && !h.f1 && !h.f10)
        return false;
    if (i > 7 && h.f10)
        return false;
    return !(i > 12 && !h.f2);
}

namespace
{
// The model's own last connector of the stereo group, or -1 when the model has none.
int StereoExtra(int code)
{
    if (code == 0 || code == 1)
        return 9;
    if (code == 2 || code == 4)
        return 7;
    if (code == 3 || code == 5)
        return 4;
    return -1;
}
} // namespace

int PhysicalInputPosition(const IoHardware& h, int group, int i, int count)
{
    if (group == 1)
    {
        if (h.f4)
            return h.f9 ? i + 4 : i + 2;
        if (h.f2 && !h.f9)
            return h.f1 ? i : i + 2;
        return i < 2 ? i : i + 2;
    }
    int j = i;
    const int code = h.modelCode;
    if (h.f4)
    {
        if (i == 1 && code != 3 && code != 5 && StereoExtra(code) >= 0)
            j = StereoExtra(code);
        else if (i == 0 && (code == 3 || code == 5))
            j = 4;
    }
    if (h.f2 && !h.f1 && i == count - 1 && StereoExtra(code) >= 0)
        j = StereoExtra(code);
    return j;
}

bool ComputeOutputState(const OutputFacts& o, int hostMode, int& state)
{
    state = kNonMasterUnassigned;
    if (!o.hasOutput)
        return true;
    const bool free = !o.overridden && !(o.physical && (o.partnerInUse[0] || o.partnerInUse[1]));
    if (!o.master)
        state = o.inUse ? kNonMasterAssigned : kNonMasterUnassigned;
    else if (o.assignment == 0)
        state = free ? kMixPanel : kMixOverride;
    else if (o.assignment == 1)
        state = free ? kMonPanel : kMonOverride;
    else if (o.assignment == 2)
        state = !free ? kUnassignedOverride : o.mixOverride ? kMixOverride : kUnassigned;
    else
        state = kUnassigned;
    if (!hostMode)
        return true;
    return state != kNonMasterUnassigned && state != kMixPanel && state != kMonPanel && state != kUnassigned;
}

const char* OutputTemplate(int state, int hostMode)
{
    static const char* const physical[kOutputStateCount] = {"MSTVOutputsViewItem_NonMasterUnassigned",
                                                            "MSTVOutputsViewItem_NonMasterAssigned",
                                                            "MSTVOutputsViewItem_MixPanel",
                                                            "MSTVOutputsViewItem_MonPanel",
                                                            "MSTVOutputsViewItem_MixOveride",
                                                            "MSTVOutputsViewItem_MonOveride",
                                                            "MSTVOutputsViewItem_Unassigned",
                                                            "MSTVOutputsViewItem_UnassignedOveride"};
    static const char* const host[kOutputStateCount] = {
        "MSTVOutputsHostViewItem_Unassigned", "MSTVOutputsHostViewItem_Assigned", "MSTVOutputsHostViewItem_Unassigned",
        "MSTVOutputsHostViewItem_Unassigned", "MSTVOutputsHostViewItem_Assigned", "MSTVOutputsHostViewItem_Assigned",
        "MSTVOutputsHostViewItem_Unassigned", "MSTVOutputsHostViewItem_Assigned"};
    if (state < 0 || state >= kOutputStateCount)
        return nullptr;
    return hostMode ? host[state] : physical[state];
}
