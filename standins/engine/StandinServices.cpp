#include "standins/engine/StandinServices.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <sstream>

#include "mixer/engine/EngineVocabulary.h"

namespace fs = std::filesystem;

namespace
{
// One initialised engine per process: a second one answers "already running".
std::atomic<bool> gEngineRunning{false};

std::string Text(const char16_t* text)
{
    return text ? fs::path(text).u8string() : std::string("(null)");
}
} // namespace

StandinServices::StandinServices() : thread_([this] { EventLoop(); })
{
    Log("CreateVarnServices");
}

StandinServices::~StandinServices()
{
    channel_.reset();
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        stopping_ = true;
    }
    queueChanged_.notify_all();
    thread_.join();
    if (claimedInstance_)
        gEngineRunning = false;
}

void StandinServices::Log(std::string entry)
{
    // The program calls the engine from its own threads; a call from inside a listener is
    // marked so a test sees work done on the engine's thread.
    if (std::this_thread::get_id() == thread_.get_id())
        entry += " (engine thread)";
    std::lock_guard<std::mutex> lock(logLock_);
    log_.push_back(std::move(entry));
}

std::unique_ptr<StandinMixer> StandinServices::NewMixer()
{
    auto mixer = std::make_unique<StandinMixer>(
        profile_, [this](std::string entry) { Log(std::move(entry)); },
        [this](int id, VarnEventArg argument) { RaiseEvent(id, argument); });
    // The strips share the card's DSP with the inserts; "set modified" is the engine's flag.
    StandinEffects& effects = automation_.Effects();
    mixer->TakeDsp({[&effects](int units) { return effects.ReserveStripDsp(units); },
                    [&effects](int units) { effects.GiveStripDsp(units); },
                    [&effects](int units) { effects.HoldStripDsp(units); }});
    mixer->modified = [this](int modified) {
        Log("Mixer SetModified " + std::to_string(modified));
        std::lock_guard<std::mutex> lock(modelLock_);
        modified_ = modified != 0;
    };
    return mixer;
}

void StandinServices::ReplaceModel(std::unique_ptr<StandinMixer> mixer)
{
    if (mixer_)
    {
        mixer_->ReturnDsp();
        retired_.push_back(std::move(mixer_));
    }
    mixer_ = std::move(mixer);
}

std::vector<std::string> StandinServices::GetCallLog()
{
    std::lock_guard<std::mutex> lock(logLock_);
    return log_;
}

int VARN_CALL StandinServices::Init(const char16_t* programFolder, const char16_t* dataFolder,
                                    const char16_t* sessionsFolder)
{
    Log("Init " + Text(programFolder) + " " + Text(dataFolder) + " " + Text(sessionsFolder));
    // Start-up progress (effect presets, core effects, templates, plug-ins), reported before
    // the model lock is taken: a listener may ask the engine while it hears them.
    for (int id = EngineEvent::kSplashLoading.first; id <= EngineEvent::kSplashLoading.last; ++id)
        CallListeners(id, 0);
    std::lock_guard<std::mutex> lock(modelLock_);
    std::error_code error;
    if (initialised_ || !programFolder || !dataFolder || !sessionsFolder || !fs::is_directory(dataFolder, error))
        return VarnInitFailed;
    bool expected = false;
    if (!gEngineRunning.compare_exchange_strong(expected, true))
        return VarnInitAlreadyRunning;
    claimedInstance_ = true;
    channel_ = OpenControlChannel([this](const std::string& request) { return control_.Handle(request); });

    programFolder_ = programFolder;
    dataFolder_ = dataFolder;
    sessionsFolder_ = sessionsFolder;
    profile_ = HardwareProfile::Read(programFolder_ / "SimulatedCard.txt");
    for (const std::string& problem : profile_.problems)
        Log(problem);
    automation_.Configure(profile_.keepCategory2, std::min(profile_.inputs, profile_.outputs) / 2,
                          [this](std::string entry) { Log(std::move(entry)); });
    library_ = std::make_unique<StandinFxLibrary>(programFolder_);
    library_->LoadCoreEffects();
    library_->LoadCategories();
    automation_.Effects().Configure(
        library_->coreEffects, library_->categories,
        [this] {
            std::lock_guard<std::mutex> hold(modelLock_);
            return mixer_ ? mixer_->GetRateCode() : 1;
        },
        [this](int id, VarnEventArg argument) { RaiseEvent(id, argument); });
    mixer_ = NewMixer();
    sessionPath_ = dataFolder_ / kWorkingSessionName;
    initialised_ = true;

    int systemsWanted = 0;
    int version = 0;
    if (fs::exists(sessionPath_, error))
        version = LoadSessionLocked(sessionPath_, systemsWanted);
    if (!profile_.present)
        return VarnInitNoHardware;
    if (version > SessionFile::kFormatVersion)
        return VarnInitSessionNewer;
    if (systemsWanted > mixer_->SystemCount())
        return VarnInitPartialHardware;
    return 1;
}

int StandinServices::LoadSessionLocked(const fs::path& file, int& systemsWanted)
{
    auto mixer = NewMixer();
    int version = SessionFile::Load(file, *mixer, systemsWanted);
    if (version >= 1 && version <= SessionFile::kFormatVersion)
    {
        ReplaceModel(std::move(mixer));
        sessionPath_ = file;
        modified_ = false;
    }
    else
        mixer->ReturnDsp();
    return version;
}

int VARN_CALL StandinServices::AddListener(IVarnListener* listener)
{
    Log("AddListener");
    if (!listener)
        return 0;
    std::lock_guard<std::recursive_mutex> lock(listenerLock_);
    listeners_.push_back(listener);
    return 1;
}

int VARN_CALL StandinServices::RemoveListener(IVarnListener* listener)
{
    Log("RemoveListener");
    std::lock_guard<std::recursive_mutex> lock(listenerLock_);
    for (auto it = listeners_.begin(); it != listeners_.end(); ++it)
    {
        if (*it == listener)
        {
            listeners_.erase(it);
            return 1;
        }
    }
    return 0;
}

int VARN_CALL StandinServices::SetViewInterface(IVarnView* view)
{
    Log(view ? "SetViewInterface" : "SetViewInterface (null)");
    return view ? 1 : 0;
}

int VARN_CALL StandinServices::CreateEmptySession(const void*, const char16_t* path, int)
{
    Log("CreateEmptySession " + Text(path));
    std::lock_guard<std::mutex> lock(modelLock_);
    if (!initialised_ || !path)
        return 0;
    ReplaceModel(NewMixer());
    mixer_->sessionName = fs::path(path).stem().u16string();
    sessionPath_ = path;
    modified_ = true;
    return 1;
}

int VARN_CALL StandinServices::CreateSessionFromTemplate(const void*, const char16_t* path, int)
{
    Log("CreateSessionFromTemplate " + Text(path));
    std::lock_guard<std::mutex> lock(modelLock_);
    if (!initialised_ || !path)
        return 0;
    ReplaceModel(NewMixer());
    mixer_->sessionName = fs::path(path).stem().u16string();
    sessionPath_ = path;
    modified_ = true;
    return 1;
}

int VARN_CALL StandinServices::LoadSession(const char16_t* path, int)
{
    Log("LoadSession " + Text(path));
    std::lock_guard<std::mutex> lock(modelLock_);
    if (!initialised_ || !path)
        return 0;
    int systemsWanted = 0;
    int version = LoadSessionLocked(path, systemsWanted);
    return version >= 1 && version <= SessionFile::kFormatVersion ? 1 : 0;
}

int VARN_CALL StandinServices::SaveSession(const char16_t* path, int flag1, int flag2)
{
    Log("SaveSession " + Text(path) + " " + std::to_string(flag1) + " " + std::to_string(flag2));
    std::lock_guard<std::mutex> lock(modelLock_);
    if (!initialised_)
        return 0;
    fs::path file = path ? fs::path(path) : dataFolder_ / kWorkingSessionName;
    if (!SessionFile::Save(file, *mixer_))
        return 0;
    if (path)
    {
        sessionPath_ = file;
        modified_ = false;
    }
    return 1;
}

int VARN_CALL StandinServices::GetSessionPath(char16_t* buffer, int capacity, int)
{
    Log("GetSessionPath");
    if (!buffer || capacity <= 0)
        return 0;
    std::lock_guard<std::mutex> lock(modelLock_);
    std::u16string path = sessionPath_.u16string();
    size_t count = std::min<size_t>(path.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(buffer, path.data(), count * sizeof(char16_t));
    buffer[count] = 0;
    return 1;
}

IVarnMixer* VARN_CALL StandinServices::GetMixer()
{
    std::lock_guard<std::mutex> lock(modelLock_);
    return mixer_.get();
}

// Session templates are not simulated: the list is empty.
int VARN_CALL StandinServices::PrepareTemplates()
{
    Log("PrepareTemplates");
    return 1;
}

int VARN_CALL StandinServices::GetTemplateCount()
{
    return 0;
}

int VARN_CALL StandinServices::GetTemplate(int, void*)
{
    return 0;
}

IVarnFxLibrary* VARN_CALL StandinServices::GetFxLibrary()
{
    std::lock_guard<std::mutex> lock(modelLock_);
    return library_.get();
}

int VARN_CALL StandinServices::IsReady()
{
    std::lock_guard<std::mutex> lock(modelLock_);
    return initialised_ && profile_.present ? 1 : 0;
}

int VARN_CALL StandinServices::IsRunning()
{
    Log("IsRunning");
    {
        std::lock_guard<std::mutex> lock(modelLock_);
        if (running_ >= 0)
            return running_;
    }
    return IsReady();
}

void StandinServices::SetRunning(bool running)
{
    std::lock_guard<std::mutex> lock(modelLock_);
    running_ = running ? 1 : 0;
}

void StandinServices::SetHardwareRate(int rateCode)
{
    {
        std::lock_guard<std::mutex> lock(modelLock_);
        if (mixer_)
            mixer_->hardwareRateCode = rateCode;
    }
    RaiseEvent(EngineEvent::kRateChange, 0);
}

void StandinServices::SetSyncSource(int argument)
{
    RaiseEvent(EngineEvent::kSyncSourceChange, argument);
}

void VARN_CALL StandinServices::Release()
{
    delete this;
}

int VARN_CALL StandinServices::IsModified()
{
    std::lock_guard<std::mutex> lock(modelLock_);
    return modified_ ? 1 : 0;
}

void VARN_CALL StandinServices::SetModified(int modified)
{
    Log("SetModified " + std::to_string(modified));
    std::lock_guard<std::mutex> lock(modelLock_);
    modified_ = modified != 0;
}

int VARN_CALL StandinServices::GetFileRate(const char16_t* path, int* rateCode)
{
    Log("GetFileRate " + Text(path));
    if (!rateCode)
        return 0;
    *rateCode = path ? SessionFile::ReadRate(path) : 6;
    return *rateCode != 6 ? 1 : 0;
}

IVarnAutomation* VARN_CALL StandinServices::GetAutomation()
{
    return &automation_;
}

void VARN_CALL StandinServices::AcknowledgeEvent(int id, int reserved1, VarnEventArg data, int reserved2)
{
    std::ostringstream entry;
    entry << "AcknowledgeEvent " << id << " " << reserved1 << " " << data << " " << reserved2;
    Log(entry.str());
}

void StandinServices::RaiseEvent(int id, VarnEventArg argument, std::function<void()> delivered)
{
    {
        std::lock_guard<std::mutex> lock(queueLock_);
        queue_.push_back({id, argument, std::move(delivered)});
    }
    queueChanged_.notify_all();
}

void StandinServices::CallListeners(int id, VarnEventArg argument)
{
    std::lock_guard<std::recursive_mutex> lock(listenerLock_);
    // A listener may add or remove listeners while it is called: walk a copy and skip those
    // removed meanwhile.
    std::vector<IVarnListener*> current = listeners_;
    for (IVarnListener* listener : current)
    {
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            listener->OnEngineEvent(id, argument);
    }
}

void StandinServices::WaitForEvents()
{
    std::unique_lock<std::mutex> lock(queueLock_);
    queueChanged_.wait(lock, [this] { return queue_.empty() && !delivering_; });
}

void StandinServices::EventLoop()
{
    std::unique_lock<std::mutex> lock(queueLock_);
    for (;;)
    {
        queueChanged_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            return;
        Event event = std::move(queue_.front());
        queue_.pop_front();
        delivering_ = true;
        lock.unlock();
        CallListeners(event.id, event.argument);
        if (event.delivered)
            event.delivered();
        lock.lock();
        delivering_ = false;
        queueChanged_.notify_all();
    }
}
