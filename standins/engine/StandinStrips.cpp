#include "standins/engine/StandinStrips.h"

#include <algorithm>
#include <limits>
#include <sstream>

#include "mixer/engine/EngineVocabulary.h"
#include "standins/engine/StandinChains.h"
#include "standins/engine/StandinEffects.h"

namespace
{
const StandinLevel kSendLevel = {-90.0f, -90.0f, -90.0f, 6.0f};
const StandinLevel kGain = {0.0f, 0.0f, -90.0f, 6.0f};
const StandinLevel kPanCentre = {0.0f, 0.0f, -1.0f, 1.0f};
const StandinLevel kPanLeft = {-1.0f, -1.0f, -1.0f, 1.0f};
const StandinLevel kPanRight = {1.0f, 1.0f, -1.0f, 1.0f};

std::string Number(float value)
{
    std::ostringstream text;
    text.precision(std::numeric_limits<float>::max_digits10);
    text << value;
    return text.str();
}

// The strip lock of the strip's mixer, when the strip belongs to one (tests make strips of
// their own).
class StripLock
{
public:
    explicit StripLock(StandinStrip& strip) : lock_(strip.list ? &strip.list->Mixer().stripLock : nullptr)
    {
        if (lock_)
            lock_->lock();
    }
    ~StripLock()
    {
        if (lock_)
            lock_->unlock();
    }
    StripLock(const StripLock&) = delete;
    StripLock& operator=(const StripLock&) = delete;

private:
    std::recursive_mutex* lock_;
};

// "<call> <strip id> <arguments>".
void Note(StandinStrip& strip, const std::string& entry)
{
    if (!strip.list)
        return;
    const size_t space = entry.find(' ');
    const std::string id = " " + std::to_string(strip.id);
    strip.list->Note(space == std::string::npos ? entry + id : entry.substr(0, space) + id + entry.substr(space));
}

void Raise(StandinStrip& strip, int event)
{
    if (strip.list)
        strip.list->Raise(event, strip);
}

float Read(StandinStrip& strip, const StandinLevel& level, const char* call, bool defaultValue = false)
{
    Note(strip, call);
    StripLock hold(strip);
    return defaultValue ? level.defaultValue : level.value;
}

int ReadRange(StandinStrip& strip, const StandinLevel& level, float* minimum, float* maximum, const char* call)
{
    Note(strip, call);
    if (!minimum || !maximum)
        return 0;
    StripLock hold(strip);
    *minimum = level.minimum;
    *maximum = level.maximum;
    return 1;
}

int Write(StandinStrip& strip, StandinLevel& level, float value, int flags, const std::string& call, int event)
{
    bool accepted = false, changed = false;
    {
        StripLock hold(strip);
        accepted = level.Accepts(value);
        changed = accepted && level.value != value;
        if (accepted)
            level.value = value;
    }
    Note(strip, call + " " + Number(value) + " " + std::to_string(flags) + (accepted ? "" : " refused"));
    if (changed)
        Raise(strip, event);
    return accepted ? 1 : 0;
}

int WriteFlag(StandinStrip& strip, int& field, int value, int flags, const char* call, int event)
{
    const bool accepted = value == 0 || value == 1;
    bool changed = false;
    {
        StripLock hold(strip);
        changed = accepted && field != value;
        if (accepted)
            field = value;
    }
    Note(strip,
         std::string(call) + " " + std::to_string(value) + " " + std::to_string(flags) + (accepted ? "" : " refused"));
    if (changed)
        Raise(strip, event);
    return accepted ? 1 : 0;
}

bool ValidIndex(int index)
{
    return index == 0 || index == 1;
}

} // namespace

// A mono strip pans from the centre, a stereo one has its channels left and right.
void StandinResetStripValues(StandinStrip& strip)
{
    const bool mono = strip.source && strip.source->GetChannelCount() == 1;
    strip.sends[0] = strip.sends[1] = kSendLevel;
    strip.gain = kGain;
    strip.pan[0] = mono ? kPanCentre : kPanLeft;
    strip.pan[1] = mono ? kPanCentre : kPanRight;
}

int VARN_CALL StandinStrip::GetKindCode()
{
    Note(*this, "GetKindCode");
    return source && source->GetChannelCount() == 1 ? 1 : 0;
}

float VARN_CALL StandinStrip::GetSendLevel(int send, int, int, int)
{
    return ValidIndex(send) ? Read(*this, sends[send], "GetSendLevel") : 0.0f;
}

float VARN_CALL StandinStrip::GetSendDefault(int send)
{
    return ValidIndex(send) ? Read(*this, sends[send], "GetSendDefault", true) : 0.0f;
}

int VARN_CALL StandinStrip::SetSendLevel(int send, float level, int flags)
{
    if (!ValidIndex(send))
    {
        Note(*this, "SetSendLevel refused");
        return 0;
    }
    return Write(*this, sends[send], level, flags, "SetSendLevel " + std::to_string(send),
                 send ? EngineEvent::kStripSend2 : EngineEvent::kStripSend1);
}

int VARN_CALL StandinStrip::GetSendRange(int send, float* minimum, float* maximum)
{
    return ValidIndex(send) ? ReadRange(*this, sends[send], minimum, maximum, "GetSendRange") : 0;
}

float VARN_CALL StandinStrip::GetGain(int, int, int)
{
    return Read(*this, gain, "GetGain");
}

float VARN_CALL StandinStrip::GetGainDefault()
{
    return Read(*this, gain, "GetGainDefault", true);
}

int VARN_CALL StandinStrip::SetGain(float level, int flags)
{
    return Write(*this, gain, level, flags, "SetGain", EngineEvent::kStripGain);
}

int VARN_CALL StandinStrip::GetGainRange(float* minimum, float* maximum)
{
    return ReadRange(*this, gain, minimum, maximum, "GetGainRange");
}

float VARN_CALL StandinStrip::GetPan(int channel, int, int, int)
{
    return ValidIndex(channel) ? Read(*this, pan[channel], "GetPan") : 0.0f;
}

float VARN_CALL StandinStrip::GetPanDefault(int channel)
{
    return ValidIndex(channel) ? Read(*this, pan[channel], "GetPanDefault", true) : 0.0f;
}

int VARN_CALL StandinStrip::SetPan(int channel, float value, int flags)
{
    if (!ValidIndex(channel))
    {
        Note(*this, "SetPan refused");
        return 0;
    }
    return Write(*this, pan[channel], value, flags, "SetPan " + std::to_string(channel),
                 channel ? EngineEvent::kStripPanRight : EngineEvent::kStripPanLeft);
}

int VARN_CALL StandinStrip::GetPanRange(float* minimum, float* maximum)
{
    return ReadRange(*this, pan[0], minimum, maximum, "GetPanRange");
}

int VARN_CALL StandinStrip::GetMute(int, int)
{
    Note(*this, "GetMute");
    StripLock hold(*this);
    return mute;
}

int VARN_CALL StandinStrip::SetMute(int value, int flags)
{
    return WriteFlag(*this, mute, value, flags, "SetMute", EngineEvent::kStripMute);
}

int VARN_CALL StandinStrip::GetSolo(int, int)
{
    Note(*this, "GetSolo");
    StripLock hold(*this);
    return solo;
}

int VARN_CALL StandinStrip::SetSolo(int value, int flags, int)
{
    return WriteFlag(*this, solo, value, flags, "SetSolo", EngineEvent::kStripSolo);
}

int VARN_CALL StandinStrip::SetName(const char16_t* text, int flags)
{
    if (!text)
    {
        Note(*this, "SetName refused");
        return 0;
    }
    bool changed = false;
    {
        StripLock hold(*this);
        // The strip keeps at most 31 units, as its label shows.
        std::u16string kept(text);
        kept = kept.substr(0, 31);
        changed = kept != name;
        name = kept;
    }
    Note(*this, "SetName " + std::to_string(flags));
    if (changed)
        Raise(*this, EngineEvent::kStripUserText);
    return 1;
}

IVarnStripList* VARN_CALL StandinStrip::GetOwnerList()
{
    return list;
}

int VARN_CALL StandinStrip::HasDsp()
{
    Note(*this, "HasDsp");
    StripLock hold(*this);
    return hasDsp && !removed ? 1 : 0;
}

int VARN_CALL StandinStrip::LoadDsp(int flags)
{
    bool loaded = false, changed = false;
    {
        StripLock hold(*this);
        if (!removed && !hasDsp && list)
        {
            StandinDspAccount& account = list->Mixer().dsp;
            hasDsp = changed = account.reserve && account.reserve(kStandinStripDsp);
        }
        loaded = hasDsp && !removed;
    }
    Note(*this, "LoadDsp " + std::to_string(flags) + (loaded ? "" : " refused"));
    if (changed)
        Raise(*this, EngineEvent::kStripDsp);
    return loaded ? 1 : 0;
}

StandinStripList::StandinStripList(StandinHardware& system, StandinMixer& mixer, StandinMainMix::Raise raise,
                                   std::function<void(std::string)> log)
    : system_(system), mixer_(mixer), raise_(std::move(raise)), log_(std::move(log))
{
}

void StandinStripList::Note(const std::string& entry)
{
    if (log_)
        log_(entry);
}

void StandinStripList::Raise(int event, const StandinStrip& strip)
{
    if (raise_)
        raise_(event, strip.id);
}

int VARN_CALL StandinStripList::GetCount()
{
    std::lock_guard<std::recursive_mutex> hold(mixer_.stripLock);
    return static_cast<int>(order_.size());
}

IVarnStrip* VARN_CALL StandinStripList::GetStrip(int index)
{
    std::lock_guard<std::recursive_mutex> hold(mixer_.stripLock);
    return index >= 0 && index < static_cast<int>(order_.size()) ? order_[index] : nullptr;
}

void StandinStripList::Append(StandinStrip* strip)
{
    std::lock_guard<std::recursive_mutex> hold(mixer_.stripLock);
    strip->list = this;
    strip->removed = false;
    strip->SetIndex(static_cast<int>(order_.size()));
    order_.push_back(strip);
}

void StandinStripList::Clear()
{
    std::lock_guard<std::recursive_mutex> hold(mixer_.stripLock);
    for (StandinStrip* strip : order_)
    {
        auto* source = system_.inputList.Find(strip->source);
        if (source && source->strip == strip)
        {
            source->assigned = false;
            source->strip = nullptr;
            source->chainEnd = VarnChainEndNone;
        }
        strip->source = nullptr;
        strip->removed = true;
        strip->SetIndex(-1);
        if (strip->hasDsp && mixer_.dsp.give)
            mixer_.dsp.give(kStandinStripDsp);
        strip->hasDsp = false;
    }
    order_.clear();
}

void StandinStripList::Renumber()
{
    for (size_t i = 0; i < order_.size(); ++i)
        order_[i]->SetIndex(static_cast<int>(i));
}

int VARN_CALL StandinStripList::CreateMonoStrip(IVarnInput* source, int preFader, IVarnStrip** strip, int* status,
                                                int flags)
{
    (void)flags;
    return Create(source, preFader, strip, status, 1, "CreateMonoStrip");
}

int VARN_CALL StandinStripList::CreateStereoStrip(IVarnInput* source, int preFader, IVarnStrip** strip, int* status,
                                                  int flags)
{
    (void)flags;
    return Create(source, preFader, strip, status, 2, "CreateStereoStrip");
}

int StandinStripList::Create(IVarnInput* source, int preFader, IVarnStrip** out, int* status, int channels,
                             const char* call)
{
    StandinStrip* made = nullptr;
    std::string why;
    {
        std::lock_guard<std::recursive_mutex> hold(mixer_.stripLock);
        StandinInput* input = nullptr;
        for (auto& set : system_.inputList.sets)
        {
            if (source && source == set.get())
                input = set->selected.load();
        }
        if (!input)
            input = system_.inputList.Find(source);
        if (!out || !status)
            why = " refused: no out pointer";
        else if (!input)
            why = " refused: no source";
        else if (input->assigned || input->strip)
            why = " refused: in use";
        else if (input->GetChannelCount() != channels)
            why = " refused: channels";
        else if (mixer_.dsp.reserve && !mixer_.dsp.reserve(kStandinStripDsp))
        {
            *status = 2;
            why = " refused: no DSP";
        }
        else
        {
            system_.strips.push_back(std::make_unique<StandinStrip>(0));
            made = system_.strips.back().get();
            made->bus.system = &system_;
            made->id = mixer_.NewStripId();
            made->log = log_;
            made->hasMonitor = false;
            made->source = input;
            made->preFader = preFader != 0;
            StandinResetStripValues(*made);
            input->assigned = true;
            input->strip = made;
            input->chainEnd = VarnChainEndStrip;
            Append(made);
            *out = made;
            *status = 1;
        }
    }
    Note(std::string(call) + (made ? " " + std::to_string(made->id) : why));
    if (made && raise_)
        raise_(EngineEvent::kStripAdded, made->id);
    return made ? 1 : 0;
}

int VARN_CALL StandinStripList::RemoveStrip(int index, int flags)
{
    StandinStrip* gone = nullptr;
    {
        std::lock_guard<std::recursive_mutex> hold(mixer_.stripLock);
        if (index >= 0 && index < static_cast<int>(order_.size()))
        {
            gone = order_[index];
            order_.erase(order_.begin() + index);
            Renumber();
            gone->SetIndex(-1);
            gone->removed = true;
            auto* source = system_.inputList.Find(gone->source);
            if (source && source->strip == gone)
            {
                source->assigned = false;
                source->strip = nullptr;
                source->chainEnd = VarnChainEndNone;
            }
        }
    }
    Note("RemoveStrip " + std::to_string(index) + " " + std::to_string(flags) + (gone ? "" : " refused"));
    if (gone && raise_)
        raise_(EngineEvent::kStripRemoved, gone->id);
    return gone ? 1 : 0;
}

int VARN_CALL StandinStripList::MoveStrip(int from, int to, int flags)
{
    StandinStrip* moved = nullptr;
    {
        std::lock_guard<std::recursive_mutex> hold(mixer_.stripLock);
        const int count = static_cast<int>(order_.size());
        if (from >= 0 && from < count && to >= 0 && to < count && from != to)
        {
            moved = order_[from];
            order_.erase(order_.begin() + from);
            order_.insert(order_.begin() + to, moved);
            Renumber();
        }
    }
    Note("MoveStrip " + std::to_string(from) + " " + std::to_string(to) + " " + std::to_string(flags) +
         (moved ? "" : " refused"));
    if (moved && raise_)
        raise_(EngineEvent::kStripMoved, moved->id);
    return moved ? 1 : 0;
}

int StandinStripList::Reclaim()
{
    std::lock_guard<std::recursive_mutex> hold(mixer_.stripLock);
    int units = 0;
    for (auto& strip : system_.strips)
    {
        if (strip->removed && strip->hasDsp)
        {
            strip->hasDsp = false;
            units += kStandinStripDsp;
        }
    }
    if (units && mixer_.dsp.give)
        mixer_.dsp.give(units);
    return units;
}

int VARN_CALL StandinSourceSet::Select(int subKind, int choice, int flags)
{
    const bool held = flag_ ? subKind >= 0 && subKind <= 2 : subKind == 3 || subKind == 4;
    auto* input = held ? list_.Find(list_.GetHostSource(subKind, choice)) : nullptr;
    const bool free = input && !input->assigned && !input->strip;
    selected = free ? input : nullptr;
    (void)flags;
    return free ? 1 : 0;
}

int VARN_CALL StandinSourceSet::GetChainEnd(IVarnOutput** output)
{
    if (output)
        *output = nullptr;
    return VarnChainEndNone;
}

StandinInputList::StandinInputList()
{
    sets[0] = std::make_unique<StandinSourceSet>(*this, 0);
    sets[1] = std::make_unique<StandinSourceSet>(*this, 1);
}

StandinInputList::~StandinInputList() = default;

StandinInput* StandinInputList::Find(IVarnInput* input)
{
    if (!input)
        return nullptr;
    for (auto& kind : inputs)
        for (auto& candidate : kind)
            if (candidate.get() == input)
                return candidate.get();
    return nullptr;
}

IVarnInput* VARN_CALL StandinInputList::GetSourceSet(int flag)
{
    return flag == 0 || flag == 1 ? sets[flag].get() : nullptr;
}

int VARN_CALL StandinInputList::GetSetSize(int subKind)
{
    if (subKind == 4)
        return GetCount(3);
    int count = 0;
    int kind = -1;
    for (auto& input : inputs[0])
        count += input->GetSubKind(&kind) && kind == subKind ? 1 : 0;
    return count;
}

IVarnInput* VARN_CALL StandinInputList::GetHostSource(int subKind, int index)
{
    if (subKind == 4)
        return GetInput(3, index);
    int kind = -1;
    for (auto& input : inputs[0])
    {
        if (input->GetSubKind(&kind) && kind == subKind && index-- == 0)
            return input.get();
    }
    return nullptr;
}

int VARN_CALL StandinInputList::GetFreeCount(int kind, int)
{
    int count = 0;
    for (int i = 0; i < GetCount(kind); ++i)
    {
        const StandinInput& input = *inputs[kind][i];
        count += !input.assigned && !input.strip && input.present ? 1 : 0;
    }
    return count;
}

int VARN_CALL StandinInput::GetSynthChannel(int synth, int channel)
{
    if (!ValidIndex(synth) || channel < 0 || channel > 15)
        return 0;
    return (synthChannels.load() >> (16 * synth + channel)) & 1;
}

bool StandinInput::SetSynthChannel(int synth, int channel, bool on)
{
    if (subKind != 2 || !ValidIndex(synth) || channel < 0 || channel > 15)
    {
        if (log)
            log("SetSynthChannel refused");
        return false;
    }
    const std::uint32_t bit = 1u << (16 * synth + channel);
    const std::uint32_t before = on ? synthChannels.fetch_or(bit) : synthChannels.fetch_and(~bit);
    if (log)
        log(std::string(on ? "SetSynthChannelOn " : "SetSynthChannelOff ") + std::to_string(synth) + " " +
            std::to_string(channel));
    if (((before & bit) != 0) != on && raise && strip)
        raise(EngineEvent::kStripSynthChannels.first + 16 * synth + channel, strip->id);
    return true;
}

int VARN_CALL StandinInput::SetSynthChannelOn(int synth, int channel, int)
{
    return SetSynthChannel(synth, channel, true) ? 1 : 0;
}

int VARN_CALL StandinInput::SetSynthChannelOff(int synth, int channel, int)
{
    return SetSynthChannel(synth, channel, false) ? 1 : 0;
}

IVarnStripList* VARN_CALL StandinHardware::GetStripList()
{
    if (log_)
        log_("GetStripList");
    return stripList.get();
}

IVarnMixer* VARN_CALL StandinHardware::GetMixer()
{
    return mixer;
}

void VARN_CALL StandinMixer::SetModified(int value)
{
    if (modified)
        modified(value);
}

int StandinMixer::StripDsp()
{
    std::lock_guard<std::recursive_mutex> hold(stripLock);
    int units = 0;
    for (auto& system : systems_)
    {
        for (auto& strip : system->strips)
            units += strip->hasDsp ? kStandinStripDsp : 0;
        units += system->chainStore ? system->chainStore->HeldUnits() : 0;
    }
    return units;
}

void StandinMixer::TakeDsp(StandinDspAccount account)
{
    std::lock_guard<std::recursive_mutex> hold(stripLock);
    dsp = std::move(account);
    if (dsp.hold)
        dsp.hold(StripDsp());
}

void StandinMixer::ReturnDsp()
{
    std::lock_guard<std::recursive_mutex> hold(stripLock);
    if (dsp.give)
        dsp.give(StripDsp());
    // A retired model's strips get no more DSP.
    dsp = StandinDspAccount{[](int) { return false; }, [](int) {}, [](int) {}};
}

void StandinMixer::UseOwnBudget()
{
    std::lock_guard<std::recursive_mutex> hold(stripLock);
    ownBudget_ = StripDsp();
    dsp.reserve = [this](int units) {
        if (ownBudget_ + units > StandinEffects::kDspBudget)
            return false;
        ownBudget_ += units;
        return true;
    };
    dsp.give = [this](int units) { ownBudget_ -= units; };
    dsp.hold = [this](int units) { ownBudget_ += units; };
}

int StandinMixer::NewStripId()
{
    std::lock_guard<std::recursive_mutex> hold(stripLock);
    return nextStripId_++;
}

void StandinMixer::NoteStripId(int id)
{
    std::lock_guard<std::recursive_mutex> hold(stripLock);
    nextStripId_ = std::max(nextStripId_, id + 1);
}
