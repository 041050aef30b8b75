#include "framework/base/AnsiText.h"

#include "framework/base/AnsiCodePage.h"

std::string AnsiText(const StringRef& text)
{
    if (text.Length() == 0)
        return std::string();
    const int count = AnsiCodePage::FromWide(text.Buffer(), text.Length(), nullptr, 0);
    if (count <= 0)
        return std::string();
    std::string bytes(static_cast<size_t>(count), '\0');
    if (AnsiCodePage::FromWide(text.Buffer(), text.Length(), &bytes[0], count) != count)
        return std::string();
    return bytes;
}

bool AnsiTextToBuffer(const StringRef& text, char* out, int room)
{
    if (!out || room <= 0)
        return false;
    out[0] = 0;
    if (text.Length() == 0)
        return true;
    const int needed = AnsiCodePage::FromWide(text.Buffer(), text.Length(), nullptr, 0);
    if (needed <= 0 || needed >= room)
        return false;
    if (AnsiCodePage::FromWide(text.Buffer(), text.Length(), out, room - 1) != needed)
    {
        out[0] = 0;
        return false;
    }
    out[needed] = 0;
    return true;
}
