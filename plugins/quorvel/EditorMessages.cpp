#include "plugins/quorvel/EditorMessages.h"

#include <cstdlib>

bool CarriesPayload(uint32_t id, uintptr_t wParam)
{
    return (id == kMessagePresetChanged || id == kMessageCategoryChanged || id == kMessageCorePresetsChanged) &&
           wParam <= 2;
}

bool FreeUndeliveredMessage(uint32_t id, uintptr_t wParam, uintptr_t lParam)
{
    if (!CarriesPayload(id, wParam) || lParam == 0)
    {
        return false;
    }
    std::free(reinterpret_cast<void*>(lParam));
    return true;
}
