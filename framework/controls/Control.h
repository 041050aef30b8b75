#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/controls/DataItem.h"
#include "framework/platform/graphics/Rect.h"
#include "framework/platform/graphics/Region.h"

#include "framework/platform/Win32Api.h"

#include <memory>

class Bitmap;
class FontInterface;
class Panel;
class SkinBitmap;

// The base of every skinned widget of a panel. A control is no window: it is a rectangle of
// its panel (client coordinates), draws itself into the panel's background bitmap, gets the
// mouse through the panel's routing (control coordinates), shows one bound data item and
// reports user actions to the panel's listener. User-interface thread only.
class Control : public Object, public DataItemListener
{
public:
    enum Type
    {
        TypeButton = 0,
        TypeText = 1,
        TypeUrlText = 2,
        TypeBitmap = 3, // skipped by click hit tests
        TypeNumericDisplay = 4,
        TypeRotary = 5,
        TypeSliderBar = 6,
        TypeSlider = 7,
        TypePeakMeter = 8,
        TypeScrollbar = 9,
        TypeViewHost = 11,
        TypeRegion = 16 // a named hit area, never pressed
    };

    // Clears the globals that point to it, forgets the tooltip it asked for, unbinds itself.
    ~Control() override;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    virtual int IsDisabled() const;
    virtual int IsInvisible() const { return invisible_; }
    virtual void SetInvisible(int flag) { invisible_ = flag; }
    virtual void Draw() = 0;
    virtual void OnMouseDown(WPARAM, int, int) {}
    virtual void OnMouseMove(WPARAM, int, int) {}
    virtual void OnMouseUp(WPARAM, int, int) {}
    // A fourth pointer operation the panel does not call.
    virtual void OnMousePointer(WPARAM, int, int) {}
    // Passes every timer of the panel to the tooltip.
    virtual void OnTimer(UINT_PTR id);

    void OnDataItemChanged() override { Invalidate(nullptr); }
    void OnDataItemDetached() override;

    int GetType() const { return type_; }
    int IsHidden() const;
    void SetDisabled(int flag, int alsoItem, int redraw);
    void SetHidden(int flag) { hidden_ = flag; }
    Panel* GetParent() const { return parent_; }
    void SetParent(Panel* parent) { parent_ = parent; }
    const String& GetName() const { return name_; }
    int SetName(const String& name) { return name_.Assign(name); }
    DataItem* GetItem() const { return item_; }
    void BindItem(DataItem* item);
    int IsFocused() const { return focused_; }
    void SetFocused(int flag) { focused_ = flag; }
    const String& GetTooltip() const { return tooltip_; }
    int SetTooltip(const String& text) { return tooltip_.Assign(text); }
    const String& GetHelp() const { return help_; }
    int SetHelp(const String& text) { return help_.Assign(text); }

    int X() const { return x_; }
    int Y() const { return y_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void GetRect(Rect& rect) const;
    // Moves the control and its hit shape; no redraw.
    void MoveTo(int x, int y);
    // Panel coordinates; both edges count as inside.
    int HitTest(int px, int py) const;
    const Region* GetShape() const { return shape_.get(); }
    int LastX() const { return lastX_; }
    int LastY() const { return lastY_; }
    void SetLastPosition(int x, int y)
    {
        lastX_ = x;
        lastY_ = y;
    }

    // Draws into the panel's background and shows that area at once; nothing while the
    // panel has no background. rect null: the control's rectangle. Inside a ticker pass the
    // drawing waits for the window's paint (see IsStale).
    void Invalidate(const Rect* rect);
    // A ticker pass changed the control and its window has not painted it since: the panel
    // draws it into the background when a paint reaches it, so what is hidden, minimised or
    // covered costs nothing per tick and shows its value of the moment once it is seen.
    int IsStale() const { return stale_ != kFresh; }
    // Stale while its window could not be seen: no paint has been asked for it yet.
    int IsWaiting() const { return stale_ == kWaiting; }
    // Asks the window to paint the control's area; it is drawn then.
    void AskForPaint();
    // Draws into the background now; it is no longer stale.
    void DrawCurrent()
    {
        stale_ = kFresh;
        Draw();
    }
    int Notify(int argument);
    int IsPressed() const;
    void ReleasePress();
    void ShowTooltip();

    // The control globals, shared by every panel of the user-interface thread.
    static Control* PressedControl() { return pressedControl; }
    static Control* HoverControl() { return hoverControl; }
    static Control* RightClickedControl() { return rightClickedControl; }
    static void SetPressedControl(Control* control) { pressedControl = control; }
    static void SetHoverControl(Control* control) { hoverControl = control; }
    static void SetRightClickedControl(Control* control) { rightClickedControl = control; }

protected:
    explicit Control(int type) : type_(type) {}

    void SetPosition(int x, int y)
    {
        x_ = x;
        y_ = y;
    }
    void SetSize(int width, int height)
    {
        width_ = width;
        height_ = height;
    }
    void SetShape(std::unique_ptr<Region> shape);

    // Drawing into the parent's background bitmap with the control's corner added; nothing
    // while the parent has none. clip null: the control's rectangle.
    Bitmap* Target() const;
    void DrawText(const FontInterface& font, const String& text, int dx, int dy, COLORREF colour, const Rect* clip);
    void DrawBitmap(SkinBitmap& bitmap, int dx, int dy);
    void DrawBitmapPart(SkinBitmap& bitmap, int sx, int sy, int width, int height, int dx, int dy);
    void DrawRawBitmap(const Bitmap& bitmap, int dx, int dy);
    void DrawFocusRect(const Rect& rect);

    int disabled_ = 0;
    int hidden_ = 0;
    int invisible_ = 0;

private:
    static Control* pressedControl;      // borrowed: gets every move until the release
    static Control* hoverControl;        // borrowed: last under the pointer; gets timer ticks
    static Control* rightClickedControl; // borrowed

    int type_;
    Panel* parent_ = nullptr; // borrowed
    String name_;
    DataItem* item_ = nullptr; // borrowed: the panel owns its items
    int focused_ = 0;
    String tooltip_;
    String help_;
    int x_ = 0;
    int y_ = 0;
    int width_ = 0;
    int height_ = 0;
    std::unique_ptr<Region> shape_; // panel coordinates; null for a plain rectangle
    int lastX_ = -10000;
    int lastY_ = -10000;
    enum Staleness
    {
        kFresh,
        kWaiting, // changed while its window could not be seen
        kAsked,   // its area waits for the window's paint
    };
    Staleness stale_ = kFresh;
};
