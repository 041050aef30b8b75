#include "mixer/app/ApplicationTrayWindow.h"

#include "framework/windows/AppBase.h"
#include "mixer/app/Application.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/WindowMessages.h"

ApplicationTrayWindow::ApplicationTrayWindow(Application* application)
    : application_(application), uiThread_(::GetCurrentThreadId())
{
}

void ApplicationTrayWindow::OnCreate()
{
    RegisterDeviceNotifications();
    TrayIcon::OnCreate();
}

int ApplicationTrayWindow::OnClose()
{
    application_->QuitWithPrompt(1);
    return 0;
}

void ApplicationTrayWindow::OnDeviceQueryRemove()
{
    application_->ReleaseAtDeviceRemoval();
}

void ApplicationTrayWindow::OnDeviceQueryRemoveFailed()
{
    AppBase::MessageBox(u"The device was not removed correctly", u"Device Error!");
}

void ApplicationTrayWindow::OnPowerQuerySuspend()
{
    application_->SaveOnSuspend();
}

void ApplicationTrayWindow::OnPowerResume()
{
    application_->SaveAndQuitOnResume();
}

int ApplicationTrayWindow::OnDeviceChange()
{
    application_->OnCardArrived();
    return 1;
}

void ApplicationTrayWindow::OnEndSession(int ending)
{
    application_->OnEndOfSession(ending);
}

void ApplicationTrayWindow::OnTaskbarCreated()
{
    application_->ShowIcon(0);
}

void ApplicationTrayWindow::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WindowMessage::kTrayEngineEvent)
        application_->OnEngineEvent(static_cast<int>(wParam), static_cast<VarnEventArg>(lParam));
    else
        TrayIcon::OnUserMessage(message, wParam, lParam);
}

int VARN_CALL ApplicationTrayWindow::OnEngineEvent(int id, VarnEventArg argument)
{
    const bool splash = EngineEvent::kSplashText.Holds(id);
    if (splash && ::GetCurrentThreadId() == uiThread_)
        application_->UpdateSplashText(id);
    else if (splash || id == EngineEvent::kRateChange || id == EngineEvent::kSyncSourceChange ||
             id == EngineEvent::kEngineEnds)
        PostMessage(WindowMessage::kTrayEngineEvent, static_cast<WPARAM>(id), static_cast<LPARAM>(argument));
    return 1;
}
