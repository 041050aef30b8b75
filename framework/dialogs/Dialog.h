#pragma once

#include "framework/base/String.h"
#include "framework/controls/Panel.h"
#include "framework/skin/SkinRecords.h"

class Button;
class Dialog;

// Answers dialogs in tests: told once a dialog's modal loop runs, it may end the dialog, send
// it keys or open another one. Tests record what they were asked through it.
class DialogAnswerer
{
public:
    virtual void OnDialogShown(Dialog& dialog) = 0;

protected:
    ~DialogAnswerer() = default;
};

// The base of every modal window: a panel in a nine-piece skinned frame with a title, an exit
// and a help button, "OK"/"CANCEL" (or yes/no) buttons, and a modal loop of its own while its
// owner is disabled. Dialogs nest: each DoModal runs inside its caller's loop. The ticker is
// stopped while a dialog runs. User-interface thread only.
class Dialog : public Panel
{
public:
    Dialog();
    // Leaves the list of modal dialogs.
    ~Dialog() override;

    // The frame from the style (the dialog keeps a copy; its images and fonts stay the skin's),
    // the size rounded up to whole middle tiles, the title and the system buttons. 0 without a
    // style, when a frame piece is missing or has no size, or without the style's fonts.
    virtual int Create(const DialogStyle* style, int width, int height, const String* title);
    // Nothing when either position of the first button is negative or the style has no button
    // images; the second button only when both of its positions are given.
    virtual void AddOkCancelButtons(int okX, int okY, int cancelX, int cancelY);
    // The same with the yes and no captions and no icons; named "OK" and "CANCEL" as well.
    virtual void AddYesNoButtons(int yesX, int yesY, int noX, int noY);
    virtual int OnInitDialog() { return 1; }
    virtual void BringToFront() { MakeTopmost(); }
    virtual int MapResult(int code) { return code; }
    virtual int CanAccept() { return 1; }

    // Runs the dialog modally over owner (null: the application's main window) and answers
    // MapResult of how it ended: 1 OK or Enter, 0 cancel, Escape or close, -1 when the program
    // was told to quit meanwhile (the quit is posted again). 0 when it cannot be opened.
    int DoModal(Window* owner);
    // Shows the dialog centred over the work area, owned by the main window, without a loop.
    int ShowModeless();
    // Ends the modal loop with code (an open in-place editor is committed first).
    void End(int code);

    // Escape ends with 0, Enter with 1 unless CanAccept refuses.
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    // The background and static texts drag the dialog.
    int OnNcHitTest(int x, int y) override;
    // The close box cancels; the window lives on until the object goes.
    int OnClose() override;
    void OnUserMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    DWORD GetStyle() override { return WS_POPUP | WS_SYSMENU; }

    // "dialogclose" and "CANCEL" end with 0, "OK" with 1, "dialoghelp" opens the program's help
    // when the dialog has a help topic; other names go to the panel. 1 when handled.
    virtual int OnCommand(Panel* sender, Control* control, int argument);
    using Window::OnCommand;
    int OnControlNotify(Panel* sender, Control* control, int argument) override
    {
        return OnCommand(sender, control, argument);
    }

    const String& GetTitle() const { return title_; }
    int GetResult() const { return result_; }
    int SetHelpTopic(const String& topic) { return helpTopic_.Assign(topic); }
    const String& GetHelpTopic() const { return helpTopic_; }
    // What the skin opened the dialog by (a dialog panel's name, a message's string id).
    int SetSourceName(const String& name) { return sourceName_.Assign(name); }
    const String& GetSourceName() const { return sourceName_; }
    // 1 for the first dialog opened, one more for each open below it.
    int GetWindowId() const { return windowId_; }
    const DialogStyle& GetDialogStyle() const { return style_; }

    // The dialog opened last whose loop still runs, or null.
    static Dialog* TopModal();
    // Dialogs opened and not yet destroyed, oldest first.
    static int ModalCount();
    // Throws std::out_of_range outside the list.
    static Dialog* ModalAt(int index);
    // Tests: who answers every dialog shown from now on; null for the user.
    static void SetAnswerer(DialogAnswerer* answerer);

    // Every frame piece drawable and tiled by at least a pixel, and both fonts given.
    static int IsCompleteStyle(const DialogStyle* style);
    // What the title bar keeps free at its right for the title: its system buttons (each its
    // right offset from the edge) or, without them, the frame's top right piece.
    static int TitleBarRightRoom(const DialogStyle& style);

protected:
    // A button of the style's button images and font in the style's colours; null when the
    // style has no button images or it could not be made. widen is added to its fitted width.
    Button* AddStyleButton(const char* name, int x, int y, const String& caption, SkinBitmap* icon, int widen);

private:
    int LayoutFrame(int width, int height);
    void ReleaseOwner();

    String title_;
    int result_ = -1;
    String helpTopic_;
    String sourceName_;
    DialogStyle style_;
    int windowId_ = 0;
    Window* owner_ = nullptr; // borrowed while the dialog runs
    int ownerDisabled_ = 0;
};
