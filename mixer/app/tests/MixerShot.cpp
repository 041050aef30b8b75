// Starts the application against the simulated engine and puts up what a person looks at:
// the splash form with a progress line (KIV_SHOT_SPLASH), the tray menu opened through the
// tray icon's message (KIV_SHOT_TRAYMENU), or one of the session commands' dialogs over the
// main window (KIV_SHOT_NEWSESSION, _GLOBALPREFERENCES, _ABOUT, _SAVEPROMPT, _SESSIONSETTINGS),
// which run modally while another thread says they are up, or the sync panel over a card with
// the sync card (KIV_SHOT_SYNCPANEL). It prints "shown" once that is on screen;
// panel-shot takes the screenshot then. The launcher and mixer skins and the simulated card are copied beside the
// program first: the application finds them in its own folder.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>

#include "framework/controls/FormWindow.h"
#include "framework/windows/TrayIcon.h"
#include "mixer/app/Application.h"
#include "mixer/app/ApplicationTrayWindow.h"
#include "mixer/app/MainWindow.h"
#include "mixer/dialogs/AboutDialog.h"
#include "mixer/app/tests/BareDesktop.h"
#include "mixer/views/FrameApp.h"
#include "standins/engine/StandinServices.h"

namespace fs = std::filesystem;

namespace
{
using namespace baredesktop;

void Pump(int milliseconds)
{
    const DWORD end = ::GetTickCount() + milliseconds;
    while (static_cast<int>(end - ::GetTickCount()) > 0)
    {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::Sleep(20);
    }
}

class ShotApplication : public Application
{
public:
    ShotApplication() : Application(CreateStandin) {}
    int InitAfterCreate() override
    {
        if (!Application::InitAfterCreate())
        {
            std::printf("the start-up failed\n");
            return 0;
        }
        Pump(300); // the main window comes up as after every start
#if defined(KIV_SHOT_NEWSESSION) || defined(KIV_SHOT_GLOBALPREFERENCES) || defined(KIV_SHOT_ABOUT) ||                  \
    defined(KIV_SHOT_SAVEPROMPT) || defined(KIV_SHOT_SESSIONSETTINGS) || defined(KIV_SHOT_SYNCPANEL)
        MainWindow* window = GetFirstViewField();
        if (!window)
        {
            std::printf("no main window\n");
            return 0;
        }
        window->Show();
        Pump(500);
        std::thread([] {
            ::Sleep(1500);
            std::printf("shown\n");
            std::fflush(stdout);
        }).detach();
#if defined(KIV_SHOT_NEWSESSION)
        window->Sessions().NewSession(0);
#elif defined(KIV_SHOT_GLOBALPREFERENCES)
        window->Sessions().EditGlobalPreferences();
#elif defined(KIV_SHOT_SESSIONSETTINGS)
        window->Sessions().EditSessionSettings();
#elif defined(KIV_SHOT_SYNCPANEL)
        if (auto* frame = dynamic_cast<FrameApp*>(window->GetFrame()))
            frame->ShowSyncPanel(1);
#elif defined(KIV_SHOT_ABOUT)
        IVarnMixer* mixer = GetServices()->GetMixer();
        AboutDialog::Show(window->GetSkin(), mixer->GetHardware(), window->GetCurrentSystem(), nullptr);
#else
        GetServices()->SetModified(1);
        window->Sessions().PromptToSave();
#endif
        Pump(30000);
        return 0;
#elif defined(KIV_SHOT_SPLASH)
        // The splash as the start-up shows it, before the main window comes.
        CloseMainWindow();
        ShowSplash();
        GetTrayWindow()->OnEngineEvent(82, 0);
#else
        ::SetCursorPos(420, 300);
        ::SendMessageA(GetWindowHandle(), TrayIcon::kCallbackMessage, 0, WM_RBUTTONUP);
#endif
        Pump(500);
        if (FormWindow* splash = GetSplash())
        {
            RECT r = {};
            ::GetWindowRect(splash->GetHandle(), &r);
            std::printf("splash %p visible %d at %ld,%ld-%ld,%ld\n", (void*)splash->GetHandle(),
                        ::IsWindowVisible(splash->GetHandle()), r.left, r.top, r.right, r.bottom);
        }
        std::printf("main %p\n", (void*)GetFirstViewField());
        std::printf("shown\n");
        std::fflush(stdout);
        Pump(30000);
        return 0;
    }
};
} // namespace

int main()
{
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const fs::path folder = fs::path(self).parent_path();
    std::error_code error;
    for (const char* skins : {"System", "Skins"})
    {
        fs::remove_all(folder / skins, error);
        fs::copy(folder / ".." / ".." / "program" / skins, folder / skins, fs::copy_options::recursive, error);
    }
    // The simulated card, so that the dialogs show what the card has.
    fs::copy_file(folder / ".." / ".." / "program" / "SimulatedCard.txt", folder / "SimulatedCard.txt",
                  fs::copy_options::overwrite_existing, error);
#if defined(KIV_SHOT_SYNCPANEL)
    // The shipped card's features and the sync card.
    std::FILE* card = std::fopen((folder / "SimulatedCard.txt").string().c_str(), "a");
    if (card)
    {
        std::fputs("\nfeatures=0,1,2,3,5\n", card);
        std::fclose(card);
    }
#endif
    NoNotifier notifier;
    TrayIcon::SetNotifier(&notifier);
    NoMessages messages;
    ShotApplication application;
    application.SetMessages(&messages);
    application.GetAppWindow().Run(::GetModuleHandleA(nullptr), 0, 0, SW_SHOW);
    return 0;
}
