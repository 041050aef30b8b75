#pragma once
// A text display edited in place: a click opens a one-line edit window over it, and Enter or
// leaving it takes the text over.

#include "plugins/base/gui/ParamDisplay.h"

#include <windows.h>

class TextEdit : public ParamDisplay
{
public:
    static constexpr size_t kMaxText = 255;
    using TextToDisplay = void (*)(const char* text, char* display);

    TextEdit(const Rect& size, ControlListener* listener, int32_t tag, const char* text = nullptr,
             PluginBitmap* background = nullptr, int32_t style = 0);
    ~TextEdit() override;

    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;
    // Opens the edit window and gives it the keyboard.
    void TakeFocus() override;
    // Ends editing: takes the text over, tells the listener when it changed, redraws.
    void LooseFocus() override;

    void SetText(const char* text);
    const char* GetText() const { return text_; }
    void SetTextToDisplay(TextToDisplay convert);
    HWND GetEditWindow() const { return editWindow_; }

private:
    static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    char text_[kMaxText + 1] = {};
    TextToDisplay textToDisplay_ = nullptr;
    HWND editWindow_ = nullptr; // owned while editing
    HFONT editFont_ = nullptr;  // owned while editing
    WNDPROC editProc_ = nullptr;
};
