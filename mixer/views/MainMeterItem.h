#pragma once
#include "framework/controls/DataItem.h"
#include "mixer/views/PolledItem.h"

class IVarnMainMix;

// Where a main meter reads its engine: the main section's current main-mix object.
class MainMixSource
{
public:
    // Null while the engine has none.
    virtual IVarnMainMix* GetMainMix() = 0;

protected:
    ~MainMixSource() = default;
};

// The level of one main output channel (0 left, 1 right), read from the engine on every poll;
// a level above the channel's clip threshold lights the clip item, which only the user clears.
class MainMeterItem : public RealItem, public PolledItem
{
public:
    // clip may be null; threshold is the channel's clip threshold, read once by the owner.
    MainMeterItem(MainMixSource& source, int channel, float threshold, FlagItem* clip)
        : source_(source), channel_(channel), threshold_(threshold), clip_(clip)
    {
    }

protected:
    void Poll() override;

private:
    MainMixSource& source_;
    int channel_;
    float threshold_;
    FlagItem* clip_; // borrowed: the owner's clip item
};
