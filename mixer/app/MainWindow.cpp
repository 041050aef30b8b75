#include "mixer/app/MainWindow.h"

#include "framework/controls/Panel.h"
#include "framework/windows/AppBase.h"
#include "mixer/app/ApplicationHost.h"
#include "mixer/dialogs/PreferencesStore.h"

namespace
{
const char16_t kViewKey[] = u"Software\\Halvorn Professional\\KivCorvanDSP\\CorvanView";

// The frame until the main frame proper comes: a top-level panel tiled with the skin's panel
// swatch.
class PlainFrame : public Panel
{
public:
    DWORD GetStyle() override { return WS_OVERLAPPEDWINDOW; }
};

String Make(const char* text)
{
    String result;
    result.AppendAscii(text);
    return result;
}
} // namespace

MainWindow::~MainWindow()
{
    if (listening_ && services_)
        services_->RemoveListener(this);
    frameHandle_ = nullptr;
    if (frame_)
        frame_->Destroy();
}

int MainWindow::LoadSkin()
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
    return skin_.Load(folder, nullptr);
}

int MainWindow::Create(IVarnServices* services, ApplicationHost* host)
{
    services_ = services;
    host_ = host;
    settings_.Open("HKEY_CURRENT_USER", kViewKey, 1);
    if (!LoadSkin())
    {
        PreferencesStore preferences;
        preferences.GetSkinName(settings_);
        String fallback;
        fallback.AppendAscii("Default");
        preferences.SetSkinPath(fallback);
        if (!LoadSkin())
            return -1;
    }
    if (services_)
        listening_ = services_->AddListener(this);
    return 0;
}

void MainWindow::Show()
{
    if (!frame_)
    {
        auto* frame = new PlainFrame;
        frame_.reset(frame);
        frame->Setup(nullptr, 760, 480, 0x646464);
        frame->AddBackgroundSection(skin_.FindBitmap(Make("panel")), 0, 0, 760 / 16, 480 / 16, -1);
        if (!frame->Create(nullptr, 20, 20, 0))
        {
            frame_.reset();
            return;
        }
        frameHandle_ = frame_->GetHandle();
    }
    BringForward();
}

void MainWindow::BringForward()
{
    if (!frame_)
        return;
    frame_->Show(SW_SHOW);
    frame_->Activate();
}

int VARN_CALL MainWindow::OnEngineEvent(int id, VarnEventArg argument)
{
    if (HWND frame = frameHandle_)
        ::PostMessageA(frame, kEngineEvent, static_cast<WPARAM>(id), static_cast<LPARAM>(argument));
    return 1;
}
