#include "plugins/quorvel/KivQuorvelEditor.h"

#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/FrameworkModule.h"
#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinViewFactory.h"
#include "framework/windows/AppBase.h"
#include "framework/windows/Window.h"
#include "plugins/base/stream/AudioStream.h"
#include "plugins/quorvel/EditorMainPanel.h"
#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/EditorRules.h"
#include "plugins/quorvel/FxPalette.h"
#include "plugins/quorvel/KivQuorvelEffect.h"
#include "plugins/quorvel/QuorvelEditorFactory.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <vector>

namespace
{

constexpr char16_t kInstallKey[] = u"Software\\Halvorn Professional\\KIV Corvan DSP";
constexpr char kSkinFolder[] = "\\VST\\KivQuorvel\\Skins\\Default";
constexpr uint8_t kVstKeyDelete = 22;

// The framework's application object inside a host's process: window classes named after
// this plug-in file, so two copies of it in one host never share a class.
class PluginApp final : public AppBase
{
public:
    void GetClassName(char* buffer, int size) override
    {
        std::snprintf(buffer, static_cast<size_t>(size), "Plugin%08x",
                      static_cast<unsigned>(reinterpret_cast<uintptr_t>(FrameworkModule())));
    }
};

// The skin's custom elements: the palette tree.
class PaletteFactory final : public SkinViewFactory
{
public:
    Window* CreateView(const String& name, int kind) override
    {
        if (kind == KindTreeView && name.CompareLiteral("presets") == 0)
            return new (std::nothrow) FxPalette();
        return nullptr;
    }
    void ViewCreated(Window*) override {}
};

// GUI thread: the skin shared by every editor of this file.
PaletteFactory gFactory;
PluginApp* gApp = nullptr; // owned
Skin* gSkin = nullptr;     // owned
int gSkinUses = 0;
// Editors closed while a dialog ran, to be torn down from the message loop.
std::vector<KivQuorvelEditor*> gPendingTearDowns;
UINT_PTR gTearDownTimer = 0;

} // namespace

EditorBase* CreateQuorvelEditor(KivQuorvelEffect* effect)
{
    return new (std::nothrow) KivQuorvelEditor(effect);
}

bool PostToQuorvelEditor(EditorBase* editor, uint32_t id, uintptr_t wParam, uintptr_t lParam)
{
    return editor && static_cast<KivQuorvelEditor*>(editor)->PostToPanel(id, wParam, lParam);
}

bool ReleaseQuorvelEditor(EditorBase* editor)
{
    return static_cast<KivQuorvelEditor*>(editor)->ReleaseFromEffect();
}

KivQuorvelEditor::KivQuorvelEditor(KivQuorvelEffect* effect) : EditorBase(effect), effect_(effect) {}

KivQuorvelEditor::~KivQuorvelEditor()
{
    StopMeterThread();
    gPendingTearDowns.erase(std::remove(gPendingTearDowns.begin(), gPendingTearDowns.end(), this),
                            gPendingTearDowns.end());
    if (closing_)
    {
        // Closed while a dialog ran, deleted before its tear-down: it runs now.
        TearDown();
    }
    if (panel_)
    {
        // Deleted without a close: the panel goes; the skin stays held as the host left it.
        HWND window = panelWindow_.exchange(nullptr);
        DropQueuedMessages(window);
        panel_.reset();
    }
    if (hostWindow_)
    {
        hostWindow_->Detach();
        hostWindow_.reset();
    }
}

bool KivQuorvelEditor::GetRect(VstRect** rect)
{
    if (!rect)
        return false;
    *rect = &rect_;
    return true;
}

int KivQuorvelEditor::SkinUseCount()
{
    return gSkinUses;
}

bool KivQuorvelEditor::AcquireSkin()
{
    if (gSkinUses == 0)
    {
        if (!gApp)
        {
            gApp = new (std::nothrow) PluginApp();
            if (gApp && gApp->InitBeforeCreate() == -1)
            {
                delete gApp;
                gApp = nullptr;
            }
        }
        if (gApp && !gSkin)
        {
            String folder;
            ReadInstallPath(folder);
            folder.AppendAscii(kSkinFolder);
            gSkin = new (std::nothrow) Skin();
            if (gSkin && !gSkin->Load(folder, &gFactory))
            {
                delete gSkin;
                gSkin = nullptr;
                delete gApp;
                gApp = nullptr;
            }
        }
    }
    if (!gApp || !gSkin || !gSkin->IsLoaded())
        return false;
    ++gSkinUses;
    return true;
}

void KivQuorvelEditor::ReleaseSkin()
{
    if (gSkinUses < 1)
        return;
    if (--gSkinUses == 0)
    {
        delete gSkin;
        gSkin = nullptr;
        gApp->OnQuit();
        delete gApp;
        gApp = nullptr;
    }
}

bool KivQuorvelEditor::ReadInstallPath(String& out)
{
    RegistryKey key;
    String path;
    if (!key.Open("HKEY_LOCAL_MACHINE", kInstallKey, 0) || !key.ReadValue(kInstallKey, u"Path", path) ||
        path.Length() == 0)
        return false;
    return out.Assign(path) != 0;
}

bool KivQuorvelEditor::ReadHelpFileName(String& out)
{
    RegistryKey key;
    String name;
    if (!key.Open("HKEY_LOCAL_MACHINE", kInstallKey, 0) || !key.ReadString(u"HelpFileName", name, nullptr) ||
        name.Length() == 0)
        return false;
    return out.Assign(name) != 0;
}

bool KivQuorvelEditor::GetHelpPath(String& out)
{
    if (ReadHelpFileName(out))
        return true;
    String install;
    String relative;
    if (!ReadInstallPath(install) || !gSkin || !gSkin->FindMiscParam("VSTPPHelp", relative))
        return false;
    return out.Assign(install) && out.AppendAscii("\\") && out.Append(relative);
}

VstValue KivQuorvelEditor::Open(void* parentWindow)
{
    EditorBase::Open(parentWindow);
    if (closing_ || !AcquireSkin())
        return 0;
    if (!hostWindow_)
        hostWindow_ = std::make_unique<Window>();
    hostWindow_->Detach();
    hostWindow_->Attach(static_cast<HWND>(parentWindow));
    if (!panel_)
    {
        String help;
        GetHelpPath(help);
        panel_ = std::make_unique<EditorMainPanel>(*this, effect_->GetServices(), help);
        if (!panel_->Create(*gSkin, hostWindow_.get(), 0, 0))
        {
            panel_.reset();
            hostWindow_->Detach();
            hostWindow_.reset();
            ReleaseSkin();
            return 0;
        }
        panelWindow_.store(panel_->GetHandle());
    }
    else
    {
        // Open again without a close: the skin was held once already.
        ReleaseSkin();
    }
    StartMeterThread();
    return 1;
}

void KivQuorvelEditor::Close()
{
    StopMeterThread();
    if (!panel_ || closing_)
        return;
    // Nothing reaches the panel any more; what is queued for it is freed now.
    DropQueuedMessages(panelWindow_.exchange(nullptr));
    panel_->Disconnect();
    if (modalDepth_ > 0)
    {
        // The dialogs return into the panel: it goes once the outermost loop has returned.
        closing_ = true;
        panel_->EndModalRuns();
        return;
    }
    TearDown();
}

void KivQuorvelEditor::TearDown()
{
    closing_ = false;
    panel_.reset();
    if (hostWindow_)
    {
        hostWindow_->Detach();
        hostWindow_.reset();
    }
    ReleaseSkin();
}

bool KivQuorvelEditor::ReleaseFromEffect()
{
    Close();
    effect_ = nullptr;
    if (modalDepth_ > 0)
    {
        released_ = true;
        return false;
    }
    // A tear-down still scheduled runs now: the host's call is the message loop's own.
    if (closing_)
    {
        gPendingTearDowns.erase(std::remove(gPendingTearDowns.begin(), gPendingTearDowns.end(), this),
                                gPendingTearDowns.end());
        TearDown();
    }
    return true;
}

template <typename Run>
int KivQuorvelEditor::RunModalLoop(Run run)
{
    if (!IsOpen() || !gSkin)
        return 0;
    if (modalDepth_++ == 0)
        modalBase_ = Dialog::ModalCount();
    const int result = run(*gSkin);
    --modalDepth_;
    if (!closing_)
        return result;
    if (modalDepth_ == 0)
        ScheduleTearDown();
    return 0;
}

int KivQuorvelEditor::RunModal(Dialog& dialog, const char* skinDialog)
{
    return RunModalLoop(
        [&](Skin& skin) { return SkinDialogs(skin).ShowDialogPanel(skinDialog, &dialog, panel_.get()); });
}

int KivQuorvelEditor::ShowMessage(const char* box)
{
    return RunModalLoop(
        [&](Skin& skin) { return SkinDialogs(skin).ShowDefinedMessageBox(box, panel_.get(), nullptr); });
}

void KivQuorvelEditor::ScheduleTearDown()
{
    gPendingTearDowns.push_back(this);
    // A thread timer: it fires from whichever message loop runs next, outside every handler.
    if (!gTearDownTimer)
        gTearDownTimer = ::SetTimer(nullptr, 0, 0, &KivQuorvelEditor::RunScheduledTearDowns);
}

void CALLBACK KivQuorvelEditor::RunScheduledTearDowns(HWND, UINT, UINT_PTR, DWORD)
{
    ::KillTimer(nullptr, gTearDownTimer);
    gTearDownTimer = 0;
    std::vector<KivQuorvelEditor*> pending;
    pending.swap(gPendingTearDowns);
    for (KivQuorvelEditor* editor : pending)
        editor->FinishClose();
}

void KivQuorvelEditor::FinishClose()
{
    if (modalDepth_ > 0)
        return; // a dialog ran again meanwhile: its own end schedules the tear-down
    TearDown();
    if (released_)
        delete this;
}

VstValue KivQuorvelEditor::OnKeyDown(const VstKeyCode& key)
{
    if (key.virtualKey != kVstKeyDelete)
        return 0;
    if (panel_ && !closing_)
        panel_->OnKeyDown(VK_DELETE, 0);
    return 1;
}

VstValue KivQuorvelEditor::OnKeyUp(const VstKeyCode&)
{
    return 0;
}

bool KivQuorvelEditor::PostToPanel(uint32_t id, uintptr_t wParam, uintptr_t lParam)
{
    HWND window = panelWindow_.load();
    return window && ::PostMessageA(window, id, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam)) != 0;
}

void KivQuorvelEditor::DropQueuedMessages(HWND window)
{
    if (!window)
        return;
    MSG message;
    while (::PeekMessageA(&message, window, kMessagePresetChanged, kMessageEvent4, PM_REMOVE))
        FreeUndeliveredMessage(message.message, message.wParam, static_cast<uintptr_t>(message.lParam));
}

void KivQuorvelEditor::StartMeterThread()
{
    if (meterThread_.joinable() || !panel_)
        return;
    stopEvent_ = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!stopEvent_)
        return;
    panel_->Meters().Reset();
    try
    {
        meterThread_ = std::thread([this] { MeterLoop(); });
    }
    catch (...)
    {
        ::CloseHandle(stopEvent_);
        stopEvent_ = nullptr;
        return;
    }
}

void KivQuorvelEditor::StopMeterThread()
{
    if (!meterThread_.joinable())
        return;
    ::SetEvent(stopEvent_);
    // The thread only waits on the event and posts (never sends): it ends at once.
    meterThread_.join();
    ::CloseHandle(stopEvent_);
    stopEvent_ = nullptr;
}

void KivQuorvelEditor::MeterLoop()
{
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
    KivQuorvelEffect* effect = effect_;
    EditorMeters& meters = panel_->Meters();
    int32_t lampPass = kLampPasses;
    while (::WaitForSingleObject(stopEvent_, kMeterPeriodMs) == WAIT_TIMEOUT)
    {
        HWND window = panelWindow_.load();
        // A tick goes only once the last was handled: the GUI thread may be busy (a poll of
        // the mixer can take long), and the queue must not fill meanwhile.
        if (window && !meters.tickQueued.exchange(true))
        {
            const WPARAM processing = effect->GetProcessMode() != 0 ? 1 : 0;
            if (!::PostMessageA(window, kMessageMeterTick, processing, 0))
                meters.tickQueued.store(false);
        }
        if (--lampPass > 0)
            continue;
        lampPass = kLampPasses;
        StreamSlot::Use use(effect->GetStream());
        if (AudioStream* stream = use.Get())
        {
            for (int32_t lamp = 0; lamp < EditorMeters::kLamps; ++lamp)
                meters.lit[lamp].store(IsSignalLit(stream->TakeLevel(lamp)));
        }
        if (window && !meters.lampsQueued.exchange(true))
        {
            if (!::PostMessageA(window, kMessageMeterLamps, 0, 0))
                meters.lampsQueued.store(false);
        }
    }
}
