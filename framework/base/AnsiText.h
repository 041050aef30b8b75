#pragma once

#include "framework/base/StringRef.h"

#include <string>

// Text in the system's ANSI code page, for the 8-bit Win32 calls: the one conversion from our
// UTF-16 text that the framework uses. Units the code page lacks are replaced.

// Empty when the text cannot be converted.
std::string AnsiText(const StringRef& text);

// Into out, terminated, when it fits in room bytes with the terminator; otherwise false and
// out is left empty (when room allows a terminator at all).
bool AnsiTextToBuffer(const StringRef& text, char* out, int room);
