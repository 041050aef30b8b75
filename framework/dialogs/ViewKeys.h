#pragma once

// The virtual-key codes the views handle, as the portable models see them.
enum ViewKey
{
    kKeyEnter = 13,
    kKeyEscape = 27,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
};
