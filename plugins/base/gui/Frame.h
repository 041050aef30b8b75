#pragma once
// The one child window of an editor: it owns the views, draws them over its background and
// hands them the clicks. Its window class is shared by every frame of the module.

#include "plugins/base/gui/View.h"

#include <windows.h>

#include <vector>

class PluginBitmap;
class PluginEditor;

class Frame : public View
{
public:
    // Creates the child window in the parent at once.
    Frame(const Rect& size, HWND parent, PluginEditor* editor);
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
    View* GetModalView() const { return m_modalView; }
    void SetFocusView(View* view) { m_focusView = view; }
    View* GetFocusView() const { return m_focusView; }

    // Draws the view now when it is in the list, else the whole frame.
    void Redraw(View* view = nullptr);
    // Draws changed controls once the first paint has happened.
    void Idle();

    // Left 1, middle 2, right 4, shift 8, control 16, alt 32.
    static int32_t GetMouseButtons();
    Point GetMousePosition() const;

    bool IsOpen() const { return m_open; }
    HWND GetWindow() const { return m_window; }
    PluginEditor* GetEditor() const { return m_editor; }

    // The window class's name for this module: "Plugin%08x" of the module handle.
    static void ClassName(char* text, size_t size);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static bool RegisterClassOnce();
    static void ReleaseClass();

    PluginEditor* m_editor;                // borrowed: the editor owns the frame
    HWND m_parentWindow;                   // the host's window
    PluginBitmap* m_backgroundBitmap = nullptr; // remembered
    std::vector<View*> m_views;            // owned
    View* m_modalView = nullptr;           // one of the views or borrowed
    View* m_focusView = nullptr;           // one of the views
    bool m_firstPaintPending = true;
    bool m_open = true;
    HWND m_window = nullptr;
};
