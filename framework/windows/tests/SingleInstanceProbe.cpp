// Started twice by the single-instance test. "first" runs until another start wakes it
// (exit code 100 + the wake-ups it saw); "second" must only wake the first (exit code 0).
#include <windows.h>

#include <cstring>

#include "framework/windows/AppBase.h"
#include "framework/windows/PlaceholderWindow.h"

namespace
{

class ProbeApp : public AppBase
{
public:
    int activations = 0;
    int windowsMade = 0;

    void GetClassName(char* buffer, int size) override { lstrcpynA(buffer, "KivProbeWnd", size); }
    void GetTitle(char* buffer, int size) override { lstrcpynA(buffer, "Kiv Probe", size); }
    int IsSingleInstance() override { return 1; }
    int ShowOnStart() override { return 0; }
    Window* CreateWindowObject() override
    {
        ++windowsMade;
        return AppBase::CreateWindowObject();
    }
    void OnActivateRequest() override
    {
        ++activations;
        Quit();
    }
};

} // namespace

int main(int argc, char** argv)
{
    const bool first = argc > 1 && std::strcmp(argv[1], "first") == 0;
    ProbeApp app;
    const int result = app.GetAppWindow().Run(::GetModuleHandleA(nullptr), 0, 0, SW_SHOW);
    if (first)
        return result == 0 ? 100 + app.activations : 1;
    return result == 0 && app.windowsMade == 0 ? 0 : 2;
}
