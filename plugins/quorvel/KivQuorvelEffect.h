#pragma once
// The effects plug-in: runs a chain of the card's DSP effects as an insert on a host track.
// The host's stereo input leaves through the instance's send pair of the card's ASIO driver,
// passes the chain in the mixer, and comes back through its return pair as the output. The
// pairs come from the mixer program through the services link, on the instance's services
// thread; while the instance holds none, its input passes straight through.
//
// Threads: the host's GUI thread calls the dispatcher, its audio thread process; the services
// thread runs the link and every reconnection of the driver; the driver's thread feeds the
// stream. The stream changes hands through a StreamSlot, so process never waits for a
// reconnection, and every driver operation holds the ASIO lock, so the host's rate change
// and the services thread never drive the link at once.

#include "plugins/base/asio/AsioLink.h"
#include "plugins/base/platform/AlignedBuffer.h"
#include "plugins/base/stream/OfflinePacer.h"
#include "plugins/base/stream/StreamSlot.h"
#include "plugins/base/vst/VstEffectX2.h"
#include "plugins/quorvel/ModelLink.h"
#include "plugins/quorvel/ParamMap.h"
#include "plugins/quorvel/QuorvelBuffers.h"
#include "plugins/quorvel/ServicesConnection.h"
#include "plugins/quorvel/ServicesThread.h"

#include <atomic>
#include <memory>
#include <cstdint>
#include <mutex>

class KivQuorvelEffect final : public VstEffectX2, public AsioLinkOwner, public ServicesLinkOwner
{
public:
    static constexpr int32_t kUniqueId = 0x4B51766C; // "KQvl"
    static constexpr int32_t kMaxInstances = 33;
    static constexpr int32_t kParameters = ParamMap::kMaxParams;
    // The render warning's text in the file's string table (its caption is the link's).
    static constexpr int kTextRenderWarning = 5;
    // How long a host's call waits for the services thread: a connect or a command that takes
    // longer goes on there, and the call returns (the audio passes through meanwhile).
    static constexpr uint32_t kServicesWaitMs = 5000;

    explicit KivQuorvelEffect(VstHostCallback host);
    // Waits for the services thread's last command however long it takes; the host's close
    // (Destroy) does not.
    ~KivQuorvelEffect() override;
    // effClose: the services thread gets the instance's last command; when it does not finish
    // it in time (stuck in a call to the mixer program), the thread deletes the instance once
    // done, so nothing it still uses goes before.
    void Destroy() override;

    // The instance could not be made whole (too many instances, no services thread): the
    // entry point deletes it and gives the host nothing.
    bool Failed() const { return failed_; }

    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    void process(float** inputs, float** outputs, int32_t frames) override;
    void processReplacing(float** inputs, float** outputs, int32_t frames) override;
    void setProgram(int32_t program) override;
    int32_t getProgram() override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParameterLabel(int32_t index, char* text) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    // The state chunk "PPI1": the insert chain as the host keeps it in its project. The block
    // handed out stays valid until the next getChunk or the instance's end.
    int32_t getChunk(void** data, bool isPreset) override;
    int32_t setChunk(void* data, int32_t size, bool isPreset) override;
    void setSampleRate(float rate) override;
    void setBlockSize(int32_t frames) override;
    void suspend() override;
    void resume() override;
    bool getVendorString(char* text) override;

    // Services thread: rereads the granted pairs and reconnects the driver to them.
    void OnAssignmentChanged() override;
    // Services thread: the pair was given back; with reopen the driver stays open without
    // channels.
    void StopAsio(bool reopen) override;
    int32_t GetAsioSampleRate() override { return rate_.load(); }
    // Any thread: to the editor's panel; false when there is none to take it.
    bool PostToPanel(uint32_t id, uintptr_t wParam, uintptr_t lParam) override;
    // Any thread but the services thread's callers' own: runs the reconnection there.
    void RequestReconnect();
    // Runs a services command on the services thread and waits for it, at most
    // kServicesWaitMs unless the thread has taken one of the link's commands (their arguments
    // are the caller's). When the thread has ended or did not take it in time, a link left
    // behind answers the command's failure; a display update the command asked for is made
    // here, after the wait, so a host that hands it to another thread never waits for the
    // services thread.
    bool RunOnServicesThread(int32_t command) override;

    // The driver asks for a reset (on its thread); acted upon at the next resume.
    void OnResetRequest() override { resetRequested_.store(true); }

    // The parameter path: the chain is the link's (borrowed; null while there is none). The
    // map follows it through the calls of its holder below.
    void SetParamChain(ParamChain* chain) { chain_.store(chain); }
    void RebuildParamMap() override;
    void SyncParamMap() override;
    void StoreParamRequests(bool direct) override;
    void WakeParamStores() override { servicesThread_.Nudge(); }
    void ReportParamToHost(int32_t position, int32_t index, const ParamValue& value) override;
    void ReportAllParamsToHost() override;
    void LookupParamMapping(int32_t vstIndex, int32_t* position, int32_t* index);

    int32_t GetInstanceIndex() const { return instanceIndex_; }
    int32_t GetHostMode() const { return hostMode_; }
    int32_t GetLatency();
    int32_t GetSendPair() const { return sendPair_; }
    int32_t GetReturnPair() const { return returnPair_; }
    QuorvelBuffers GetBuffers();
    AsioLink* GetLink() const { return link_; }
    StreamSlot& GetStream() { return stream_; }
    // A StreamProcessLevel: non-zero once the host processes (any thread).
    int32_t GetProcessMode() const { return processMode_.load(); }
    // The link the editor shows (null without one); it lives until the services thread's
    // last command, which runs only after the editor has closed.
    ServicesConnection* GetServices() const { return services_.load(); }

private:
    bool HandleServicesCommand(int32_t command);
    void Reconnect();
    // Under the ASIO lock: stops and closes the link and deletes the stream it fed.
    void CloseLink();
    void DropStream();
    void ShowRenderWarning();
    // GUI thread: the editor closes before the link and the stream it shows go.
    void CloseEditor();
    // What the host's two process calls do with the output they are given.
    enum class Output
    {
        Add,     // process: the plug-in's samples are added to it
        Replace, // processReplacing: they take its place
    };
    void Process(float** inputs, float** outputs, int32_t frames, Output output);

    // Counts the host's reads that found samples due not back in time and gave zeros in their
    // place (on the host's audio thread): in an offline run the render has a gap there.
    class Losses final : public AudioStreamObserver
    {
    public:
        void OnDropped(StreamEvent, int32_t, const float*, int32_t) override {}
        void OnSilence(StreamEvent event, int32_t channel, int32_t) override;
        int32_t Count() const { return count_.load(); }

    private:
        std::atomic<int32_t> count_{0};
    };

    int32_t instanceIndex_ = 0;
    bool failed_ = false;
    std::atomic<int32_t> processMode_{kStreamStopped}; // a StreamProcessLevel
    int32_t returnPair_ = -1;                          // services thread
    int32_t sendPair_ = -1;                            // services thread
    std::atomic<int32_t> hostBlock_{0};                // 0 until the host gives one
    std::atomic<int32_t> rate_{44100};                 // written by the host GUI thread
    int32_t hostMode_ = kHostModeNormal;               // fixed at construction
    std::atomic<bool> resetRequested_{false};
    // Audio thread.
    OfflinePacer pacer_;
    bool renderWarningShown_ = false; // since the current offline run began
    Losses losses_;

    std::mutex asioLock_;      // every operation on the link and the plan
    QuorvelBuffers buffers_;   // of the last reconnection; asioLock_
    AsioLink* link_ = nullptr; // owned
    StreamSlot stream_;
    // Owned; made and deleted on the services thread, read by a caller after its wait.
    std::atomic<ServicesConnection*> services_{nullptr};
    ServicesThread servicesThread_;
    std::atomic<ParamChain*> chain_{nullptr}; // borrowed; used by the chain's holder only
    std::unique_ptr<AlignedBuffer> chunk_;    // host's GUI thread: the block last handed to the host
    ParamMapSlot params_;
};
