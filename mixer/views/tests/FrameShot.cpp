// The main frame as a person sees it: the shipped mixer skin's frame with its toolbars, the
// main section and the session name, for hardware with the card and its sync card, a modified
// session. On the way it shows the compact main section, checks that it painted itself
// whole (what the screen shows equals what a forced repaint shows) and keeps its picture as
// shots/mixer-compact.png; then it goes back to the full section, checks that as well and
// prints "shown" once the frame is up; panel-shot takes the screenshot then.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "mixer/views/FrameApp.h"
#include "mixer/views/FrameLayout.h"
#include "mixer/views/tests/RecordingMainWindow.h"
#include "tests/support/MessagePump.h"
#include "tests/support/ScreenPixels.h"

namespace
{
// Lets every posted message, move and paint of the frame run.
void Settle()
{
    const DWORD start = ::GetTickCount();
    PumpUntil([&] { return ::GetTickCount() - start >= 1500; }, 3000);
}

// The frame's main section: its child with id 10 (the caption buttons' panel has that id too;
// the section is the taller one).
HWND MainSection(HWND frame)
{
    HWND found = nullptr;
    LONG foundHeight = 0;
    for (HWND child = ::GetWindow(frame, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        RECT rect = {};
        ::GetWindowRect(child, &rect);
        if (::GetDlgCtrlID(child) == 10 && rect.bottom - rect.top > foundHeight)
        {
            found = child;
            foundHeight = rect.bottom - rect.top;
        }
    }
    return found;
}

// How many of the section's pixels a forced repaint changes. Its meters move on their own, a
// few hundred pixels at most; a section left unpainted changes nearly all of them.
bool PaintedWhole(HWND frame, const char* form)
{
    HWND section = MainSection(frame);
    RECT rect = {};
    if (!section || !::GetWindowRect(section, &rect))
    {
        std::printf("the %s main section is missing\n", form);
        return false;
    }
    const std::vector<DWORD> before = ScreenPixels(rect);
    ::RedrawWindow(section, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpUntil([] { return false; }, 200);
    const std::vector<DWORD> after = ScreenPixels(rect);
    size_t changed = 0;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i)
        changed += before[i] != after[i];
    std::printf("%s main section %ldx%ld: %zu of %zu pixels change on a forced repaint\n", form, rect.right - rect.left,
                rect.bottom - rect.top, changed, before.size());
    return !before.empty() && before.size() == after.size() && changed * 20 < before.size();
}

std::wstring ShotPath(const char* name)
{
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    // The program lies in <build>/mixer/views; the run's shots in <build>/shots.
    const std::filesystem::path shots = std::filesystem::path(self).parent_path() / ".." / ".." / "shots";
    std::error_code error;
    std::filesystem::create_directories(shots, error);
    return (shots / name).wstring();
}
} // namespace

int main()
{
    using namespace viewstest;
    if (FAILED(::CoInitialize(nullptr)))
        return 1;
    RecordingLink link;
    ModelServices services({0, 3});
    link.services = &services;
    if (!LoadMixerSkin(link.skin) || !link.settings.Open("HKEY_CURRENT_USER", Text("Software\\KivViewsTest\\Shot"), 1))
    {
        std::printf("the skin or the settings could not be opened\n");
        return 1;
    }
    const String dirty = Text("yes");
    link.settings.WriteString(u"DirtySession", &dirty);
    link.sessionName = "Evening mix.session";
    FrameApp frame;
    if (!frame.Create(&link, 1))
    {
        std::printf("the frame could not be made\n");
        return 1;
    }
    Settle();
    // "Compact", as the main section's button asks for it.
    frame.SetViewMode(FrameLayout::kModeMainFirst);
    Settle();
    if (!PaintedWhole(frame.GetHandle(), "compact") || !SaveScreenPicture(ShotPath("mixer-compact.png")))
        return 1;
    frame.SetViewMode(FrameLayout::kModeMainSecond);
    Settle();
    if (!PaintedWhole(frame.GetHandle(), "full"))
        return 1;
    std::printf("shown\n");
    std::fflush(stdout);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    ::CoUninitialize();
    return 0;
}
