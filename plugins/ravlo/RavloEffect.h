#pragma once
// The routing plug-in: sends the host's stereo signal to one output pair of the card's ASIO
// driver and returns one input pair to the host. It sizes the driver buffer from the host
// block, reports the round trip as its initial delay and reopens the driver whenever the
// pairs, the block size or the driver's state change.

#include "plugins/base/asio/AsioLink.h"
#include "plugins/base/stream/OfflinePacer.h"
#include "plugins/base/stream/StreamSlot.h"
#include "plugins/base/vst/VstEffectX.h"
#include "plugins/base/asio/BufferChoice.h"

#include <atomic>
#include <cstdint>
#include <memory>

class RavloEffect final : public VstEffectX, public AsioLinkOwner
{
public:
    static constexpr int32_t kUniqueId = 0x4B52766C; // "KRvl"
    static constexpr int32_t kChunkSize = 72;
    static constexpr int32_t kMaxLinkedInstances = 8;

    explicit RavloEffect(VstHostCallback host);
    ~RavloEffect() override;

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
    void setInitialDelay(int32_t frames) override;

    void Reconfigure();
    void SetResetRequested(bool state) { resetRequested_.store(state); }
    void RefreshChannels();
    // n is a driver pair index (channels 2n and 2n + 1); any negative index turns it off.
    void SetInputPair(int32_t n);
    void SetOutputPair(int32_t n);

    // The driver asks for a reset (on its thread); acted upon at the next resume or chunk.
    void OnResetRequest() override { SetResetRequested(true); }

    int32_t GetInstanceIndex() const { return instanceIndex_; }
    int32_t GetInputPair() const { return inputPair_; }
    int32_t GetOutputPair() const { return outputPair_; }
    int32_t GetInitialDelay() const { return initialDelay_; }
    bool IsResetRequested() const { return resetRequested_.load(); }
    const BufferChoice& GetBufferChoice() const { return choice_; }
    // Null for an instance beyond the eighth live one.
    AsioLink* GetLink() const { return link_; }
    // The editor's level lights read the stream through this.
    StreamSlot& GetStream() { return stream_; }

private:
    void OpenPlain();
    void OpenPairs();
    // Stops and closes the driver, then deletes the stream once process no longer holds it.
    void CloseDriver();

    int32_t instanceIndex_;
    std::atomic<int32_t> processMode_{kStreamStopped}; // a StreamProcessLevel
    int32_t inputPair_ = -1;                           // host threads
    int32_t outputPair_ = -1;                          // host threads
    int32_t hostBlock_ = 0;                            // 0 until the host gives one
    int32_t rate_ = 44100;
    int32_t initialDelay_ = 0;
    std::atomic<bool> resetRequested_{false};
    BufferChoice choice_;      // of the last OpenPairs; host threads
    OfflinePacer pacer_;       // audio thread
    AsioLink* link_ = nullptr; // owned
    StreamSlot stream_;
    std::unique_ptr<uint8_t[]> chunk_; // the block last handed to the host
};
