#include "standins/engine/StandinServices.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <cstdio>
#include <fstream>
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
    sync_.log = [this](std::string entry) { Log(std::move(entry)); };
}

StandinServices::~StandinServices()
{
    channel_.reset();
    automation_.Effects().AttachDspTable(nullptr, {});
    dspTable_.Release();
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
    if (log_.size() >= kMaxLogEntries)
        log_.erase(log_.begin(), log_.begin() + kMaxLogEntries / 2);
    log_.push_back(std::move(entry));
}

std::unique_ptr<StandinMixer> StandinServices::NewMixer()
{
    auto mixer = std::make_unique<StandinMixer>(
        profile_, [this](std::string entry) { Log(std::move(entry)); },
        [this](int id, VarnEventArg argument) { RaiseEvent(id, argument); });
    for (int i = 0; i < mixer->SystemCount(); ++i)
        static_cast<StandinHardware*>(mixer->GetSystem(i))->fitChecker = &fitChecker_;
    // The strips share the card's DSP with the inserts; "set modified" is the engine's flag.
    StandinEffects& effects = automation_.Effects();
    mixer->effects = &effects;
    mixer->corePresets = library_ ? &library_->corePresets : nullptr;
    mixer->TakeDsp({[&effects](int units) { return effects.ReserveStripDsp(units); },
                    [&effects](int units) { effects.GiveStripDsp(units); },
                    [&effects](int units) { effects.HoldStripDsp(units); }});
    if (std::find(profile_.features.begin(), profile_.features.end(), HardwareFeature::kSyncCard) !=
        profile_.features.end())
        mixer->sync = &sync_;
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
    // The card's DSP memory, where the driver finds the clients' chains.
    std::string dspProblem;
    DspTable* dspTable = dspTable_.Claim(&dspProblem);
    if (!dspTable)
        Log("DspTable refused: " + dspProblem);
    automation_.Effects().AttachDspTable(dspTable, [this](std::string entry) { Log(std::move(entry)); });
    library_ = std::make_unique<StandinFxLibrary>(
        programFolder_, automation_.Effects(), [this](std::string entry) { Log(std::move(entry)); },
        [this](int id, VarnEventArg argument) { RaiseEvent(id, argument); });
    library_->ReadFolders();
    automation_.Effects().Configure(
        {}, {},
        [this] {
            std::lock_guard<std::mutex> hold(modelLock_);
            return mixer_ ? mixer_->GetRateCode() : 1;
        },
        [this](int id, VarnEventArg argument) { RaiseEvent(id, argument); });
    mixer_ = NewMixer();
    sessionPath_ = dataFolder_ / kWorkingSessionName;
    initialised_ = true;

    int version = 0;
    const int loaded = fs::exists(sessionPath_, error) ? LoadSessionLocked(sessionPath_, version) : VarnLoadDone;
    if (!profile_.present)
        return VarnInitNoHardware;
    if (loaded == VarnLoadNewer)
        return VarnInitSessionNewer;
    if (loaded == VarnLoadMoreSystems)
        return VarnInitPartialHardware;
    return 1;
}

int StandinServices::LoadSessionLocked(const fs::path& file, int& version)
{
    auto mixer = NewMixer();
    int systemsWanted = 0;
    version = SessionFile::Load(file, *mixer, systemsWanted);
    // A model that is not taken gives its strips' DSP back.
    auto refuse = [&mixer](int result) {
        mixer->ReturnDsp();
        return result;
    };
    if (version < 1)
        return refuse(VarnLoadUnreadable);
    if (version > SessionFile::kFormatVersion)
        return refuse(VarnLoadNewer);
    if (std::find(profile_.rates.begin(), profile_.rates.end(), mixer->rateCode) == profile_.rates.end())
        return refuse(VarnLoadRateMissing);
    // The card keeps running at its rate whatever the session says.
    if (mixer_)
        mixer->hardwareRateCode = mixer_->hardwareRateCode;
    mixer->adequate = systemsWanted <= mixer->SystemCount();
    if (mixer->sessionPath.empty())
        mixer->sessionPath = file.u16string();
    if (mixer->sessionName.empty())
        mixer->sessionName = fs::path(mixer->sessionPath).filename().u16string();
    sessionPath_ = mixer->sessionPath;
    ReplaceModel(std::move(mixer));
    modified_ = false;
    if (version < SessionFile::kFormatVersion)
        return VarnLoadOlder;
    return mixer_->adequate ? VarnLoadDone : VarnLoadMoreSystems;
}

int StandinServices::NewSessionLocked(const char* call, const char16_t* path)
{
    Log(std::string(call) + " " + Text(path));
    if (!initialised_ || !path || !*path)
        return VarnLoadUnreadable;
    auto mixer = NewMixer();
    if (mixer_)
        mixer->hardwareRateCode = mixer_->hardwareRateCode;
    mixer->sessionPath = path;
    mixer->sessionName = fs::path(path).filename().u16string();
    sessionPath_ = path;
    ReplaceModel(std::move(mixer));
    modified_ = true;
    return VarnLoadDone;
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
    std::lock_guard<std::mutex> lock(modelLock_);
    return NewSessionLocked("CreateEmptySession", path);
}

int VARN_CALL StandinServices::CreateSessionFromTemplate(const void* templateRecord, const char16_t* path, int)
{
    std::lock_guard<std::mutex> lock(modelLock_);
    const auto* record = static_cast<const VarnTemplateRecord*>(templateRecord);
    if (record && std::find(profile_.rates.begin(), profile_.rates.end(), record->rateCode) == profile_.rates.end())
    {
        Log("CreateSessionFromTemplate " + Text(path) + " refused: rate " + std::to_string(record->rateCode));
        return VarnLoadRateMissing;
    }
    const int result = NewSessionLocked("CreateSessionFromTemplate", path);
    if (result == VarnLoadDone && record)
        mixer_->rateCode = record->rateCode;
    return result;
}

int VARN_CALL StandinServices::LoadSession(const char16_t* path, int)
{
    Log("LoadSession " + Text(path));
    std::lock_guard<std::mutex> lock(modelLock_);
    if (!initialised_ || !path)
        return VarnLoadUnreadable;
    int version = 0;
    return LoadSessionLocked(path, version);
}

int VARN_CALL StandinServices::SaveSession(const char16_t* path, int flag1, int flag2)
{
    Log("SaveSession " + Text(path) + " " + std::to_string(flag1) + " " + std::to_string(flag2));
    std::lock_guard<std::mutex> lock(modelLock_);
    if (!initialised_)
        return 0;
    if (path && !*path)
        return 0;
    fs::path file = path ? fs::path(path) : dataFolder_ / kWorkingSessionName;
    // Saved to a path, the session is that file from now on, and the file says so; a failed
    // save leaves the model as it was.
    std::u16string oldPath = mixer_->sessionPath, oldName = mixer_->sessionName;
    if (path)
    {
        mixer_->sessionPath = file.u16string();
        mixer_->sessionName = file.filename().u16string();
    }
    if (!SessionFile::Save(file, *mixer_))
    {
        mixer_->sessionPath = oldPath;
        mixer_->sessionName = oldName;
        return 0;
    }
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

// Templates for every rate, each as a default and under every model tag, written as session
// files of their rate into the data folder's "Templates\<rate>" when the list is prepared.
int VARN_CALL StandinServices::PrepareTemplates()
{
    Log("PrepareTemplates");
    static const char* const rateTags[] = {"(44.1)", "(48)", "(96)", "(192)", "(88.2)", "(176.4)"};
    static const char* const models[] = {"Rastol", "Pavren", "Ostik", "Sevrin", "SevrinR", "Quellin"};
    std::lock_guard<std::mutex> lock(modelLock_);
    if (!initialised_)
        return 0;
    templates_.clear();
    for (int rate = 0; rate < 6; ++rate)
    {
        const fs::path folder = dataFolder_ / "Templates" / std::string(rateTags[rate]);
        std::error_code error;
        fs::create_directories(folder, error);
        std::vector<std::string> names = {std::string(rateTags[rate]) + " Default"};
        for (const char* model : models)
            names.push_back(std::string("Live Set (") + model + ")");
        for (const std::string& name : names)
        {
            VarnTemplateRecord record = {};
            record.rateCode = rate;
            const std::u16string wideName = fs::u8path(name).u16string();
            const std::u16string summary =
                fs::u8path("A " + name + " session at " + rateTags[rate] + " kHz.").u16string();
            const fs::path file = folder / fs::u8path(name + ".session");
            std::ofstream(file) << "KivCorvanSession " << SessionFile::kFormatVersion << "\nrate=" << rate << "\n";
            const std::u16string wideFile = file.u16string();
            std::copy(wideName.begin(), wideName.begin() + std::min<size_t>(wideName.size(), 767), record.name);
            std::copy(summary.begin(), summary.begin() + std::min<size_t>(summary.size(), 249), record.summary);
            if (wideFile.size() < 250)
                std::copy(wideFile.begin(), wideFile.end(), record.file);
            templates_.push_back(record);
        }
    }
    return 1;
}

int VARN_CALL StandinServices::GetTemplateCount()
{
    std::lock_guard<std::mutex> lock(modelLock_);
    return static_cast<int>(templates_.size());
}

int VARN_CALL StandinServices::GetTemplate(int index, void* record)
{
    std::lock_guard<std::mutex> lock(modelLock_);
    if (!record || index < 0 || index >= static_cast<int>(templates_.size()))
        return 0;
    std::memcpy(record, &templates_[index], sizeof(VarnTemplateRecord));
    return 1;
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

namespace
{
// An acknowledgement's argument as the library's events pass it: texts as text, records by
// their name, ids in hexadecimal; 0 as 0.
std::string AckText(int id, int position, VarnEventArg value)
{
    using namespace EngineEvent;
    if (value == 0)
        return "0";
    const int kind = id - kEffectLibrary.first;
    // (a, b, c) per kind: 0 (0, category record, 0); 1 (text, 0, 0); 2 (text, text, 0);
    // 3 (text, text, preset record); 4 (text, text, id); 5 (text, text, preset record).
    const bool text = (position == 0 && kind >= 1 && kind <= 5) || (position == 1 && kind >= 2 && kind <= 5);
    if (text)
        return "\"" + fs::path(reinterpret_cast<const char16_t*>(value)).u8string() + "\"";
    if (position == 1 && kind == 0)
        return "category \"" + fs::path(reinterpret_cast<const VarnCategoryRecord*>(value)->name).u8string() + "\"";
    if (position == 2 && (kind == 3 || kind == 5))
        return "preset \"" + fs::path(reinterpret_cast<const VarnPresetRecord*>(value)->name).u8string() + "\"";
    if (position == 2 && kind == 4)
    {
        const auto* words = reinterpret_cast<const uint32_t*>(value);
        char text[48];
        std::snprintf(text, sizeof(text), "id %08x-%08x-%08x-%08x", words[0], words[1], words[2], words[3]);
        return text;
    }
    return std::to_string(value);
}
} // namespace

void VARN_CALL StandinServices::AcknowledgeEvent(int id, VarnEventArg a, VarnEventArg b, VarnEventArg c)
{
    std::string entry = "AcknowledgeEvent " + std::to_string(id);
    if (EngineEvent::kEffectLibrary.Holds(id))
    {
        // The payload is read before the acknowledgement frees it: the operands of one
        // expression may be evaluated in any order.
        entry += " " + AckText(id, 0, a) + " " + AckText(id, 1, b) + " " + AckText(id, 2, c);
        if (!automation_.Effects().Acknowledge(id))
            entry += " (nothing waited)";
    }
    else
        entry += " " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c);
    Log(entry);
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
