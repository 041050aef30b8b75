// A test skin with the icons of a tree and a list (the shipped skins have none yet), and the
// view styles made from it.
#pragma once

#include "framework/dialogs/ListBox.h"
#include "framework/dialogs/TreeView.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"

#include <cstdint>

namespace viewstest
{
using skintest::Text;

constexpr uint32_t kKey = 0xFF00FF;
constexpr uint32_t kFrame = 0xA0A0A0;
constexpr uint32_t kInside = 0x303848;
constexpr uint32_t kMarkColour = 0xFFFFFF;
constexpr uint32_t kLeaf = 0x40C040;
constexpr uint32_t kPaper[2] = {0x4080E0, 0xE09030};

// The composite, 64 x 24 (pixels 0xRRGGBB), every piece keyed by its top-left pixel:
//   "treeOpen"  (0, 0, 8, 8)   a framed box with a plus
//   "treeClose" (8, 0, 8, 8)   the same box with a minus
//   "treeLeaf"  (16, 0, 8, 8)  a diamond
//   "listIcon0" (24, 0, 20, 24), "listIcon1" (44, 0, 20, 24) pages with a folded corner
inline uint32_t ViewsPixel(int x, int y)
{
    if (x < 16 && y < 8)
    {
        const int cx = x % 8;
        if ((cx == 0 || cx == 7) && (y == 0 || y == 7))
            return kKey;
        if (cx == 0 || cx == 7 || y == 0 || y == 7)
            return kFrame;
        const bool across = y == 3 || y == 4;
        const bool down = (cx == 3 || cx == 4) && x < 8;
        return (across && cx >= 2 && cx <= 5) || (down && y >= 2 && y <= 5) ? kMarkColour : kInside;
    }
    if (x >= 16 && x < 24 && y < 8)
    {
        const int cx = x - 16;
        const int d = (cx < 4 ? 3 - cx : cx - 4) + (y < 4 ? 3 - y : y - 4);
        return d <= 3 ? kLeaf : kKey;
    }
    if (x >= 24)
    {
        const int page = (x - 24) / 20;
        const int cx = (x - 24) % 20;
        if (cx < 2 || cx > 17 || y < 1 || y > 22 || (cx > 11 && y < 1 + cx - 11))
            return kKey;
        if (cx == 2 || cx == 17 || y == 22 || cx - 11 == y - 1 || y == 1)
            return 0x202020;
        return kPaper[page];
    }
    return kKey;
}

class ViewsSkin
{
public:
    ViewsSkin()
    {
        skintest::WriteBitmap(files / "composite.bmp", 64, 24, ViewsPixel);
        files.Write("regions.xml", "<regions>"
                                   "<region name=\"treeOpen\" x=\"0\" y=\"0\" w=\"8\" h=\"8\" tx=\"0\" ty=\"0\"/>"
                                   "<region name=\"treeClose\" x=\"8\" y=\"0\" w=\"8\" h=\"8\" tx=\"8\" ty=\"0\"/>"
                                   "<region name=\"treeLeaf\" x=\"16\" y=\"0\" w=\"8\" h=\"8\" tx=\"16\" ty=\"0\"/>"
                                   "<region name=\"listIcon0\" x=\"24\" y=\"0\" w=\"20\" h=\"24\" tx=\"24\" ty=\"0\"/>"
                                   "<region name=\"listIcon1\" x=\"44\" y=\"0\" w=\"20\" h=\"24\" tx=\"44\" ty=\"0\"/>"
                                   "</regions>");
        loaded = skin.Load(files.Path(), nullptr);
    }

    SkinBitmap* Image(const char* name) { return skin.FindBitmap(Text(name)); }
    FontInterface* Font() { return skin.FindFont(Text("Normal")); }

    TreeViewStyle Tree()
    {
        TreeViewStyle style;
        style.bgColor = 0x302010;
        style.openIcon = Image("treeOpen");
        style.closeIcon = Image("treeClose");
        style.leafIcon = Image("treeLeaf");
        style.iconWidth = 8;
        style.font = Font();
        style.fontColor = 0xC0C0C0;
        style.parentFontColor = 0x80E0FF;
        style.cursorColor = 0x00C0FF;
        return style;
    }

    ListBoxStyle List()
    {
        ListBoxStyle style;
        style.bgColor = 0x403020;
        style.defaultIcon = Image("listIcon0");
        style.showIconText = true;
        style.iconToTextSpacing = 2;
        style.cellWidth = 56;
        style.cellHeight = 48;
        style.font = Font();
        style.textColour = 0xE0E0E0;
        return style;
    }

    skintest::FixtureSkin files;
    Skin skin;
    int loaded = 0;
};
} // namespace viewstest
