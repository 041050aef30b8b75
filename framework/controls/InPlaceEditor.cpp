#include "framework/controls/InPlaceEditor.h"

#include "framework/controls/Panel.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/Tooltip.h"
#include "framework/platform/graphics/FontInterface.h"

namespace
{
InPlaceEditor* gOpen = nullptr;   // the open editor, owned by itself: TextControl deletes it
WNDPROC gEditProcedure = nullptr; // the edit class's procedure, which the filter passes on to

const int kBoxId = 10;
} // namespace

InPlaceEditor::InPlaceEditor(TextControl& control) : control_(control), savedTooltips_(Tooltip::TooltipsEnabled)
{
    Tooltip::TooltipsEnabled = 0;
    gOpen = this;
}

InPlaceEditor::~InPlaceEditor()
{
    Destroy();
    Tooltip::TooltipsEnabled = savedTooltips_;
    if (gOpen == this)
        gOpen = nullptr;
}

InPlaceEditor* InPlaceEditor::Current()
{
    return gOpen;
}

void InPlaceEditor::CloseCurrent()
{
    InPlaceEditor* editor = gOpen;
    if (!editor)
        return;
    TextControl& control = editor->GetControl();
    String typed;
    // A box that went with its panel has nothing to commit.
    const int read = editor->GetHandle() && editor->GetText(typed);
    // The editor goes before the commit, so that what the commit sets off (notifications,
    // redraws, even a new editor) meets no half-closed one.
    delete editor;
    if (read)
        control.Commit(typed);
}

int InPlaceEditor::CreateBox(Panel& panel, const Rect& box, const String& text, const FontInterface* font)
{
    if (!CreateWithClass("EDIT", &text, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, box.left, box.top, box.right - box.left,
                         box.bottom - box.top, &panel, 0, 0))
        return 0;
    HWND handle = GetHandle();
    ::SetWindowLongPtrA(handle, GWLP_ID, kBoxId);
    if (font)
        SetFont(*font, 0);
    ::SendMessageA(handle, EM_SETSEL, 0, -1);
    SetFocus();
    gEditProcedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&InPlaceEditor::KeyFilter)));
    return 1;
}

LRESULT CALLBACK InPlaceEditor::KeyFilter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CHAR:
        // Escape commits as well: the box has no undo of its own.
        if (wParam == VK_RETURN || wParam == VK_TAB || wParam == VK_ESCAPE)
        {
            CloseCurrent();
            return 0;
        }
        break;
    case WM_LBUTTONDOWN:
        ::SetFocus(hwnd);
        break;
    case WM_NCDESTROY:
        // Gone with its panel: nothing is left to destroy or read.
        if (gOpen && gOpen->GetHandle() == hwnd)
            gOpen->GetNativeWindow().SetHandle(nullptr);
        break;
    default:
        break;
    }
    return ::CallWindowProcA(gEditProcedure, hwnd, message, wParam, lParam);
}
