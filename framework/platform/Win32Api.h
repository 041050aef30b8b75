#pragma once

// windows.h without the ANSI/wide switch macros whose names the framework's own classes
// use (Graphics::DrawText, FileSystem::CreateDirectory, MessageBox, ...). Framework headers include
// this instead of windows.h; the code calls the A functions by their full names.
#include <windows.h>

#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef DrawText
#undef GetObject
#undef LoadBitmap
#undef MessageBox
#undef RemoveDirectory
#undef TextOut
