#pragma once

#include "framework/base/String.h"
#include "framework/dialogs/Dialog.h"

class Skin;
class TextItem;

// Asks for one name: a new preset category, a new core preset, or the new name of one of them.
// The skin dialog "newname" with a title, a prompt and one editable text "name". The callers
// check what was typed (length, file-name rules, duplicates) and say so with their own boxes.
// User-interface thread only.
class NameDialog : public Dialog
{
public:
    explicit NameDialog(Skin& skin) : skin_(skin) {}

    // Keeps the title and prompt and gives the name its first text. 1, or 0 when out of memory.
    int SetTexts(const String& title, const String& prompt, const String& initialName);
    // The texts of the skin's string ids (a missing id gives an empty text).
    int SetTextsFromIds(const char* titleId, const char* promptId, const char* initialNameId);
    // For renaming: the current name as it is.
    int SetTextsFromIds(const char* titleId, const char* promptId, const String& initialName);
    // Runs "newname" over parent (null: the application's main window): 1 OK, 0 cancelled,
    // closed or not shown.
    int Run(Window* parent);
    // The name as typed, or null before any set-up.
    const String* GetName() const;

    // An empty title or prompt leaves the skin's own text.
    int OnInitDialog() override;
    // On top and active, with the name open for typing when the skin has the control.
    void BringToFront() override;

private:
    const String& StringOf(const char* id);

    Skin& skin_;
    String title_;
    String prompt_;
    TextItem* nameItem_ = nullptr; // owned by the panel
};
