#include "framework/platform/graphics/FontInterface.h"

namespace
{
bool IsBlank(char16_t unit)
{
    return unit == u' ';
}
} // namespace

int FontInterface::WrappedHeight(const StringRef& text, int width) const
{
    const char16_t* units = text.Buffer();
    const int length = text.Length();
    const int lineHeight = Height();
    const int extra = length > 300 ? length / 300 * lineHeight : 0;
    int height = lineHeight;
    int position = 0;
    while (position < length)
    {
        const int rest = length - position;
        const char16_t* line = units + position;
        const int fit = FitCount(StringRef(line, rest), width);
        if (fit >= rest)
            break;

        int lineBreak = 0;
        if (fit == rest - 1 || IsBlank(line[fit]) || (fit + 1 < rest && IsBlank(line[fit + 1])))
        {
            lineBreak = fit;
        }
        else
        {
            int blank = fit - 1;
            while (blank >= 0 && !IsBlank(line[blank]))
                --blank;
            lineBreak = blank >= 0 ? blank + 1 : 0;
        }

        if (lineBreak <= 0)
        {
            // Not even one word fits: the word takes the line, with the blanks after it.
            int next = position;
            while (next < length && !IsBlank(units[next]))
                ++next;
            while (next < length && IsBlank(units[next]))
                ++next;
            position = next;
        }
        else
        {
            position += lineBreak;
        }
        if (position >= length)
            break;
        height += lineHeight;
    }
    return height + extra;
}
