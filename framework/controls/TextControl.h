#pragma once

#include "framework/controls/LabelControl.h"

#include <cstdint>

class FontInterface;
class SkinBitmap;

// A one-line text (type 1). Bound to a text item it shows the item's text and, clicked, opens
// the in-place editor: the program's one edit box over a text control, which commits what was
// typed on Enter, Tab or Escape, on a press on any panel, on any control's notification, when
// another editor opens and when its control goes. Tooltips are off while it is open.
// User-interface thread only.
class TextControl : public LabelControl
{
public:
    TextControl() : LabelControl(TypeText) {}
    // Closes (commits) its editor.
    ~TextControl() override;

    int Setup(int x, int y, const String& name, const String& text, FontInterface* font, FontInterface* editFont,
              uint32_t textColour, uint32_t disabledTextColour, int width, int alignment, SkinBitmap* background,
              int leftWidth, int midWidth, int rightWidth, int margin, int value);
    void Draw() override;
    void OnMouseDown(WPARAM flags, int x, int y) override;
    void OnDataItemChanged() override;
    // Commits an open editor first; nothing more when the box cannot be made.
    virtual void OpenEditor();
    // The skin's value, kept for the application.
    int GetValue() const { return value_; }

    // Closes the editor without committing.
    static void CancelEditor();
    // Replaces the text of an open editor whose control is bound to a text item, and the
    // control's own text.
    static void SetEditorText(const String& text);
    // The control of the open editor, or null.
    static TextControl* EditedControl();

protected:
    explicit TextControl(int type) : LabelControl(type) {}

    // Takes the text to show from the bound item.
    virtual void UpdateText();
    // The text the editor opens with; 0 when it cannot be built.
    virtual int EditorText(String& out) const;
    // The width the box must show (-1: the control's own width will do).
    virtual int EditorTextWidth(const FontInterface&, const String&) const { return -1; }
    // Stores what was typed (the editor calls it as it closes).
    virtual void Commit(const String& typed);
    friend class InPlaceEditor;
    // Closes the open editor when it edits this control; each class of the chain calls it
    // from its destructor, while its own Commit is still whole.
    void CloseOwnEditor();

private:
    FontInterface* editFont_ = nullptr; // borrowed from the skin; null: the control's font
    int value_ = 0;
};
