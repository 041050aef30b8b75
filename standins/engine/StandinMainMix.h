#pragma once
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "mixer/engine/VarnServices.h"

class StandinBus;
class StandinMainMix;

// A level with its range and default; a value outside the range (or not a number) is refused.
struct StandinLevel
{
    float value;
    float defaultValue;
    float minimum;
    float maximum;

    bool Accepts(float level) const { return level >= minimum && level <= maximum; }
};

// An aux bus of a main mix. Its levels are guarded by the main mix's lock.
class StandinAux final : public IVarnAux
{
public:
    StandinAux(StandinMainMix& mix, int index, StandinBus* chain);
    IVarnInsertChain* VARN_CALL GetInsertChain() override;
    int VARN_CALL GetIndex() override { return index_; }
    float VARN_CALL GetSendLevel() override;
    float VARN_CALL GetSendDefault() override;
    int VARN_CALL SetSendLevel(float level, int flags) override;
    int VARN_CALL GetSendRange(float* minimum, float* maximum) override;
    float VARN_CALL GetReturnLevel() override;
    float VARN_CALL GetReturnDefault() override;
    int VARN_CALL SetReturnLevel(float level, int flags) override;
    int VARN_CALL GetReturnRange(float* minimum, float* maximum) override;

    StandinBus* Chain() const { return chain_; }

private:
    friend class StandinMainMix;
    StandinMainMix& mix_;
    int index_;
    StandinBus* chain_; // borrowed: the system owns its buses
    StandinLevel send_;
    StandinLevel return_;
};

// The main mix of one simulated system: levels in dB, the balance from -1 (left) to 1, the
// monitor mute, the aux buses and the main output meters. Every call the program makes is
// written to the log; a setter answers 0 for a value outside its range and keeps the old one;
// a changed value raises its event (300-305) through raise, also when the program changed it.
// The meters move on the engine's clock (milliseconds): each channel sweeps from the meter's
// minimum up to its peak and back, the right one slower than the left, so a test that sets the
// clock knows the level and one that sets the peak above the clip threshold sees clips.
class StandinMainMix final : public IVarnMainMix
{
public:
    using Log = std::function<void(std::string)>;
    using Raise = std::function<void(int, VarnEventArg)>;
    using Clock = std::function<std::int64_t()>;

    static constexpr float kMeterMinimum = -60.0f;
    static constexpr float kMeterMaximum = 0.0f;
    static constexpr float kClipThreshold = -0.5f;
    static constexpr float kMeterPeak = -6.0f; // a peak below the threshold: no clips
    static const int kMeterPeriods[2];         // ms of a sweep up and down, by channel

    // auxChains: the insert chain of each aux bus; mainChain: the main insert chain. Log and
    // raise may be empty.
    StandinMainMix(const std::vector<StandinBus*>& auxChains, StandinBus* mainChain, Log log, Raise raise);

    int VARN_CALL GetAuxCount() override;
    IVarnAux* VARN_CALL GetAux(int index) override;
    IVarnInsertChain* VARN_CALL GetInsertChain() override;
    float VARN_CALL GetMainLevel() override { return Read(main_, "GetMainLevel"); }
    float VARN_CALL GetMainDefault() override { return ReadDefault(main_, "GetMainDefault"); }
    int VARN_CALL SetMainLevel(float level, int flags) override
    {
        return Write(main_, level, flags, "SetMainLevel", 300);
    }
    int VARN_CALL GetMainRange(float* minimum, float* maximum) override
    {
        return ReadRange(main_, minimum, maximum, "GetMainRange");
    }
    int VARN_CALL GetMeterRange(float* minimum, float* maximum) override;
    float VARN_CALL GetMeterLevel(int channel) override;
    float VARN_CALL GetClipThreshold(int channel) override;
    float VARN_CALL GetMonitorLevel() override { return Read(monitor_, "GetMonitorLevel"); }
    float VARN_CALL GetMonitorDefault() override { return ReadDefault(monitor_, "GetMonitorDefault"); }
    int VARN_CALL SetMonitorLevel(float level, int flags) override
    {
        return Write(monitor_, level, flags, "SetMonitorLevel", 301);
    }
    int VARN_CALL GetMonitorRange(float* minimum, float* maximum) override
    {
        return ReadRange(monitor_, minimum, maximum, "GetMonitorRange");
    }
    float VARN_CALL GetBalance() override { return Read(balance_, "GetBalance"); }
    float VARN_CALL GetBalanceDefault() override { return ReadDefault(balance_, "GetBalanceDefault"); }
    int VARN_CALL SetBalance(float balance, int flags) override
    {
        return Write(balance_, balance, flags, "SetBalance", 302);
    }
    int VARN_CALL GetBalanceRange(float* minimum, float* maximum) override
    {
        return ReadRange(balance_, minimum, maximum, "GetBalanceRange");
    }
    int VARN_CALL GetMonitorMute() override;
    int VARN_CALL SetMonitorMute(int mute, int flags) override;
    int VARN_CALL IsDspPresent() override;
    int VARN_CALL RetryDsp() override;

    // Aux bus i, or null; not logged (for the system and tests).
    StandinAux* Aux(int index) const;

    // For tests: what the DSP-present check answers; the insert count of aux bus i's chain or,
    // with -1, of the main chain (false for a bus that does not exist); a channel's meter peak
    // in dB; the engine clock the meters read (milliseconds).
    void SetDspPresent(bool present);
    bool SetInsertCount(int aux, int count);
    void SetMeterPeak(int channel, float peak);
    void SetClock(Clock clock);

    // Session lines of system: "mix <system> main=<v>" and the like, one per value. Reading
    // takes the words after the system number; false when they do not read as written or the
    // value lies outside its range. A null mix checks the line only. "level <system> <v>",
    // the monitor level of older sessions, still reads.
    void Save(std::ostream& out, int system);
    static bool ReadSessionLine(const std::string& tag, std::istream& fields, StandinMainMix* mix);

private:
    friend class StandinAux;
    float Read(const StandinLevel& level, const char* call, int aux = -1);
    float ReadDefault(const StandinLevel& level, const char* call, int aux = -1);
    int ReadRange(const StandinLevel& level, float* minimum, float* maximum, const char* call, int aux = -1);
    int Write(StandinLevel& level, float value, int flags, const char* call, int event, int aux = -1);
    void Note(const std::string& entry);

    Log log_;
    Raise raise_;
    std::vector<std::unique_ptr<StandinAux>> auxes_; // fixed at construction
    StandinBus* mainChain_;                          // borrowed

    std::mutex lock_; // guards the values below and the aux buses' levels
    StandinLevel main_;
    StandinLevel monitor_;
    StandinLevel balance_;
    int mute_ = 0;
    bool dspPresent_ = true;
    float meterPeaks_[2] = {kMeterPeak, kMeterPeak};
    Clock clock_;
};
