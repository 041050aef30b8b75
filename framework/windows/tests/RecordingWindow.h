#pragma once
// A window that records every virtual operation the message routing calls, with its
// arguments, and answers what the test sets.
#include <sstream>
#include <utility>
#include <string>
#include <vector>

#include "framework/platform/graphics/Graphics.h"
#include "framework/windows/Window.h"

class RecordingWindow : public Window
{
public:
    std::vector<std::string> calls;
    int closeAnswer = 1;
    int sizeAnswer = 1;
    int keyAnswer = 0;
    int commandAnswer = 0;
    int hitAnswer = -1;
    int activateAnswer = 1;
    int eraseAnswer = 1;
    int queryEndAnswer = 1;
    int childDestroyAnswer = 1;
    // What the paint operations were handed: the erase context, the paint clip box.
    HDC eraseContext = nullptr;
    int paintClipped = 0;
    Rect paintClip;

    template <typename... Args>
    void Record(const char* name, Args... args)
    {
        std::ostringstream line;
        line << name << "(";
        const char* separator = "";
        ((line << separator << static_cast<long long>(args), separator = ","), ...);
        (void)separator; // unused when there are no arguments
        line << ")";
        calls.push_back(line.str());
    }

    void OnDeviceQueryRemove() override { Record("OnDeviceQueryRemove"); }
    void OnDeviceQueryRemoveFailed() override { Record("OnDeviceQueryRemoveFailed"); }
    void OnPowerResume() override { Record("OnPowerResume"); }
    void OnPowerQuerySuspend() override { Record("OnPowerQuerySuspend"); }
    void OnCreate() override { Record("OnCreate"); }
    int OnClose() override
    {
        Record("OnClose");
        return closeAnswer;
    }
    void OnDestroy() override { Record("OnDestroy"); }
    int OnChildDestroy(Window*) override
    {
        Record("OnChildDestroy");
        return childDestroyAnswer;
    }
    int OnEraseBackground(Graphics& graphics) override
    {
        Record("OnEraseBackground");
        eraseContext = graphics.GetDC();
        return eraseAnswer;
    }
    void OnPaint(Graphics& graphics) override
    {
        Record("OnPaint");
        paintClipped = graphics.GetClipBox(paintClip);
    }
    void OnMouseDown(WPARAM k, int x, int y) override { Record("OnMouseDown", k, x, y); }
    void OnMouseUp(WPARAM k, int x, int y) override { Record("OnMouseUp", k, x, y); }
    void OnDoubleClick(WPARAM k, int x, int y) override { Record("OnDoubleClick", k, x, y); }
    void OnRightButtonDown(WPARAM k, int x, int y) override { Record("OnRightButtonDown", k, x, y); }
    void OnRightButtonUp(WPARAM k, int x, int y) override { Record("OnRightButtonUp", k, x, y); }
    void OnMouseMove(WPARAM k, int x, int y) override { Record("OnMouseMove", k, x, y); }
    int OnSize(WPARAM t, int w, int h) override
    {
        Record("OnSize", t, w, h);
        return sizeAnswer;
    }
    void OnMove(int x, int y) override { Record("OnMove", x, y); }
    int OnChar(WPARAM w, LPARAM l) override
    {
        Record("OnChar", w, l);
        return keyAnswer;
    }
    int OnKeyDown(WPARAM w, LPARAM l) override
    {
        Record("OnKeyDown", w, l);
        return keyAnswer;
    }
    int OnKeyUp(WPARAM w, LPARAM l) override
    {
        Record("OnKeyUp", w, l);
        return keyAnswer;
    }
    int OnCommand(int id, int code) override
    {
        Record("OnCommand", id, code);
        return commandAnswer;
    }
    int OnNcHitTest(int x, int y) override
    {
        Record("OnNcHitTest", x, y);
        return hitAnswer;
    }
    void OnGetMinMaxInfo(MINMAXINFO*) override { Record("OnGetMinMaxInfo"); }
    void OnUserMessage(UINT m, WPARAM w, LPARAM l) override { Record("OnUserMessage", m, w, l); }
    int OnActivate(WPARAM w, int high, LPARAM l) override
    {
        Record("OnActivate", w, high, l);
        return activateAnswer;
    }
    void OnTimer(UINT_PTR id) override { Record("OnTimer", id); }
    void OnCopyData(WPARAM w, LPARAM) override { Record("OnCopyData", w); }
    int OnQueryEndSession() override
    {
        Record("OnQueryEndSession");
        return queryEndAnswer;
    }
    void OnEndSession(int ending) override { Record("OnEndSession", ending); }
    void OnTaskbarCreated() override { Record("OnTaskbarCreated"); }
    void OnMouseWheel(WPARAM k, int x, int y) override { Record("OnMouseWheel", k, x, y); }
    void OnNcPaint() override { Record("OnNcPaint"); }
    int OnDeviceChange() override
    {
        Record("OnDeviceChange");
        return 1;
    }

    // The calls since the last look, forgotten.
    std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }

    // The same without what the system sends on its own around activation, moves and painting.
    std::vector<std::string> TakeInput()
    {
        static const char* const noise[] = {"OnActivate(", "OnSize(",    "OnMove(",      "OnGetMinMaxInfo(",
                                            "OnPaint(",    "OnNcPaint(", "OnNcHitTest(", "OnEraseBackground("};
        std::vector<std::string> taken;
        for (const std::string& call : Take())
        {
            bool quiet = false;
            for (const char* prefix : noise)
                quiet = quiet || call.rfind(prefix, 0) == 0;
            if (!quiet)
                taken.push_back(call);
        }
        return taken;
    }
};
