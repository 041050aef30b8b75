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
    m_instanceIndex = PluginModule::Enter();
    gRegistry.Register(this);
    if (m_instanceIndex < kMaxLinkedInstances)
    {
        setInputCount(2);
        setOutputCount(2);
        canMono(true);
        programsAreChunks(true);
        m_link = new (std::nothrow) AsioLink(this);
        if (m_link && m_link->Open())
        {
            m_link->CreateBuffers(m_link->GetPreferredBufferSize());
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
    delete m_link;
    m_link = nullptr;
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
    if (AudioStream* stream = m_stream.Peek())
    {
        stream->StopWaits();
    }
    if (m_link)
    {
        m_link->Close();
    }
    delete m_stream.Take();
}

void RavloEffect::Reconfigure()
{
    if (!m_link)
    {
        return;
    }
    if (m_inputPair < 0 || m_outputPair < 0)
    {
        OpenPlain();
    }
    else if (m_hostBlock > 0)
    {
        OpenPairs();
    }
    // Without a host block no size can be chosen: setBlockSize opens the pairs later.
    m_resetRequested.store(false);
    gRegistry.ForEach(&RavloEffect::RefreshChannels);
}

void RavloEffect::RefreshChannels()
{
    if (m_link)
    {
        m_link->ReadChannelInfo();
    }
    if (EditorBase* editor = GetEditor())
    {
        editor->PostUpdate();
    }
}

void RavloEffect::OpenPlain()
{
    CloseDriver();
    if (m_link->Open())
    {
        m_link->CreateBuffers(m_link->GetPreferredBufferSize());
    }
}

void RavloEffect::OpenPairs()
{
    CloseDriver();
    m_link->Open();
    DriverBufferSizes sizes{};
    m_link->GetBufferSizes(&sizes.minimum, &sizes.maximum, &sizes.granularity, &sizes.preferred);
    m_choice = ChooseBufferSize(m_hostBlock, sizes);
    auto* stream = new (std::nothrow) AudioStream(m_choice.chosen, PluginModule::ListLock());
    if (stream && !stream->Allocate(m_choice.chosen))
    {
        delete stream;
        stream = nullptr;
    }
    if (stream)
    {
        stream->HoldDelay(HeldDelayFor(m_hostBlock, m_choice));
    }
    // Pairs chosen after the block size (a project's chunk) change the delay too; resume
    // tells the host.
    m_initialDelay = InitialDelayFor(m_hostBlock, m_choice);
    const bool started =
        stream && m_link->Start(stream, m_choice.chosen, FirstChannel(m_inputPair, m_link->GetInputCount()),
                                FirstChannel(m_outputPair, m_link->GetOutputCount()));
    m_link->ShowErrorMessage();
    if (started)
    {
        // The audio thread starts the new stream afresh at its next call.
        m_processMode.store(kStreamStopped);
        m_stream.Put(stream);
        return;
    }
    delete stream;
    m_link->CreateBuffers(m_choice.latencySize);
}

void RavloEffect::setSampleRate(float rate)
{
    VstEffectX::setSampleRate(rate);
    m_rate = static_cast<int32_t>(rate);
    if (m_link)
    {
        m_link->SetSampleRate(m_rate);
    }
}

void RavloEffect::setBlockSize(int32_t frames)
{
    m_choice.enlarged = false;
    if (frames <= 0)
    {
        return;
    }
    VstEffectX::setBlockSize(frames);
    m_hostBlock = frames;
    Reconfigure();
    m_initialDelay = InitialDelayFor(frames, m_choice);
    setInitialDelay(m_initialDelay);
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
    m_processMode.store(kStreamStopped);
    m_stream.Suspend();
}

void RavloEffect::resume()
{
    if (m_resetRequested.load())
    {
        Reconfigure();
    }
    m_stream.DropQueued();
    setInitialDelay(m_initialDelay);
}

void RavloEffect::process(float** inputs, float** outputs, int32_t frames)
{
    StreamSlot::Use use(m_stream);
    AudioStream* stream = use.Get();
    if (!stream || !m_link || frames <= 0)
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
    int32_t mode = m_processMode.load();
    if (mode == kStreamStopped)
    {
        stream->Reset(false);
        m_offlineFrames = 0;
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
    m_processMode.store(mode);
    stream->WriteHostInput(inputs, frames);
    stream->ReadHostOutput(outputs, frames);
    stream->SetProcessLevel(mode);
    if (mode != kStreamOffline)
    {
        m_offlineFrames = 0;
        return;
    }
    // Offline the host runs as fast as it can: hold it to the driver's pace, one switch for
    // every driver buffer written, however the host cuts its blocks.
    m_offlineFrames += frames;
    while (m_offlineFrames >= stream->Frames())
    {
        m_offlineFrames -= stream->Frames();
        if (!stream->WaitForSwitch())
        {
            m_offlineFrames = 0;
        }
    }
}

int32_t RavloEffect::getChunk(void** data, bool)
{
    if (!m_link || !data)
    {
        return 0;
    }
    std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[kChunkSize]());
    if (!chunk)
    {
        return 0;
    }
    std::memcpy(chunk.get(), &m_inputPair, sizeof(int32_t));
    std::memcpy(chunk.get() + 4, &m_outputPair, sizeof(int32_t));
    if (const AsioChannelInfo* input = m_link->GetInputPair(m_inputPair))
    {
        std::memcpy(chunk.get() + 8, input->name, kNameField);
    }
    if (const AsioChannelInfo* output = m_link->GetOutputPair(m_outputPair))
    {
        std::memcpy(chunk.get() + 40, output->name, kNameField);
    }
    // The host copies the block before it asks again; the previous one goes now.
    m_chunk = std::move(chunk);
    *data = m_chunk.get();
    return kChunkSize;
}

int32_t RavloEffect::setChunk(void* data, int32_t size, bool)
{
    // A chunk too short to hold both pairs and both names is not ours.
    if (!m_link || !data || size < kChunkSize)
    {
        return 0;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    const int32_t input = ReadInt32(bytes) < 0 ? -1 : ReadInt32(bytes);
    const int32_t output = ReadInt32(bytes + 4) < 0 ? -1 : ReadInt32(bytes + 4);
    if (input != m_inputPair || output != m_outputPair)
    {
        m_outputPair = output;
        m_inputPair = input;
        Reconfigure();
    }
    else if (m_resetRequested.load())
    {
        Reconfigure();
    }
    else
    {
        RefreshChannels();
    }
    // A pair the driver no longer has counts as renamed.
    bool changed = false;
    if (m_inputPair >= 0)
    {
        const AsioChannelInfo* info = m_link->GetInputPair(m_inputPair);
        changed = !info || std::strncmp(info->name, reinterpret_cast<const char*>(bytes + 8), kNameField) != 0;
    }
    if (m_outputPair >= 0 && !changed)
    {
        const AsioChannelInfo* info = m_link->GetOutputPair(m_outputPair);
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
    m_inputPair = n < 0 ? -1 : n;
    Reconfigure();
}

void RavloEffect::SetOutputPair(int32_t n)
{
    m_outputPair = n < 0 ? -1 : n;
    Reconfigure();
}
