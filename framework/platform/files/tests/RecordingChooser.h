#pragma once

#include "framework/platform/files/ChooserSeam.h"

#include <windows.h>

#include <shlobj.h>

#include <deque>
#include <string>
#include <vector>

// A chooser seam for tests: answers from a queue (an empty answer cancels), keeps what it was
// asked, and gives folder callbacks a message-only window that records what they send it:
// BFFM_SETSELECTIONA and BFFM_SETSTATUSTEXTA with their text, BFFM_ENABLEOK with its flag.
// Installed for its lifetime. User-interface thread only.
class RecordingChooser : public ChooserSeam
{
public:
    struct Sent
    {
        UINT message;
        std::string text; // the path or status text
        LPARAM value;     // BFFM_ENABLEOK's flag
    };

    RecordingChooser()
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &RecordingChooser::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "RecordingChooserWindow";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "RecordingChooserWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        previous_ = Install(this);
    }
    ~RecordingChooser() override
    {
        Install(previous_);
        DestroyWindow(window_);
    }
    RecordingChooser(const RecordingChooser&) = delete;
    RecordingChooser& operator=(const RecordingChooser&) = delete;

    int Answer(const Request& request, std::string& path) override
    {
        requests.push_back(request);
        if (answers.empty())
            return 0;
        path = answers.front();
        answers.pop_front();
        return path.empty() ? 0 : 1;
    }
    HWND FolderWindow() override { return window_; }

    std::deque<std::string> answers;
    std::vector<Request> requests;
    std::vector<Sent> sent;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<RecordingChooser*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && (message == BFFM_SETSELECTIONA || message == BFFM_SETSTATUSTEXTA))
        {
            self->sent.push_back(
                {message, lParam ? reinterpret_cast<const char*>(lParam) : "", static_cast<LPARAM>(wParam)});
            return 0;
        }
        if (self && message == BFFM_ENABLEOK)
        {
            self->sent.push_back({message, "", lParam});
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    ChooserSeam* previous_ = nullptr;
};
