#include "plugins/ravlo/RavloEffect.h"

#include "plugins/base/asio/PluginModule.h"
#include "plugins/base/registry/InstanceRegistry.h"
#include "plugins/base/vst/EditorBase.h"
#include "plugins/ravlo/RavloSystem.h"

#include <cstring>
#include <new>

#ifdef _WIN32
#include "plugins/ravlo/RavloEditor.h"
#endif

namespace
{

InstanceRegistry<RavloEffect, 8> gRegistry("RAVLO PLUGIN REGISTER AND UNREGISTER INSTANCE MUTEX");

constexpr size_t kNameField = 32;
constexpr const char* kNamesChanged = "The channel names have changed.";

// Driver channel 2n of a pair, or a channel beyond the driver's when the pair has none, so
// the driver refuses it instead of the index wrapping.
int32_t FirstChannel(int32_t pair, int32_t channels)
{
    return pair >= 0 && pair < channels / 2 ? 2 * pair : channels;
}

int32_t ReadInt32(const uint8_t* data)
{
    int32_t value = 0;
    std::memcpy(&value, data, sizeof(value));
    return value;
}

} // namespace

RavloEffect::RavloEffect(VstHostCallback host) : VstEffectX(host, 1, 0, kUniqueId)
{
    instanceIndex_ = PluginModule::Enter();
    gRegistry.Register(this);
    if (instanceIndex_ < kMaxLinkedInstances)
    {
        setInputCount(2);
        setOutputCount(2);
        canMono(true);
        programsAreChunks(true);
        link_ = new (std::nothrow) AsioLink(this);
        if (link_ && link_->Open())
        {
            link_->CreateBuffers(link_->GetPreferredBufferSize());
        }
#ifdef _WIN32
        // The editor attaches itself to this effect, which owns it from then on.
        new (std::nothrow) RavloEditor(this);
#endif
    }
}

RavloEffect::~RavloEffect()
{
    // An editor the host left open stops its light thread while the stream still exists.
    if (EditorBase* editor = GetEditor())
    {
        editor->Close();
    }
    CloseDriver();
    delete link_;
    link_ = nullptr;
    gRegistry.Unregister(this);
    PluginModule::Leave();
}

void RavloEffect::setParameter(int32_t, float) {}

float RavloEffect::getParameter(int32_t)
{
    return 0.0f;
}

void RavloEffect::setProgram(int32_t) {}

int32_t RavloEffect::getProgram()
{
    return 0;
}

void RavloEffect::setProgramName(char*) {}

void RavloEffect::getProgramName(char*) {}

void RavloEffect::getParameterLabel(int32_t, char* text)
{
    text[0] = '\0';
}

void RavloEffect::getParameterDisplay(int32_t, char*) {}

void RavloEffect::getParameterName(int32_t, char*) {}

void RavloEffect::open() {}

void RavloEffect::close() {}

void RavloEffect::CloseDriver()
{
    // The driver's switches hold the stream until the driver has stopped, so the stream goes
    // only after that; a host call waiting offline for a switch is let go first, so the stop
    // does not wait on it and it does not wait for switches that will not come.
    if (AudioStream* stream = stream_.Peek())
    {
        stream->StopWaits();
    }
    if (link_)
    {
        link_->Close();
    }
    delete stream_.Take();
}

void RavloEffect::Reconfigure()
{
    if (!link_)
    {
        return;
    }
    if (inputPair_ < 0 || outputPair_ < 0)
    {
        OpenPlain();
    }
    else if (hostBlock_ > 0)
    {
        OpenPairs();
    }
    // Without a host block no size can be chosen: setBlockSize opens the pairs later.
    resetRequested_.store(false);
    gRegistry.ForEach(&RavloEffect::RefreshChannels);
}

void RavloEffect::RefreshChannels()
{
    if (link_)
    {
        link_->ReadChannelInfo();
    }
    if (EditorBase* editor = GetEditor())
    {
        editor->PostUpdate();
    }
}

void RavloEffect::OpenPlain()
{
    CloseDriver();
    if (link_->Open())
    {
        link_->CreateBuffers(link_->GetPreferredBufferSize());
    }
}

void RavloEffect::OpenPairs()
{
    CloseDriver();
    link_->Open();
    DriverBufferSizes sizes{};
    link_->GetBufferSizes(&sizes.minimum, &sizes.maximum, &sizes.granularity, &sizes.preferred);
    choice_ = ChooseBufferSize(hostBlock_, sizes);
    auto* stream = new (std::nothrow) AudioStream(choice_.chosen, PluginModule::ListLock());
    if (stream && !stream->Allocate(choice_.chosen))
    {
        delete stream;
        stream = nullptr;
    }
    if (stream)
    {
        stream->HoldDelay(HeldDelayFor(hostBlock_, choice_));
    }
    // Pairs chosen after the block size (a project's chunk) change the delay too; resume
    // tells the host.
    initialDelay_ = InitialDelayFor(hostBlock_, choice_);
    const bool started =
        stream && link_->Start(stream, choice_.chosen, FirstChannel(inputPair_, link_->GetInputCount()),
                               FirstChannel(outputPair_, link_->GetOutputCount()));
    link_->ShowErrorMessage();
    if (started)
    {
        // The audio thread starts the new stream afresh at its next call.
        processMode_.store(kStreamStopped);
        stream_.Put(stream);
        return;
    }
    delete stream;
    link_->CreateBuffers(choice_.latencySize);
}

void RavloEffect::setSampleRate(float rate)
{
    VstEffectX::setSampleRate(rate);
    rate_ = static_cast<int32_t>(rate);
    if (link_)
    {
        link_->SetSampleRate(rate_);
    }
}

void RavloEffect::setBlockSize(int32_t frames)
{
    choice_.enlarged = false;
    if (frames <= 0)
    {
        return;
    }
    VstEffectX::setBlockSize(frames);
    hostBlock_ = frames;
    Reconfigure();
    initialDelay_ = InitialDelayFor(frames, choice_);
    setInitialDelay(initialDelay_);
}

void RavloEffect::setInitialDelay(int32_t frames)
{
    RavloSystem& system = RavloSystem::Current();
    uint32_t enabled = 1;
    if (system.ReadSetting("Set Initial Delay", &enabled) && enabled == 0)
    {
        VstEffectX::setInitialDelay(0);
        return;
    }
    uint32_t amount = 0;
    if (system.ReadSetting("Delay Amount", &amount))
    {
        frames = static_cast<int32_t>(amount);
    }
    VstEffectX::setInitialDelay(frames);
}

void RavloEffect::suspend()
{
    processMode_.store(kStreamStopped);
    stream_.Suspend();
}

void RavloEffect::resume()
{
    if (resetRequested_.load())
    {
        Reconfigure();
    }
    stream_.DropQueued();
    setInitialDelay(initialDelay_);
}

void RavloEffect::process(float** inputs, float** outputs, int32_t frames)
{
    StreamSlot::Use use(stream_);
    AudioStream* stream = use.Get();
    if (!stream || !link_ || frames <= 0)
    {
        return;
    }
    // A host rendering offline right after set-up would otherwise race through its whole
    // render before the driver's first switch and get silence: it waits for that switch, a
    // bounded time. In real time the call passes until the driver runs.
    if (!stream->SwitchSeen() && (getCurrentProcessLevel() != kVstProcessLevelOffline || !stream->WaitForFirstSwitch()))
    {
        return;
    }
    int32_t mode = processMode_.load();
    if (mode == kStreamStopped)
    {
        stream->Reset(false);
        pacer_.Restart();
    }
    if (getCurrentProcessLevel() == kVstProcessLevelOffline)
    {
        mode = kStreamOffline;
    }
    else
    {
        if (mode == kStreamOffline)
        {
            stream->Reset(true);
        }
        mode = kStreamRealtime;
    }
    processMode_.store(mode);
    stream->WriteHostInput(inputs, frames);
    stream->ReadHostOutput(outputs, frames);
    stream->SetProcessLevel(mode);
    pacer_.Pace(*stream, mode, frames);
}

int32_t RavloEffect::getChunk(void** data, bool)
{
    if (!link_ || !data)
    {
        return 0;
    }
    std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[kChunkSize]());
    if (!chunk)
    {
        return 0;
    }
    std::memcpy(chunk.get(), &inputPair_, sizeof(int32_t));
    std::memcpy(chunk.get() + 4, &outputPair_, sizeof(int32_t));
    if (const AsioChannelInfo* input = link_->GetInputPair(inputPair_))
    {
        std::memcpy(chunk.get() + 8, input->name, kNameField);
    }
    if (const AsioChannelInfo* output = link_->GetOutputPair(outputPair_))
    {
        std::memcpy(chunk.get() + 40, output->name, kNameField);
    }
    // The host copies the block before it asks again; the previous one goes now.
    chunk_ = std::move(chunk);
    *data = chunk_.get();
    return kChunkSize;
}

int32_t RavloEffect::setChunk(void* data, int32_t size, bool)
{
    // A chunk too short to hold both pairs and both names is not ours.
    if (!link_ || !data || size < kChunkSize)
    {
        return 0;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    const int32_t input = ReadInt32(bytes) < 0 ? -1 : ReadInt32(bytes);
    const int32_t output = ReadInt32(bytes + 4) < 0 ? -1 : ReadInt32(bytes + 4);
    if (input != inputPair_ || output != outputPair_)
    {
        outputPair_ = output;
        inputPair_ = input;
        Reconfigure();
    }
    else if (resetRequested_.load())
    {
        Reconfigure();
    }
    else
    {
        RefreshChannels();
    }
    // A pair the driver no longer has counts as renamed.
    bool changed = false;
    if (inputPair_ >= 0)
    {
        const AsioChannelInfo* info = link_->GetInputPair(inputPair_);
        changed = !info || std::strncmp(info->name, reinterpret_cast<const char*>(bytes + 8), kNameField) != 0;
    }
    if (outputPair_ >= 0 && !changed)
    {
        const AsioChannelInfo* info = link_->GetOutputPair(outputPair_);
        changed = !info || std::strncmp(info->name, reinterpret_cast<const char*>(bytes + 40), kNameField) != 0;
    }
    if (changed)
    {
        RavloSystem::Current().ShowInformation(kNamesChanged, "Ravlo");
    }
    return kChunkSize;
}

void RavloEffect::SetInputPair(int32_t n)
{
    inputPair_ = n < 0 ? -1 : n;
    Reconfigure();
}

void RavloEffect::SetOutputPair(int32_t n)
{
    outputPair_ = n < 0 ? -1 : n;
    Reconfigure();
}
