#pragma once
#include "framework/windows/Window.h"

class AppBase;

// The default main window: paints itself white and reports its destruction (which ends
// the message loop) and its commands to the application.
class PlaceholderWindow : public Window
{
public:
    PlaceholderWindow() = default;

    int OnEraseBackground(Graphics& graphics) override;
    void OnDestroy() override;
    int OnCommand(int id, int code) override;

    AppBase* GetOwner() const { return owner_; }
    void SetOwner(AppBase* owner) { owner_ = owner; }

private:
    AppBase* owner_ = nullptr; // borrowed; set when the application runs
};
