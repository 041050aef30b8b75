#include "framework/platform/graphics/AnsiText.h"

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
