#include "mixer/dialogs/OldDriverRule.h"

#include <tuple>

bool IsOldDriver(int read, uint32_t a, uint32_t b, uint32_t, uint32_t d)
{
    return read && std::make_tuple(a, b, d) < std::make_tuple(5u, 12u, 1022u);
}
