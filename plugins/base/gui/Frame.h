#pragma once
// The one child window of an editor: it owns the views, draws them over its background and
// hands them the clicks. Its window class is shared by every frame of the module.

#include "plugins/base/gui/MouseState.h"
#include "plugins/base/gui/View.h"

#include <windows.h>

#include <cstddef>
#include <vector>

class PluginBitmap;
class PluginEditor;

// The host's open-window request: the host makes a window of its own for the editor.
struct HostWindowFields
{
    char title[128]; // up to 127 characters
    int16_t x;
    int16_t y;
    int16_t width;
    int16_t height;
    int32_t style;
    void* parent;
    void* userHandle;
    void* windowHandle;
};
union HostWindowRequest {
    HostWindowFields fields;
    char bytes[256];
};
static_assert(sizeof(HostWindowRequest) == 256, "host window request");
static_assert(offsetof(HostWindowFields, x) == 128 && offsetof(HostWindowFields, style) == 136, "host window request");

class Frame : public View
{
public:
    // Creates the child window in the parent at once.
    Frame(const Rect& size, HWND parent, PluginEditor* editor);
    // Host-window mode: the window is asked of the host by OpenWindow.
    Frame(const Rect& size, const char* title, PluginEditor* editor, int32_t style);
    ~Frame() override;

    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;
    void Update(DrawContext* context) override;

    // Appends; the frame owns the view from now on. False when memory runs out.
    bool AddView(View* view);
    // Takes the view out of the list (the caller owns it again), keeping the order.
    void RemoveView(View* view);
    bool ContainsView(const View* view) const;

    // Releases the old background and remembers the new one.
    void SetBackground(PluginBitmap* bitmap);
    // Refused while a modal view exists, unless the view is null (which clears it).
    bool SetModalView(View* view);
    View* GetModalView() const { return modalView_; }
    void SetFocusView(View* view) { focusView_ = view; }
    View* GetFocusView() const { return focusView_; }

    // Draws the view now when it is in the list, else the whole frame.
    void Redraw(View* view = nullptr);
    // Draws changed controls once the first paint has happened.
    void Idle();

    // Host-window mode only: asks the host for its window (at the point when given) and makes
    // the child window in it; when already open, brings it to the top and answers false.
    bool OpenWindow(const Point* where = nullptr);
    // Asks the host to close its window.
    void CloseWindow();

    // Where the host shows the editor: the top-left corner of the window two levels above the
    // child window, in the coordinates of the window above that. False when not open.
    bool GetPosition(int32_t* x, int32_t* y) const;
    // The child window's parent's rectangle in the coordinates of the window two levels above
    // it. False when not open.
    bool GetSize(Rect* rect) const;
    // Resizes the child window and its parents, each keeping its margin around its child, up
    // to a window with a margin above 80 pixels or a dialog frame. False when not open or the
    // size is unchanged.
    bool SetSize(int32_t width, int32_t height);

    // MouseButton bits: left 1, middle 2, right 4, shift 8, control 16, alt 32.
    int32_t GetMouseButtons() const;
    // The cursor mapped into the child window.
    Point GetMousePosition() const;
    // Where both come from; borrowed. Null goes back to the system's state.
    void SetMouseSource(const MouseStateSource* source);

    bool IsOpen() const { return open_; }
    HWND GetWindow() const { return window_; }
    PluginEditor* GetEditor() const { return editor_; }

    // The window class's name for this module: "Plugin%08x" of the module handle.
    static void ClassName(char* text, size_t size);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void MakeWindow(HWND parent);
    static bool RegisterClassOnce();
    static void ReleaseClass();

    PluginEditor* editor_;                     // borrowed: the editor owns the frame
    HWND parentWindow_;                        // the host's window
    PluginBitmap* backgroundBitmap_ = nullptr; // remembered
    std::vector<View*> views_;                 // owned
    View* modalView_ = nullptr;                // one of the views or borrowed
    View* focusView_ = nullptr;                // one of the views
    bool firstPaintPending_ = true;
    bool open_ = true;
    HWND window_ = nullptr;                               // the child window; cleared when it is destroyed
    HostWindowRequest* request_ = nullptr;                // owned; host-window mode only
    const MouseStateSource* mouse_ = &SystemMouseState(); // borrowed
};
