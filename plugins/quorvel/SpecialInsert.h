#pragma once
// An insert that runs one of the three built-in special effects: "Trim Pot", "Test Signal"
// or "Peak Meter" (insert kinds 2-4, special kinds 0-2).

#include "plugins/quorvel/InsertEffect.h"

class SpecialInsert final : public InsertEffect
{
public:
    // kind: the insert kind, 2-4.
    SpecialInsert(ModelLink* link, int32_t position, int32_t kind);

    int32_t SpecialKind() const { return Kind() - kInsertTrimPot; }
    // Refused above 48 kHz and for kinds other than 2-4.
    bool Apply(bool wait) override;
    void Reload() override;
};
