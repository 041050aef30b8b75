// What the screen shows of a list's rows, for the views whose rows are panels of their own.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/controls/Panel.h"
#include "framework/platform/graphics/Bitmap.h"
#include "tests/support/ScreenPixels.h"

// The pixels the screen shows over the rows, inside the list's window, that are not the rows'
// own pictures: 0 when every row is painted whole where the list lets it be seen, -1 when a row
// has no picture.
inline int UnpaintedRowPixels(HWND list, const std::vector<Panel*>& rows)
{
    RECT area = {};
    ::GetWindowRect(list, &area);
    int wrong = 0;
    for (Panel* row : rows)
    {
        RECT window = {}, shown = {};
        ::GetWindowRect(row->GetHandle(), &window);
        const Bitmap* picture = row->ComposedBackground();
        if (!picture)
            return -1;
        if (!::IntersectRect(&shown, &window, &area))
            continue;
        const std::vector<DWORD> screen = ScreenPixels(shown);
        const int width = shown.right - shown.left;
        for (size_t i = 0; i < screen.size(); ++i)
        {
            const int x = shown.left - window.left + static_cast<int>(i) % width;
            const int y = shown.top - window.top + static_cast<int>(i) / width;
            wrong += (screen[i] & 0xFFFFFF) != (picture->GetPixel(x, y) & 0xFFFFFF);
        }
    }
    return wrong;
}
