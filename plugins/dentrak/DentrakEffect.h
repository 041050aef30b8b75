#pragma once
// The delay plug-in: delays the host's stereo signal by a whole number of blocks, amount x
// (L + 3), where L is the round trip of the routing plug-in in host blocks beyond one, so a
// track that does not pass the card stays aligned with one that does. The driver is opened
// only to learn its preferred buffer size; the delay line is an audio stream whose output
// queues feed its input queues on the host's thread.

#include "plugins/base/asio/AsioLink.h"
#include "plugins/base/stream/StreamSlot.h"
#include "plugins/base/vst/VstEffectX.h"

#include <atomic>
#include <cstdint>
#include <memory>

class DentrakEffect final : public VstEffectX, public AsioLinkOwner
{
public:
    static constexpr int32_t kUniqueId = 0x4B44746B; // "KDtk"
    static constexpr int32_t kChunkSize = 4;
    static constexpr int32_t kMaxAmount = 10;
    static constexpr int32_t kMaxLinkedInstances = 8;

    explicit DentrakEffect(VstHostCallback host);
    ~DentrakEffect() override;

    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void setProgram(int32_t program) override;
    int32_t getProgram() override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(int32_t index, char* text) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    void open() override;
    void close() override;
    void process(float** inputs, float** outputs, int32_t frames) override;
    int32_t getChunk(void** data, bool isPreset) override;
    int32_t setChunk(void* data, int32_t size, bool isPreset) override;
    void setSampleRate(float rate) override;
    void setBlockSize(int32_t frames) override;
    void suspend() override;
    void resume() override;

    // False, with nothing changed, above 10 (as an unsigned number). Any thread; takes
    // effect at the next process call.
    bool SetAmount(int32_t amount);
    int32_t GetAmount() const { return amount_.load(); }
    void Rebuild();

    // Reset requests concern the routing plug-in's streams; this driver is never started.
    void OnResetRequest() override {}

    // L: the driver's preferred size in host blocks, less one (at least 0).
    int32_t GetLatencyBlocks() const { return latencyBlocks_; }
    // The delay in blocks at the current amount.
    int32_t DelayBlocks() const { return amount_.load() * (latencyBlocks_ + 3); }
    AsioLink* GetLink() const { return link_; }
    StreamSlot& GetStream() { return stream_; }

private:
    static void PassThrough(float** inputs, float** outputs, int32_t frames);

    int32_t instanceIndex_;
    std::atomic<int32_t> processMode_{kStreamStopped}; // a StreamProcessLevel
    int32_t blockSize_ = 0;                            // 0 until the host gives one
    int32_t rate_ = 44100;
    std::atomic<int32_t> amount_{1};
    int32_t latencyBlocks_ = 0; // host threads; set before the stream is published
    AsioLink* link_ = nullptr;  // owned; null beyond the eighth live instance
    StreamSlot stream_;
    std::unique_ptr<uint8_t[]> chunk_; // the block last handed to the host
};
