#pragma once

#include "framework/windows/Window.h"

#include <memory>

class Bitmap;
class String;
class TooltipStyle;

// The one hint of the program: a small skinned popup with the tooltip text of the control
// under the mouse. A control asks for it with Show; the hint appears 750 ms later (timer 10
// on the owner window) and goes 10,000 ms after that (timer 11), on any click, or when
// another control asks. User-interface thread; the semaphore guards creation, deletion and
// rendering, and nothing is created or deleted while a Show runs.
class Tooltip : public Window
{
public:
    enum
    {
        kShowTimer = 10,
        kHideTimer = 11,
        kShowDelay = 750,
        kHideDelay = 10000
    };

    // The global switch (the preferences set it; an in-place editor saves and restores it).
    static int TooltipsEnabled;

    // The singleton, made on first use; null when it cannot be made.
    static Tooltip* Instance();
    // The singleton if it exists; never makes one.
    static Tooltip* Current();
    // 0 while a Show runs, 1 when the singleton exists afterwards.
    static int Create();
    // Deletes the singleton (not while a Show runs).
    static void Destroy();
    // A panel or control that goes: the hint stops using it.
    static void ForgetOwner(const Window* owner);
    static void ForgetKey(const void* key);

    // Arms the hint for key (compared by identity) at screen (x, y); 1 when armed or already
    // armed for this key, 0 when nothing can be shown.
    int Show(const TooltipStyle& style, const String& text, const void* key, Window* owner, int x, int y);
    // The owner's timers 10 and 11 reach here; other timers are not the hint's.
    void OnOwnerTimer(UINT_PTR id);
    const Bitmap* HintBitmap() const { return bitmap_.get(); }
    Window* Owner() const { return owner_; }

    void OnPaint(Graphics& graphics) override;
    void OnMouseMove(WPARAM, int, int) override {}
    int OnKeyDown(WPARAM wParam, LPARAM lParam) override;
    int OnKeyUp(WPARAM wParam, LPARAM lParam) override;

private:
    Tooltip() = default;
    ~Tooltip() override;

    int RenderBitmap(const TooltipStyle& style, const String& text);
    void Arm(Window* owner, int x, int y);
    void ShowHint();
    void KillOwnerTimers();
    void Forget();

    int x_ = 0;
    int y_ = 0;
    Window* owner_ = nullptr;         // borrowed; forgotten when it goes
    const void* key_ = nullptr;       // identity only
    std::unique_ptr<Bitmap> bitmap_;
    const void* armedKey_ = nullptr;  // identity only: the key timer 10 runs for
};
