#include "mixer/app/MainWindow.h"

#include "framework/windows/AppBase.h"
#include "mixer/app/ApplicationHost.h"
#include "mixer/app/Automation.h"
#include "mixer/comcontract/ComInterfaces.h"
#include "mixer/comserver/ServicesServer.h"
#include "mixer/dialogs/PreferencesStore.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/names/WindowMessages.h"

namespace
{
const char kIconNormal[] = "#107";
const char kIconProblem[] = "#126";
const char kDefaultSkin[] = "Default";

// A chosen skin names a folder under Skins; a path (separators, a drive, "." or "..") would
// load whatever it points at.
bool IsSkinFolderName(const String& name)
{
    if (name.Length() == 0 || name.CompareLiteral(".") == 0 || name.CompareLiteral("..") == 0)
        return false;
    for (int i = 0; i < name.Length(); ++i)
    {
        const char16_t unit = name.WideCharAt(i);
        if (unit == u'\\' || unit == u'/' || unit == u':')
            return false;
    }
    return true;
}

} // namespace

// The hidden window the engine's events are posted to. It is never shown and outlives every
// frame, so the listener always has a stable target.
class MainWindow::EventWindow : public Window
{
public:
    explicit EventWindow(MainWindow& owner) : owner_(owner) {}
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        owner_.OnPosted(message, wParam, lParam);
    }
    void OnTimer(UINT_PTR id) override
    {
        if (id == kHeldTimer)
            owner_.OnHeldTimer();
    }

private:
    MainWindow& owner_;
};

MainWindow::MainWindow() = default;

MainWindow::~MainWindow()
{
    // No event may arrive once the window starts to go.
    if (listening_ && services_)
        services_->RemoveListener(this);
    eventHandle_ = nullptr;
    if (eventWindow_)
    {
        // Events still queued die with the window; their copied data is ours to free.
        MSG message;
        while (::PeekMessageA(&message, eventWindow_->GetHandle(), WindowMessage::kEngineEventData,
                              WindowMessage::kEngineEventData, PM_REMOVE))
            delete reinterpret_cast<VarnSyncTime*>(message.lParam);
        eventWindow_->Destroy();
    }
    frame_.reset();
}

int MainWindow::LoadSkin(int reload)
{
    PreferencesStore preferences;
    preferences.GetSkinName(settings_);
    String name;
    name.AppendAscii(kDefaultSkin);
    preferences.GetSkinPath(name);
    defaultSkin_ = name.CompareLiteral(kDefaultSkin) == 0;
    String folder;
    if (!IsSkinFolderName(name) || !AppBase::ModulePath(folder))
        return 0;
    folder.AppendAscii("\\Skins\\");
    folder.Append(name);
    return reload ? skin_.Reload(folder, &viewFactory_) : skin_.Load(folder, &viewFactory_);
}

int MainWindow::FallBackToDefaultSkin()
{
    PreferencesStore preferences;
    preferences.GetSkinName(settings_);
    String fallback;
    fallback.AppendAscii(kDefaultSkin);
    preferences.SetSkinPath(fallback);
    // A failed load leaves what it read, and the first definition of a name wins: start from
    // an empty skin.
    return LoadSkin(1);
}

int MainWindow::Create(IVarnServices* services, ApplicationHost* host)
{
    services_ = services;
    host_ = host;
    settings_.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1);
    if (!LoadSkin(0) && !FallBackToDefaultSkin())
        return -1;
    auto window = std::make_unique<EventWindow>(*this);
    if (!window->Create(nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, 0, 0))
        return -1;
    eventWindow_ = std::move(window);
    eventHandle_ = eventWindow_->GetHandle();
    if (services_)
        listening_ = services_->AddListener(this);
    return 0;
}

void MainWindow::MakeFrame(bool fullBuild)
{
    if (frame_ || !frameFactory_ || viewMissing_)
        return;
    frame_ = frameFactory_(*this, fullBuild);
    // A skin whose files load may still lack what the frame is built of: then "Default", as
    // for one that does not load.
    if (!frame_ && !defaultSkin_ && FallBackToDefaultSkin())
        frame_ = frameFactory_(*this, fullBuild);
    if (frame_)
        return;
    // Without a frame the program would live on as a tray icon the user cannot open; it says
    // so once and the application ends. No later event tries again.
    viewMissing_ = true;
    if (host_)
        host_->RequestView(ApplicationHost::kRequestViewMissing, 0);
}

void MainWindow::Show()
{
    MakeFrame(true);
    BringForward();
}

void MainWindow::ShowFrame()
{
    MakeFrame(false);
    ApplyTrayIconRule();
}

void MainWindow::BringForward()
{
    if (frame_)
        frame_->BringForward();
}

void MainWindow::ShowRate(int rateCode)
{
    if (MainSectionTarget* section = frame_ ? frame_->GetMainSection() : nullptr)
        section->ShowSampleRate(rateCode);
}

void MainWindow::ShowSync(int external, int locked)
{
    if (MainSectionTarget* section = frame_ ? frame_->GetMainSection() : nullptr)
        section->ShowSyncSource(external, locked);
}

IVarnHardware* MainWindow::GetCurrentSystem()
{
    if (IVarnHardware* system = frame_ ? frame_->GetCurrentSystem() : nullptr)
        return system;
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    return mixer && mixer->GetSystemCount() > 0 ? mixer->GetSystem(0) : nullptr;
}

bool MainWindow::GetSessionName(String& name)
{
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    const char16_t* text = mixer ? mixer->GetSessionName() : nullptr;
    if (!text)
        return false;
    return name.AssignWide(text) != 0;
}

void MainWindow::RefreshTrayTip()
{
    if (host_)
        host_->RefreshTrayTip();
}

void MainWindow::Close()
{
    // The frame's close button runs inside the frame's own handler.
    if (eventWindow_)
        eventWindow_->PostMessage(WindowMessage::kCloseFrame, 0, 0);
}

int VARN_CALL MainWindow::OnEngineEvent(int id, VarnEventArg argument)
{
    HWND target = eventHandle_;
    if (!target)
        return 1;
    if (id == EngineEvent::kSyncTime && argument)
    {
        // The engine may overwrite its record once we return.
        auto* time = new (std::nothrow) VarnSyncTime(*reinterpret_cast<const VarnSyncTime*>(argument));
        if (time && !::PostMessageA(target, WindowMessage::kEngineEventData, static_cast<WPARAM>(id),
                                    reinterpret_cast<LPARAM>(time)))
            delete time;
        return 1;
    }
    ::PostMessageA(target, WindowMessage::kEngineEvent, static_cast<WPARAM>(id), static_cast<LPARAM>(argument));
    return 1;
}

void MainWindow::OnPosted(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int id = static_cast<int>(wParam);
    switch (message)
    {
    case WindowMessage::kEngineEvent:
        Receive(id, static_cast<VarnEventArg>(lParam), nullptr);
        break;
    case WindowMessage::kEngineEventData:
        Receive(id, 0, std::unique_ptr<VarnSyncTime>(reinterpret_cast<VarnSyncTime*>(lParam)));
        break;
    case WindowMessage::kCloseFrame:
        Receive(kCloseId, 0, nullptr);
        break;
    default:
        break;
    }
}

void MainWindow::Receive(int id, VarnEventArg argument, std::unique_ptr<VarnSyncTime> time)
{
    // The hidden window's own procedure is the one running when no handler is on the stack.
    const bool insideAHandler = NativeWindow::RunningProcedures() > 1;
    if (held_.empty() && !((id == EngineEvent::kRebuildView || id == kCloseId) && insideAHandler))
    {
        Run(id, argument, time.get());
        return;
    }
    if (held_.empty())
        eventWindow_->SetTimer(kHeldTimer, kHeldCheckMs);
    held_.push_back({id, argument, std::move(time)});
}

void MainWindow::OnHeldTimer()
{
    // The timer also fires inside the loop that holds the events.
    if (NativeWindow::RunningProcedures() > 1)
        return;
    eventWindow_->KillTimer(kHeldTimer);
    while (!held_.empty())
    {
        HeldEvent event = std::move(held_.front());
        held_.pop_front();
        Run(event.id, event.argument, event.time.get());
    }
}

void MainWindow::Run(int id, VarnEventArg argument, const VarnSyncTime* time)
{
    if (id == kCloseId)
    {
        frame_.reset();
        return;
    }
    MakeFrame(false);
    Dispatch(id, argument, time);
}

void MainWindow::RebuildView(int id, VarnEventArg argument)
{
    if (id == EngineEvent::kRebuildView)
    {
        // The caller may be a handler of the frame that the rebuild destroys.
        if (eventWindow_)
            eventWindow_->PostMessage(WindowMessage::kEngineEvent, EngineEvent::kRebuildView,
                                      static_cast<LPARAM>(argument));
        return;
    }
    Dispatch(id, argument, id == EngineEvent::kSyncTime ? reinterpret_cast<const VarnSyncTime*>(argument) : nullptr);
}

void MainWindow::Dispatch(int id, VarnEventArg argument, const VarnSyncTime* time)
{
    if (Handle(id, argument, time))
        CommonEnd(id);
}

void MainWindow::SendReinit()
{
    ServicesServer::FireNotify(KivKDSPASIO_Reinit);
}

void MainWindow::RefreshFit()
{
    if (FxPaletteTarget* palette = frame_ ? frame_->GetFxPalette() : nullptr)
        palette->RefreshFit();
}

bool MainWindow::ReinitForOutput(VarnEventArg argument)
{
    auto* port = reinterpret_cast<IVarnOutput*>(argument);
    if (!port)
        return false;
    const int kind = port->GetKind();
    if (kind == OutputKind::kAsio)
        return true;
    if (kind != OutputKind::kPhysical)
        return false;
    if (IVarnInsertChain* bus = port->GetSource())
    {
        for (int i = bus->GetCount() - 1; i >= 0; --i)
        {
            IVarnInsert* insert = bus->GetInsert(i);
            if (insert && insert->GetKind() == InsertKind::kAsioSendReturn)
                return true;
        }
    }
    IVarnInsert* feeding = port->GetInsert();
    return feeding && feeding->GetKind() == InsertKind::kEffect && feeding->HasEffect() == 1;
}

namespace
{
using namespace EngineEvent;
constexpr int kNoNotification = 0;
constexpr IdRange One(int id)
{
    return {id, id};
}
} // namespace

// One row of the dispatcher: the events it takes; whether a missing frame ends the handling
// at once (not even the common end); what handles them (none: the common end only; false
// from it: no common end); the notification raised after it, with the offset in the range
// and the argument when it goes to the private sinks. Ranges do not overlap but for the
// insert ids that only the COM clients hear, which come before their range.
struct MainWindow::Route
{
    IdRange ids;
    bool needsFrame;
    bool (MainWindow::*handle)(int id, VarnEventArg argument, const VarnSyncTime* time);
    int notification;
};

const MainWindow::Route MainWindow::kRoutes[] = {
    {One(kRebuildView), true, &MainWindow::OnRebuildView, kNoNotification},
    {kSessionTitle, true, &MainWindow::OnSessionTitle, kNoNotification},
    {One(kSessionUnchanged), false, nullptr, kNoNotification},
    {One(kUserEdit), false, nullptr, kNoNotification},
    {One(kRateChange), false, &MainWindow::OnRateChange, kNoNotification},
    {One(kSyncSourceChange), false, &MainWindow::OnSyncSourceChange, kNoNotification},
    {One(kSyncStatus), true, &MainWindow::OnSyncStatus, kNoNotification},
    {One(kSyncTime), true, &MainWindow::OnSyncTime, kNoNotification},
    {One(kHardwareChange), true, &MainWindow::OnHardwareChange, kNoNotification},
    {One(kFrameRefresh), true, &MainWindow::OnFrameRefresh, kNoNotification},
    {One(kStripAdded), false, &MainWindow::OnStripAdded, kNoNotification},
    {One(kStripRemoved), true, &MainWindow::OnStripRemoved, kNoNotification},
    {One(kStripChanged), true, &MainWindow::OnStripChanged, kNoNotification},
    {One(kPortsChanged), false, &MainWindow::OnReinit, kNoNotification},
    {kStrip, true, &MainWindow::ToStripView, kNoNotification},
    {kStripMore, true, &MainWindow::ToStripView, kNoNotification},
    {kMainSection, true, &MainWindow::ToMainSection, kNoNotification},
    {One(kOutputChanged), true, &MainWindow::OnOutputChanged, kNoNotification},
    {One(kInputChanged), true, &MainWindow::OnInputChanged, kNoNotification},
    {One(kEffectsChanged), true, &MainWindow::OnRefreshFit, Notification::kEffectsChanged},
    {One(kEffectsLoaded), true, &MainWindow::OnRefreshFit, Notification::kEffectsLoaded},
    {One(kEffectEvent), true, &MainWindow::ToMainSectionEffects, kNoNotification},
    {kEffectParameter, true, &MainWindow::ToMainSectionEffects, Notification::kEffectParameter},
    {IdRange{kInsertReinitA, kInsertReinitB}, false, &MainWindow::OnReinit, kNoNotification},
    {One(kInsertReinitC), false, &MainWindow::OnReinit, kNoNotification},
    {kInsert, true, &MainWindow::OnInsertEvent, kNoNotification},
    {kInsertSlot, true, &MainWindow::OnInsertSlotEvent, kNoNotification},
    {kPresetList, true, &MainWindow::OnPresetListEvent, Notification::kPresetList},
    {kEffectLibrary, true, &MainWindow::ToEffectPalette, Notification::kEffectLibrary},
    {kEffectBankA, true, &MainWindow::ToMainSectionEffects, Notification::kEffectBankA},
    {kEffectBankB, true, &MainWindow::ToMainSectionEffects, Notification::kEffectBankB},
    {kEffectBankC, true, &MainWindow::ToMainSectionEffects, Notification::kEffectBankC},
};

bool MainWindow::Handle(int id, VarnEventArg argument, const VarnSyncTime* time)
{
    // The view mode is reset even when there is no frame to rebuild.
    if (id == kRebuildView)
    {
        String outputs;
        outputs.AssignAscii("outputs");
        settings_.WriteString(ViewSettings::kTvViewMode, &outputs);
    }
    for (const Route& route : kRoutes)
    {
        if (!route.ids.Holds(id))
            continue;
        if (route.needsFrame && !frame_)
            return false;
        if (route.handle && !(this->*route.handle)(id, argument, time))
            return false;
        if (Notification::kPrivate.Holds(route.notification))
            Automation::NotifyEvent(route.notification, id - route.ids.first, static_cast<int>(argument));
        else if (route.notification != kNoNotification)
            Automation::NotifyEvent(route.notification, Notification::kNone, Notification::kNone);
        return true;
    }
    return true;
}

MainSectionTarget* MainWindow::GetMainSection() const
{
    return frame_ ? frame_->GetMainSection() : nullptr;
}

bool MainWindow::OnRebuildView(int, VarnEventArg, const VarnSyncTime*)
{
    frame_.reset();
    MakeFrame(true);
    SendReinit();
    if (services_)
        services_->SetModified(0);
    ApplyTrayIconRule();
    return true;
}

bool MainWindow::OnSessionTitle(int, VarnEventArg, const VarnSyncTime*)
{
    frame_->UpdateSessionTitle();
    return true;
}

bool MainWindow::OnRateChange(int, VarnEventArg, const VarnSyncTime*)
{
    if (IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr)
        ShowRate(mixer->GetRateCode());
    return true;
}

bool MainWindow::OnSyncSourceChange(int, VarnEventArg argument, const VarnSyncTime*)
{
    // The low word says external, the high word locked.
    ShowSync(static_cast<int>(argument & 0xFFFF), static_cast<int>(argument >> 16));
    return true;
}

bool MainWindow::OnSyncStatus(int, VarnEventArg argument, const VarnSyncTime*)
{
    if (SyncPanelTarget* panel = frame_->GetSyncPanel())
        panel->OnSyncStatus(argument);
    return true;
}

bool MainWindow::OnSyncTime(int, VarnEventArg, const VarnSyncTime* time)
{
    SyncPanelTarget* panel = frame_->GetSyncPanel();
    if (panel && time)
        panel->ShowSyncTime(*time);
    return true;
}

bool MainWindow::OnHardwareChange(int id, VarnEventArg argument, const VarnSyncTime*)
{
    frame_->UpdateHardwareButtons(argument);
    if (IVarnHardware* system = GetCurrentSystem())
        system->PrepareDsp();
    if (MainSectionTarget* section = GetMainSection())
        section->OnEngineEvent(id, argument);
    frame_->RefreshExtraSection();
    ApplyTrayIconRule();
    return true;
}

bool MainWindow::OnFrameRefresh(int id, VarnEventArg argument, const VarnSyncTime*)
{
    frame_->RefreshForEvent(id, argument);
    return true;
}

bool MainWindow::OnStripAdded(int, VarnEventArg argument, const VarnSyncTime*)
{
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    IVarnStrip* strip = mixer ? mixer->GetStripById(static_cast<int>(argument)) : nullptr;
    if (!strip)
        return false;
    if (frame_)
    {
        frame_->AddStripView(strip);
        RefreshFit();
        if (mixer->SelectsNewStrip())
            strip->SetSelected(1, 1);
    }
    IVarnInput* source = strip->GetSource();
    int subKind = -1;
    if (source && source->GetSubKind(&subKind) &&
        (subKind == InputKind::kSubAsioPair || subKind == InputKind::kSubAsioChannel))
        SendReinit();
    return true;
}

bool MainWindow::OnStripRemoved(int, VarnEventArg argument, const VarnSyncTime*)
{
    frame_->RemoveStripView(argument);
    RefreshFit();
    ApplyTrayIconRule();
    return true;
}

bool MainWindow::OnStripChanged(int, VarnEventArg argument, const VarnSyncTime*)
{
    frame_->UpdateStrip(argument);
    SendReinit();
    return true;
}

bool MainWindow::OnReinit(int, VarnEventArg, const VarnSyncTime*)
{
    SendReinit();
    return true;
}

bool MainWindow::ToStripView(int id, VarnEventArg argument, const VarnSyncTime*)
{
    StripSectionTarget* strips = frame_->GetStripSection();
    StripViewTarget* view = strips ? strips->FindStripView(argument) : nullptr;
    if (!view)
        return true;
    view->OnEngineEvent(id);
    IVarnStrip* strip = id == kStripSourceChanged ? view->GetEngineStrip() : nullptr;
    IVarnInput* source = strip ? strip->GetSource() : nullptr;
    int subKind = -1;
    if (source && source->GetKind() == InputKind::kHost && source->GetSubKind(&subKind) &&
        subKind == InputKind::kSubAsioPair)
        SendReinit();
    return true;
}

bool MainWindow::ToMainSection(int id, VarnEventArg argument, const VarnSyncTime*)
{
    if (MainSectionTarget* section = GetMainSection())
        section->OnEngineEvent(id, argument);
    return true;
}

bool MainWindow::OnOutputChanged(int, VarnEventArg argument, const VarnSyncTime*)
{
    if (MainSectionTarget* section = GetMainSection())
        section->OnOutputChanged(argument);
    if (ReinitForOutput(argument))
        SendReinit();
    return true;
}

bool MainWindow::OnInputChanged(int, VarnEventArg argument, const VarnSyncTime*)
{
    if (MainSectionTarget* section = GetMainSection())
        section->OnInputChanged(argument);
    return true;
}

bool MainWindow::OnRefreshFit(int, VarnEventArg, const VarnSyncTime*)
{
    RefreshFit();
    return true;
}

bool MainWindow::ToMainSectionEffects(int id, VarnEventArg argument, const VarnSyncTime*)
{
    if (MainSectionTarget* section = GetMainSection())
        section->OnEffectEvent(id, argument);
    return true;
}

bool MainWindow::OnInsertEvent(int id, VarnEventArg argument, const VarnSyncTime*)
{
    if (InsertStripTarget* inserts = frame_->FindInsertStrip(id, argument))
        inserts->OnEngineEvent(id, argument);
    // The effect view checks that what it shows is still there.
    if (MainSectionTarget* section = GetMainSection())
        section->OnInsertEvent(id, argument);
    if ((id >= kInsertAdded && id <= kInsertFitLast) || id == kInsertFit)
        RefreshFit();
    if (id == kInsertSelected)
        frame_->RefreshForEvent(id, argument);
    if (id == kInsertAdded)
        Automation::NotifyEvent(Notification::kEffectsChanged, Notification::kNone, Notification::kNone);
    if (services_)
        services_->SetModified(1);
    if (id == kInsertSelected || id == kInsertFitLast)
        ApplyTrayIconRule();
    return true;
}

bool MainWindow::OnInsertSlotEvent(int id, VarnEventArg argument, const VarnSyncTime*)
{
    if (InsertStripTarget* inserts = frame_->FindInsertStrip(id, argument))
        inserts->OnEngineEvent(id, argument);
    if (MainSectionTarget* section = GetMainSection())
        section->OnInsertEvent(id, argument);
    return true;
}

bool MainWindow::OnPresetListEvent(int id, VarnEventArg argument, const VarnSyncTime*)
{
    if (MainSectionTarget* section = GetMainSection())
        section->OnPresetListEvent(id, argument);
    if (id == kPresetListToPalette)
        ToEffectPalette(id, argument, nullptr);
    return true;
}

bool MainWindow::ToEffectPalette(int id, VarnEventArg argument, const VarnSyncTime*)
{
    if (FxPaletteTarget* palette = frame_->GetFxPalette())
        palette->OnAppEvent(id, argument);
    return true;
}

void MainWindow::CommonEnd(int id)
{
    RegistryKey key;
    if (services_ && key.Open(ViewSettings::kRoot, ViewSettings::kKeyPath, 1))
        key.WriteBool(ViewSettings::kDirtySession, services_->IsModified() ? 1 : 0);
    if (frame_)
    {
        frame_->UpdateSessionTitle();
        if (id != EngineEvent::kRebuildView && id != EngineEvent::kSessionUnchanged && frame_->HasSessionSection())
            justLoaded_ = false;
    }
}

void MainWindow::ApplyTrayIconRule()
{
    if (!host_)
        return;
    bool hasHardware = frame_ && GetCurrentSystem();
    if (hasHardware)
    {
        MainSectionTarget* section = frame_->GetMainSection();
        StripSectionTarget* strips = frame_->GetStripSection();
        hasHardware = (!section || section->HasItsHardware()) && (!strips || strips->HasItsHardware());
    }
    host_->SetTrayIcon(hasHardware ? kIconNormal : kIconProblem);
}
