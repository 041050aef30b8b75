#pragma once

#include "framework/base/String.h"

class Dialog;
class FrameWindow;
class Skin;
class Window;

// The dialog panels, message boxes and frame windows a skin's layout defines, opened by name.
// The skin sits below the controls, so these live here and take the skin; nothing overrides
// them per skin. Every failure is silent and answers 0 (a message box whose definition is
// missing is reported to the skin). While a dialog or box opened here runs, the skin says a
// message box is running. User-interface thread only.
class SkinDialogs
{
public:
    explicit SkinDialogs(Skin& skin) : skin_(skin) {}

    // Builds the dialog from its "dialogpanel" definition (controls, frame, OK/cancel or yes/no
    // buttons) and runs it over owner; the dialog's modal result, or 0 when it is not shown.
    int ShowDialogPanel(const char* name, Dialog* dialog, Window* owner);
    // A message box of the skin's message-box style with the texts of the two string ids.
    int ShowMessageBox(const String& titleId, const String& messageId, int type, Window* owner, const String* helpTopic,
                       const String* helpDocument);
    // The "messagebox" definition of that name; 0 without its message id or mode.
    int ShowDefinedMessageBox(const char* name, Window* owner, const String* helpDocument);
    int ShowMessageBoxText(const String& titleId, const String& text, int type, Window* owner, const String* helpTopic);
    // An OK box of the two texts.
    int ShowPlainMessageBox(const String& title, const String& text, Window* owner, const String* helpTopic);
    // Applies the frame style that the "framewindow" definition names to the frame (the caller
    // then creates the window); the style's answer, or 0 without the definition or its style.
    // Only second-kind frame styles have a frame window that takes them: a definition naming
    // a first-kind style answers 0 here, and there is no operation for that kind.
    int CreateFrameWindow2(const char* name, FrameWindow* frame);

private:
    int RunBox(const String& title, const String& text, int type, Window* owner, const String* helpTopic,
               const String* helpDocument, const String& sourceName);
    int RunModal(Dialog& dialog, Window* owner);

    Skin& skin_;
};
