#include "mixer/dialogs/AppDialog.h"

#include "mixer/engine/EngineVocabulary.h"
#include "framework/windows/AppBase.h"
#include "mixer/comserver/ServicesApplication.h"
#include "mixer/names/WindowMessages.h"

namespace
{
IVarnServices* ApplicationServices()
{
    auto* application = dynamic_cast<ServicesApplication*>(AppBase::Current());
    return application ? application->GetServices() : nullptr;
}
} // namespace

AppDialog::AppDialog()
{
    services_ = ApplicationServices();
    if (services_ && !services_->AddListener(this))
        services_ = nullptr;
}

AppDialog::~AppDialog()
{
    // The engine the dialog listens to may have been released meanwhile: remove only from the
    // one the application still holds.
    if (services_ && services_ == ApplicationServices())
        services_->RemoveListener(this);
}

int VARN_CALL AppDialog::OnEngineEvent(int id, VarnEventArg argument)
{
    PostMessage(WindowMessage::kDialogEngineEvent, static_cast<WPARAM>(id), static_cast<LPARAM>(argument));
    return 1;
}

void AppDialog::OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WindowMessage::kDialogEngineEvent)
    {
        if (wParam == EngineEvent::kHardwareChange)
            OnSettingsChanged();
        return;
    }
    Dialog::OnUserMessage(message, wParam, lParam);
}
