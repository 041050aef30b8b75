#include "plugins/base/gui/OptionMenu.h"

#include "plugins/base/gui/DrawContext.h"
#include "plugins/base/gui/Frame.h"
#include "plugins/base/gui/PluginBitmap.h"

#include <cstring>

OptionMenu::OptionMenu(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background,
                       PluginBitmap* listBitmap, int32_t style)
    : ParamDisplay(size, listener, tag, background, style), m_listBitmap(listBitmap)
{
    if (m_listBitmap)
    {
        m_listBitmap->Remember();
    }
}

OptionMenu::~OptionMenu()
{
    if (m_listBitmap)
    {
        m_listBitmap->Forget();
    }
}

// The value follows the current index, so that a changed choice is drawn at the next idle.
void OptionMenu::Chosen()
{
    SetValue(static_cast<float>(m_entries.GetCurrent()));
    ForceRedraw();
}

bool OptionMenu::AddEntry(const char* text, int32_t index)
{
    if (!m_entries.Add(text, index))
    {
        return false;
    }
    Chosen();
    return true;
}

void OptionMenu::RemoveEntry(int32_t index)
{
    m_entries.Remove(index);
    Chosen();
}

void OptionMenu::RemoveAllEntries()
{
    m_entries.RemoveAll();
    Chosen();
}

int32_t OptionMenu::GetCurrent(char* text) const
{
    const int32_t current = m_entries.GetCurrent();
    if (text)
    {
        GetEntry(current, text);
    }
    return current;
}

bool OptionMenu::SetCurrent(int32_t index)
{
    if (!m_entries.SetCurrent(index))
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
    if (index < 0 || index >= m_entries.Count())
    {
        return false;
    }
    const std::string& entry = m_entries.Get(index);
    std::memcpy(text, entry.c_str(), entry.size() + 1);
    return true;
}

void OptionMenu::Draw(DrawContext* context)
{
    DrawLabel(context, m_entries.Get(m_entries.GetCurrent()).c_str());
}

int32_t OptionMenu::ChooseEntry()
{
    HWND window = m_frame ? m_frame->GetWindow() : nullptr;
    HMENU menu = CreatePopupMenu();
    if (!window || !menu)
    {
        if (menu)
        {
            DestroyMenu(menu);
        }
        return -1;
    }
    for (int32_t i = 0; i < m_entries.Count(); ++i)
    {
        const std::string& text = m_entries.Get(i);
        if (MenuEntries::IsSeparator(text))
        {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        UINT flags = MF_STRING;
        if ((m_style & kCheckCurrent) && i == m_entries.GetCurrent())
        {
            flags |= MF_CHECKED;
        }
        // Item ids start at 1: 0 is the answer for no choice.
        AppendMenuA(menu, flags, static_cast<UINT_PTR>(i + 1), text.c_str());
    }
    POINT corner{m_size.left, (m_style & kPopupAbove) ? m_size.top : m_size.bottom};
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
    if (!m_mouseEnabled || !m_frame || m_frame->GetMouseButtons() != kMouseLeft)
    {
        return;
    }
    if (m_listBitmap)
    {
        DrawLabel(context, m_entries.Get(m_entries.GetCurrent()).c_str(), m_listBitmap);
    }
    m_frame->SetFocusView(this);
    const int32_t chosen = ChooseEntry();
    m_frame->SetFocusView(nullptr);
    if (chosen >= 0 && m_entries.SetCurrent(chosen))
    {
        Chosen();
        Notify(context);
        Draw(context);
    }
    else if (m_listBitmap)
    {
        Draw(context);
    }
}
