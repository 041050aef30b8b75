#pragma once

// Before windows.h can name the system's message box after the class.
#include "framework/platform/Win32Api.h"

#include "framework/base/String.h"
#include "framework/dialogs/Dialog.h"

#include <vector>

// The skinned message box: a dialog sized to its title, its wrapped message and the buttons
// of its type, answering 1 "OK" (and Enter), 3 "YES", 2 "NO", 0 "CANCEL", Escape or close.
// Types 4 and 5 are the save-changes question: "SaveAs" and "No", and "Save" before them.
class MessageBox : public Dialog
{
public:
    enum Type
    {
        TypeOk = 0,
        TypeOkCancel = 1,
        TypeYesNoCancel = 2,
        TypeYesNo = 3,
        TypeSaveAsNo = 4,
        TypeSaveSaveAsNo = 5
    };

    MessageBox() = default;

    // Lays the box out and sets it up without showing it (the caller runs DoModal). wrap 0
    // keeps the message on one line; an empty message shows one empty line. helpDocument (may
    // be null) is opened by the help button. 0 when the style is incomplete.
    int Run(const DialogStyle* style, const String& title, const String& text, int type, const String* helpTopic,
            int wrap, const String* helpDocument);
    int OnCommand(Panel* sender, Control* control, int argument) override;

    int GetBoxType() const { return type_; }
    const String& GetMessageText() const { return text_; }

private:
    void AddTextLines(const std::vector<String>& lines, int top, int textWidth, int lineHeight, int width);
    void AddButtons(int y, int width, int buttonsWidth);

    int type_ = TypeOk;
    String text_;
    String helpDocument_; // empty: none
};
