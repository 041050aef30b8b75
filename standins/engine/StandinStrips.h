#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "standins/engine/EngineModel.h"

// The strips of one simulated system in the mixer's order, and the source sets that make
// strips on host sources. Everything here is guarded by the mixer's strip lock; the events
// go out through the engine's raise (on its thread), the calls to the log.
//
// Creation refuses (answers 0, nothing changed) a null source or out pointer, a source of
// another system, one already in use, a set without a selection and a source whose channels
// do not match the operation (mono for 2, stereo for 3); without the DSP for a strip it
// writes status 2 and answers 0.

// What a strip costs of the card's DSP.
constexpr int kStandinStripDsp = 20;

class StandinStripList final : public IVarnStripList
{
public:
    StandinStripList(StandinHardware& system, StandinMixer& mixer, StandinMainMix::Raise raise,
                     std::function<void(std::string)> log);

    int VARN_CALL GetCount() override;
    IVarnStrip* VARN_CALL GetStrip(int index) override;
    int VARN_CALL CreateMonoStrip(IVarnInput* source, int preFader, IVarnStrip** strip, int* status,
                                  int flags) override;
    int VARN_CALL CreateStereoStrip(IVarnInput* source, int preFader, IVarnStrip** strip, int* status,
                                    int flags) override;
    int VARN_CALL RemoveStrip(int index, int flags) override;
    int VARN_CALL MoveStrip(int from, int to, int flags) override;
    IVarnHardware* VARN_CALL GetSystem() override { return &system_; }

    // For the system, its sessions and tests (the caller holds the strip lock where it reads).
    void Append(StandinStrip* strip);
    // Empties the list (a session brings its own strips): the strips leave without events and
    // their sources are free again.
    void Clear();
    // Gives back the DSP of the removed strips; the units reclaimed.
    int Reclaim();
    // The strip's event (100-112, 201-232) with its id.
    void Raise(int event, const StandinStrip& strip);
    void Note(const std::string& entry);
    StandinMixer& Mixer() { return mixer_; }
    const std::vector<StandinStrip*>& Strips() const { return order_; }

private:
    int Create(IVarnInput* source, int preFader, IVarnStrip** strip, int* status, int channels, const char* call);
    void Renumber();

    StandinHardware& system_;
    StandinMixer& mixer_;
    StandinMainMix::Raise raise_;
    std::function<void(std::string)> log_;
    std::vector<StandinStrip*> order_; // borrowed: the system owns its strips
};

// A strip's values as a new strip has them, for its source.
void StandinResetStripValues(StandinStrip& strip);

// A source set: Select names the host source that a strip made on the set takes.
class StandinSourceSet final : public IVarnInput
{
public:
    StandinSourceSet(StandinInputList& list, int flag) : list_(list), flag_(flag) {}
    int VARN_CALL GetKind() override { return flag_ ? 0 : 3; }
    int VARN_CALL GetIndex() override { return 0; }
    int VARN_CALL IsAssigned() override { return 0; }
    IVarnStrip* VARN_CALL GetStrip() override { return nullptr; }
    IVarnInsert* VARN_CALL GetDestination() override { return nullptr; }
    int VARN_CALL GetSubKind(int*) override { return 0; }
    int VARN_CALL GetChannelCount() override
    {
        StandinInput* input = selected;
        return input ? input->GetChannelCount() : 0;
    }
    // A sub-kind the set holds (0-2 for set 1, 3-4 for set 0) and a free source of it.
    int VARN_CALL Select(int subKind, int choice, int flags) override;
    int VARN_CALL GetWavePair(int*) override { return 0; }
    int VARN_CALL GetAsioIndex(int*) override { return 0; }
    int VARN_CALL GetMidiFxSend(int*) override { return 0; }
    int VARN_CALL IsTakenByPlugin() override { return 0; }
    int VARN_CALL GetChainEnd(IVarnOutput** output) override;

    std::atomic<StandinInput*> selected{nullptr}; // borrowed

private:
    StandinInputList& list_;
    int flag_;
};
