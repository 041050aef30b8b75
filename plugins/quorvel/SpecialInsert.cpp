#include "plugins/quorvel/SpecialInsert.h"

SpecialInsert::SpecialInsert(ModelLink* link, int32_t position, int32_t kind) : InsertEffect(kind, link, position) {}

bool SpecialInsert::Apply(bool wait)
{
    using S = Slots::SetSpecialInsert;
    if (!IsEffectRateAllowed() || Kind() < kInsertTrimPot || Kind() > kInsertPeakMeter)
    {
        return false;
    }
    CallBlock block;
    PutWord(block, S::kPosition, Position());
    PutWord(block, S::kKind, SpecialKind());
    PutWord(block, S::kWait, wait ? 1 : 0);
    return ApplyWith(block, kCmdSetSpecialInsert, wait, S::kInfo);
}

void SpecialInsert::Reload()
{
    ReloadWithValues();
}
