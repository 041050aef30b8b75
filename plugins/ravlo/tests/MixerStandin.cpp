// Stands in for the mixer program in the launch tests: writes "<its own name>.launched" beside
// itself with the command line it was given, and ends. The marker is written under another name
// and renamed when closed, so a test that sees it can read or remove it at once (an open file
// cannot be removed on Windows).

#include <windows.h>

#include <cstdio>
#include <cstring>

int main()
{
    char self[MAX_PATH] = {};
    if (!GetModuleFileNameA(nullptr, self, sizeof(self)))
    {
        return 1;
    }
    char writing[MAX_PATH + 16] = {};
    char marker[MAX_PATH + 16] = {};
    std::snprintf(writing, sizeof(writing), "%s.launching", self);
    std::snprintf(marker, sizeof(marker), "%s.launched", self);
    FILE* file = std::fopen(writing, "w");
    if (!file)
    {
        return 1;
    }
    std::fputs(GetCommandLineA(), file);
    std::fclose(file);
    return MoveFileExA(writing, marker, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
