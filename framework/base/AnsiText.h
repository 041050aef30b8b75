#pragma once

#include "framework/base/StringRef.h"

#include <string>

// The text in the system's ANSI code page, for the 8-bit Win32 calls; empty when it cannot
// be converted.
std::string AnsiText(const StringRef& text);
