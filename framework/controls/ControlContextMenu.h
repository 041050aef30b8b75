#pragma once

#include "framework/controls/ControlClipboard.h"

class DataItem;
class MenuListener;
class Skin;
class Window;

// The right-click menu of every value control: the skin's popup menu "ControlContextMenu"
// with the commands reset (20), copy (21) and paste (22). The view that opens it keeps the
// item, hears the chosen command through its menu listener and passes both to OnCommand.
// User-interface thread only.
class ControlContextMenu
{
public:
    enum Command
    {
        kReset = 20,
        kCopy = 21,
        kPaste = 22
    };

    // Opens the menu at the pointer for the item, Paste disabled while the clipboard has
    // nothing of the item's kind. Nothing (0) for a null, disabled or hidden item, when the
    // skin has no such menu or the menu cannot be shown; 1 when it shows.
    static int Show(Skin& skin, DataItem* item, MenuListener* listener, Window* owner,
                    const ControlClipboard& clipboard);
    // Reset puts the item's default back with redraw and notification; copy and paste go
    // through the clipboard; other ids and a null item do nothing.
    static void OnCommand(DataItem* item, int id, ControlClipboard& clipboard);
};
