#include "framework/dialogs/TextLayout.h"

#include "framework/platform/graphics/FontInterface.h"

#include <algorithm>

namespace
{
bool IsBreakAfter(char16_t c)
{
    switch (c)
    {
    case u'\'':
    case u',':
    case u'-':
    case u'.':
    case u'/':
    case u'?':
    case u'|':
    case u'\u3001':
    case u'\u3002':
    case u'\uFF0C':
        return true;
    default:
        return false;
    }
}

bool IsSentenceEnd(char16_t c)
{
    return c == u'!' || c == u'.' || c == u'?';
}

bool IsClosing(char16_t c)
{
    switch (c)
    {
    case u'"':
    case u')':
    case u']':
    case u'}':
    case u'\u226B':
    case u'\u300D':
    case u'\u300F':
    case u'\u3011':
    case u'\uFF09':
    case u'\uFF1E':
        return true;
    default:
        return false;
    }
}

bool IsWhite(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

int Measure(const FontInterface& font, const String& text, int start, int end)
{
    return end > start ? font.TextWidth(StringRef(text.Text() + start, end - start)) : 0;
}

// The width of a line without the white space that ends it.
int LineWidth(const FontInterface& font, const String& line)
{
    int end = line.Length();
    while (end > 0 && IsWhite(line.WideCharAt(end - 1)))
        --end;
    return Measure(font, line, 0, end);
}
} // namespace

int TextLayout::NextBreak(const String& text, int start, Piece& piece)
{
    const int length = text.Length();
    if (start >= length)
        return 0;
    piece.start = start;
    piece.lineBreak = 0;
    int end = length;
    for (int i = start + 1; i < length; ++i)
    {
        const char16_t c = text.WideCharAt(i);
        if (IsSentenceEnd(c))
        {
            end = i + 1;
            piece.lineBreak = 1;
            break;
        }
        if (IsBreakAfter(c) || IsClosing(c))
        {
            end = i + 1;
            break;
        }
        if (IsWhite(c))
        {
            end = i;
            break;
        }
    }
    int next = end;
    while (next < length && IsWhite(text.WideCharAt(next)))
        ++next;
    piece.end = end;
    piece.next = next;
    return 1;
}

int TextLayout::WrapLines(int wrapWidth, const String& text, std::vector<String>& lines, const FontInterface& font)
{
    // Styled system fonts overhang their last character: a blank at the end keeps it whole.
    String source;
    if (!source.Assign(text) ||
        (font.GetKind() == FontInterface::KindGdi && font.StyleBits() != 0 && !source.AppendAsciiChar(' ')))
        return -1;
    const size_t first = lines.size();
    String* current = nullptr;
    int remaining = wrapWidth;
    bool fresh = true;
    bool lastAskedBreak = false;
    Piece piece;
    for (int at = 0; NextBreak(source, at, piece); at = piece.next)
    {
        const int width = Measure(font, source, piece.start, piece.end);
        const StringRef appended(source.Text() + piece.start, piece.next - piece.start);
        bool closeLine = false;
        if (remaining >= width)
        {
            remaining -= width;
        }
        else if (fresh)
        {
            closeLine = true;
        }
        else
        {
            current = nullptr;
            remaining = wrapWidth - width;
        }
        if (!current)
        {
            lines.emplace_back();
            current = &lines.back();
        }
        if (!current->Append(appended))
            return -1;
        if (closeLine)
        {
            current = nullptr;
            remaining = wrapWidth;
        }
        fresh = false;
        lastAskedBreak = piece.lineBreak != 0;
        if (piece.lineBreak)
        {
            lines.emplace_back();
            current = nullptr;
            remaining = wrapWidth;
        }
    }
    if (lastAskedBreak)
        lines.pop_back();
    int widest = wrapWidth;
    for (size_t i = first; i < lines.size(); ++i)
        widest = std::max(widest, LineWidth(font, lines[i]));
    return widest;
}
