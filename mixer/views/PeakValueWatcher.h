#pragma once
#include <vector>

#include "framework/controls/DataItem.h"
#include "mixer/views/PolledItem.h"

class IVarnEffect;

// A meter's value polled from one parameter of an engine effect (the effect view's meter rows
// and the metered insert slots). Every live watcher is in one program-wide list in creation
// order, so that watchers of the same parameter share one engine read per tick: the first of
// them reads, the later ones take its last value. The effect is borrowed: the owner of the
// watcher deletes it before the effect goes. User-interface thread only.
class PeakValueWatcher : public RealItem, public PolledItem
{
public:
    PeakValueWatcher(IVarnEffect* effect, int parameterIndex);
    ~PeakValueWatcher() override;

    IVarnEffect* GetEffect() const { return effect_; }
    int GetParameterIndex() const { return parameterIndex_; }
    float GetCurrent() const { return current_; }

    void Poll() override;

private:
    float current_ = 0.0f;
    IVarnEffect* effect_; // borrowed
    int parameterIndex_;
};

// The program-wide list of live watchers; it exists from the first watcher to the last.
class PeakValueWatchers
{
public:
    // The list, or null while no watcher lives.
    static PeakValueWatchers* Get();
    // -1 when absent.
    int PositionOf(const PeakValueWatcher* watcher) const;
    int FirstOf(const IVarnEffect* effect, int parameterIndex) const;
    float CurrentAt(int position) const;

private:
    friend class PeakValueWatcher;
    std::vector<PeakValueWatcher*> watchers_; // borrowed: each removes itself
};
