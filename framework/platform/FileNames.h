#pragma once
// The rule a user-typed name must meet to become one file or folder name, portable so the
// programs' own name rules can be checked without Windows.

// Not empty, no separators, wildcards or control characters, not "." or "..", no trailing
// dot or blank, no device name ("NUL", "com1.txt").
bool IsPlainFileName(const char16_t* units, int length);
