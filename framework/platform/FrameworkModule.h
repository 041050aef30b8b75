#pragma once
// The module the framework is linked into: the program, or a plug-in file loaded into a
// host's process. Its window classes and resources belong to that module, never to the
// host's program, which GetModuleHandleA(nullptr) would name.

#include "framework/platform/Win32Api.h"

HMODULE FrameworkModule();
