#pragma once
// The engine's sample-rate codes: 0 44.1, 1 48, 2 96, 3 192, 4 88.2, 5 176.4 kHz.

// The rate family of a code: 0 for 44.1/48, 1 for 88.2/96, 2 for 176.4/192 kHz; -1 for a
// code the engine does not give.
inline int RateFamily(int rateCode)
{
    switch (rateCode)
    {
    case 0:
    case 1:
        return 0;
    case 2:
    case 4:
        return 1;
    case 3:
    case 5:
        return 2;
    default:
        return -1;
    }
}
