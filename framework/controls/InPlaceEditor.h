#pragma once

#include "framework/platform/graphics/Rect.h"
#include "framework/windows/Window.h"

class FontInterface;
class Panel;
class TextControl;

// The child "EDIT" window over a text control that is being edited. Making it switches the
// tooltips off and publishes it as the open editor; deleting it destroys the box, restores
// the tooltip switch and clears the global. Its box's keys pass a filter first: Enter, Tab and
// Escape close the editor (CloseCurrent). User-interface thread only.
class InPlaceEditor : public Window
{
public:
    explicit InPlaceEditor(TextControl& control);
    ~InPlaceEditor() override;

    // The open editor, or null.
    static InPlaceEditor* Current();
    // Commits what was typed to the edited control and closes the editor; nothing when none
    // is open. Any control or panel calls it, before it acts, so what it does next sees the
    // typed text stored.
    static void CloseCurrent();

    // Makes the box (child id 10) in the panel with the text all selected and the focus. 0
    // when the window cannot be made.
    int CreateBox(Panel& panel, const Rect& box, const String& text, const FontInterface* font);
    TextControl& GetControl() const { return control_; }

private:
    static LRESULT CALLBACK KeyFilter(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    TextControl& control_; // borrowed: the control closes its editor before it goes
    int savedTooltips_;
};
