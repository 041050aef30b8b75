#include "plugins/dentrak/DentrakEffect.h"

#include "plugins/base/asio/PluginModule.h"
#include "plugins/base/vst/EditorBase.h"

#include <cstring>
#include <new>

#ifdef _WIN32
#include "plugins/dentrak/DentrakEditor.h"
#endif

DentrakEffect::DentrakEffect(VstHostCallback host) : VstEffectX(host, 1, 0, kUniqueId)
{
    instanceIndex_ = PluginModule::Enter();
    // Every instance takes a stereo track: one beyond the eighth passes it through.
    setInputCount(2);
    setOutputCount(2);
    if (instanceIndex_ < kMaxLinkedInstances)
    {
        canMono(true);
        programsAreChunks(true);
        link_ = new (std::nothrow) AsioLink(this);
        if (link_)
        {
            link_->Open();
        }
#ifdef _WIN32
        // The editor attaches itself to this effect, which owns it from then on.
        new (std::nothrow) DentrakEditor(this);
#endif
    }
}

DentrakEffect::~DentrakEffect()
{
    delete link_;
    link_ = nullptr;
    delete stream_.Take();
    PluginModule::Leave();
}

void DentrakEffect::setParameter(int32_t, float) {}

float DentrakEffect::getParameter(int32_t)
{
    return 0.0f;
}

void DentrakEffect::setProgram(int32_t) {}

int32_t DentrakEffect::getProgram()
{
    return 0;
}

void DentrakEffect::setProgramName(char*) {}

void DentrakEffect::getProgramName(char*) {}

void DentrakEffect::getParameterLabel(int32_t, char* text)
{
    text[0] = '\0';
}

void DentrakEffect::getParameterDisplay(int32_t, char*) {}

void DentrakEffect::getParameterName(int32_t, char*) {}

void DentrakEffect::open() {}

void DentrakEffect::close() {}

bool DentrakEffect::SetAmount(int32_t amount)
{
    if (static_cast<uint32_t>(amount) > static_cast<uint32_t>(kMaxAmount))
    {
        return false;
    }
    amount_.store(amount);
    return true;
}

void DentrakEffect::Rebuild()
{
    delete stream_.Take();
    if (!link_)
    {
        return;
    }
    link_->Close();
    link_->Open();
    // Without a host block there is no latency to count: setBlockSize builds the line.
    if (blockSize_ <= 0)
    {
        return;
    }
    const int32_t preferred = link_->GetPreferredBufferSize();
    latencyBlocks_ = preferred / blockSize_ - 1 > 0 ? preferred / blockSize_ - 1 : 0;
    // Room for the longest line either way, a block being filled and one being read, and
    // host calls somewhat longer than the block.
    const int32_t blocks = kMaxAmount * (latencyBlocks_ + 3) + 8;
    auto* stream = new (std::nothrow) AudioStream(blockSize_, PluginModule::ListLock());
    if (stream && !stream->Allocate(blockSize_, blocks))
    {
        delete stream;
        stream = nullptr;
    }
    if (!stream)
    {
        return;
    }
    stream->SetLatency(latencyBlocks_);
    processMode_.store(kStreamStopped);
    stream_.Put(stream);
}

void DentrakEffect::setSampleRate(float rate)
{
    VstEffectX::setSampleRate(rate);
    rate_ = static_cast<int32_t>(rate);
    if (link_)
    {
        link_->SetSampleRate(rate_);
    }
}

void DentrakEffect::setBlockSize(int32_t frames)
{
    if (frames <= 0)
    {
        return;
    }
    VstEffectX::setBlockSize(frames);
    blockSize_ = frames;
    Rebuild();
}

void DentrakEffect::suspend()
{
    processMode_.store(kStreamStopped);
    stream_.Suspend();
}

void DentrakEffect::resume()
{
    stream_.DropQueued();
    // The line starts again from empty queues.
    processMode_.store(kStreamStopped);
}

void DentrakEffect::process(float** inputs, float** outputs, int32_t frames)
{
    if (!link_)
    {
        // An instance beyond the eighth has no delay line: its track passes undelayed.
        PassThrough(inputs, outputs, frames);
        return;
    }
    StreamSlot::Use use(stream_);
    AudioStream* stream = use.Get();
    if (!stream || frames <= 0)
    {
        return;
    }
    if (processMode_.load() == kStreamStopped)
    {
        stream->Reset(false);
    }
    processMode_.store(getCurrentProcessLevel() == kVstProcessLevelOffline ? kStreamOffline : kStreamRealtime);
    const int32_t delay = DelayBlocks() * blockSize_;
    if (delay == 0)
    {
        // Amount 0 delays nothing: the line empties and the track passes as it is.
        if (stream->QueuedSamples(0) > 0)
        {
            stream->Reset(false);
        }
        PassThrough(inputs, outputs, frames);
        return;
    }
    stream->WriteHostInput(inputs, frames);
    // The line holds exactly `delay` samples between calls, however the host cuts them: a
    // line still filling (after a start or a raise) hands out only what is older than the
    // delay, at the end of the call, and one left longer by a lowering drops its oldest
    // samples at once.
    int32_t due = 0;
    for (int32_t c = 0; c < AudioStream::kChannels; ++c)
    {
        const int32_t beyond = stream->QueuedSamples(c) - delay;
        if (beyond > frames)
        {
            stream->DropOldest(c, beyond - frames);
        }
        due = beyond < 0 ? 0 : (beyond < frames ? beyond : frames);
        stream->MoveOutputHeadsToInput(c, due);
    }
    float* late[AudioStream::kChannels] = {outputs[0] + (frames - due), outputs[1] + (frames - due)};
    stream->ReadHostOutput(late, due);
}

void DentrakEffect::PassThrough(float** inputs, float** outputs, int32_t frames)
{
    for (int32_t c = 0; c < AudioStream::kChannels && frames > 0; ++c)
    {
        for (int32_t i = 0; i < frames; ++i)
        {
            outputs[c][i] += inputs[c][i];
        }
    }
}

int32_t DentrakEffect::getChunk(void** data, bool)
{
    if (!data)
    {
        return 0;
    }
    std::unique_ptr<uint8_t[]> chunk(new (std::nothrow) uint8_t[kChunkSize]());
    if (!chunk)
    {
        return 0;
    }
    const int32_t amount = amount_.load();
    std::memcpy(chunk.get(), &amount, sizeof(amount));
    // The host copies the block before it asks again; the previous one goes now.
    chunk_ = std::move(chunk);
    *data = chunk_.get();
    return kChunkSize;
}

int32_t DentrakEffect::setChunk(void* data, int32_t size, bool)
{
    if (!data || size < kChunkSize)
    {
        return 0;
    }
    int32_t amount = 0;
    std::memcpy(&amount, data, sizeof(amount));
    SetAmount(amount);
    Rebuild();
    if (EditorBase* editor = GetEditor())
    {
        editor->PostUpdate();
    }
    return kChunkSize;
}
