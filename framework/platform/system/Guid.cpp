#include "framework/platform/system/Guid.h"

#include "framework/base/Win32Text.h"

#include <objbase.h>

int Guid::FromString(const String& text, GUID& out)
{
    return SUCCEEDED(CLSIDFromString(const_cast<LPOLESTR>(AsWin32Text(text.Text())), &out)) ? 1 : 0;
}

int Guid::ToString(const GUID& guid, String& out)
{
    out.Clear();
    LPOLESTR text = nullptr;
    if (FAILED(StringFromCLSID(guid, &text)) || !text)
        return 0;
    int length = 0;
    while (length < 39 && text[length])
        ++length;
    const int assigned = out.Assign(StringRef(reinterpret_cast<const char16_t*>(text), length));
    CoTaskMemFree(text);
    return assigned;
}

int Guid::Create(GUID& out)
{
    return SUCCEEDED(CoCreateGuid(&out)) ? 1 : 0;
}
