#include "framework/platform/cursor/Cursor.h"
#include "framework/platform/FrameworkModule.h"

namespace
{
LPCSTR StandardId(int kind)
{
    switch (kind)
    {
    case Cursor::Arrow:
        return IDC_ARROW;
    case Cursor::Wait:
        return IDC_WAIT;
    case Cursor::NotAllowed:
        return IDC_NO;
    case Cursor::SizeNorthSouth:
        return IDC_SIZENS;
    case Cursor::SizeWestEast:
        return IDC_SIZEWE;
    default:
        return nullptr;
    }
}
} // namespace

// The cursor handle; shared with the system, so never destroyed.
class CursorImpl : public Object
{
public:
    HCURSOR handle_ = nullptr;
};

Cursor::Cursor() : impl_(new CursorImpl()) {}

Cursor::~Cursor()
{
    delete impl_;
}

int Cursor::Load(int resourceId)
{
    return Load(FrameworkModule(), resourceId);
}

int Cursor::Load(HMODULE module, int resourceId)
{
    HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCEA(resourceId & 0xFFFF));
    if (!cursor)
        return 0;
    impl_->handle_ = cursor;
    return 1;
}

int Cursor::LoadStandard(int kind)
{
    if (LPCSTR id = StandardId(kind))
    {
        if (HCURSOR cursor = LoadCursorA(nullptr, id))
            impl_->handle_ = cursor;
    }
    return impl_->handle_ ? 1 : 0;
}

void Cursor::Apply() const
{
    if (impl_->handle_)
        SetCursor(impl_->handle_);
}

HCURSOR Cursor::Handle() const
{
    return impl_->handle_;
}

int Cursor::GetPosition(int& x, int& y)
{
    POINT point = {};
    if (!GetCursorPos(&point))
        return 0;
    x = point.x;
    y = point.y;
    return 1;
}

int Cursor::SetPosition(int x, int y)
{
    return SetCursorPos(x, y) ? 1 : 0;
}

void Cursor::SetShape(int kind)
{
    if (kind >= Arrow && kind <= NotAllowed)
        SetCursor(LoadCursorA(nullptr, StandardId(kind)));
}

void Cursor::Hide()
{
    ShowCursor(FALSE);
}

void Cursor::Show()
{
    ShowCursor(TRUE);
}
