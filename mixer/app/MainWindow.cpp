#include "mixer/app/MainWindow.h"

#include "framework/windows/AppBase.h"
#include "mixer/app/ApplicationHost.h"
#include "mixer/app/Automation.h"
#include "mixer/comserver/ComInterfaces.h"
#include "mixer/comserver/ServicesServer.h"
#include "mixer/dialogs/PreferencesStore.h"

namespace
{
const char16_t kViewKey[] = u"Software\\Halvorn Professional\\KivCorvanDSP\\CorvanView";
const char kIconNormal[] = "#107";
const char kIconProblem[] = "#126";

bool In(int id, int first, int last)
{
    return id >= first && id <= last;
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
        while (::PeekMessageA(&message, eventWindow_->GetHandle(), kEngineEventData, kEngineEventData, PM_REMOVE))
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
    name.AppendAscii("Default");
    preferences.GetSkinPath(name);
    String folder;
    if (!AppBase::ModulePath(folder))
        return 0;
    folder.AppendAscii("\\Skins\\");
    folder.Append(name);
    return reload ? skin_.Reload(folder, nullptr) : skin_.Load(folder, nullptr);
}

int MainWindow::Create(IVarnServices* services, ApplicationHost* host)
{
    services_ = services;
    host_ = host;
    settings_.Open("HKEY_CURRENT_USER", kViewKey, 1);
    if (!LoadSkin(0))
    {
        PreferencesStore preferences;
        preferences.GetSkinName(settings_);
        String fallback;
        fallback.AppendAscii("Default");
        preferences.SetSkinPath(fallback);
        // A failed load leaves what it read, and the first definition of a name wins: start
        // from an empty skin.
        if (!LoadSkin(1))
            return -1;
    }
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
    if (!frame_ && frameFactory_)
        frame_ = frameFactory_(*this, fullBuild);
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

void MainWindow::Close()
{
    // The frame's close button runs inside the frame's own handler.
    if (eventWindow_)
        eventWindow_->PostMessage(kCloseFrame, 0, 0);
}

int VARN_CALL MainWindow::OnEngineEvent(int id, VarnEventArg argument)
{
    HWND target = eventHandle_;
    if (!target)
        return 1;
    if (id == 54 && argument)
    {
        // The engine may overwrite its record once we return.
        auto* time = new (std::nothrow) VarnSyncTime(*reinterpret_cast<const VarnSyncTime*>(argument));
        if (time && !::PostMessageA(target, kEngineEventData, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(time)))
            delete time;
        return 1;
    }
    ::PostMessageA(target, kEngineEvent, static_cast<WPARAM>(id), static_cast<LPARAM>(argument));
    return 1;
}

void MainWindow::OnPosted(UINT message, WPARAM wParam, LPARAM lParam)
{
    const int id = static_cast<int>(wParam);
    switch (message)
    {
    case kEngineEvent:
        Receive(id, static_cast<VarnEventArg>(lParam), nullptr);
        break;
    case kEngineEventData:
        Receive(id, 0, std::unique_ptr<VarnSyncTime>(reinterpret_cast<VarnSyncTime*>(lParam)));
        break;
    case kCloseFrame:
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
    if (held_.empty() && !((id == 1 || id == kCloseId) && insideAHandler))
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
    if (id == 1)
    {
        // The caller may be a handler of the frame that the rebuild destroys.
        if (eventWindow_)
            eventWindow_->PostMessage(kEngineEvent, 1, static_cast<LPARAM>(argument));
        return;
    }
    Dispatch(id, argument, id == 54 ? reinterpret_cast<const VarnSyncTime*>(argument) : nullptr);
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
    if (kind == 1)
        return true;
    if (kind != 2)
        return false;
    if (IVarnInsertChain* bus = port->GetSource())
    {
        for (int i = bus->GetCount() - 1; i >= 0; --i)
        {
            IVarnInsert* insert = bus->GetInsert(i);
            if (insert && insert->GetKind() == 6)
                return true;
        }
    }
    IVarnInsert* feeding = port->GetInsert();
    return feeding && feeding->GetKind() == 0 && feeding->HasEffect() == 1;
}

bool MainWindow::Handle(int id, VarnEventArg argument, const VarnSyncTime* time)
{
    MainFrameTarget* frame = frame_.get();
    MainSectionTarget* section = frame ? frame->GetMainSection() : nullptr;
    IVarnMixer* mixer = services_ ? services_->GetMixer() : nullptr;
    // Rows that need the frame end here without one, common end included.
    const bool frameNeeded =
        id == 1 || In(id, 2, 4) || id == 11 || id == 12 || In(id, 53, 55) || id == 76 || In(id, 100, 199) ||
        In(id, 201, 232) || In(id, 300, 399) || id == 400 || id == 500 || In(id, 600, 602) || In(id, 610, 699) ||
        (In(id, 700, 748) && id != 707 && id != 708 && id != 710) || In(id, 750, 898) || In(id, 1000, 1299);
    if (id == 1)
    {
        String outputs;
        outputs.AssignAscii("outputs");
        settings_.WriteString(u"TV View Mode", &outputs);
    }
    if (frameNeeded && !frame)
        return false;

    if (id == 1)
    {
        frame_.reset();
        MakeFrame(true);
        SendReinit();
        if (services_)
            services_->SetModified(0);
        ApplyTrayIconRule();
    }
    else if (In(id, 2, 4))
        frame->UpdateSessionTitle();
    else if (id == 51)
    {
        if (mixer)
            ShowRate(mixer->GetRateCode());
    }
    else if (id == 52)
    {
        // The low word says external, the high word locked.
        ShowSync(static_cast<int>(argument & 0xFFFF), static_cast<int>(argument >> 16));
    }
    else if (id == 55)
    {
        frame->UpdateHardwareButtons(argument);
        if (IVarnHardware* system = GetCurrentSystem())
            system->PrepareDsp();
        if (section)
            section->OnEngineEvent(id, argument);
        frame->RefreshExtraSection();
        ApplyTrayIconRule();
    }
    else if (In(id, 300, 399))
    {
        if (section)
            section->OnEngineEvent(id, argument);
    }
    else if (id == 10)
    {
        IVarnStrip* strip = mixer ? mixer->GetStripById(static_cast<int>(argument)) : nullptr;
        if (!strip)
            return false;
        if (frame)
        {
            frame->AddStripView(strip);
            RefreshFit();
            if (mixer->SelectsNewStrip())
                strip->SetSelected(1, 1);
        }
        IVarnInput* source = strip->GetSource();
        int subKind = -1;
        if (source && source->GetSubKind(&subKind) && (subKind == 1 || subKind == 4))
            SendReinit();
    }
    else if (id == 11)
    {
        frame->RemoveStripView(argument);
        RefreshFit();
        ApplyTrayIconRule();
    }
    else if (id == 13)
        SendReinit();
    else if (id == 12)
    {
        frame->UpdateStrip(argument);
        SendReinit();
    }
    else if (In(id, 100, 199) || In(id, 201, 232))
    {
        StripSectionTarget* strips = frame->GetStripSection();
        StripViewTarget* view = strips ? strips->FindStripView(argument) : nullptr;
        if (view)
        {
            view->OnEngineEvent(id);
            IVarnStrip* strip = id == 111 ? view->GetEngineStrip() : nullptr;
            IVarnInput* source = strip ? strip->GetSource() : nullptr;
            int subKind = -1;
            if (source && source->GetKind() == 0 && source->GetSubKind(&subKind) && subKind == 1)
                SendReinit();
        }
    }
    else if (id == 400)
    {
        if (section)
            section->OnOutputChanged(argument);
        if (ReinitForOutput(argument))
            SendReinit();
    }
    else if (id == 500)
    {
        if (section)
            section->OnInputChanged(argument);
    }
    else if (In(id, 800, 849))
    {
        if (section)
            section->OnPresetListEvent(id, argument);
        if (id == 804)
        {
            if (FxPaletteTarget* palette = frame->GetFxPalette())
                palette->OnAppEvent(id, argument);
        }
        Automation::NotifyEvent(901, -1, -1);
    }
    else if (In(id, 850, 898))
    {
        if (FxPaletteTarget* palette = frame->GetFxPalette())
            palette->OnAppEvent(id, argument);
        Automation::NotifyEvent(900, -1, -1);
    }
    else if (id == 600 || id == 601)
    {
        RefreshFit();
        Automation::NotifyEvent(id == 600 ? 906 : 905, -1, -1);
    }
    else if (id == 602 || In(id, 610, 699) || In(id, 1000, 1299))
    {
        if (section)
            section->OnEffectEvent(id, argument);
        const int a = static_cast<int>(argument);
        if (In(id, 610, 699))
            Automation::NotifyEvent(907, id - 610, a);
        else if (In(id, 1000, 1099))
            Automation::NotifyEvent(908, id - 1000, a);
        else if (In(id, 1100, 1199))
            Automation::NotifyEvent(909, id - 1100, a);
        else if (In(id, 1200, 1299))
            Automation::NotifyEvent(910, id - 1200, a);
    }
    else if (In(id, 750, 799))
    {
        if (InsertStripTarget* inserts = frame->FindInsertStrip(argument))
            inserts->OnEngineEvent(id, argument);
        if (section)
            section->OnInsertEvent(id, argument);
    }
    else if (In(id, 700, 748))
    {
        if (id == 707 || id == 708 || id == 710)
            SendReinit();
        else
        {
            if (InsertStripTarget* inserts = frame->FindInsertStrip(argument))
                inserts->OnEngineEvent(id, argument);
            if (In(id, 700, 704) || id == 709)
                RefreshFit();
            if (id == 703)
                frame->RefreshForEvent(id, argument);
            if (id == 700)
                Automation::NotifyEvent(906, -1, -1);
            if (services_)
                services_->SetModified(1);
            if (id == 703 || id == 704)
                ApplyTrayIconRule();
        }
    }
    else if (id == 53)
    {
        if (SyncPanelTarget* panel = frame->GetSyncPanel())
            panel->OnSyncStatus(argument);
    }
    else if (id == 54)
    {
        SyncPanelTarget* panel = frame->GetSyncPanel();
        if (panel && time)
            panel->ShowSyncTime(*time);
    }
    else if (id == 76)
        frame->RefreshForEvent(id, argument);
    return true;
}

void MainWindow::CommonEnd(int id)
{
    RegistryKey key;
    if (services_ && key.Open("HKEY_CURRENT_USER", kViewKey, 1))
        key.WriteBool(u"DirtySession", services_->IsModified() ? 1 : 0);
    if (frame_)
    {
        frame_->UpdateSessionTitle();
        if (id != 1 && id != 50 && frame_->HasSessionSection())
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
