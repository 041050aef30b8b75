// Images, panels and controls for the controls tests: a composite bitmap made in memory, a
// hidden top-level host for child panels, a panel that writes what its listener hears.
#pragma once

#include "framework/controls/Button.h"
#include "framework/controls/Control.h"
#include "framework/controls/DataItem.h"
#include "framework/controls/Panel.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "tests/support/PointerInput.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace controlstest
{
using Log = std::vector<std::string>;

// Pixel values of the 24-bit test images (0xRRGGBB).
constexpr uint32_t kKey = 0xFF00FF;
constexpr uint32_t kTile = 0x203040;
constexpr uint32_t kTileEdge = 0x607080;
constexpr uint32_t kShape = 0x00C000;
constexpr uint32_t kNeighbour = 0xFFFF00;
constexpr uint32_t kBackground = 0x646464;
// The four frames of the button image: normal, down, disabled, disabled and down.
constexpr uint32_t kFrames[4] = {0x101010, 0x202020, 0x303030, 0x404040};
// The segmented image's slices (left, middle, right) in each frame are these plus the frame's.
constexpr uint32_t kSlices[3] = {0x000001, 0x000002, 0x000003};

// The composite, 64 x 32:
//   "tile"      (0, 0, 16, 16)  kTile, its last column kTileEdge
//   "button"    (16, 0, 8, 16)  four frames of 4 rows
//   "shaped"    (24, 0, 16, 16) kShape with 2 x 2 key corners; key point (24, 0)
//   "segmented" (0, 16, 12, 16) slices 3, 6, 3 wide, four frames of 4 rows; key point (0, 16)
//               and the middle slice's last column of key colour in every frame
//   everything else kNeighbour: drawing past a piece shows it.
inline uint32_t CompositePixel(int x, int y)
{
    if (x < 16 && y < 16)
        return x == 15 ? kTileEdge : kTile;
    if (x >= 16 && x < 24 && y < 16)
        return kFrames[y / 4];
    if (x >= 24 && x < 40 && y < 16)
    {
        const int cx = x - 24;
        const bool corner = (cx < 2 || cx >= 14) && (y < 2 || y >= 14);
        return corner ? kKey : kShape;
    }
    if (x < 12 && y >= 16)
    {
        if (x == 0 && y == 16)
            return kKey;
        if (x == 8)
            return kKey;
        const int slice = x < 3 ? 0 : x < 9 ? 1 : 2;
        return kFrames[(y - 16) / 4] + kSlices[slice];
    }
    return kNeighbour;
}

class Composite
{
public:
    Composite()
    {
        EXPECT_EQ(dib.Create(64, 32, 24), 1);
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 64; ++x)
                dib.SetPixel(x, y, CompositePixel(x, y));
        EXPECT_EQ(tile.SetPiece(&dib, 0, 0, 16, 16), 1);
        EXPECT_EQ(button.SetPiece(&dib, 16, 0, 8, 16), 1);
        EXPECT_EQ(shaped.CutFromComposite(&dib, 24, 0, 16, 16, 24, 0), 1);
        EXPECT_EQ(segmented.CutFromComposite(&dib, 0, 16, 12, 16, 0, 16), 1);
    }

    Bitmap dib;
    SkinBitmap tile;
    SkinBitmap button;
    SkinBitmap shaped;
    SkinBitmap segmented;
};

using skintest::Narrow;
using skintest::Text;

inline uint32_t PixelAt(const Bitmap& bitmap, int x, int y)
{
    return bitmap.GetPixel(x, y) & 0xFFFFFF;
}

// A panel that writes what its listener hears and what reaches its second interface.
class TestPanel : public Panel
{
public:
    Log log;
    DWORD style = WS_CHILD;

    DWORD GetStyle() override { return style; }
    int OnControlNotify(Panel*, Control* control, int argument) override
    {
        log.push_back("control " + Narrow(control->GetName()) + " " + std::to_string(argument));
        return 0;
    }
    int OnDataItemNotify(Panel*, DataItem* item, int argument) override
    {
        log.push_back("item " + Narrow(item->GetName()) + " " + std::to_string(argument));
        return 0;
    }
    void OnRightClickControl(Control* control) override { log.push_back("right " + Narrow(control->GetName())); }
    void Notify1(intptr_t a, intptr_t b, intptr_t c) override
    {
        log.push_back("notify1 " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(c));
    }
};

// A control that counts its drawing and writes its pointer events with the last position it
// had during the call.
class ProbeControl : public Control
{
public:
    ProbeControl(Log& log, const char* name, int x, int y, int width, int height, int type = TypeButton)
        : Control(type), log_(log)
    {
        SetName(Text(name));
        SetPosition(x, y);
        SetSize(width, height);
    }

    int draws = 0;
    uint32_t colour = 0x0000FF; // drawn over the whole rectangle

    void Draw() override
    {
        ++draws;
        if (Bitmap* target = Target())
            target->FillRect(X(), Y(), Width(), Height(), colour);
    }
    void OnMouseDown(WPARAM, int x, int y) override { Write("down", x, y); }
    void OnMouseMove(WPARAM, int x, int y) override { Write("move", x, y); }
    void OnMouseUp(WPARAM, int x, int y) override { Write("up", x, y); }

private:
    void Write(const char* what, int x, int y)
    {
        log_.push_back(Narrow(GetName()) + " " + what + " " + std::to_string(x) + "," + std::to_string(y) + " last " +
                       std::to_string(LastX()) + "," + std::to_string(LastY()));
    }

    Log& log_;
};

// A top-level window that is never shown: child panels live in it without the cost of a
// shown window.
class Host
{
public:
    Host(int width = 400, int height = 300)
    {
        EXPECT_EQ(window.Create(nullptr, WS_POPUP, 0, 0, width, height, nullptr, 0, 0), 1);
    }
    Window window;
};

inline void Pump()
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

using ::SendMouse;

inline Button* AddButton(Panel& panel, SkinBitmap& image, const char* name, int x, int y, DataItem* item = nullptr,
                         RadioGroupLogic* radio = nullptr)
{
    auto* button = new Button();
    EXPECT_EQ(button->Setup(x, y, Text(name), &image, nullptr, radio), 1);
    panel.AddControl(button, item);
    return button;
}
} // namespace controlstest
