#pragma once
// The module (plug-in file or test program) the toolkit is linked into: its bitmaps are
// resources of it and its window class is named after it.

#include <windows.h>

HINSTANCE GetGuiModule();
