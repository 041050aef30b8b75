#include "plugins/quorvel/KivQuorvelEffect.h"

#include "plugins/base/asio/AsioSystem.h"
#include "plugins/base/asio/PluginModule.h"
#include "plugins/base/registry/InstanceRegistry.h"
#include "plugins/quorvel/Preferences.h"
#include "plugins/quorvel/StateChunk.h"

#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace
{

InstanceRegistry<KivQuorvelEffect, KivQuorvelEffect::kMaxInstances> gRegistry(
    "CVVST PLUGIN REGISTER AND UNREGISTER INSTANCE MUTEX");

// Driver channel 2n of a pair, or one past the driver's channels when the pair has none, so
// the driver refuses it instead of the index wrapping.
int32_t FirstChannel(int32_t pair, int32_t channels)
{
    return pair >= 0 && pair < channels / 2 ? 2 * pair : channels;
}

void ZeroOutputs(float** outputs, int32_t frames)
{
    for (int32_t c = 0; c < 2; ++c)
    {
        if (outputs[c])
        {
            std::memset(outputs[c], 0, sizeof(float) * static_cast<size_t>(frames));
        }
    }
}

} // namespace

KivQuorvelEffect::KivQuorvelEffect(VstHostCallback host) : VstEffectX2(host, 1, kParameters, kUniqueId)
{
    m_instanceIndex = PluginModule::Enter();
    if (m_instanceIndex >= kMaxInstances)
    {
        m_failed = true;
        return;
    }
    gRegistry.Register(this);
    setInputCount(2);
    setOutputCount(2);
    canMono(true);
    canReplace(true);
    char product[256] = {};
    if (getHostProductString(product) && std::strcmp(product, "Cubase VST") == 0)
    {
        m_hostMode = kHostModeCubase;
    }
    if (Preferences::ReadRenderModeEnabled())
    {
        m_hostMode = kHostModeRender;
    }
    m_trim = m_hostMode != kHostModeRender;
    programsAreChunks(true);
    m_link = new (std::nothrow) AsioLink(this, AsioLinkVariant::Effects);
    // A model operation that misuses the link's call block fails alone; the thread goes on.
    const auto handler = [this](int32_t command) {
        try
        {
            return HandleServicesCommand(command);
        }
        catch (const CallBlockError&)
        {
            return false;
        }
    };
    if (!m_link || !m_servicesThread.Start(handler))
    {
        m_failed = true;
        return;
    }
    RunOnServicesThread(kCommandCreateLink);
}

KivQuorvelEffect::~KivQuorvelEffect()
{
    if (m_servicesThread.IsRunning())
    {
        RunOnServicesThread(kCommandDestroyLink);
    }
    // The thread uses the link and the driver until it has ended: nothing it holds goes
    // before that, however long it takes.
    while (!m_servicesThread.Join(kServicesJoinMs))
    {
    }
    // A thread that ended on its own (a quit message) left its link behind.
    delete m_services.exchange(nullptr);
    delete m_link;
    m_link = nullptr;
    DropStream();
    // Its memory is the platform's, which may go with this instance.
    m_chunk.reset();
    if (m_instanceIndex < kMaxInstances)
    {
        gRegistry.Unregister(this);
    }
    PluginModule::Leave();
}

bool KivQuorvelEffect::RunOnServicesThread(int32_t command)
{
    const bool ran = m_servicesThread.Run(command);
    ServicesConnection* services = m_services.load();
    if (!ran && services)
    {
        services->FailCall();
    }
    if (services && services->TakeDisplayUpdate())
    {
        updateDisplay();
    }
    return ran;
}

bool KivQuorvelEffect::HandleServicesCommand(int32_t command)
{
    switch (command)
    {
    case kCommandCreateLink:
        m_services.store(CreateServicesLink(this));
        if (ServicesConnection* services = m_services.load())
        {
            SetParamChain(services->GetParamChain());
            OnAssignmentChanged();
        }
        return false;
    case kCommandDestroyLink:
        StopAsio(false);
        // The map names nothing of the chain, which goes with the link.
        SetParamChain(nullptr);
        m_params.Publish(std::make_unique<ParamMap>());
        delete m_services.exchange(nullptr);
        return true;
    case ServicesThread::kNudgeCommand:
        if (ParamChain* chain = m_chain.load())
        {
            chain->StoreRequestedParams();
        }
        return false;
    case kCommandReconnect:
        OnAssignmentChanged();
        return false;
    case ServicesThread::kQuitCommand:
        // The apartment ends with the thread: what it holds of the mixer program goes first.
        if (ServicesConnection* services = m_services.load())
        {
            services->Drop();
        }
        return true;
    default:
        ServicesConnection* services = m_services.load();
        if (services && command > kCommandReconnect)
        {
            services->Execute(command);
        }
        return false;
    }
}

int32_t KivQuorvelEffect::getChunk(void** data, bool)
{
    ServicesConnection* services = m_services.load();
    InsertStateList states;
    if (!data || !services || !services->CaptureInserts(&states))
    {
        return 0;
    }
    std::unique_ptr<AlignedBuffer> chunk = MakeStateChunk(states);
    if (!chunk)
    {
        return 0;
    }
    // The host copies the block before it asks again; the previous one goes now.
    m_chunk = std::move(chunk);
    *data = m_chunk->Data();
    return static_cast<int32_t>(m_chunk->Size());
}

int32_t KivQuorvelEffect::setChunk(void* data, int32_t size, bool)
{
    ServicesConnection* services = m_services.load();
    InsertStateList states;
    if (!data || size <= 0 || !services ||
        !ParseStateChunk(
            data, static_cast<size_t>(size),
            [services](const EffectId& id, PresetRecord* record) { return services->FindPreset(id, record); },
            &states) ||
        !services->RestoreInserts(states))
    {
        return 0;
    }
    return size;
}

void KivQuorvelEffect::RequestReconnect()
{
    RunOnServicesThread(kCommandReconnect);
}

void KivQuorvelEffect::OnAssignmentChanged()
{
    ServicesConnection* services = m_services.load();
    if (!services)
    {
        return;
    }
    int32_t send = -1;
    int32_t ret = -1;
    if (!services->GetSendReturnPair(&send, &ret))
    {
        return;
    }
    m_sendPair = send;
    m_returnPair = ret;
    if (m_link)
    {
        if (m_sendPair >= 0 && m_returnPair >= 0 && m_hostBlock.load() > 0)
        {
            Reconnect();
        }
        else
        {
            StopAsio(true);
        }
    }
    m_resetRequested.store(false);
}

void KivQuorvelEffect::DropStream()
{
    delete m_stream.Take();
}

void KivQuorvelEffect::Reconnect()
{
    std::lock_guard<std::mutex> hold(m_asioLock);
    // The stream leaves first, while the driver still runs, so a process call waiting for an
    // offline switch gets it.
    DropStream();
    m_link->Close();
    m_link->Open();
    DriverBufferSizes sizes{};
    m_link->GetBufferSizes(&sizes.minimum, &sizes.maximum, &sizes.granularity, &sizes.preferred);
    const int32_t hostBlock = m_hostBlock.load();
    m_buffers = PlanQuorvelBuffers(hostBlock, sizes, Preferences::ReadExtraBufferEnabled(), m_hostMode);
    auto* stream = new (std::nothrow) AudioStream(m_buffers.frames, PluginModule::ListLock());
    if (stream && !stream->Allocate(m_buffers.frames))
    {
        delete stream;
        stream = nullptr;
    }
    if (stream)
    {
        stream->SetLatency(m_buffers.latencyBlocks);
        m_lead.store(m_buffers.lead);
        m_readSkip.store(m_buffers.readSkip);
        m_extraBuffers.store(m_buffers.extraBuffers);
    }
    const bool started =
        stream && m_link->Start(stream, m_buffers.frames, FirstChannel(m_returnPair, m_link->GetInputCount()),
                                FirstChannel(m_sendPair, m_link->GetOutputCount()));
    ServicesConnection* services = m_services.load();
    if (!services || !services->IsLoadingSession())
    {
        m_link->ShowErrorMessage();
    }
    if (started)
    {
        m_stream.Put(stream);
        return;
    }
    // Without a running pair the audio passes through: nothing feeds a stream no driver drains.
    delete stream;
    m_link->CreateBuffers(m_buffers.streamSize);
}

void KivQuorvelEffect::StopAsio(bool reopen)
{
    std::lock_guard<std::mutex> hold(m_asioLock);
    DropStream();
    if (!m_link)
    {
        return;
    }
    m_link->Close();
    if (reopen && m_link->Open())
    {
        m_link->CreateBuffers(m_buffers.streamSize > 0 ? m_buffers.streamSize : m_link->GetPreferredBufferSize());
    }
}

QuorvelBuffers KivQuorvelEffect::GetBuffers()
{
    std::lock_guard<std::mutex> hold(m_asioLock);
    return m_buffers;
}

int32_t KivQuorvelEffect::GetLatency()
{
    return GetBuffers().latency;
}

void KivQuorvelEffect::setSampleRate(float rate)
{
    VstEffectX2::setSampleRate(rate);
    if (rate >= 1.0f && rate < 2147483647.0f)
    {
        m_rate.store(static_cast<int32_t>(rate));
    }
    std::lock_guard<std::mutex> hold(m_asioLock);
    if (m_link)
    {
        m_link->SetSampleRate(m_rate.load());
    }
}

void KivQuorvelEffect::setBlockSize(int32_t frames)
{
    if (frames <= 0)
    {
        return;
    }
    VstEffectX2::setBlockSize(frames);
    {
        std::lock_guard<std::mutex> hold(m_asioLock);
        m_buffers.extraBuffers = false;
        m_buffers.latency = QuorvelLatencyWithoutStream(frames, m_buffers.streamSize, m_hostMode);
    }
    m_hostBlock.store(frames);
    RequestReconnect();
    setInitialDelay(GetLatency());
}

void KivQuorvelEffect::suspend()
{
    m_processMode.store(kStreamStopped);
    m_stream.Suspend();
}

void KivQuorvelEffect::resume()
{
    if (m_resetRequested.load())
    {
        RequestReconnect();
    }
    m_stream.DropQueued();
    setInitialDelay(GetLatency());
}

void KivQuorvelEffect::Lead(AudioStream* stream)
{
    // With a driver buffer that is no multiple of the host block, a switch that finds only a
    // partly filled block would play it behind zeros again and again: one block of silence
    // queued first keeps the host that far ahead.
    if (!m_lead.load())
    {
        return;
    }
    m_skipLeft = m_readSkip.load();
    static const float kZeros[256] = {};
    const float* zeros[] = {kZeros, kZeros};
    for (int32_t left = stream->Frames(); left > 0; left -= 256)
    {
        stream->WriteHostInput(zeros, left < 256 ? left : 256);
    }
}

void KivQuorvelEffect::ShowRenderWarning()
{
    AsioSystem& system = AsioSystem::Current();
    system.ShowMessage(system.LoadText(kTextRenderWarning), system.LoadText(AsioLink::kTextCaption));
}

void KivQuorvelEffect::process(float** inputs, float** outputs, int32_t frames)
{
    if (!outputs || frames <= 0)
    {
        return;
    }
    const bool replacing = m_replacing.load();
    StreamSlot::Use use(m_stream);
    AudioStream* stream = use.Get();
    if (!stream)
    {
        // No pair runs: the input passes through, added or in place of the output.
        for (int32_t c = 0; c < 2; ++c)
        {
            const float* in = inputs ? inputs[c] : nullptr;
            float* out = outputs[c];
            if (!out)
            {
                continue;
            }
            for (int32_t i = 0; i < frames; ++i)
            {
                out[i] = (replacing ? 0.0f : out[i]) + (in ? in[i] : 0.0f);
            }
        }
        return;
    }
    // In render mode every call counts as offline.
    const bool offline = !m_trim || getCurrentProcessLevel() == kVstProcessLevelOffline;
    // A host rendering offline right after set-up would otherwise race through its whole render
    // before the driver's first switch and get silence: it waits for that switch, a bounded
    // time. In real time the call passes until the driver runs.
    if (!stream->SwitchSeen() && (!offline || !stream->WaitForFirstSwitch()))
    {
        // The driver has not begun: nothing comes back yet.
        if (replacing)
        {
            ZeroOutputs(outputs, frames);
        }
        return;
    }
    int32_t mode = m_processMode.load();
    if (mode == kStreamStopped)
    {
        stream->Reset(false);
        m_offlineFrames = 0;
        Lead(stream);
    }
    if (m_trim)
    {
        const bool rendering = stream->ProcessLevel() == kStreamOffline;
        if (stream->TrimQueues(m_extraBuffers.load()) > 0 && rendering && !m_renderWarningShown)
        {
            // Once per offline run, however many blocks go.
            m_renderWarningShown = true;
            ShowRenderWarning();
        }
    }
    if (offline)
    {
        if (mode != kStreamOffline)
        {
            m_renderWarningShown = false;
            m_offlineFrames = 0;
        }
        mode = kStreamOffline;
    }
    else
    {
        if (mode == kStreamOffline)
        {
            stream->Reset(true);
            Lead(stream);
        }
        mode = kStreamRealtime;
    }
    m_processMode.store(mode);
    stream->WriteHostInput(inputs, frames);
    if (replacing)
    {
        ZeroOutputs(outputs, frames);
    }
    // After a start with a lead, the first read that finds captured audio leaves samples out
    // (see QuorvelBuffers).
    int32_t skip = 0;
    if (m_skipLeft > 0 && stream->InputQueueCount(0) > 0)
    {
        skip = m_skipLeft < frames ? m_skipLeft : frames;
    }
    m_skipLeft -= skip;
    float* later[] = {outputs[0] ? outputs[0] + skip : nullptr, outputs[1] ? outputs[1] + skip : nullptr};
    stream->ReadHostOutput(later, frames - skip);
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

void KivQuorvelEffect::processReplacing(float** inputs, float** outputs, int32_t frames)
{
    m_replacing.store(true);
    process(inputs, outputs, frames);
    m_replacing.store(false);
}

void KivQuorvelEffect::setParameter(int32_t index, float value)
{
    bool requested = false;
    {
        ParamMapSlot::Use map(m_params);
        requested = map->Request(index, value);
    }
    if (requested)
    {
        WakeParamStores();
    }
}

float KivQuorvelEffect::getParameter(int32_t index)
{
    ParamMapSlot::Use map(m_params);
    return map->Get(index);
}

void KivQuorvelEffect::setProgram(int32_t) {}

int32_t KivQuorvelEffect::getProgram()
{
    return 0;
}

void KivQuorvelEffect::setProgramName(char*) {}

void KivQuorvelEffect::getProgramName(char*) {}

void KivQuorvelEffect::getParameterLabel(int32_t index, char* text)
{
    ParamMapSlot::Use map(m_params);
    map->Label(index, text);
}

void KivQuorvelEffect::getParameterDisplay(int32_t index, char* text)
{
    ParamMapSlot::Use map(m_params);
    map->Display(index, text);
}

void KivQuorvelEffect::getParameterName(int32_t index, char* text)
{
    ParamMapSlot::Use map(m_params);
    map->Name(index, text);
}

bool KivQuorvelEffect::getVendorString(char* text)
{
    if (!text)
    {
        return false;
    }
    std::strcpy(text, "KIV Systems");
    return true;
}

void KivQuorvelEffect::RebuildParamMap()
{
    // Values the host set on the old map while this one was made are taken over; someone
    // must still store them.
    if (m_params.Publish(ParamMap::Build(m_chain.load())))
    {
        WakeParamStores();
    }
}

void KivQuorvelEffect::SyncParamMap()
{
    ParamChain* chain = m_chain.load();
    ParamMapSlot::Use map(m_params);
    if (chain)
    {
        map->Sync(*chain);
    }
}

void KivQuorvelEffect::StoreParamRequests(bool direct)
{
    ParamChain* chain = m_chain.load();
    ParamMapSlot::Use map(m_params);
    if (chain)
    {
        map->StoreRequests(*chain, direct);
    }
}

void KivQuorvelEffect::ReportParamToHost(int32_t position, int32_t index, const ParamValue& value)
{
    ParamChain* chain = m_chain.load();
    int32_t vstIndex = -1;
    float normalized = 0.0f;
    {
        ParamMapSlot::Use map(m_params);
        const ParamMap::Record* record = map->FindByInsert(position, index);
        InsertParams insert;
        if (!record || !chain || !chain->GetInsert(position, &insert))
        {
            return;
        }
        vstIndex = record->vstIndex;
        normalized = ParamMap::ToNormalized(*record, value);
    }
    // The host may call back into the plug-in: no map is held meanwhile.
    setParameterAutomated(vstIndex, normalized);
}

void KivQuorvelEffect::ReportAllParamsToHost()
{
    ParamChain* chain = m_chain.load();
    if (!chain)
    {
        return;
    }
    std::vector<std::pair<int32_t, int32_t>> mapped;
    {
        ParamMapSlot::Use map(m_params);
        for (int32_t i = 0; i < map->Count(); ++i)
        {
            mapped.emplace_back(map->Find(i)->position, map->Find(i)->index);
        }
    }
    for (const auto& parameter : mapped)
    {
        ParamValue value;
        if (chain->GetParamValue(parameter.first, parameter.second, &value))
        {
            ReportParamToHost(parameter.first, parameter.second, value);
        }
    }
}

void KivQuorvelEffect::LookupParamMapping(int32_t vstIndex, int32_t* position, int32_t* index)
{
    ParamMapSlot::Use map(m_params);
    map->Lookup(vstIndex, position, index);
}
