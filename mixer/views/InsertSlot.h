#pragma once
#include "framework/base/Object.h"
#include "framework/base/String.h"

class BitmapControl;
class Control;
class IVarnInsert;
class InsertSlotStrip;
class Panel;
class PeakMeter;
class PeakValueWatcher;
class Skin;
class TextControl;

// One visible slot of an insert-slot strip. It owns no window: for the insert it shows it
// places skin controls (background, name, focus and selection masks, two thin meters) on the
// strip's panel and takes them off again before the next paint, so it never updates a control
// in place. A missing skin resource leaves out the control that needed it. User-interface
// thread only.
class InsertSlot : public Object
{
public:
    InsertSlot(InsertSlotStrip& owner, int slotIndex, int left, int top, int right, int bottom);
    ~InsertSlot() override;
    InsertSlot(const InsertSlot&) = delete;
    InsertSlot& operator=(const InsertSlot&) = delete;

    // Takes every control off the panel without redrawing, and the meters' items.
    void Clear();
    // Paints the insert by its kind (nothing for none); 1.
    int Paint(IVarnInsert* insert);
    void SetFocusMask(int on);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Right() const { return right_; }
    int Bottom() const { return bottom_; }
    // What the slot shows now, for the tests: the name's text (empty without one), whether
    // the selection and focus masks are on, and the meters' items.
    int GetText(String& out) const;
    int HasSelectionMask() const { return selectionMask_ != nullptr; }
    int HasFocusMask() const { return focusMask_ != nullptr; }
    PeakValueWatcher* GetLeftValue() const { return leftValue_; }
    PeakValueWatcher* GetRightValue() const { return rightValue_; }
    PeakMeter* GetLeftMeter() const { return leftMeter_; }
    const String& GetBackgroundName() const { return backgroundName_; }
    const String& GetFontName() const { return fontName_; }

private:
    Skin& GetSkin();
    Panel& GetPanel();
    BitmapControl* CreateImage(const char* bitmapName, int x, int y, const char* controlName);
    BitmapControl* CreateOffsetImage(const char* bitmapName, const char* xKey, const char* yKey);
    TextControl* CreateText(const String& text, const char* xKey, const char* yKey);
    void PaintInsertBackground(IVarnInsert* insert);
    void SelectFontAndColour(IVarnInsert* insert);
    void PaintEffect(IVarnInsert* insert);
    void PaintTag(IVarnInsert* insert, const char* stringId, const char* xKey, const char* yKey);
    void PaintMeteredEffect(IVarnInsert* insert);
    PeakMeter* CreateMeter(PeakValueWatcher* value, const char* xKey, const char* yKey, const char* unlitImage,
                           int horizontal);
    void PaintSelection();

    InsertSlotStrip& owner_;
    int slotIndex_;
    int left_, top_, right_, bottom_;
    // The panel's while shown; the slot keeps them to take them off again.
    BitmapControl* background_ = nullptr;
    TextControl* text_ = nullptr;
    BitmapControl* focusMask_ = nullptr;
    BitmapControl* selectionMask_ = nullptr;
    PeakMeter* leftMeter_ = nullptr;
    PeakMeter* rightMeter_ = nullptr;
    PeakValueWatcher* leftValue_ = nullptr; // the panel's items while registered
    PeakValueWatcher* rightValue_ = nullptr;
    String backgroundName_;
    String fontName_;
    String colourName_;
};
