#include "framework/platform/graphics/Font.h"

#include "framework/platform/graphics/FontImpl.h"

#include <new>

Font::Font() : FontInterface(KindGdi), impl_(new FontImpl()) {}

Font::~Font()
{
    delete impl_;
}

Font* Font::Clone() const
{
    Font* copy = new (std::nothrow) Font();
    if (copy && !copy->Create(impl_->FamilyKind(), impl_->StyleBits(), impl_->PointSize()))
    {
        delete copy;
        return nullptr;
    }
    return copy;
}

int Font::StyleBits() const
{
    return impl_->StyleBits();
}

int Font::Create(int familyKind, int styleBits, int pointSize)
{
    return impl_->Create(familyKind, styleBits, pointSize);
}

int Font::Height() const
{
    return impl_->LineHeight();
}

int Font::TextWidth(const StringRef& text) const
{
    int width = 0, height = 0;
    impl_->GetExtent(text, width, height);
    return width;
}

void Font::GetExtent(const StringRef& text, int& width, int& height) const
{
    impl_->GetExtent(text, width, height);
}

int Font::FitCount(const StringRef& text, int width) const
{
    return impl_->FitCount(text, width);
}

int Font::MeasureWrapped(const StringRef& text, int width) const
{
    return WrappedHeight(text, width);
}

HFONT Font::Handle() const
{
    return impl_->Handle();
}
