// KivCorvanDSP.exe: the mixer program and COM local server KivCorvanServices.
#include <windows.h>

#include <new>

#include "mixer/app/Application.h"
#include "mixer/app/Startup.h"

namespace
{
class ProgramHost : public StartupHost
{
public:
    int RunApplication(HINSTANCE instance, HINSTANCE, int show) override
    {
        Application* application = new (std::nothrow) Application;
        if (!application)
            return -1;
        int result = application->GetAppWindow().Run(instance, 0, 0, show);
        delete application;
        return result;
    }
};
} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int show)
{
    ProgramHost host;
    return MixerMain(instance, previous, show, GetCommandLineA(), host);
}
