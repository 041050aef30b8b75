#pragma once

#include "framework/base/String.h"
#include "framework/platform/Win32Api.h"

// GUIDs as text ("{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}") and new ones. Each answers 1 on
// success.
class Guid
{
public:
    static int FromString(const String& text, GUID& out);
    static int ToString(const GUID& guid, String& out);
    static int Create(GUID& out);
};
