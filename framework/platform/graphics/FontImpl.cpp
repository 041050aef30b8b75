#include "framework/platform/graphics/FontImpl.h"

#include "framework/base/AnsiText.h"
#include "framework/platform/graphics/ScreenContext.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

namespace
{
// Selects the font into the screen context for one measurement.
class MeasuringContext
{
public:
    explicit MeasuringContext(HFONT font)
    {
        if (screen_.Get() && font)
            previous_ = SelectObject(screen_.Get(), font);
    }
    ~MeasuringContext()
    {
        if (previous_)
            SelectObject(screen_.Get(), previous_);
    }
    HDC Get() const { return previous_ ? screen_.Get() : nullptr; }

private:
    ScreenContext screen_;
    HGDIOBJ previous_ = nullptr;
};
} // namespace

FontImpl::~FontImpl()
{
    if (handle_)
        DeleteObject(handle_);
}

int FontImpl::Create(int familyKind, int styleBits, int pointSize)
{
    int pixelsPerInch = 96;
    {
        ScreenContext screen;
        if (screen.Get())
            pixelsPerInch = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    LOGFONTA logFont = {};
    // In 64 bits: the product overflows 32 bits from about 22 million points at 96 pixels
    // per inch; what is beyond a LONG is cut to it.
    const int64_t pixels = static_cast<int64_t>(pixelsPerInch) * pointSize / 72;
    logFont.lfHeight = static_cast<LONG>(-std::max<int64_t>(-LONG_MAX, std::min<int64_t>(pixels, LONG_MAX)));
    logFont.lfWeight = (styleBits & 1) ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = (styleBits & 2) ? 1 : 0;
    logFont.lfUnderline = (styleBits & 4) ? 1 : 0;
    logFont.lfStrikeOut = (styleBits & 8) ? 1 : 0;
    const char* face = nullptr;
    switch (familyKind)
    {
    case 1:
        face = "Arial";
        break;
    case 2:
        face = "Courier New";
        break;
    case 3:
        face = "Times New Roman";
        break;
    default:
        break;
    }
    if (face)
    {
        std::strcpy(logFont.lfFaceName, face);
        logFont.lfPitchAndFamily = 0x20;
    }
    HFONT handle = CreateFontIndirectA(&logFont);
    if (!handle)
        return 0;
    if (handle_)
        DeleteObject(handle_);
    handle_ = handle;
    logFont_ = logFont;
    familyKind_ = familyKind;
    styleBits_ = styleBits;
    pointSize_ = pointSize;
    int width = 0, height = 0;
    GetExtent(u"TEST", width, height);
    if (height > 0)
        lineHeight_ = height;
    return 1;
}

void FontImpl::GetExtent(const StringRef& text, int& width, int& height) const
{
    width = 0;
    height = 0;
    MeasuringContext context(handle_);
    if (!context.Get())
        return;
    const std::string bytes = AnsiText(text);
    SIZE size = {};
    if (GetTextExtentPoint32A(context.Get(), bytes.c_str(), static_cast<int>(bytes.size()), &size))
    {
        width = size.cx;
        height = size.cy;
    }
}

int FontImpl::FitCount(const StringRef& text, int width) const
{
    MeasuringContext context(handle_);
    if (!context.Get())
        return 0;
    const std::string bytes = AnsiText(text);
    int fit = 0;
    SIZE size = {};
    if (!GetTextExtentExPointA(context.Get(), bytes.c_str(), static_cast<int>(bytes.size()), width, &fit, nullptr,
                               &size))
        return 0;
    return fit;
}
