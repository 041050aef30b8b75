#include "mixer/app/Application.h"

#include "framework/platform/RegistryKey.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/platform/files/Shell.h"
#include "framework/skin/Skin.h"
#include "mixer/app/Startup.h"
#include "mixer/comserver/ServicesServer.h"

namespace
{
const char16_t componentMissing[] = u"Fatal error: Varn Services component missing - you may need to re-install.";
const char16_t initFailed[] = u"The Kiv CorvanDSP services could not be started.";
const char16_t errorCaption[] = u"Kiv CorvanDSP Error!";

// folder + "\" + name, created when missing; 0 when the folder cannot be had.
int EnsureFolder(String& folder, const char* name)
{
    folder.AppendAscii("\\");
    folder.AppendAscii(name);
    return FileSystem::DirectoryExists(folder) || FileSystem::CreateDirectoryPath(folder);
}
} // namespace

Application::Application(ServicesFactory createServices) : createServices_(createServices) {}

Application::~Application()
{
    ReleaseServices();
}

void Application::GetClassName(char* buffer, int size)
{
    lstrcpynA(buffer, "Varn Services", size);
}

void Application::GetTitle(char* buffer, int size)
{
    lstrcpynA(buffer, "Varn Launcher", size);
}

int Application::InitBeforeCreate()
{
    if (!InitServices())
        return 0;
    ImportSavedEffects();
    return 1;
}

int Application::InitServices()
{
    if (services_)
        return 1;
    services_ = createServices_ ? createServices_() : nullptr;
    if (!services_)
    {
        MessageBox(componentMissing, errorCaption);
        return 0;
    }

    String program, data, sessions;
    if (!ModulePath(program) || !AppDataFolder(&data) || !EnsureFolder(data, "KivCorvanDSP") ||
        !DocumentsFolder(&sessions) || !EnsureFolder(sessions, "My Sessions"))
    {
        ReleaseServices();
        MessageBox(initFailed, errorCaption);
        return 0;
    }

    initStatus_ = services_->Init(program.Text(), data.Text(), sessions.Text());
    if (initStatus_ == VarnInitFailed)
    {
        ReleaseServices();
        MessageBox(initFailed, errorCaption);
        return 0;
    }
    if (initStatus_ == VarnInitAlreadyRunning)
    {
        ReleaseServices();
        MessageBox(u"The Kiv CorvanDSP services are already running.", errorCaption);
        return 0;
    }
    if (initStatus_ == VarnInitSessionNewer)
        MessageBox(u"The last session was saved by a newer version of Kiv CorvanDSP.", errorCaption);
    services_->SetViewInterface(stubHandler_.GetViewInterface());

    // A hardware level left at 0.0 is moved away and back so that the card takes it.
    IVarnMixer* mixer = services_->GetMixer();
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    IVarnLevelControl* level = hardware ? hardware->GetLevelControl() : nullptr;
    if (level && level->GetLevel() == 0.0f)
    {
        level->SetLevel(-10.0f, 0);
        Sleep(1);
        level->SetLevel(0.0f, 0);
    }
    return 1;
}

void Application::ImportSavedEffects()
{
    RegistryKey launcher;
    String saved;
    if (!services_ ||
        !launcher.Open("HKEY_CURRENT_USER", u"Software\\Halvorn Professional\\KivCorvanDSP\\Launcher", 1) ||
        !launcher.ReadString(u"Saved FX Path", saved, nullptr) || saved.CompareLiteral(" ") == 0 ||
        !services_->IsReady())
        return;
    String corePresets, effectPresets;
    corePresets.Append(saved);
    effectPresets.Append(saved);
    corePresets.AppendAscii("\\Core Effects\\Presets");
    effectPresets.AppendAscii("\\Effect Presets");
    IVarnFxLibrary* library = services_->GetFxLibrary();
    if (!library || !library->ImportLibrary(corePresets.Text(), effectPresets.Text()))
        MessageBox(u"The effects library could not be imported.", errorCaption);
    launcher.DeleteKey(u"Saved FX Path");
    Shell::DeleteSilently(saved, nullptr);
}

void Application::ReleaseServices()
{
    if (!services_)
        return;
    IVarnServices* services = services_;
    services_ = nullptr;
    initStatus_ = 0;
    services->Release();
}

void Application::OnQuit()
{
    ServicesServer::FireNotify(KivKDSPASIO_Terminate);
    EndComServer();
}

void Application::OnTrayMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kFireNotifyMessage)
        ServicesServer::FireNotify(static_cast<DWORD>(wParam));
    else if (message == kFirePrivateNotifyMessage)
        ServicesServer::FirePrivateNotify(static_cast<DWORD>(wParam & 0xFFFF),
                                          static_cast<DWORD>((wParam >> 16) & 0xFFFF), static_cast<DWORD>(lParam));
    else if (message == kQuitMessage)
        Quit();
}

const String* Application::SkinStrings::FindStringById(const char* id)
{
    Skin* skin = Skin::Current();
    return skin ? skin->FindStringById(id) : nullptr;
}
