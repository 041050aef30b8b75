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

Frame::Frame(const Rect& size, HWND parent, PluginEditor* editor) : View(size), m_editor(editor), m_parentWindow(parent)
{
    m_frame = this;
    MakeWindow(parent);
}

Frame::Frame(const Rect& size, const char* title, PluginEditor* editor, int32_t style)
    : View(size), m_editor(editor), m_parentWindow(nullptr), m_open(false), m_request(new HostWindowRequest{})
{
    m_frame = this;
    std::snprintf(m_request->fields.title, sizeof(m_request->fields.title), "%s", title ? title : "");
    m_request->fields.x = static_cast<int16_t>(size.left);
    m_request->fields.y = static_cast<int16_t>(size.top);
    m_request->fields.width = static_cast<int16_t>(size.Width());
    m_request->fields.height = static_cast<int16_t>(size.Height());
    m_request->fields.style = style;
}

void Frame::MakeWindow(HWND parent)
{
    if (!RegisterClassOnce())
    {
        return;
    }
    char name[32];
    ClassName(name, sizeof(name));
    m_window = CreateWindowExA(0, name, "Window", WS_CHILD | WS_VISIBLE, 0, 0, m_size.Width(), m_size.Height(), parent,
                               nullptr, GetGuiModule(), nullptr);
    if (!m_window)
    {
        ReleaseClass();
        return;
    }
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

bool Frame::OpenWindow(const Point* where)
{
    if (!m_request)
    {
        return false;
    }
    if (m_open)
    {
        HWND top = m_parentWindow ? GetParent(m_parentWindow) : nullptr;
        BringWindowToTop(top ? top : m_parentWindow);
        return false;
    }
    if (where)
    {
        m_request->fields.x = static_cast<int16_t>(where->x);
        m_request->fields.y = static_cast<int16_t>(where->y);
    }
    auto* effect = m_editor ? dynamic_cast<VstEffectX*>(m_editor->GetEffect()) : nullptr;
    HWND host = effect ? static_cast<HWND>(effect->openWindow(m_request)) : nullptr;
    if (!host)
    {
        return false;
    }
    m_parentWindow = host;
    MakeWindow(host);
    m_open = m_window != nullptr;
    m_firstPaintPending = true;
    return m_open;
}

void Frame::CloseWindow()
{
    auto* effect = m_request && m_editor ? dynamic_cast<VstEffectX*>(m_editor->GetEffect()) : nullptr;
    if (effect && m_parentWindow)
    {
        effect->closeWindow(m_request);
    }
}

Frame::~Frame()
{
    if (m_focusView)
    {
        m_focusView->LooseFocus();
        m_focusView = nullptr;
    }
    m_modalView = nullptr;
    for (View* view : m_views)
    {
        delete view;
    }
    m_views.clear();
    if (m_backgroundBitmap)
    {
        m_backgroundBitmap->Forget();
    }
    if (m_window)
    {
        SetWindowLongPtrA(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
        ReleaseClass();
    }
    if (m_request)
    {
        CloseWindow();
        delete m_request;
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
        if (m_views.size() == m_views.capacity())
        {
            m_views.reserve(m_views.size() + 10);
        }
        m_views.push_back(view);
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
    const auto found = std::find(m_views.begin(), m_views.end(), view);
    if (found == m_views.end())
    {
        return;
    }
    m_views.erase(found);
    if (m_focusView == view)
    {
        m_focusView = nullptr;
    }
    if (m_modalView == view)
    {
        m_modalView = nullptr;
    }
    view->SetFrame(nullptr);
}

bool Frame::ContainsView(const View* view) const
{
    return std::find(m_views.begin(), m_views.end(), view) != m_views.end();
}

void Frame::SetBackground(PluginBitmap* bitmap)
{
    if (bitmap)
    {
        bitmap->Remember();
    }
    if (m_backgroundBitmap)
    {
        m_backgroundBitmap->Forget();
    }
    m_backgroundBitmap = bitmap;
}

bool Frame::SetModalView(View* view)
{
    if (m_modalView && view)
    {
        return false;
    }
    m_modalView = view;
    return true;
}

void Frame::Draw(DrawContext* context)
{
    m_firstPaintPending = false;
    if (m_backgroundBitmap)
    {
        m_backgroundBitmap->Draw(context, Rect(0, 0, m_backgroundBitmap->GetWidth(), m_backgroundBitmap->GetHeight()));
    }
    for (View* view : m_views)
    {
        view->Draw(context);
    }
    if (m_modalView)
    {
        m_modalView->Draw(context);
    }
}

void Frame::Redraw(View* view)
{
    if (!m_window)
    {
        return;
    }
    HDC dc = ::GetDC(m_window);
    if (!dc)
    {
        return;
    }
    {
        DrawContext context(this, dc, m_window);
        if (view && view != this && ContainsView(view))
        {
            view->Draw(&context);
        }
        else
        {
            Draw(&context);
        }
    }
    ReleaseDC(m_window, dc);
}

void Frame::Update(DrawContext* context)
{
    if (!m_open)
    {
        return;
    }
    if (m_modalView)
    {
        m_modalView->Update(context);
        return;
    }
    for (View* view : m_views)
    {
        view->Update(context);
    }
}

void Frame::Idle()
{
    if (!m_open || m_firstPaintPending || !m_window)
    {
        return;
    }
    HDC dc = ::GetDC(m_window);
    if (!dc)
    {
        return;
    }
    {
        DrawContext context(this, dc, m_window);
        Update(&context);
    }
    ReleaseDC(m_window, dc);
}

void Frame::MouseDown(DrawContext* context, const Point& where)
{
    if (m_focusView && !where.IsInside(m_focusView->GetSize()))
    {
        View* focus = m_focusView;
        m_focusView = nullptr;
        focus->LooseFocus();
    }
    if (m_modalView)
    {
        if (where.IsInside(m_modalView->GetSize()))
        {
            m_modalView->MouseDown(context, where);
        }
        return;
    }
    for (auto view = m_views.rbegin(); view != m_views.rend(); ++view)
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
    return m_mouse->GetButtons();
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
    HWND host = Above(m_window, 2);
    if (!m_open || !m_window || !host || !x || !y)
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
    HWND parent = Above(m_window, 1);
    if (!m_open || !m_window || !parent || !rect)
    {
        return false;
    }
    const RECT area = RectIn(parent, Above(m_window, 3));
    *rect = Rect(area.left, area.top, area.right, area.bottom);
    return true;
}

bool Frame::SetSize(int32_t width, int32_t height)
{
    if (!m_open || !m_window || (width == m_size.Width() && height == m_size.Height()))
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
    SIZE childSize = SizeOf(m_window);
    for (HWND parent = GetParent(m_window); parent; parent = GetParent(parent))
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
    m_size.right = m_size.left + width;
    m_size.bottom = m_size.top + height;
    SetWindowPos(m_window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    m_mouse = source ? source : &SystemMouseState();
}

Point Frame::GetMousePosition() const
{
    const Point screen = m_mouse->GetScreenPosition();
    POINT where{screen.x, screen.y};
    if (m_window)
    {
        ScreenToClient(m_window, &where);
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
        frame->m_open = false;
        frame->m_parentWindow = nullptr;
        frame->m_window = nullptr;
        ReleaseClass();
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
