#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/platform/graphics/Rect.h"

#include <cstdint>

class FontInterface;
class SkinBitmap;

// The records a skin reads from regions.xml and layout.xml. Images belong to the skin's
// bitmap cache and fonts to its font table: records only borrow them. Colours are Windows
// colour values (0x00BBGGRR).

// A rectangle of the composite bitmap, with the pixel whose colour is transparent.
class SkinRegion : public Object
{
public:
    int x = -1;
    int y = -1;
    int width = -1;
    int height = -1;
    int hasKey = 0; // both key coordinates given
    int keyX = -1;
    int keyY = -1;
};

// The nine pieces of a framed window, in this order.
enum FramePiece
{
    TopLeft,
    TopMid,
    TopRight,
    CenterLeft,
    CenterMid,
    CenterRight,
    BotLeft,
    BotMid,
    BotRight,
    FramePieceCount
};

class TooltipStyle : public Object
{
public:
    FontInterface* font = nullptr;
    uint32_t textColour = 0;
    SkinBitmap* images = nullptr;
    int leftSeg = 0;
    int midSeg = 0;
    int rightSeg = 0;
    int textAreaHeight = 0;
};

class PopupMenuStyle : public Object
{
public:
    enum
    {
        kMaxScrollbarStyleName = 99
    };

    SkinBitmap* frame[FramePieceCount] = {};
    SkinBitmap* vertBanner = nullptr;
    SkinBitmap* topBanner = nullptr;
    SkinBitmap* separator = nullptr;
    SkinBitmap* tickIcon = nullptr;
    SkinBitmap* subMenuIcon = nullptr;
    FontInterface* font = nullptr;
    uint32_t normalColour = 0;
    uint32_t selectedColour = 0;
    uint32_t disabledColour = 0;
    uint32_t selectionColour = 0;
    int itemVertSpacing = -1;
    int scrollbar = -1; // non-zero: the menu list uses a scroll bar
    char scrollbarStyle[kMaxScrollbarStyleName + 1] = {};
};

// Both kinds of frame style live in one table; the kind tells them apart.
class FrameStyleBase : public Object
{
public:
    enum
    {
        KindFrameStyle = 0,
        KindFrameStyle2 = 1
    };
    explicit FrameStyleBase(int kind) : kind(kind) {}
    const int kind;
};

class FrameStyle : public FrameStyleBase
{
public:
    FrameStyle() : FrameStyleBase(KindFrameStyle) {}
    SkinBitmap* frame[FramePieceCount] = {};
    int leftLogoOffset = -1;
    int topLogoOffset = -1;
};

class FrameStyle2 : public FrameStyleBase
{
public:
    FrameStyle2() : FrameStyleBase(KindFrameStyle2) {}
    SkinBitmap* frameComposite = nullptr;
    Rect pieces[FramePieceCount]; // in pixels of the frame composite
    SkinBitmap* closeButton = nullptr;
    SkinBitmap* minimizeButton = nullptr;
    SkinBitmap* maximizeButton = nullptr;
    SkinBitmap* helpButton = nullptr;
    int butTopSpacing = -1;
    int butRightSpacing = -1;
    int interButSpacing = -1;
    FontInterface* titleFont = nullptr;
    uint32_t titleColour = 0;
    int titleTopSpacing = -1;
    int titleLeftSpacing = -1;
    int titleRightSpacing = -1;
    int leftLogoOffset = -1;
    int topLogoOffset = -1;
    int sessionNameXOffset = -1;
    int sessionNameYOffset = -1;
};

class ScrollbarStyle : public Object
{
public:
    int vertical = 0;
    SkinBitmap* images = nullptr;
    int decBg = -1;
    int barBg = -1;
    int incBg = -1;
    int decBut = -1;
    int incBut = -1;
    int barBegin = -1;
    int barMid = -1;
    int barEnd = -1;
};

// Dialog panels and the message box.
class DialogStyle : public Object
{
public:
    SkinBitmap* frame[FramePieceCount] = {};
    SkinBitmap* exitButton = nullptr;
    SkinBitmap* helpButton = nullptr;
    SkinBitmap* buttonImages = nullptr;
    int leftSeg = -1;
    int midSeg = -1;
    int rightSeg = -1;
    SkinBitmap* tickIcon = nullptr;
    SkinBitmap* crossIcon = nullptr;
    FontInterface* buttonFont = nullptr;
    FontInterface* titleFont = nullptr;
    int titleTopOffset = -1;
    int titleSideOffset = -1;
    int sysButTopOffset = -1;
    int helpButRightOffset = -1;
    int exitButRightOffset = -1;
    int titleAlignment = 0;
    uint32_t titleColour = 0;
    uint32_t normalColour = 0;
    uint32_t selectedColour = 0;
    uint32_t disabledColour = 0;
    String yes;
    String no;
    String ok;
    String cancel;
};
