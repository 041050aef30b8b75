#pragma once

#include "framework/base/Object.h"
#include "framework/base/StringRef.h"

#include "framework/platform/Win32Api.h"

// The GDI side of a Font: the logical font, its handle and the measured line height.
// Text is measured on the screen context in the ANSI code page.
class FontImpl : public Object
{
public:
    FontImpl() = default;
    ~FontImpl() override;
    FontImpl(const FontImpl&) = delete;
    FontImpl& operator=(const FontImpl&) = delete;

    int Create(int familyKind, int styleBits, int pointSize);
    int FamilyKind() const { return familyKind_; }
    int StyleBits() const { return styleBits_; }
    int PointSize() const { return pointSize_; }
    int LineHeight() const { return lineHeight_; }
    HFONT Handle() const { return handle_; }

    void GetExtent(const StringRef& text, int& width, int& height) const;
    int FitCount(const StringRef& text, int width) const;

private:
    LOGFONTA logFont_ = {};
    HFONT handle_ = nullptr; // owned
    int familyKind_ = 1;
    int styleBits_ = 0;
    int pointSize_ = 10;
    int lineHeight_ = 10;
};
