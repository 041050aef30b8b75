#include "plugins/base/gui/OptionMenu.h"

#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/PluginBitmap.h"

#include <cstring>

OptionMenu::OptionMenu(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background,
                       PluginBitmap* listBitmap, int32_t style)
    : ParamDisplay(size, listener, tag, background, style), listBitmap_(listBitmap)
{
    if (listBitmap_)
    {
        listBitmap_->Remember();
    }
}

OptionMenu::~OptionMenu()
{
    if (listBitmap_)
    {
        listBitmap_->Forget();
    }
}

// The value follows the current index, so that a changed choice is drawn at the next idle.
void OptionMenu::Chosen()
{
    SetValue(static_cast<float>(entries_.GetCurrent()));
    ForceRedraw();
}

bool OptionMenu::AddEntry(const char* text, int32_t index)
{
    if (!entries_.Add(text, index))
    {
        return false;
    }
    Chosen();
    return true;
}

void OptionMenu::RemoveEntry(int32_t index)
{
    entries_.Remove(index);
    Chosen();
}

void OptionMenu::RemoveAllEntries()
{
    entries_.RemoveAll();
    Chosen();
}

int32_t OptionMenu::GetCurrent(char* text) const
{
    const int32_t current = entries_.GetCurrent();
    if (text)
    {
        GetEntry(current, text);
    }
    return current;
}

bool OptionMenu::SetCurrent(int32_t index)
{
    if (!entries_.SetCurrent(index))
    {
        return false;
    }
    Chosen();
    return true;
}

bool OptionMenu::GetEntry(int32_t index, char* text) const
{
    if (!text)
    {
        return false;
    }
    text[0] = '\0';
    if (index < 0 || index >= entries_.Count())
    {
        return false;
    }
    const std::string& entry = entries_.Get(index);
    std::memcpy(text, entry.c_str(), entry.size() + 1);
    return true;
}

void OptionMenu::Draw(DrawContext* context)
{
    DrawLabel(context, entries_.Get(entries_.GetCurrent()).c_str());
}

int32_t OptionMenu::ChooseEntry()
{
    HWND window = frame_ ? frame_->GetWindow() : nullptr;
    HMENU menu = CreatePopupMenu();
    if (!window || !menu)
    {
        if (menu)
        {
            DestroyMenu(menu);
        }
        return -1;
    }
    for (int32_t i = 0; i < entries_.Count(); ++i)
    {
        const std::string& text = entries_.Get(i);
        if (MenuEntries::IsSeparator(text))
        {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if ((style_ & kCheckCurrent) && i == entries_.GetCurrent())
        {
            flags |= MF_CHECKED;
        }
        // Item ids start at 1: 0 is the answer for no choice.
        AppendMenuA(menu, flags, static_cast<UINT_PTR>(i + 1), text.c_str());
    }
    POINT corner{size_.left, (style_ & kPopupAbove) ? size_.top : size_.bottom};
    ClientToScreen(window, &corner);
    const int chosen = static_cast<int>(TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_NONOTIFY, corner.x, corner.y, 0, window, nullptr));
    // The click that closed the list is not meant for the editor.
    MSG message;
    for (int i = 0; i < 2 && PeekMessageA(&message, window, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE); ++i)
    {
    }
    DestroyMenu(menu);
    return chosen - 1;
}

void OptionMenu::MouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled_ || !frame_ || frame_->GetMouseButtons() != kMouseLeft)
    {
        return;
    }
    if (listBitmap_)
    {
        DrawLabel(context, entries_.Get(entries_.GetCurrent()).c_str(), listBitmap_);
    }
    frame_->SetFocusView(this);
    const int32_t chosen = ChooseEntry();
    frame_->SetFocusView(nullptr);
    if (chosen >= 0 && entries_.SetCurrent(chosen))
    {
        Chosen();
        Notify(context);
        Draw(context);
    }
    else if (listBitmap_)
    {
        Draw(context);
    }
}
