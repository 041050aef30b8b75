#pragma once

#include "framework/base/Object.h"
#include "framework/platform/Win32Api.h"

class CursorImpl;

// A cursor shape (shared, never destroyed: resource and system cursors) and the pointer.
class Cursor : public Object
{
public:
    enum Kind
    {
        Arrow = 1,
        Wait = 2,
        NotAllowed = 3,
        SizeNorthSouth = 4,
        SizeWestEast = 5
    };

    Cursor();
    ~Cursor() override;
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    // From the program's resources (or module's); the low 16 bits of the id count. Answers
    // whether a cursor came back; on failure the held one stays.
    int Load(int resourceId);
    int Load(HMODULE module, int resourceId);
    // Kinds 1-5; any other kind keeps the held cursor. Answers whether one is held.
    int LoadStandard(int kind);
    // Shows the held cursor (nothing without one).
    void Apply() const;
    HCURSOR Handle() const;

    static int GetPosition(int& x, int& y); // screen coordinates
    static int SetPosition(int x, int y);
    // Kinds 1-3 only; others do nothing.
    static void SetShape(int kind);
    static void Hide();
    static void Show();

private:
    CursorImpl* impl_; // owned
};
