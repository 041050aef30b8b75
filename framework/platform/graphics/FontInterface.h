#pragma once

#include "framework/base/Object.h"
#include "framework/base/StringRef.h"

// What controls and dialogs ask of a font, whichever kind it is.
class FontInterface : public Object
{
public:
    enum Kind
    {
        KindGdi = 0,
        KindBitmap = 1
    };

    explicit FontInterface(int kind) : kind_(kind) {}

    int GetKind() const { return kind_; }
    // Bold, italic, underline and strike-out bits of a system font; 0 for a bitmap font.
    virtual int StyleBits() const { return 0; }

    virtual int Height() const = 0;
    virtual int TextWidth(const StringRef& text) const = 0;
    virtual void GetExtent(const StringRef& text, int& width, int& height) const = 0;
    // How many characters from the start of the text fit into width pixels.
    virtual int FitCount(const StringRef& text, int width) const = 0;
    // Height of the text broken into lines of width pixels.
    virtual int MeasureWrapped(const StringRef& text, int width) const = 0;

protected:
    // Breaks the text at blanks into lines that fit (FitCount), a word longer than a line
    // taking a line of its own; texts above 300 characters get one more line per 300.
    int WrappedHeight(const StringRef& text, int width) const;

private:
    int kind_;
};
