#pragma once

#include "framework/controls/Panel.h"

class TextControl;

// A skinned popup panel (a splash, a notice) centred in the work area and shaped by its
// background's transparent colour when it has one. The form made last is reachable through
// Instance until it goes. User-interface thread only.
class FormWindow : public Panel
{
public:
    FormWindow();
    ~FormWindow() override;

    // Builds the background and creates the window over it; 0 when it cannot be made.
    int Create(Window* parent);
    // The named text control (type 1) takes the text and the whole form is redrawn; other
    // names change nothing.
    void SetChildText(const char* name, const String& text);
    // The named text control's text, cut to fit size units with its terminator. 0 when there
    // is no such control or the text was cut.
    int GetChildText(const char* name, char16_t* buffer, int size) const;

    static FormWindow* Instance();
};
