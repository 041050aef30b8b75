#include "framework/controls/Tooltip.h"

#include "framework/controls/ControlLayout.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/platform/graphics/Graphics.h"
#include "framework/platform/graphics/Region.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/SkinRecords.h"

int Tooltip::TooltipsEnabled = 1;

namespace
{
Tooltip* g_instance = nullptr; // owned
bool g_showInProgress = false;

// Guards creation, deletion and rendering of the singleton.
HANDLE Semaphore()
{
    static const HANDLE semaphore = ::CreateSemaphoreA(nullptr, 1, 1, nullptr);
    return semaphore;
}

class SemaphoreHold
{
public:
    SemaphoreHold() { ::WaitForSingleObject(Semaphore(), INFINITE); }
    ~SemaphoreHold() { ::ReleaseSemaphore(Semaphore(), 1, nullptr); }
    SemaphoreHold(const SemaphoreHold&) = delete;
    SemaphoreHold& operator=(const SemaphoreHold&) = delete;
};

// How the window procedure reaches the hint: any click or hit test elsewhere removes it.
class Registration : public OpenTooltip
{
public:
    HWND GetTooltipHandle() const override { return g_instance ? g_instance->GetHandle() : nullptr; }
    void Destroy() override { Tooltip::Destroy(); }
};
Registration g_registration;
}

Tooltip* Tooltip::Instance()
{
    return Create() ? g_instance : nullptr;
}

Tooltip* Tooltip::Current()
{
    return g_instance;
}

int Tooltip::Create()
{
    if (g_showInProgress)
        return 0;
    if (g_instance)
        return 1;
    SemaphoreHold hold;
    g_instance = new Tooltip();
    NativeWindow::SetTooltip(&g_registration);
    return 1;
}

void Tooltip::Destroy()
{
    if (g_showInProgress || !g_instance)
        return;
    SemaphoreHold hold;
    Tooltip* instance = g_instance;
    g_instance = nullptr;
    NativeWindow::SetTooltip(nullptr);
    delete instance;
}

void Tooltip::ForgetOwner(const Window* owner)
{
    if (owner && g_instance && g_instance->owner_ == owner)
        g_instance->Forget();
}

void Tooltip::ForgetKey(const void* key)
{
    if (key && g_instance && (g_instance->key_ == key || g_instance->armedKey_ == key))
        g_instance->Forget();
}

Tooltip::~Tooltip()
{
    KillOwnerTimers();
}

void Tooltip::Forget()
{
    KillOwnerTimers();
    Window::Destroy();
    bitmap_.reset();
    owner_ = nullptr;
    key_ = nullptr;
    armedKey_ = nullptr;
}

void Tooltip::KillOwnerTimers()
{
    if (!owner_)
        return;
    owner_->KillTimer(kShowTimer);
    owner_->KillTimer(kHideTimer);
}

int Tooltip::Show(const TooltipStyle& style, const String& text, const void* key, Window* owner, int x, int y)
{
    if (key && key == key_)
        return 1;
    g_showInProgress = true;
    int shown = 0;
    {
        SemaphoreHold hold;
        KillOwnerTimers();
        bitmap_.reset();
        Window::Destroy();
        x_ = x;
        y_ = y;
        key_ = key;
        shown = RenderBitmap(style, text);
        if (shown)
            Arm(owner, x, y);
        else
            key_ = nullptr; // asked again once tooltips are back on, it renders then
    }
    g_showInProgress = false;
    return shown;
}

int Tooltip::RenderBitmap(const TooltipStyle& style, const String& text)
{
    if (!TooltipsEnabled || !style.images)
        return 0;
    const Bitmap* images = style.images->GetDib();
    if (!images)
        return 0;
    const int textWidth = style.font ? style.font->TextWidth(text) : 0;
    const int width = ControlLayout::TooltipWidth(textWidth, style.leftSeg, style.rightSeg);
    const int height = style.images->Height();
    auto bitmap = std::make_unique<Bitmap>();
    if (width <= 0 || height <= 0 || !bitmap->Create(width, height, *images))
        return 0;
    // Drawn opaque: the key colour stays where the window's shape is to be cut.
    for (const ControlLayout::SlicePiece& piece :
         ControlLayout::ThreeSlices(width, style.leftSeg, style.midSeg, style.rightSeg))
        style.images->Draw(*bitmap, piece.sourceX, 0, piece.width, height, piece.targetX, 0, 1);
    if (style.font)
        bitmap->DrawText(text, *style.font, 0, style.leftSeg / 2, (style.textAreaHeight - style.font->Height()) / 2,
                         style.textColour, nullptr);
    bitmap_ = std::move(bitmap);
    return 1;
}

void Tooltip::Arm(Window* owner, int x, int y)
{
    if (key_ && key_ == armedKey_)
        return;
    armedKey_ = key_;
    x_ = x;
    y_ = y;
    owner_ = owner;
    if (owner_)
        owner_->SetTimer(kShowTimer, kShowDelay);
}

void Tooltip::OnOwnerTimer(UINT_PTR id)
{
    // Other timers of the panel are not the hint's: they neither end it nor take the focus.
    if (!owner_ || (id != kShowTimer && id != kHideTimer))
        return;
    Window* owner = owner_;
    owner->KillTimer(id);
    if (id == kShowTimer)
        ShowHint();
    else
        Window::Destroy();
    owner->SetFocus();
}

void Tooltip::ShowHint()
{
    if (!bitmap_)
        return;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    GetVirtualScreenRect(left, top, width, height);
    const bool onScreen = x_ >= left && y_ >= top && x_ - left < width && y_ - top < height;
    const int x = onScreen ? x_ : 0;
    Window::Destroy();
    if (!CreateEx(nullptr, 0, WS_POPUP | WS_SYSMENU, x, y_, bitmap_->Width(), bitmap_->Height(), 0, owner_))
        return;
    Region shape;
    if (shape.FromBitmap(*bitmap_, 0, 0, bitmap_->Width(), bitmap_->Height(), 0, 0))
        SetRegion(&shape, 0);
    Window::Show(SW_SHOWNOACTIVATE);
    owner_->SetTimer(kHideTimer, kHideDelay);
}

void Tooltip::OnPaint(Graphics& graphics)
{
    if (bitmap_)
        graphics.Blit(*bitmap_, 0, 0, bitmap_->Width(), bitmap_->Height(), 0, 0);
}

int Tooltip::OnKeyDown(WPARAM wParam, LPARAM lParam)
{
    return owner_ ? owner_->OnKeyDown(wParam, lParam) : 0;
}

int Tooltip::OnKeyUp(WPARAM wParam, LPARAM lParam)
{
    return owner_ ? owner_->OnKeyUp(wParam, lParam) : 0;
}
