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
    if (editWindow_)
    {
        SetWindowLongPtrA(editWindow_, GWLP_USERDATA, 0);
        DestroyWindow(editWindow_);
    }
    if (editFont_)
    {
        DeleteObject(editFont_);
    }
}

void TextEdit::SetText(const char* text)
{
    std::snprintf(text_, sizeof(text_), "%s", text ? text : "");
    ForceRedraw();
}

void TextEdit::SetTextToDisplay(TextToDisplay convert)
{
    textToDisplay_ = convert;
    ForceRedraw();
}

void TextEdit::Draw(DrawContext* context)
{
    if (textToDisplay_)
    {
        char display[kMaxText + 1] = {};
        textToDisplay_(text_, display);
        display[kMaxText] = '\0';
        DrawLabel(context, display);
    }
    else
    {
        DrawLabel(context, text_);
    }
}

void TextEdit::MouseDown(DrawContext*, const Point&)
{
    if (!mouseEnabled_ || !frame_ || frame_->GetMouseButtons() != kMouseLeft || frame_->GetFocusView() == this)
    {
        return;
    }
    TakeFocus();
}

void TextEdit::TakeFocus()
{
    if (editWindow_ || !frame_ || !frame_->GetWindow())
    {
        return;
    }
    frame_->SetFocusView(this);
    editWindow_ = CreateWindowExA(0, "EDIT", text_, WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL, size_.left - 1,
                                  size_.top - 1, size_.Width() + 2, size_.Height() + 2, frame_->GetWindow(), nullptr,
                                  GetGuiModule(), nullptr);
    if (!editWindow_)
    {
        frame_->SetFocusView(nullptr);
        return;
    }
    const FontSpec& entry = GetFontSpec(fontIndex_);
    editFont_ =
        CreateFontA(-entry.height, 0, 0, 0, entry.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                    OUT_STRING_PRECIS, CLIP_STROKE_PRECIS, DEFAULT_QUALITY,
                    static_cast<BYTE>(VARIABLE_PITCH | (entry.decorative ? FF_DECORATIVE : FF_SWISS)), entry.family);
    if (editFont_)
    {
        SendMessageA(editWindow_, WM_SETFONT, reinterpret_cast<WPARAM>(editFont_), TRUE);
    }
    SendMessageA(editWindow_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(3, 3));
    SetWindowLongPtrA(editWindow_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(editWindow_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TextEdit::EditProc)));
    SetFocus(editWindow_);
}

void TextEdit::LooseFocus()
{
    if (!editWindow_)
    {
        return;
    }
    // Cleared first: destroying the window takes its focus away, which ends editing again.
    HWND window = editWindow_;
    editWindow_ = nullptr;
    char text[kMaxText + 1] = {};
    GetWindowTextA(window, text, sizeof(text));
    SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    if (editFont_)
    {
        DeleteObject(editFont_);
        editFont_ = nullptr;
    }
    if (frame_ && frame_->GetFocusView() == this)
    {
        frame_->SetFocusView(nullptr);
    }
    const bool changed = std::strcmp(text, text_) != 0;
    SetText(text);
    HWND frameWindow = frame_ ? frame_->GetWindow() : nullptr;
    HDC dc = frameWindow ? ::GetDC(frameWindow) : nullptr;
    {
        DrawContext context(frame_, dc, frameWindow);
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
    const WNDPROC original = edit->editProc_;
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
