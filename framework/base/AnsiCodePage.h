#pragma once

// Conversion between 8-bit text in the system's ANSI code page and UTF-16: through
// GetACP / MultiByteToWideChar / WideCharToMultiByte on Windows; elsewhere a Windows-1252
// table stands in. Counts exclude any terminator; nothing is terminated here.
namespace AnsiCodePage
{
// out null: the number of units needed (0 on failure). Otherwise the number written,
// 0 when the result does not fit in room units or the conversion fails.
int ToWide(const char* bytes, int count, char16_t* out, int room);

// The same from UTF-16 to bytes; units the code page lacks are replaced.
int FromWide(const char16_t* units, int count, char* out, int room);
} // namespace AnsiCodePage
