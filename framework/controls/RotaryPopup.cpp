#include "framework/controls/RotaryPopup.h"

#include "framework/controls/ControlLayout.h"
#include "framework/controls/RotaryControl.h"
#include "framework/controls/Slider.h"
#include "framework/windows/AppBase.h"

RotaryPopup::RotaryPopup(RotaryControl& owner, int horizontal, SkinBitmap* trackImage, SkinBitmap* thumbImage,
                         int travel, int startOffset, int sideOffset)
    : owner_(owner), horizontal_(horizontal), trackImage_(trackImage), thumbImage_(thumbImage), travel_(travel),
      startOffset_(startOffset), sideOffset_(sideOffset)
{
}

int RotaryPopup::OnActivate(WPARAM state, int, LPARAM)
{
    if (LOWORD(state) == WA_INACTIVE)
        if (Panel* panel = owner_.GetParent())
            ::SendMessageA(panel->GetHandle(), WM_LBUTTONUP, 0, 0);
    return 1;
}

int RotaryPopup::Show()
{
    Hide();
    Panel* panel = owner_.GetParent();
    if (!panel)
        return 0;
    Setup(nullptr, -1, -1, 0x646464);
    AddBackgroundSection(trackImage_, 0, 0, 1, 1, -1);
    auto* slider = new Slider();
    if (!slider->Setup(0, 0, owner_.GetName(), horizontal_, trackImage_, thumbImage_, thumbImage_, thumbImage_, travel_,
                       startOffset_, sideOffset_, 1, owner_.GetItem()))
    {
        delete slider;
        Hide();
        return 0;
    }
    AddControl(slider, owner_.GetItem());
    slider->SetResponseFunction(owner_.GetResponseFunction());
    slider_ = slider;

    int centreX = owner_.X() + owner_.Width() / 2;
    int top = owner_.Y();
    RECT work = {};
    if (!panel->ClientToScreen(centreX, top) || !panel->GetMonitorWorkArea(work))
    {
        Hide();
        return 0;
    }
    int x = 0;
    int y = 0;
    ControlLayout::PlacePopup(centreX, top, Width(), Height(),
                              {work.left, work.top, work.right - work.left, work.bottom - work.top},
                              ::GetSystemMetrics(SM_CXSCREEN), x, y);
    AppBase* app = AppBase::Current();
    if (!Create(app ? app->GetMainWindow() : nullptr, x, y, 0))
    {
        Hide();
        return 0;
    }
    return 1;
}

void RotaryPopup::Hide()
{
    slider_ = nullptr;
    Destroy();
    Clear(1);
}
