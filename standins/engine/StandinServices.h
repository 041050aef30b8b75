#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "standins/engine/EngineControl.h"
#include "standins/engine/EngineModel.h"
#include "standins/engine/StandinSync.h"
#include "standins/engine/StandinAutomation.h"
#include "standins/dsp/DspSharedTable.h"

// The simulated services engine: the card's model, sessions, the effects library and the
// event listeners. Listeners are called on the engine's own thread, as the maker's engine
// does, except for the start-up progress (81-84), which Init reports on the caller's thread.
// Every operation the program calls is written to a call log for tests. Release joins the
// engine thread: the program releases on its user-interface thread, never from a listener.
class StandinServices final : public IVarnServices
{
public:
    StandinServices();
    ~StandinServices();
    StandinServices(const StandinServices&) = delete;
    StandinServices& operator=(const StandinServices&) = delete;

    int VARN_CALL Init(const char16_t* programFolder, const char16_t* dataFolder,
                       const char16_t* sessionsFolder) override;
    int VARN_CALL AddListener(IVarnListener* listener) override;
    int VARN_CALL RemoveListener(IVarnListener* listener) override;
    int VARN_CALL SetViewInterface(IVarnView* view) override;
    int VARN_CALL CreateEmptySession(const void* choices, const char16_t* path, int reserved) override;
    int VARN_CALL CreateSessionFromTemplate(const void* templateRecord, const char16_t* path, int reserved) override;
    int VARN_CALL LoadSession(const char16_t* path, int reserved) override;
    int VARN_CALL SaveSession(const char16_t* path, int flag1, int flag2) override;
    int VARN_CALL GetSessionPath(char16_t* buffer, int capacity, int reserved) override;
    IVarnMixer* VARN_CALL GetMixer() override;
    int VARN_CALL PrepareTemplates() override;
    int VARN_CALL GetTemplateCount() override;
    int VARN_CALL GetTemplate(int index, void* record) override;
    IVarnFxLibrary* VARN_CALL GetFxLibrary() override;
    int VARN_CALL IsReady() override;
    int VARN_CALL IsRunning() override;
    void VARN_CALL Release() override;
    int VARN_CALL IsModified() override;
    void VARN_CALL SetModified(int modified) override;
    int VARN_CALL GetFileRate(const char16_t* path, int* rateCode) override;
    IVarnAutomation* VARN_CALL GetAutomation() override;
    void VARN_CALL AcknowledgeEvent(int id, VarnEventArg a, VarnEventArg b, VarnEventArg c) override;

    // For tests: raise an event as the card would; listeners hear it on the engine thread,
    // which then runs delivered, when given.
    void RaiseEvent(int id, VarnEventArg argument, std::function<void()> delivered = {});
    // For tests: the card changes its rate (event 51) or its sync source (event 52, with the
    // source in the low 16 bits and the lock in the high ones).
    void SetHardwareRate(int rateCode);
    void SetSyncSource(int argument);
    // For tests: what the running check answers from now on.
    void SetRunning(bool running);
    // Waits until every raised event has been delivered.
    void WaitForEvents();
    std::vector<std::string> GetCallLog();
    // Adds an entry to the call log (the control channel's requests and refusals). The log
    // keeps the newest entries: once it holds kMaxLogEntries, the older half goes, so a program
    // left running (its meters are read many times a second) does not grow without end.
    void Log(std::string entry);
    static constexpr size_t kMaxLogEntries = 200000;
    // Answers a request of the control channel (EngineControl.h) as the channel does.
    std::string Control(const std::string& request) { return control_.Handle(request); }
    std::thread::id GetEngineThreadId() const { return thread_.get_id(); }

    // The working session, kept in the data folder.
    static constexpr const char16_t* kWorkingSessionName = u"KivCorvanConfig.session";

private:
    // A mixer model of the card whose systems write to the call log and raise their main
    // mixes' events on the engine thread.
    std::unique_ptr<StandinMixer> NewMixer();
    void EventLoop();
    // Calls the listeners on the calling thread, as the engine does while it starts.
    void CallListeners(int id, VarnEventArg argument);
    // A session load or a new session puts a new model in place; the old one, whose systems,
    // strips and buses the program may still hold, is kept until the engine is released.
    void ReplaceModel(std::unique_ptr<StandinMixer> mixer);
    // Answers the load result (VarnLoadResult) and the file's format version; the model is
    // replaced only by a session that loads (codes 1, 2 and 3).
    int LoadSessionLocked(const std::filesystem::path& file, int& version);
    // A new model for a new session at path (its file name is the session's name).
    int NewSessionLocked(const char* call, const char16_t* path);

    // Model state, guarded by modelLock_.
    std::mutex modelLock_;
    std::filesystem::path programFolder_, dataFolder_, sessionsFolder_, sessionPath_;
    HardwareProfile profile_;
    std::unique_ptr<StandinMixer> mixer_;
    std::vector<std::unique_ptr<StandinMixer>> retired_;
    std::unique_ptr<StandinFxLibrary> library_;
    StandinSync sync_;                          // one card, whatever the session: objects handed out stay valid
    std::vector<VarnTemplateRecord> templates_; // after PrepareTemplates
    StandinAutomation automation_;
    StandinFitChecker fitChecker_{automation_.Effects()}; // every system's
    bool initialised_ = false;
    bool modified_ = false;
    bool claimedInstance_ = false; // this object is the process's initialised engine
    int running_ = -1;             // -1: running while the card is present

    // Listeners: delivery holds listenerLock_, so after RemoveListener returns no call is under
    // way; it is re-entrant for a listener that removes itself on the engine thread.
    std::recursive_mutex listenerLock_;
    std::vector<IVarnListener*> listeners_; // borrowed

    // Event queue of the engine thread, guarded by queueLock_.
    std::mutex queueLock_;
    std::condition_variable queueChanged_;
    struct Event
    {
        int id;
        VarnEventArg argument;
        std::function<void()> delivered;
    };
    std::deque<Event> queue_;
    bool stopping_ = false;
    bool delivering_ = false;

    std::mutex logLock_;
    std::vector<std::string> log_; // guarded by logLock_

    EngineControl control_{*this};
    std::unique_ptr<ControlChannel> channel_; // the process's initialised engine serves it
    DspTableOwner dspTable_;                  // the process's initialised engine owns it

    std::thread thread_;
};
