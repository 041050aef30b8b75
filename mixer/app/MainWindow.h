#pragma once
#include <atomic>
#include <memory>

#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/windows/Window.h"
#include "mixer/engine/VarnServices.h"

class ApplicationHost;

// The mixer's main window as far as it goes yet: the mixer skin, the settings key, the
// engine listener and a plain frame window. The listener only posts the engine's events
// (message 2023) to the frame, where the dispatcher will take them.
class MainWindow : public Object, public IVarnListener
{
public:
    static constexpr UINT kEngineEvent = 2023;

    MainWindow() = default;
    ~MainWindow() override;

    // Loads the mixer skin (falling back to "Default") and listens to the engine; 0, or -1
    // when no skin loads.
    int Create(IVarnServices* services, ApplicationHost* host);
    // Creates the frame when missing and brings it forward.
    void Show();
    void BringForward();
    Window* GetFrame() const { return frame_.get(); }
    Skin& GetSkin() { return skin_; }

    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override;

private:
    int LoadSkin();

    IVarnServices* services_ = nullptr; // borrowed from the application
    ApplicationHost* host_ = nullptr;   // borrowed
    int listening_ = 0;
    Skin skin_;
    RegistryKey settings_;
    std::unique_ptr<Window> frame_;
    std::atomic<HWND> frameHandle_{nullptr}; // what the engine's threads post to
};
