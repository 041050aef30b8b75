#include "plugins/base/gui/TextEdit.h"

#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/FontTable.h"
#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/GuiModule.h"

#include <cstdio>
#include <cstring>

TextEdit::TextEdit(const Rect& size, ControlListener* listener, int32_t tag, const char* text, PluginBitmap* background,
                   int32_t style)
    : ParamDisplay(size, listener, tag, background, style)
{
    SetText(text);
}

TextEdit::~TextEdit()
{
    if (m_editWindow)
    {
        SetWindowLongPtrA(m_editWindow, GWLP_USERDATA, 0);
        DestroyWindow(m_editWindow);
    }
    if (m_editFont)
    {
        DeleteObject(m_editFont);
    }
}

void TextEdit::SetText(const char* text)
{
    std::snprintf(m_text, sizeof(m_text), "%s", text ? text : "");
    ForceRedraw();
}

void TextEdit::SetTextToDisplay(TextToDisplay convert)
{
    m_textToDisplay = convert;
    ForceRedraw();
}

void TextEdit::Draw(DrawContext* context)
{
    if (m_textToDisplay)
    {
        char display[kMaxText + 1] = {};
        m_textToDisplay(m_text, display);
        display[kMaxText] = '\0';
        DrawLabel(context, display);
    }
    else
    {
        DrawLabel(context, m_text);
    }
}

void TextEdit::MouseDown(DrawContext*, const Point&)
{
    if (!m_mouseEnabled || !m_frame || m_frame->GetMouseButtons() != kMouseLeft || m_frame->GetFocusView() == this)
    {
        return;
    }
    TakeFocus();
}

void TextEdit::TakeFocus()
{
    if (m_editWindow || !m_frame || !m_frame->GetWindow())
    {
        return;
    }
    m_frame->SetFocusView(this);
    m_editWindow = CreateWindowExA(0, "EDIT", m_text, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL,
                                   m_size.left - 1, m_size.top - 1, m_size.Width() + 2, m_size.Height() + 2,
                                   m_frame->GetWindow(), nullptr, GetGuiModule(), nullptr);
    if (!m_editWindow)
    {
        m_frame->SetFocusView(nullptr);
        return;
    }
    const FontSpec& entry = GetFontSpec(m_fontIndex);
    m_editFont =
        CreateFontA(-entry.height, 0, 0, 0, entry.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                    OUT_STRING_PRECIS, CLIP_STROKE_PRECIS, DEFAULT_QUALITY,
                    static_cast<BYTE>(VARIABLE_PITCH | (entry.decorative ? FF_DECORATIVE : FF_SWISS)), entry.family);
    if (m_editFont)
    {
        SendMessageA(m_editWindow, WM_SETFONT, reinterpret_cast<WPARAM>(m_editFont), TRUE);
    }
    SendMessageA(m_editWindow, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 3));
    SetWindowLongPtrA(m_editWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_editProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_editWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextEdit::EditProc)));
    SetFocus(m_editWindow);
}

void TextEdit::LooseFocus()
{
    if (!m_editWindow)
    {
        return;
    }
    // Cleared first: destroying the window takes its focus away, which ends editing again.
    HWND window = m_editWindow;
    m_editWindow = nullptr;
    char text[kMaxText + 1] = {};
    GetWindowTextA(window, text, sizeof(text));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_editProc));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    if (m_editFont)
    {
        DeleteObject(m_editFont);
        m_editFont = nullptr;
    }
    if (m_frame && m_frame->GetFocusView() == this)
    {
        m_frame->SetFocusView(nullptr);
    }
    const bool changed = std::strcmp(text, m_text) != 0;
    SetText(text);
    HWND frameWindow = m_frame ? m_frame->GetWindow() : nullptr;
    HDC dc = frameWindow ? ::GetDC(frameWindow) : nullptr;
    {
        DrawContext context(m_frame, dc, frameWindow);
        if (changed)
        {
            Notify(&context);
        }
        if (dc)
        {
            Draw(&context);
        }
    }
    if (dc)
    {
        ReleaseDC(frameWindow, dc);
    }
}

LRESULT CALLBACK TextEdit::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TextEdit* edit = reinterpret_cast<TextEdit*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!edit)
    {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const WNDPROC original = edit->m_editProc;
    if ((message == WM_KEYDOWN && wParam == VK_RETURN) || message == WM_KILLFOCUS)
    {
        edit->LooseFocus();
        return 0;
    }
    if (message == WM_CHAR && wParam == '\r')
    {
        return 0; // no beep for the Enter that ended editing
    }
    return CallWindowProcA(original, window, message, wParam, lParam);
}
