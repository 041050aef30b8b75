#pragma once
#include <windows.h>

// The mixer program's own window messages, each with the window it goes to and what its
// parameters carry. One id means one thing; the dialogs' engine event shares its number with
// the tray window's rebuild request, as both are fixed by the windows that read them, but
// the two never reach one window.
namespace WindowMessage
{
// To the tray window: the main window's view requests (no parameters).
constexpr UINT kBringFrameForward = 1123;
constexpr UINT kRebuildMainWindow = 1124;
constexpr UINT kShowMainWindow = 1125;
constexpr UINT kBringFirstViewForward = 1126;
// To the tray window: the main window can make no frame from any skin (no parameters).
constexpr UINT kViewMissing = 1127;
// To the tray window: engine events 51, 52, 77 and the splash's (event id, argument).
constexpr UINT kTrayEngineEvent = 2022;
// To the frame and to the main window's hidden window: an engine event (event id, argument).
constexpr UINT kEngineEvent = 2023;
// To the frame: a toolbar or section request (FrameApp::ToolbarState, value).
constexpr UINT kToolbarRequest = 2024;
// To the main window's hidden window: an engine event whose data the listener copied (event
// id, heap VarnSyncTime that the receiver frees).
constexpr UINT kEngineEventData = 2025;
// To the main window's hidden window: the frame's close (no parameters).
constexpr UINT kCloseFrame = 2026;
// The frame to itself: make the main section again in the form the view mode asks for.
constexpr UINT kMainSectionForm = 2027;
// An outputs or inputs list to itself (no parameters): the rows' rebuild that waited until a
// row's own handler (and the message boxes it showed) had returned.
constexpr UINT kTVListRebuild = 2028;
// A TV view to the main section that holds it (no parameters): none of its rows' handlers
// runs any more, so a replacement that waited for them may go ahead.
constexpr UINT kTVViewIdle = 2029;
// To an open mixer dialog: an engine event (event id, argument).
constexpr UINT kDialogEngineEvent = WM_USER + 100;
// To the COM server's release window (a message-only window of the user-interface thread, made
// by the first Advise), no parameters: a sink courier ended and the references its apartment
// kept may go; a courier found a client gone.
constexpr UINT kCourierEnded = WM_APP + 1;
constexpr UINT kClientGone = WM_APP + 2;
// Test hooks, to the application window: a public notification (bit, 0); a private one
// (bit | a << 16, b: the private bits fit in 16 bits, so a is limited to 16 bits here); the
// user's quit.
constexpr UINT kFireNotify = WM_APP + 0x4B0;
constexpr UINT kFirePrivateNotify = WM_APP + 0x4B1;
constexpr UINT kQuit = WM_APP + 0x4B2;
} // namespace WindowMessage
