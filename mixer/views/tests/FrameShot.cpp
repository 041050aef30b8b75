// The main frame as a person sees it: the shipped mixer skin's frame with its toolbars, the
// main section and the session name, for hardware with the card and its sync card, a modified
// session. It prints "shown" once the frame is up; panel-shot takes the screenshot then.
#include <windows.h>

#include <cstdio>

#include "mixer/views/FrameApp.h"
#include "mixer/views/tests/RecordingMainWindow.h"

int main()
{
    using namespace viewstest;
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
    std::printf("shown\n");
    std::fflush(stdout);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
    {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}
