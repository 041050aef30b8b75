#include "plugins/quorvel/KivQuorvelEffect.h"

#include "plugins/base/asio/AsioSystem.h"
#include "plugins/base/asio/PluginModule.h"
#include "plugins/base/registry/InstanceRegistry.h"
#include "plugins/quorvel/Preferences.h"
#include "plugins/quorvel/QuorvelEditorFactory.h"
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
    instanceIndex_ = PluginModule::Enter();
    if (instanceIndex_ >= kMaxInstances)
    {
        failed_ = true;
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
        hostMode_ = kHostModeCubase;
    }
    if (Preferences::ReadRenderModeEnabled())
    {
        hostMode_ = kHostModeRender;
    }
    programsAreChunks(true);
    link_ = new (std::nothrow) AsioLink(this, AsioLinkVariant::Effects);
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
    if (!link_ || !servicesThread_.Start(handler, kServicesWaitMs))
    {
        failed_ = true;
        return;
    }
    RunOnServicesThread(kCmdCreateLink);
    // The editor attaches itself; without one the host gets none.
    SetEditor(CreateQuorvelEditor(this));
}

bool KivQuorvelEffect::PostToPanel(uint32_t id, uintptr_t wParam, uintptr_t lParam)
{
    return PostToQuorvelEditor(GetEditor(), id, wParam, lParam);
}

void KivQuorvelEffect::CloseEditor()
{
    if (EditorBase* editor = GetEditor())
    {
        // An editor whose dialog loop still runs deletes itself once that loop has returned.
        if (!ReleaseQuorvelEditor(editor))
            TakeEditor();
    }
}

void KivQuorvelEffect::Destroy()
{
    CloseEditor();
    if (servicesThread_.End(kCmdDestroyLink, [this] { delete this; }))
    {
        delete this;
    }
}

KivQuorvelEffect::~KivQuorvelEffect()
{
    CloseEditor();
    // The thread uses the link and the driver until its last command has run: nothing it
    // holds goes before that. After Destroy it has run already.
    servicesThread_.End(kCmdDestroyLink, nullptr);
    // A thread that ended on its own (a quit message) left its link behind.
    delete services_.exchange(nullptr);
    delete link_;
    link_ = nullptr;
    DropStream();
    // Its memory is the platform's, which may go with this instance.
    chunk_.reset();
    if (instanceIndex_ < kMaxInstances)
    {
        gRegistry.Unregister(this);
    }
    PluginModule::Leave();
}

bool KivQuorvelEffect::RunOnServicesThread(int32_t command)
{
    // The link's commands work on the caller's call block: once taken, they are waited for.
    const bool linkCommand = command >= kFirstLinkCommand;
    const bool ran = servicesThread_.Run(command, linkCommand) == ServicesThread::Outcome::Ran;
    ServicesConnection* services = services_.load();
    if (!ran && services && linkCommand)
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
    case kCmdCreateLink:
        services_.store(CreateServicesLink(this));
        if (ServicesConnection* services = services_.load())
        {
            SetParamChain(services->GetParamChain());
            OnAssignmentChanged();
        }
        return false;
    case kCmdDestroyLink:
        StopAsio(false);
        // The map names nothing of the chain, which goes with the link.
        SetParamChain(nullptr);
        params_.Publish(std::make_unique<ParamMap>());
        delete services_.exchange(nullptr);
        return true;
    case ServicesThread::kNudgeCommand:
        if (ParamChain* chain = chain_.load())
        {
            chain->StoreRequestedParams();
        }
        return false;
    case kCmdReconnect:
        OnAssignmentChanged();
        return false;
    case ServicesThread::kQuitCommand:
        // The apartment ends with the thread: what it holds of the mixer program goes first.
        if (ServicesConnection* services = services_.load())
        {
            services->Drop();
        }
        return true;
    default:
        ServicesConnection* services = services_.load();
        if (services && command >= kFirstLinkCommand)
        {
            services->Execute(command);
        }
        return false;
    }
}

int32_t KivQuorvelEffect::getChunk(void** data, bool)
{
    ServicesConnection* services = services_.load();
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
    chunk_ = std::move(chunk);
    *data = chunk_->Data();
    return static_cast<int32_t>(chunk_->Size());
}

int32_t KivQuorvelEffect::setChunk(void* data, int32_t size, bool)
{
    ServicesConnection* services = services_.load();
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
    RunOnServicesThread(kCmdReconnect);
}

void KivQuorvelEffect::OnAssignmentChanged()
{
    ServicesConnection* services = services_.load();
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
    sendPair_ = send;
    returnPair_ = ret;
    if (link_)
    {
        if (sendPair_ >= 0 && returnPair_ >= 0 && hostBlock_.load() > 0)
        {
            Reconnect();
        }
        else
        {
            StopAsio(true);
        }
    }
    resetRequested_.store(false);
}

void KivQuorvelEffect::DropStream()
{
    delete stream_.Take();
}

void KivQuorvelEffect::CloseLink()
{
    // The stream leaves the host's calls first, while the driver still runs, so a process call
    // waiting for an offline switch gets it; it is deleted only once the driver has stopped,
    // since a switch under way feeds it until the stop returns.
    const std::unique_ptr<AudioStream> stream(stream_.Take());
    if (link_)
    {
        link_->Close();
    }
}

void KivQuorvelEffect::Reconnect()
{
    std::lock_guard<std::mutex> hold(asioLock_);
    CloseLink();
    link_->Open();
    DriverBufferSizes sizes{};
    link_->GetBufferSizes(&sizes.minimum, &sizes.maximum, &sizes.granularity, &sizes.preferred);
    const int32_t hostBlock = hostBlock_.load();
    buffers_ = PlanQuorvelBuffers(hostBlock, sizes, Preferences::ReadExtraBufferEnabled(), hostMode_);
    auto* stream = new (std::nothrow) AudioStream(buffers_.frames, PluginModule::ListLock());
    if (stream && !stream->Allocate(buffers_.frames))
    {
        delete stream;
        stream = nullptr;
    }
    if (stream)
    {
        stream->SetObserver(&losses_);
        stream->HoldDelay(buffers_.held);
    }
    const bool started =
        stream && link_->Start(stream, buffers_.frames, FirstChannel(returnPair_, link_->GetInputCount()),
                               FirstChannel(sendPair_, link_->GetOutputCount()));
    ServicesConnection* services = services_.load();
    if (!services || !services->IsLoadingSession())
    {
        link_->ShowErrorMessage();
    }
    if (started)
    {
        stream_.Put(stream);
        return;
    }
    // Without a running pair the audio passes through: nothing feeds a stream no driver drains.
    delete stream;
    link_->CreateBuffers(buffers_.streamSize);
}

void KivQuorvelEffect::StopAsio(bool reopen)
{
    std::lock_guard<std::mutex> hold(asioLock_);
    CloseLink();
    if (!link_)
    {
        return;
    }
    if (reopen && link_->Open())
    {
        link_->CreateBuffers(buffers_.streamSize > 0 ? buffers_.streamSize : link_->GetPreferredBufferSize());
    }
}

QuorvelBuffers KivQuorvelEffect::GetBuffers()
{
    std::lock_guard<std::mutex> hold(asioLock_);
    return buffers_;
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
        rate_.store(static_cast<int32_t>(rate));
    }
    std::lock_guard<std::mutex> hold(asioLock_);
    if (link_)
    {
        link_->SetSampleRate(rate_.load());
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
        std::lock_guard<std::mutex> hold(asioLock_);
        buffers_.latency = QuorvelLatencyWithoutStream(frames, buffers_.streamSize, hostMode_);
    }
    hostBlock_.store(frames);
    RequestReconnect();
    setInitialDelay(GetLatency());
}

void KivQuorvelEffect::suspend()
{
    processMode_.store(kStreamStopped);
    stream_.Suspend();
}

void KivQuorvelEffect::resume()
{
    if (resetRequested_.load())
    {
        RequestReconnect();
    }
    stream_.DropQueued();
    setInitialDelay(GetLatency());
}

void KivQuorvelEffect::Losses::OnSilence(StreamEvent event, int32_t channel, int32_t)
{
    // A read found the samples due not back in time: zeros in their place.
    if (event == StreamEvent::EmptyRead && channel == 0)
    {
        count_.fetch_add(1);
    }
}

void KivQuorvelEffect::ShowRenderWarning()
{
    AsioSystem& system = AsioSystem::Current();
    system.ShowMessage(system.LoadText(kTextRenderWarning), system.LoadText(AsioLink::kTextCaption));
}

void KivQuorvelEffect::process(float** inputs, float** outputs, int32_t frames)
{
    Process(inputs, outputs, frames, Output::Add);
}

void KivQuorvelEffect::processReplacing(float** inputs, float** outputs, int32_t frames)
{
    Process(inputs, outputs, frames, Output::Replace);
}

void KivQuorvelEffect::Process(float** inputs, float** outputs, int32_t frames, Output output)
{
    if (!outputs || frames <= 0)
    {
        return;
    }
    const bool replacing = output == Output::Replace;
    StreamSlot::Use use(stream_);
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
    const bool offline = hostMode_ == kHostModeRender || getCurrentProcessLevel() == kVstProcessLevelOffline;
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
    int32_t mode = processMode_.load();
    if (mode == kStreamStopped)
    {
        stream->Reset(false);
        pacer_.Restart();
    }
    if (offline)
    {
        if (mode != kStreamOffline)
        {
            renderWarningShown_ = false;
            pacer_.Restart();
        }
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
    if (replacing)
    {
        ZeroOutputs(outputs, frames);
    }
    const int32_t lossesBefore = losses_.Count();
    stream->ReadHostOutput(outputs, frames);
    if (mode == kStreamOffline && losses_.Count() != lossesBefore && !renderWarningShown_)
    {
        // The render has a gap: samples that did not come back by their time (the card fell
        // behind the host). Once per offline run, however many go.
        renderWarningShown_ = true;
        ShowRenderWarning();
    }
    stream->SetProcessLevel(mode);
    pacer_.Pace(*stream, mode, frames);
}

void KivQuorvelEffect::setParameter(int32_t index, float value)
{
    bool requested = false;
    {
        ParamMapSlot::Use map(params_);
        requested = map->Request(index, value);
    }
    if (requested)
    {
        WakeParamStores();
    }
}

float KivQuorvelEffect::getParameter(int32_t index)
{
    ParamMapSlot::Use map(params_);
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
    ParamMapSlot::Use map(params_);
    map->Label(index, text);
}

void KivQuorvelEffect::getParameterDisplay(int32_t index, char* text)
{
    ParamMapSlot::Use map(params_);
    map->Display(index, text);
}

void KivQuorvelEffect::getParameterName(int32_t index, char* text)
{
    ParamMapSlot::Use map(params_);
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
    if (params_.Publish(ParamMap::Build(chain_.load())))
    {
        WakeParamStores();
    }
}

void KivQuorvelEffect::SyncParamMap()
{
    ParamChain* chain = chain_.load();
    ParamMapSlot::Use map(params_);
    if (chain)
    {
        map->Sync(*chain);
    }
}

void KivQuorvelEffect::StoreParamRequests(bool direct)
{
    ParamChain* chain = chain_.load();
    ParamMapSlot::Use map(params_);
    if (chain)
    {
        map->StoreRequests(*chain, direct);
    }
}

void KivQuorvelEffect::ReportParamToHost(int32_t position, int32_t index, const ParamValue& value)
{
    ParamChain* chain = chain_.load();
    int32_t vstIndex = -1;
    float normalized = 0.0f;
    {
        ParamMapSlot::Use map(params_);
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
    ParamChain* chain = chain_.load();
    if (!chain)
    {
        return;
    }
    std::vector<std::pair<int32_t, int32_t>> mapped;
    {
        ParamMapSlot::Use map(params_);
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
    ParamMapSlot::Use map(params_);
    map->Lookup(vstIndex, position, index);
}
