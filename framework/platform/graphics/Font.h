#pragma once

#include "framework/platform/graphics/FontInterface.h"

#include "framework/platform/Win32Api.h"

class FontImpl;

// A GDI font named by family kind, style bits and point size.
class Font : public FontInterface
{
public:
    enum Family
    {
        FamilyArial = 1,
        FamilyCourierNew = 2,
        FamilyTimesNewRoman = 3
    };
    enum Style
    {
        StyleBold = 1,
        StyleItalic = 2,
        StyleUnderline = 4,
        StyleStrikeout = 8
    };

    Font();
    ~Font() override;
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // A font of the same family, style and size; null when it cannot be made.
    Font* Clone() const override;

    // Any other family kind takes the system's default face. 0 when GDI made no font.
    int Create(int familyKind, int styleBits, int pointSize);

    int Height() const override;
    int TextWidth(const StringRef& text) const override;
    void GetExtent(const StringRef& text, int& width, int& height) const override;
    int FitCount(const StringRef& text, int width) const override;
    int MeasureWrapped(const StringRef& text, int width) const override;
    int StyleBits() const override;

    HFONT Handle() const;

private:
    FontImpl* impl_; // owned
};
