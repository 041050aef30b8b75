// KivLoopTest.dll: the smallest plug-in on the base: it sends its stereo input to output
// pair 0 of the card and returns input pair 0, through the audio stream. The end-to-end test
// runs it in tools/vsthost against the simulated card.

#include "plugins/base/asio/AsioLink.h"
#include "plugins/base/platform/PlatformBase.h"
#include "plugins/base/stream/AudioStream.h"
#include "plugins/base/vst/EditorBase.h"
#include "plugins/base/vst/VstEffectX.h"

#include <windows.h>

#include <atomic>
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
        *rect = &m_rect;
        return true;
    }
    VstValue Open(void* parent) override
    {
        EditorBase::Open(parent);
        m_window = CreateWindowA("STATIC", "loop", WS_CHILD | WS_VISIBLE, 0, 0, m_rect.right, m_rect.bottom,
                                 static_cast<HWND>(parent), nullptr, GetModuleHandleA(nullptr), nullptr);
        return m_window ? 1 : 0;
    }
    void Close() override
    {
        if (m_window)
        {
            DestroyWindow(m_window);
            m_window = nullptr;
        }
    }

private:
    VstRect m_rect{0, 0, 120, 240};
    HWND m_window = nullptr;
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
        m_link = new AsioLink(this);
        setInputCount(2);
        setOutputCount(2);
        canReplace(true);
        programsAreChunks(true);
        SetEditor(new LoopEditor(this));
    }

    ~LoopPlugin() override
    {
        delete m_link;
        delete m_stream;
        if (--gInstances == 0)
        {
            ThePlatform()->DeleteLock(&gListLock);
            AsioLink::FreeInstanceTable();
            DestroyPlatform();
        }
    }

    void resume() override
    {
        if (!m_link->IsOpen() && !m_link->Open())
        {
            return;
        }
        const int32_t frames = m_link->GetPreferredBufferSize();
        delete m_stream;
        m_stream = new AudioStream(frames, &gListLock);
        m_stream->Allocate(frames);
        // One block each way in flight: what the host wrote is played at the next switch and
        // what the switch captured is read by the next process call.
        m_stream->SetLatency(1);
        if (m_link->Start(m_stream, frames, 0, 0))
        {
            setInitialDelay(2 * frames + m_link->GetInputLatency() + m_link->GetOutputLatency());
            ioChanged();
        }
    }

    void suspend() override
    {
        m_link->Close();
        delete m_stream;
        m_stream = nullptr;
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
        *data = m_chunk;
        return sizeof(m_chunk);
    }

    int32_t setChunk(void* data, int32_t size, bool) override
    {
        if (size != sizeof(m_chunk))
        {
            return 0;
        }
        std::memcpy(m_chunk, data, sizeof(m_chunk));
        return 1;
    }

    bool getEffectName(char* text) override
    {
        std::strcpy(text, "KIV loop test");
        return true;
    }

    void OnResetRequest() override { m_resetRequested = true; }

private:
    void Run(float** inputs, float** outputs, int32_t frames)
    {
        if (!m_stream || !m_link->IsRunning())
        {
            return;
        }
        m_stream->SetProcessLevel(getCurrentProcessLevel() == kVstProcessLevelOffline ? kStreamOffline
                                                                                      : kStreamRealtime);
        m_stream->TrimQueues();
        m_stream->WriteHostInput(inputs, frames);
        m_stream->ReadHostOutput(outputs, frames);
    }

    AsioLink* m_link;                // owned
    AudioStream* m_stream = nullptr; // owned
    char m_chunk[8] = {'L', 'O', 'O', 'P', 1, 2, 3, 4};
    std::atomic<bool> m_resetRequested{false};
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
