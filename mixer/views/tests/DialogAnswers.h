// What the views' Wine tests share to answer dialogs and message boxes in the user's place.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/base/String.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/Dialog.h"
#include "mixer/views/tests/MainSectionTestSupport.h"

namespace mainsection
{
inline std::string Narrow(const String& text)
{
    std::string out;
    for (int i = 0; i < text.Length(); ++i)
        out += static_cast<char>(text.WideCharAt(i));
    return out;
}

// Answers every dialog in the user's place: types the name into a name dialog, runs what the
// test wants done while the dialog's loop runs, and records which dialogs were shown.
class Answers : public DialogAnswerer
{
public:
    Answers() { Dialog::SetAnswerer(this); }
    ~Answers() { Dialog::SetAnswerer(nullptr); }
    void OnDialogShown(Dialog& dialog) override
    {
        shown.push_back(Narrow(dialog.GetSourceName()));
        current = &dialog;
        if (!typed.empty() && TextControl::EditedControl())
            TextControl::SetEditorText(Ascii(typed.c_str()));
        if (meanwhile)
            meanwhile();
        dialog.End(answer);
    }
    std::vector<std::string> shown;
    std::string typed;
    int answer = 1;
    std::function<void()> meanwhile;
    Dialog* current = nullptr; // the dialog last shown, while meanwhile runs
};

} // namespace mainsection
