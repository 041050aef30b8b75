// Stands in for the mixer program in the launch tests: writes "<its own name>.launched" beside
// itself with the command line it was given, and ends.

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
    char marker[MAX_PATH + 16] = {};
    std::snprintf(marker, sizeof(marker), "%s.launched", self);
    FILE* file = std::fopen(marker, "w");
    if (!file)
    {
        return 1;
    }
    std::fputs(GetCommandLineA(), file);
    std::fclose(file);
    return 0;
}
