#include "framework/platform/cursor/Cursor.h"

#include <gtest/gtest.h>

namespace
{
HCURSOR System(LPCSTR id)
{
    return LoadCursorA(nullptr, id);
}

TEST(Cursor, StandardShapesAndPosition)
{
    Cursor cursor;
    EXPECT_EQ(cursor.LoadStandard(7), 0);
    EXPECT_EQ(cursor.Handle(), nullptr);
    ASSERT_EQ(cursor.LoadStandard(Cursor::SizeWestEast), 1);
    EXPECT_EQ(cursor.Handle(), System(IDC_SIZEWE));
    // An unknown kind keeps the held cursor.
    EXPECT_EQ(cursor.LoadStandard(7), 1);
    EXPECT_EQ(cursor.Handle(), System(IDC_SIZEWE));
    cursor.Apply();
    EXPECT_EQ(GetCursor(), System(IDC_SIZEWE));
    // A missing resource keeps it too.
    EXPECT_EQ(cursor.Load(4711), 0);
    EXPECT_EQ(cursor.Handle(), System(IDC_SIZEWE));

    Cursor::SetShape(Cursor::Wait);
    EXPECT_EQ(GetCursor(), System(IDC_WAIT));
    Cursor::SetShape(Cursor::SizeNorthSouth); // only kinds 1-3
    EXPECT_EQ(GetCursor(), System(IDC_WAIT));
    Cursor::SetShape(Cursor::NotAllowed);
    EXPECT_EQ(GetCursor(), System(IDC_NO));

    ASSERT_EQ(Cursor::SetPosition(123, 234), 1);
    int x = 0, y = 0;
    ASSERT_EQ(Cursor::GetPosition(x, y), 1);
    EXPECT_EQ(x, 123);
    EXPECT_EQ(y, 234);
}

} // namespace
