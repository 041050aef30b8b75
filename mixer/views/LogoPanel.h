#pragma once
#include "framework/controls/Panel.h"
#include "framework/controls/PopupMenu.h"

class Skin;

// The small floating logo that follows the main frame and offers the about box from its
// context menu. User-interface thread only.
class LogoPanel : public Panel, public MenuListener
{
public:
    static constexpr int kAboutCommand = 23;

    LogoPanel() = default;

    // A popup built from the skin's "logoPanel" with the "bg_logo" background, at (x, y);
    // 0 when the skin has no such panel or the window cannot be made.
    int Create(Skin& skin, Window* parent, Window* owner, int x, int y);
    DWORD GetStyle() override { return WS_POPUP; }
    // The owner moved to (x, y): with move set, the logo comes to the top and follows by the
    // owner's change since the last call; no change, no move.
    void OnOwnerMoved(int x, int y, int move);
    // Places the logo and takes (ownerX, ownerY) as the owner's position.
    void SetPosition(int x, int y, int ownerX, int ownerY);
    // View mode 4 shows the logo, leaving it hides it.
    void EnterViewMode();
    void LeaveViewMode();

    void OnRightButtonDown(WPARAM flags, int x, int y) override;
    void OnMouseUp(WPARAM flags, int x, int y) override;
    int OnKeyDown(WPARAM key, LPARAM flags) override;
    // 23: the about box, which the listener given here opens (the frame: it knows the engine).
    void OnMenuCommand(int command) override;
    void SetAboutListener(MenuListener* listener) { aboutListener_ = listener; }

private:
    Skin* skin_ = nullptr;                  // borrowed: the main window's
    Window* parent_ = nullptr;              // borrowed
    Window* owner_ = nullptr;               // borrowed: keys go on to it
    MenuListener* aboutListener_ = nullptr; // borrowed
    int ownerX_ = 0;
    int ownerY_ = 0;
};
