#pragma once

#include <cstdint>

// Cards with feature 4 cannot run at 192 kHz under an old kernel driver. The driver of
// version a.b.c.d is old when (a, b, d) comes before (5, 12, 1022) in that order; c plays no
// part. A version that could not be read (read = 0, as SystemInfo::GetDriverVersion answers)
// counts as new.
bool IsOldDriver(int read, uint32_t a, uint32_t b, uint32_t c, uint32_t d);
