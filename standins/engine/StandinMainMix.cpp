#include "standins/engine/StandinMainMix.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

#include "standins/engine/EngineModel.h"

namespace
{
const StandinLevel kMainLevel = {0.0f, 0.0f, -90.0f, 6.0f};
const StandinLevel kMonitorLevel = {0.0f, 0.0f, -90.0f, 6.0f};
const StandinLevel kBalance = {0.0f, 0.0f, -1.0f, 1.0f};
const StandinLevel kSendLevel = {-90.0f, -90.0f, -90.0f, 6.0f};
const StandinLevel kReturnLevel = {0.0f, 0.0f, -90.0f, 6.0f};

std::string Number(float value)
{
    std::ostringstream text;
    text.precision(std::numeric_limits<float>::max_digits10);
    text << value;
    return text.str();
}

std::string AuxPrefix(int aux)
{
    return aux < 0 ? std::string() : std::to_string(aux) + " ";
}

std::int64_t SteadyMilliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
} // namespace

const int StandinMainMix::kMeterPeriods[2] = {1600, 2200};

StandinAux::StandinAux(StandinMainMix& mix, int index, StandinBus* chain)
    : mix_(mix), index_(index), chain_(chain), send_(kSendLevel), return_(kReturnLevel)
{
}

IVarnInsertChain* VARN_CALL StandinAux::GetInsertChain()
{
    mix_.Note("GetAuxInsertChain " + std::to_string(index_));
    return chain_;
}

float VARN_CALL StandinAux::GetSendLevel()
{
    return mix_.Read(send_, "GetSendLevel", index_);
}

float VARN_CALL StandinAux::GetSendDefault()
{
    return mix_.ReadDefault(send_, "GetSendDefault", index_);
}

int VARN_CALL StandinAux::SetSendLevel(float level, int flags)
{
    return mix_.Write(send_, level, flags, "SetSendLevel", 304, index_);
}

int VARN_CALL StandinAux::GetSendRange(float* minimum, float* maximum)
{
    return mix_.ReadRange(send_, minimum, maximum, "GetSendRange", index_);
}

float VARN_CALL StandinAux::GetReturnLevel()
{
    return mix_.Read(return_, "GetReturnLevel", index_);
}

float VARN_CALL StandinAux::GetReturnDefault()
{
    return mix_.ReadDefault(return_, "GetReturnDefault", index_);
}

int VARN_CALL StandinAux::SetReturnLevel(float level, int flags)
{
    return mix_.Write(return_, level, flags, "SetReturnLevel", 305, index_);
}

int VARN_CALL StandinAux::GetReturnRange(float* minimum, float* maximum)
{
    return mix_.ReadRange(return_, minimum, maximum, "GetReturnRange", index_);
}

StandinMainMix::StandinMainMix(const std::vector<StandinBus*>& auxChains, StandinBus* mainChain, Log log, Raise raise)
    : log_(std::move(log)), raise_(std::move(raise)), mainChain_(mainChain), main_(kMainLevel), monitor_(kMonitorLevel),
      balance_(kBalance), clock_(SteadyMilliseconds)
{
    for (StandinBus* chain : auxChains)
        auxes_.push_back(std::make_unique<StandinAux>(*this, static_cast<int>(auxes_.size()), chain));
}

void StandinMainMix::Note(const std::string& entry)
{
    if (log_)
        log_(entry);
}

float StandinMainMix::Read(const StandinLevel& level, const char* call, int aux)
{
    Note(call + (aux < 0 ? std::string() : " " + std::to_string(aux)));
    std::lock_guard<std::mutex> hold(lock_);
    return level.value;
}

float StandinMainMix::ReadDefault(const StandinLevel& level, const char* call, int aux)
{
    Note(call + (aux < 0 ? std::string() : " " + std::to_string(aux)));
    std::lock_guard<std::mutex> hold(lock_);
    return level.defaultValue;
}

int StandinMainMix::ReadRange(const StandinLevel& level, float* minimum, float* maximum, const char* call, int aux)
{
    Note(call + (aux < 0 ? std::string() : " " + std::to_string(aux)));
    if (!minimum || !maximum)
        return 0;
    std::lock_guard<std::mutex> hold(lock_);
    *minimum = level.minimum;
    *maximum = level.maximum;
    return 1;
}

int StandinMainMix::Write(StandinLevel& level, float value, int flags, const char* call, int event, int aux)
{
    bool accepted = false, changed = false;
    {
        std::lock_guard<std::mutex> hold(lock_);
        accepted = level.Accepts(value);
        changed = accepted && level.value != value;
        if (accepted)
            level.value = value;
    }
    Note(call + std::string(" ") + AuxPrefix(aux) + Number(value) + " " + std::to_string(flags) +
         (accepted ? "" : " refused"));
    if (changed && raise_)
        raise_(event, aux < 0 ? 0 : aux);
    return accepted ? 1 : 0;
}

int VARN_CALL StandinMainMix::GetAuxCount()
{
    Note("GetAuxCount");
    return static_cast<int>(auxes_.size());
}

IVarnAux* VARN_CALL StandinMainMix::GetAux(int index)
{
    Note("GetAux " + std::to_string(index));
    return Aux(index);
}

StandinAux* StandinMainMix::Aux(int index) const
{
    return index >= 0 && index < static_cast<int>(auxes_.size()) ? auxes_[index].get() : nullptr;
}

IVarnInsertChain* VARN_CALL StandinMainMix::GetInsertChain()
{
    Note("GetInsertChain");
    return mainChain_;
}

int VARN_CALL StandinMainMix::GetMeterRange(float* minimum, float* maximum)
{
    Note("GetMeterRange");
    if (!minimum || !maximum)
        return 0;
    *minimum = kMeterMinimum;
    *maximum = kMeterMaximum;
    return 1;
}

float VARN_CALL StandinMainMix::GetMeterLevel(int channel)
{
    Note("GetMeterLevel " + std::to_string(channel));
    if (channel < 0 || channel > 1)
        return kMeterMinimum;
    std::int64_t now = 0;
    float peak = kMeterMinimum;
    {
        std::lock_guard<std::mutex> hold(lock_);
        now = clock_();
        peak = meterPeaks_[channel];
    }
    // A triangle: the minimum at the start of each period, the peak in its middle.
    const std::int64_t period = kMeterPeriods[channel];
    const std::int64_t half = period / 2;
    std::int64_t phase = now % period;
    if (phase < 0)
        phase += period;
    const double rise = phase <= half ? static_cast<double>(phase) / half : static_cast<double>(period - phase) / half;
    return static_cast<float>(kMeterMinimum + (peak - kMeterMinimum) * rise);
}

float VARN_CALL StandinMainMix::GetClipThreshold(int channel)
{
    Note("GetClipThreshold " + std::to_string(channel));
    return kClipThreshold;
}

int VARN_CALL StandinMainMix::GetMonitorMute()
{
    Note("GetMonitorMute");
    std::lock_guard<std::mutex> hold(lock_);
    return mute_;
}

int VARN_CALL StandinMainMix::SetMonitorMute(int mute, int flags)
{
    const bool accepted = mute == 0 || mute == 1;
    bool changed = false;
    if (accepted)
    {
        std::lock_guard<std::mutex> hold(lock_);
        changed = mute_ != mute;
        mute_ = mute;
    }
    Note("SetMonitorMute " + std::to_string(mute) + " " + std::to_string(flags) + (accepted ? "" : " refused"));
    if (changed && raise_)
        raise_(303, 0);
    return accepted ? 1 : 0;
}

int VARN_CALL StandinMainMix::IsDspPresent()
{
    Note("IsDspPresent");
    std::lock_guard<std::mutex> hold(lock_);
    return dspPresent_ ? 1 : 0;
}

int VARN_CALL StandinMainMix::RetryDsp()
{
    Note("RetryDsp");
    std::lock_guard<std::mutex> hold(lock_);
    return dspPresent_ ? 1 : 0;
}

void StandinMainMix::SetDspPresent(bool present)
{
    std::lock_guard<std::mutex> hold(lock_);
    dspPresent_ = present;
}

bool StandinMainMix::SetInsertCount(int aux, int count)
{
    StandinBus* chain = aux < 0 ? mainChain_ : Aux(aux) ? Aux(aux)->Chain() : nullptr;
    if (!chain || count < 0)
        return false;
    chain->count = count;
    return true;
}

void StandinMainMix::SetMeterPeak(int channel, float peak)
{
    if (channel < 0 || channel > 1)
        return;
    std::lock_guard<std::mutex> hold(lock_);
    meterPeaks_[channel] = peak;
}

void StandinMainMix::SetClock(Clock clock)
{
    std::lock_guard<std::mutex> hold(lock_);
    clock_ = clock ? std::move(clock) : Clock(SteadyMilliseconds);
}

void StandinMainMix::Save(std::ostream& out, int system)
{
    std::lock_guard<std::mutex> hold(lock_);
    const std::string prefix = "mix " + std::to_string(system) + " ";
    out << prefix << "main=" << Number(main_.value) << "\n";
    out << prefix << "monitor=" << Number(monitor_.value) << "\n";
    out << prefix << "balance=" << Number(balance_.value) << "\n";
    out << prefix << "mute=" << mute_ << "\n";
    for (const auto& aux : auxes_)
    {
        out << prefix << "send " << aux->index_ << "=" << Number(aux->send_.value) << "\n";
        out << prefix << "return " << aux->index_ << "=" << Number(aux->return_.value) << "\n";
    }
}

bool StandinMainMix::ReadSessionLine(const std::string& tag, std::istream& fields, StandinMainMix* mix)
{
    std::string rest;
    std::getline(fields >> std::ws, rest);
    if (tag == "level")
        rest = "monitor=" + rest;
    const size_t equals = rest.find('=');
    if (equals == std::string::npos)
        return false;
    std::istringstream nameWords(rest.substr(0, equals));
    std::string name;
    int aux = -1;
    nameWords >> name;
    if ((name == "send" || name == "return") && !(nameWords >> aux))
        return false;
    if (!(nameWords >> std::ws).eof())
        return false;
    const std::string text = rest.substr(equals + 1);
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != 0 || std::isnan(value))
        return false;

    if (name == "mute")
    {
        if (value != 0.0f && value != 1.0f)
            return false;
        if (mix)
        {
            std::lock_guard<std::mutex> hold(mix->lock_);
            mix->mute_ = static_cast<int>(value);
        }
        return true;
    }
    // Ranges are fixed, so the kind's range is every object's.
    const StandinLevel* kind = name == "main"      ? &kMainLevel
                               : name == "monitor" ? &kMonitorLevel
                               : name == "balance" ? &kBalance
                               : name == "send"    ? &kSendLevel
                               : name == "return"  ? &kReturnLevel
                                                   : nullptr;
    if (!kind || !kind->Accepts(value))
        return false;
    if (!mix)
        return true;
    std::lock_guard<std::mutex> hold(mix->lock_);
    StandinLevel* level = name == "main"      ? &mix->main_
                          : name == "monitor" ? &mix->monitor_
                          : name == "balance" ? &mix->balance_
                                              : nullptr;
    // An aux bus the system lacks (a session of a larger card) is left out.
    if (!level && aux >= 0 && aux < static_cast<int>(mix->auxes_.size()))
        level = name == "send" ? &mix->auxes_[aux]->send_ : &mix->auxes_[aux]->return_;
    if (level)
        level->value = value;
    return true;
}
