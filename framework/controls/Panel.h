#pragma once

#include "framework/base/String.h"
#include "framework/base/StringDictionary.h"
#include "framework/controls/DataItem.h"
#include "framework/platform/Timer.h"
#include "framework/platform/graphics/Rect.h"
#include "framework/windows/Window.h"

#include <cstdint>
#include <memory>
#include <vector>

class Bitmap;
class BorderFrame;
class Control;
class FlagItem;
class FontInterface;
class IntItem;
class PageTab;
class Panel;
class RealItem;
class Region;
class SkinBitmap;
class TextControl;
class TextItem;

// The one channel by which a panel reports user actions to its owner. Results are ignored.
class ControlListener
{
public:
    virtual int OnControlNotify(Panel* panel, Control* control, int argument) = 0;
    virtual int OnDataItemNotify(Panel* panel, DataItem* item, int argument) = 0;

protected:
    ~ControlListener() = default;
};

// Hears that a panel goes.
class PanelObserver
{
public:
    virtual void OnPanelDestroyed(Panel* panel) = 0;

protected:
    ~PanelObserver() = default;
};

// One tiled image of a panel's background.
struct BackgroundSection
{
    SkinBitmap* bitmap = nullptr; // borrowed from the skin
    int x = 0;
    int y = 0;
    int countX = 1;
    int countY = 1;
    int pieceWidth = -1; // -1: the bitmap's width
};

// The skinned child window every view is built on. It owns a composed background bitmap,
// its controls (drawing order and hit-test priority are the adding order) and its named data
// items; routes the mouse to the control under the pointer and reports every control and
// item change to one ControlListener (itself unless set). Controls draw into the background
// bitmap; the window only ever copies it. User-interface thread only.
class Panel : public Window, public ControlListener, public DataItemOwner
{
public:
    Panel();
    // Tells the observer, then deletes controls, sections and items.
    ~Panel() override;

    // Creates the windows of the views its view hosts hold.
    void OnCreate() override;
    int OnEraseBackground(Graphics& graphics) override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    void OnDoubleClick(WPARAM flags, int x, int y) override;
    void OnRightButtonDown(WPARAM flags, int x, int y) override;
    void OnMouseMove(WPARAM flags, int x, int y) override;
    void OnTimer(UINT_PTR id) override;

    // The first section's image (its pixel format is the background's); null without one.
    virtual SkinBitmap* GetBackgroundBitmap();
    // Builds the background when missing and creates the child window (shaped backgrounds get
    // their region and are shown afterwards); 0 when the window cannot be made.
    virtual int Create(Window* parent, int x, int y, int id);
    virtual DWORD GetStyle() { return WS_CHILD; }
    virtual DWORD GetExStyle() { return 0; }
    virtual void OnTabPageChanged(const String&, int) {}
    virtual void OnRightClickControl(Control*) {}

    // ControlListener: what a panel without a listener of its own hears. A page tab's
    // selection item selects its page (1); other items are left alone (0).
    int OnControlNotify(Panel*, Control*, int) override { return 0; }
    int OnDataItemNotify(Panel* panel, DataItem* item, int argument) override;
    // DataItemOwner: passes an item's change to the listener.
    int OnOwnedItemNotify(DataItem* item, int argument) override;

    // listener null: the panel itself.
    int Setup(ControlListener* listener, int width, int height, uint32_t backgroundColour);
    ControlListener* GetListener() { return listener_ ? listener_ : this; }
    void SetObserver(PanelObserver* observer) { observer_ = observer; }
    const String& GetName() const { return name_; }
    int SetName(const String& name) { return name_.Assign(name); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    uint32_t BackgroundColour() const { return backgroundColour_; }
    void SetSize(int width, int height);
    int BackgroundWidth();
    int BackgroundHeight();
    // The composed background, null until built (controls draw only while it exists).
    Bitmap* ComposedBackground() const { return background_.get(); }
    // A control waits to be drawn by the next paint that reaches it (Control::IsStale).
    void NoteStaleControl() { staleControls_ = 1; }
    // Whether the window can be seen: shown, its top-level window not minimised and not wholly
    // under another window (looked at again at most every 250 ms: Wine paints a covered
    // window as any other, so the program looks for itself).
    int CanBeSeen();
    // Asks for the paint of the controls that changed unseen once the window can be seen.
    void WatchWaitingControls();

    // countX and countY below 1 count as 1; the panel grows to hold the section. 0 (nothing
    // added) for an image that cannot be loaded, and for a section that would make the
    // background larger than any bitmap may be.
    int AddBackgroundSection(SkinBitmap* bitmap, int x, int y, int countX, int countY, int pieceWidth);
    // Drops the sections and the composed background; the controls and the size stay.
    void ClearBackground();
    // Composes the background with its controls when it is missing.
    void EnsureBackground();
    int HasShapedBackground() const;
    // A new bitmap of the area (x, y, width, height) of the background without controls, or
    // null for an empty area or a panel without sections.
    std::unique_ptr<Bitmap> ComposeBackground(int x, int y, int width, int height);
    // Recomposes the area (null: the whole panel) with its controls; now shows it at once.
    void RedrawArea(const Rect* rect, int now);
    // The window's shape from the shaped section's transparent colour.
    int BuildShapeRegion(Region& region);
    void Clear(int deleteDataItems);
    void ResetControls();

    // Takes the control; binds it to item when one is given.
    void AddControl(Control* control, DataItem* item);
    // Also from the page that lists it.
    void DropControl(Control* control, int redraw, int now);
    // Puts the control last in the drawing order, over the controls added before it, and
    // draws it there; a control the panel does not hold is left alone.
    void RaiseControl(Control* control);
    Control* FindControl(const String& name) const;
    // The named control when it is a one-line text, else null.
    TextControl* FindTextControl(const char* name) const;
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    Control* ControlAtIndex(int index) const;
    Control* ControlAt(int x, int y) const;
    // The same, skipping image controls: a click passes through them.
    Control* ControlAtForClick(int x, int y) const;

    int GetRegionRect(const String& name, int& x, int& y, int& width, int& height, int& id) const;
    int GetRegionRectById(int id, int& x, int& y, int& width, int& height, String& name) const;
    int IsPointInRegion(int x, int y, const String& name) const;
    int IsPointInRegionById(int x, int y, int id) const;

    // Takes the item. A name already taken is refused: the item is deleted and null answered.
    DataItem* RegisterDataItem(const char* name, DataItem* item);
    FlagItem* AddFlagItem(const char* name, int value, int disabled, int hidden);
    IntItem* AddIntItem(const char* name, int value, int minimum, int maximum, int disabled, int hidden);
    RealItem* AddRealItem(const char* name, float value, float minimum, float maximum, int disabled, int hidden);
    TextItem* AddTextItem(const char* name, const String& text, int disabled, int hidden);
    DataItem* FindDataItem(const String& name) const;
    void RemoveDataItem(DataItem* item);

    // Page tabs and borders. tabName null: the panel itself, not a page.
    // count (at least 1) image controls named baseName and their index, each the next along
    // the row or column; nothing without a loaded bitmap or with an unknown page (0).
    int AddImageRun(const String& baseName, SkinBitmap* bitmap, int x, int y, int horizontal, int count,
                    const String* tabName, int pageIndex);
    // The eight-piece border around (x, y, width, height), the size rounded down to 16s;
    // nothing when the image is missing or smaller than 32 x 32.
    void AddBorder(SkinBitmap* image, int x, int y, int width, int height, const String* tabName, int pageIndex);
    // A tab named name with its bordered page area and its selection item (0..0); 0 without
    // tab images, or when the name is taken.
    int AddPageTab(const String& name, SkinBitmap* tabImages, SkinBitmap* pageBorderImages, FontInterface* font,
                   uint32_t textColour, uint32_t checkedTextColour, int leftSegment, int middleSegment,
                   int rightSegment, int x, int y, int width, int height);
    // The new page's index, -1 for an unknown tab.
    int AddTabPage(const String& tabName, const String& pageName, const String& title);
    // Takes the control either way: refused (unknown tab or page: 0), it is deleted.
    int AddControlToPage(const String& tabName, int pageIndex, Control* control, DataItem* item);
    // The page count left less one, -1 for an unknown tab or page. The current page stays
    // shown (its index moves down when an earlier page goes); when it goes itself, the page
    // that takes its place, or the one before, is shown.
    int RemoveTabPage(const String& tabName, int index);
    // Shows the page and puts the selection item and the tab buttons in step.
    void SelectTabPage(const String& tabName, int index);
    // The current page, -1 for an unknown tab.
    int GetTabPage(const String& tabName) const;
    void SetTabPageDisabled(const String& tabName, int index, int disabled);
    PageTab* FindPageTab(const String& name) const;

private:
    // Sets the flags and registers the item.
    template <typename Item>
    Item* AddItem(const char* name, Item* item, int disabled, int hidden);
    template <typename Item, typename Value>
    Item* AddRangedItem(const char* name, Value value, Value minimum, Value maximum, int disabled, int hidden);
    void DrawControls(const Rect* area);
    // Draws the stale controls that meet the area; the others wait for a paint of their own.
    void DrawStaleControls(const Rect& area);
    // Local coordinates of a panel point for a control.
    static void ToLocal(const Control& control, int x, int y, int& localX, int& localY);
    // By name, or by id when name is null.
    const Control* FindRegionControl(const String* name, int id) const;

    ControlListener* listener_ = nullptr; // borrowed; null: this panel
    PanelObserver* observer_ = nullptr;   // borrowed
    String name_;
    std::vector<std::unique_ptr<BackgroundSection>> sections_;
    StringDictionary dataItems_;     // DataItem, owned
    std::vector<Control*> controls_; // owned
    std::vector<std::unique_ptr<PageTab>> pageTabs_;
    // One per border image: the pieces of each border's controls stay.
    std::vector<std::unique_ptr<BorderFrame>> borderFrames_;
    int width_ = -1;
    int height_ = -1;
    uint32_t backgroundColour_ = 0x646464;
    std::unique_ptr<Bitmap> background_;
    int staleControls_ = 0; // some control may be stale
    // Runs on every tick while controls wait for the window to be seen.
    struct WaitingWatch final : TimerListener
    {
        Panel* panel = nullptr; // the owner
        Timer timer;
        int attached = 0;
        void OnTimerTick(int32_t) override;
    };
    WaitingWatch waitingWatch_;
};
