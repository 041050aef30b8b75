// KivLoopTest.dll: the smallest plug-in on the base: it sends its stereo input to output
// pair 0 of the card and returns input pair 0, through the audio stream, and keeps one
// parameter as the host sets it. The end-to-end test
// runs it in tools/vsthost against the simulated card.

#include "plugins/base/asio/AsioLink.h"
#include "plugins/base/platform/PlatformBase.h"
#include "plugins/base/stream/AudioStream.h"
#include "plugins/base/vst/EditorBase.h"
#include "plugins/base/vst/VstEffectX.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace
{

constexpr int32_t kLoopTestId = 0x4B4C6F70; // "KLop"

// Process-wide state of the file, set up by its first instance and freed by its last.
int gInstances = 0; // host GUI thread
PlatformLock gListLock;

class LoopEditor final : public EditorBase
{
public:
    using EditorBase::EditorBase;

    bool GetRect(VstRect** rect) override
    {
        *rect = &rect_;
        return true;
    }
    VstValue Open(void* parent) override
    {
        EditorBase::Open(parent);
        window_ = CreateWindowA("STATIC", "loop", WS_CHILD | WS_VISIBLE, 0, 0, rect_.right, rect_.bottom,
                                static_cast<HWND>(parent), nullptr, GetModuleHandleA(nullptr), nullptr);
        return window_ ? 1 : 0;
    }
    void Close() override
    {
        if (window_)
        {
            DestroyWindow(window_);
            window_ = nullptr;
        }
    }

private:
    VstRect rect_{0, 0, 120, 240};
    HWND window_ = nullptr;
};

class LoopPlugin final : public VstEffectX, public AsioLinkOwner
{
public:
    explicit LoopPlugin(VstHostCallback host) : VstEffectX(host, 1, 1, kLoopTestId)
    {
        if (gInstances++ == 0)
        {
            CreatePlatform(0x10000);
            AsioLink::InitInstanceTable();
            ThePlatform()->InitLock(&gListLock);
        }
        link_ = new AsioLink(this);
        setInputCount(2);
        setOutputCount(2);
        canReplace(true);
        programsAreChunks(true);
        SetEditor(new LoopEditor(this));
    }

    ~LoopPlugin() override
    {
        delete link_;
        delete stream_;
        if (--gInstances == 0)
        {
            ThePlatform()->DeleteLock(&gListLock);
            AsioLink::FreeInstanceTable();
            DestroyPlatform();
        }
    }

    void resume() override
    {
        if (!link_->IsOpen() && !link_->Open())
        {
            return;
        }
        const int32_t frames = link_->GetPreferredBufferSize();
        delete stream_;
        stream_ = new AudioStream(frames, &gListLock);
        stream_->Allocate(frames);
        // One block each way in flight: what the host wrote is played at the next switch and
        // what the switch captured is read by the next process call.
        stream_->SetLatency(1);
        if (link_->Start(stream_, frames, 0, 0))
        {
            setInitialDelay(2 * frames + link_->GetInputLatency() + link_->GetOutputLatency());
            ioChanged();
        }
    }

    void suspend() override
    {
        link_->Close();
        delete stream_;
        stream_ = nullptr;
    }

    void process(float** inputs, float** outputs, int32_t frames) override { Run(inputs, outputs, frames); }

    void processReplacing(float** inputs, float** outputs, int32_t frames) override
    {
        std::memset(outputs[0], 0, sizeof(float) * static_cast<size_t>(frames));
        std::memset(outputs[1], 0, sizeof(float) * static_cast<size_t>(frames));
        Run(inputs, outputs, frames);
    }

    int32_t getChunk(void** data, bool) override
    {
        *data = chunk_;
        return sizeof(chunk_);
    }

    int32_t setChunk(void* data, int32_t size, bool) override
    {
        if (size != sizeof(chunk_))
        {
            return 0;
        }
        std::memcpy(chunk_, data, sizeof(chunk_));
        return 1;
    }

    bool getEffectName(char* text) override
    {
        std::strcpy(text, "KIV loop test");
        return true;
    }

    // One parameter, kept as the host sets it, for the host's parameter calls.
    void setParameter(int32_t index, float value) override
    {
        if (index == 0)
        {
            level_ = value;
        }
    }
    float getParameter(int32_t index) override { return index == 0 ? level_.load() : 0.0f; }
    void getParameterName(int32_t index, char* text) override { std::strcpy(text, index == 0 ? "Level" : "?"); }
    void getParameterDisplay(int32_t index, char* text) override
    {
        std::snprintf(text, 8, "%.2f", static_cast<double>(getParameter(index)));
    }

    void OnResetRequest() override { resetRequested_ = true; }

private:
    void Run(float** inputs, float** outputs, int32_t frames)
    {
        if (!stream_ || !link_->IsRunning())
        {
            return;
        }
        stream_->SetProcessLevel(getCurrentProcessLevel() == kVstProcessLevelOffline ? kStreamOffline
                                                                                     : kStreamRealtime);
        stream_->TrimQueues();
        stream_->WriteHostInput(inputs, frames);
        stream_->ReadHostOutput(outputs, frames);
    }

    AsioLink* link_;                // owned
    AudioStream* stream_ = nullptr; // owned
    char chunk_[8] = {'L', 'O', 'O', 'P', 1, 2, 3, 4};
    std::atomic<bool> resetRequested_{false};
    std::atomic<float> level_{0.0f};
};

} // namespace

extern "C" VstEffectRecord* KIV_VSTCALL PluginEntry(VstHostCallback host)
{
    if (!host || host(nullptr, kHostVersion, 0, 0, nullptr, 0.0f) == 0)
    {
        return nullptr;
    }
    return (new LoopPlugin(host))->GetRecord();
}
