#include "mixer/app/Application.h"

#include "mixer/app/Startup.h"
#include "mixer/comserver/ServicesServer.h"

void Application::GetClassName(char* buffer, int size)
{
    lstrcpynA(buffer, "Varn Services", size);
}

void Application::GetTitle(char* buffer, int size)
{
    lstrcpynA(buffer, "Varn Launcher", size);
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
                                          static_cast<DWORD>((wParam >> 16) & 0xFFFF),
                                          static_cast<DWORD>(lParam));
}
