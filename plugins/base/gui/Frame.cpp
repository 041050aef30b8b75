#include "plugins/base/gui/Frame.h"

#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/GuiModule.h"
#include "plugins/base/gui/PluginBitmap.h"
#include "plugins/base/gui/PluginEditor.h"
#include "plugins/base/vst/VstEffectX.h"

#include <algorithm>
#include <cstdio>
#include <new>

namespace
{
// Frames of the module alive with the class registered; GUI thread.
int gClassUses = 0;
} // namespace

void Frame::ClassName(char* text, size_t size)
{
    // The name takes the handle's low 32 bits; it only has to differ between modules.
    std::snprintf(text, size, "Plugin%08x",
                  static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetGuiModule()) & 0xFFFFFFFFu));
}

bool Frame::RegisterClassOnce()
{
    if (gClassUses > 0)
    {
        ++gClassUses;
        return true;
    }
    char name[32];
    ClassName(name, sizeof(name));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetGuiModule();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    // A class still there is ours: a window destroyed with its host's window can only give
    // the class up after its last message, so that unregistration may have failed.
    if (!RegisterClassA(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    {
        return false;
    }
    gClassUses = 1;
    return true;
}

void Frame::ReleaseClass()
{
    if (gClassUses > 0 && --gClassUses == 0)
    {
        char name[32];
        ClassName(name, sizeof(name));
        UnregisterClassA(name, GetGuiModule());
    }
}

Frame::Frame(const Rect& size, HWND parent, PluginEditor* editor) : View(size), editor_(editor), parentWindow_(parent)
{
    frame_ = this;
    MakeWindow(parent);
}

Frame::Frame(const Rect& size, const char* title, PluginEditor* editor, int32_t style)
    : View(size), editor_(editor), parentWindow_(nullptr), open_(false), request_(new HostWindowRequest{})
{
    frame_ = this;
    std::snprintf(request_->fields.title, sizeof(request_->fields.title), "%s", title ? title : "");
    request_->fields.x = static_cast<int16_t>(size.left);
    request_->fields.y = static_cast<int16_t>(size.top);
    request_->fields.width = static_cast<int16_t>(size.Width());
    request_->fields.height = static_cast<int16_t>(size.Height());
    request_->fields.style = style;
}

void Frame::MakeWindow(HWND parent)
{
    if (!RegisterClassOnce())
    {
        return;
    }
    char name[32];
    ClassName(name, sizeof(name));
    window_ = CreateWindowExA(0, name, "Window", WS_CHILD | WS_VISIBLE, 0, 0, size_.Width(), size_.Height(), parent,
                              nullptr, GetGuiModule(), nullptr);
    if (!window_)
    {
        ReleaseClass();
        return;
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

bool Frame::OpenWindow(const Point* where)
{
    if (!request_)
    {
        return false;
    }
    if (open_)
    {
        HWND top = parentWindow_ ? GetParent(parentWindow_) : nullptr;
        BringWindowToTop(top ? top : parentWindow_);
        return false;
    }
    if (where)
    {
        request_->fields.x = static_cast<int16_t>(where->x);
        request_->fields.y = static_cast<int16_t>(where->y);
    }
    auto* effect = editor_ ? dynamic_cast<VstEffectX*>(editor_->GetEffect()) : nullptr;
    HWND host = effect ? static_cast<HWND>(effect->openWindow(request_)) : nullptr;
    if (!host)
    {
        return false;
    }
    parentWindow_ = host;
    MakeWindow(host);
    open_ = window_ != nullptr;
    firstPaintPending_ = true;
    return open_;
}

void Frame::CloseWindow()
{
    auto* effect = request_ && editor_ ? dynamic_cast<VstEffectX*>(editor_->GetEffect()) : nullptr;
    if (effect && parentWindow_)
    {
        effect->closeWindow(request_);
    }
}

Frame::~Frame()
{
    if (focusView_)
    {
        focusView_->LooseFocus();
        focusView_ = nullptr;
    }
    modalView_ = nullptr;
    for (View* view : views_)
    {
        delete view;
    }
    views_.clear();
    if (backgroundBitmap_)
    {
        backgroundBitmap_->Forget();
    }
    if (window_)
    {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        ReleaseClass();
    }
    if (request_)
    {
        CloseWindow();
        delete request_;
    }
}

bool Frame::AddView(View* view)
{
    if (!view)
    {
        return false;
    }
    try
    {
        if (views_.size() == views_.capacity())
        {
            views_.reserve(views_.size() + 10);
        }
        views_.push_back(view);
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    view->SetFrame(this);
    return true;
}

void Frame::RemoveView(View* view)
{
    const auto found = std::find(views_.begin(), views_.end(), view);
    if (found == views_.end())
    {
        return;
    }
    views_.erase(found);
    if (focusView_ == view)
    {
        focusView_ = nullptr;
    }
    if (modalView_ == view)
    {
        modalView_ = nullptr;
    }
    view->SetFrame(nullptr);
}

bool Frame::ContainsView(const View* view) const
{
    return std::find(views_.begin(), views_.end(), view) != views_.end();
}

void Frame::SetBackground(PluginBitmap* bitmap)
{
    if (bitmap)
    {
        bitmap->Remember();
    }
    if (backgroundBitmap_)
    {
        backgroundBitmap_->Forget();
    }
    backgroundBitmap_ = bitmap;
}

bool Frame::SetModalView(View* view)
{
    if (modalView_ && view)
    {
        return false;
    }
    modalView_ = view;
    return true;
}

void Frame::Draw(DrawContext* context)
{
    firstPaintPending_ = false;
    if (backgroundBitmap_)
    {
        backgroundBitmap_->Draw(context, Rect(0, 0, backgroundBitmap_->GetWidth(), backgroundBitmap_->GetHeight()));
    }
    for (View* view : views_)
    {
        view->Draw(context);
    }
    if (modalView_)
    {
        modalView_->Draw(context);
    }
}

void Frame::Redraw(View* view)
{
    if (!window_)
    {
        return;
    }
    HDC dc = ::GetDC(window_);
    if (!dc)
    {
        return;
    }
    {
        DrawContext context(this, dc, window_);
        if (view && view != this && ContainsView(view))
        {
            view->Draw(&context);
        }
        else
        {
            Draw(&context);
        }
    }
    ReleaseDC(window_, dc);
}

void Frame::Update(DrawContext* context)
{
    if (!open_)
    {
        return;
    }
    if (modalView_)
    {
        modalView_->Update(context);
        return;
    }
    for (View* view : views_)
    {
        view->Update(context);
    }
}

void Frame::Idle()
{
    if (!open_ || firstPaintPending_ || !window_)
    {
        return;
    }
    HDC dc = ::GetDC(window_);
    if (!dc)
    {
        return;
    }
    {
        DrawContext context(this, dc, window_);
        Update(&context);
    }
    ReleaseDC(window_, dc);
}

void Frame::MouseDown(DrawContext* context, const Point& where)
{
    if (focusView_ && !where.IsInside(focusView_->GetSize()))
    {
        View* focus = focusView_;
        focusView_ = nullptr;
        focus->LooseFocus();
    }
    if (modalView_)
    {
        if (where.IsInside(modalView_->GetSize()))
        {
            modalView_->MouseDown(context, where);
        }
        return;
    }
    for (auto view = views_.rbegin(); view != views_.rend(); ++view)
    {
        if (where.IsInside((*view)->GetSize()))
        {
            (*view)->MouseDown(context, where);
            return;
        }
    }
}

int32_t Frame::GetMouseButtons() const
{
    return mouse_->GetButtons();
}

namespace
{

// The window n levels above, or null.
HWND Above(HWND window, int levels)
{
    for (int i = 0; i < levels && window; ++i)
    {
        window = GetParent(window);
    }
    return window;
}

// A window's rectangle in another window's client coordinates (the screen's for null).
RECT RectIn(HWND window, HWND reference)
{
    RECT area{};
    GetWindowRect(window, &area);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

SIZE SizeOf(HWND window)
{
    RECT area{};
    GetWindowRect(window, &area);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

} // namespace

bool Frame::GetPosition(int32_t* x, int32_t* y) const
{
    HWND host = Above(window_, 2);
    if (!open_ || !window_ || !host || !x || !y)
    {
        return false;
    }
    const RECT area = RectIn(host, GetParent(host));
    *x = area.left;
    *y = area.top;
    return true;
}

bool Frame::GetSize(Rect* rect) const
{
    HWND parent = Above(window_, 1);
    if (!open_ || !window_ || !parent || !rect)
    {
        return false;
    }
    const RECT area = RectIn(parent, Above(window_, 3));
    *rect = Rect(area.left, area.top, area.right, area.bottom);
    return true;
}

bool Frame::SetSize(int32_t width, int32_t height)
{
    if (!open_ || !window_ || (width == size_.Width() && height == size_.Height()))
    {
        return false;
    }
    // The margins each parent keeps around its child, measured before anything moves.
    struct Margin
    {
        HWND window;
        SIZE extra;
    };
    std::vector<Margin> margins;
    const int dialogFrame = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    SIZE childSize = SizeOf(window_);
    for (HWND parent = GetParent(window_); parent; parent = GetParent(parent))
    {
        const SIZE parentSize = SizeOf(parent);
        const SIZE extra{parentSize.cx - childSize.cx, parentSize.cy - childSize.cy};
        margins.push_back(Margin{parent, extra});
        if (extra.cx > 80 || extra.cy > 80 || extra.cx == dialogFrame || extra.cy == dialogFrame)
        {
            break;
        }
        childSize = parentSize;
    }
    size_.right = size_.left + width;
    size_.bottom = size_.top + height;
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SIZE size{width, height};
    for (const Margin& margin : margins)
    {
        size = SIZE{size.cx + margin.extra.cx, size.cy + margin.extra.cy};
        SetWindowPos(margin.window, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return true;
}

void Frame::SetMouseSource(const MouseStateSource* source)
{
    mouse_ = source ? source : &SystemMouseState();
}

Point Frame::GetMousePosition() const
{
    const Point screen = mouse_->GetScreenPosition();
    POINT where{screen.x, screen.y};
    if (window_)
    {
        ScreenToClient(window_, &where);
    }
    return Point(where.x, where.y);
}

LRESULT CALLBACK Frame::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Frame* frame = reinterpret_cast<Frame*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!frame)
    {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    switch (message)
    {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        HDC dc = ::GetDC(window);
        {
            DrawContext context(frame, dc, window);
            // Signed 16-bit halves: a captured mouse may report points left of or above us.
            frame->MouseDown(&context,
                             Point(static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))));
        }
        ReleaseDC(window, dc);
        break;
    }
    case WM_PAINT: {
        RECT dirty{};
        if (GetUpdateRect(window, &dirty, FALSE))
        {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(window, &paint);
            {
                DrawContext context(frame, dc, window);
                frame->Draw(&context);
            }
            EndPaint(window, &paint);
            return 0;
        }
        break;
    }
    case WM_DESTROY:
        // Destroyed from outside (with the host's window): the frame lets the class go.
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        frame->open_ = false;
        frame->parentWindow_ = nullptr;
        frame->window_ = nullptr;
        ReleaseClass();
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
