#pragma once
// The parameter rows' menu "ControlContextMenu" (reset, copy, paste): the framework's control
// menu on the plug-in's clipboard. The clipboard is one per process, so a value copied in one
// editor is pasted into a parameter of the same kind of any insert; its texts keep 200 units.
// GUI thread.

#include "framework/controls/ControlClipboard.h"
#include "framework/controls/ControlContextMenu.h"
#include "framework/skin/Skin.h"

class EditorControlContextMenu
{
public:
    static constexpr int kTextUnits = 200;

    static ControlClipboard& Clipboard() { return ControlClipboard::Shared(kTextUnits); }
    // 1 when the menu shows (not for a hidden or disabled item, nor without the skin's menu).
    static int Show(DataItem* item, MenuListener* listener, Window* owner)
    {
        Skin* skin = Skin::Current();
        return skin ? ControlContextMenu::Show(*skin, item, listener, owner, Clipboard()) : 0;
    }
    static void OnCommand(DataItem* item, int command) { ControlContextMenu::OnCommand(item, command, Clipboard()); }
    static void SetClipboardText(const String& text) { Clipboard().SetText(text); }
    static void GetClipboardText(String& out) { Clipboard().GetText(out); }
};
