#include "plugins/quorvel/SpecialInsert.h"

SpecialInsert::SpecialInsert(ModelLink* link, int32_t position, int32_t kind) : InsertEffect(kind, link, position) {}

bool SpecialInsert::Apply(bool wait)
{
    if (!IsEffectRateAllowed() || Kind() < kInsertTrimPot || Kind() > kInsertPeakMeter)
    {
        return false;
    }
    CallBlock block;
    PutWord(block, 1, Position());
    PutWord(block, 2, SpecialKind());
    PutWord(block, 13, wait ? 1 : 0);
    return ApplyWith(block, kCmdSetSpecialInsert, wait, 3);
}

void SpecialInsert::Reload()
{
    InsertEffect::Reload();
    ReadAllParams();
}
