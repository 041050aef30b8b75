#pragma once

#include "framework/base/String.h"

#include <vector>

class FontInterface;

// Breaks a message into lines of a given width for the message box. Breaks fall after
// punctuation and closing brackets and before white space; a sentence end ('!', '.', '?')
// also ends its line and leaves an empty line before the next sentence. A word wider than
// the width stands alone on its line.
class TextLayout
{
public:
    // Appends the lines to lines and answers the width they need: wrapWidth, or the widest
    // line when one is wider. 0 lines for an empty text; -1 when a line could not be stored.
    static int WrapLines(int wrapWidth, const String& text, std::vector<String>& lines, const FontInterface& font);

    // One piece of the text: [start, end) is measured, up to next is appended.
    struct Piece
    {
        int start = 0;
        int end = 0;
        int next = 0;
        int lineBreak = 0; // a sentence end: an empty line follows
    };
    // The piece that begins at start; 0 when start is at or past the end.
    static int NextBreak(const String& text, int start, Piece& piece);
};
