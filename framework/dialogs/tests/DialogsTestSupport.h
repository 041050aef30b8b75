// What the dialog tests share: the shipped mixer skin (its dialog and message-box styles),
// copied with definitions of the tests' own; a script that answers each dialog shown; an owner
// window; the message pump.
#pragma once

#include "framework/controls/Control.h"
#include "framework/controls/Panel.h"
#include "framework/controls/tests/ControlsTestSupport.h"
#include "framework/dialogs/Dialog.h"
#include "framework/dialogs/MessageBox.h"
#include "framework/dialogs/tests/ShippedSkinCopy.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "framework/windows/Window.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace dialogstest
{
using skintest::Narrow;
using skintest::Text;

// The shipped mixer skin with the test's own definitions, in a folder of its own.
class TestSkin
{
public:
    explicit TestSkin(const LayoutAdditions& additions = {})
    {
        EXPECT_EQ(LoadShippedSkinWith(skin, folder_.Path(), additions), 1);
    }

    skintest::RecordingSkin skin;

private:
    ScratchFolder folder_{"kiv-dialog-test"};
};

// What the script saw of one dialog.
struct Seen
{
    std::string source;
    std::string title;
    std::string text; // a message box's message
    int windowId = 0;
    int modalCount = 0;
    bool isTop = false;
    int width = 0;
};

// Answers each dialog shown with the next step of the script (a dialog shown with no step left
// is cancelled) and records what it saw.
class Script : public DialogAnswerer
{
public:
    using Step = std::function<void(Dialog&)>;

    Script() { Dialog::SetAnswerer(this); }
    ~Script() { Dialog::SetAnswerer(nullptr); }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    void Then(Step step) { steps_.push_back(std::move(step)); }
    // Ends the dialog as its button of that name would.
    void Press(const char* name)
    {
        Then([name](Dialog& dialog) {
            Control* control = dialog.FindControl(Text(name));
            EXPECT_NE(control, nullptr) << name;
            if (control)
                dialog.OnControlNotify(&dialog, control, 0);
        });
    }
    // The key through the dialog's window, as a pressed key arrives.
    void Key(WPARAM key)
    {
        Then([key](Dialog& dialog) { ::PostMessageA(dialog.GetHandle(), WM_KEYDOWN, key, 0); });
    }

    void OnDialogShown(Dialog& dialog) override
    {
        Seen seen;
        seen.source = Narrow(dialog.GetSourceName());
        seen.title = Narrow(dialog.GetTitle());
        if (const auto* box = dynamic_cast<const MessageBox*>(&dialog))
            seen.text = Narrow(box->GetMessageText());
        seen.windowId = dialog.GetWindowId();
        seen.modalCount = Dialog::ModalCount();
        seen.isTop = Dialog::TopModal() == &dialog;
        seen.width = dialog.Width();
        seen_.push_back(seen);
        if (steps_.empty())
        {
            dialog.End(0);
            return;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(dialog);
    }

    const std::vector<Seen>& SeenDialogs() const { return seen_; }

private:
    std::deque<Step> steps_;
    std::vector<Seen> seen_;
};

// A shown top-level window that dialogs are opened over.
class Owner
{
public:
    explicit Owner(int x = 200, int y = 150, int width = 400, int height = 300)
    {
        EXPECT_EQ(window.Create(nullptr, WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, 0, 0), 1);
    }
    Window window;
};

using controlstest::Pump;

// The number of controls of that name.
inline int CountControls(const Panel& panel, const char* name)
{
    int count = 0;
    for (int i = 0; i < panel.ControlCount(); ++i)
        if (panel.ControlAtIndex(i)->GetName().CompareLiteral(name) == 0)
            ++count;
    return count;
}
} // namespace dialogstest
