#include "plugins/base/platform/AlignedBuffer.h"

#include "plugins/base/platform/tests/PlatformTestSupport.h"

#include <cstring>
#include <string>

namespace
{

using AlignedBufferTest = WithPlatform;

std::string Content(const AlignedBuffer& buffer)
{
    return std::string(static_cast<const char*>(buffer.Data()), buffer.Size());
}

TEST_F(AlignedBufferTest, RoundUpGivesMultiplesOfTheUnit)
{
    AlignedBuffer buffer(0, 16, true, true);
    EXPECT_EQ(buffer.RoundUp(0), 16u);
    EXPECT_EQ(buffer.RoundUp(1), 16u);
    EXPECT_EQ(buffer.RoundUp(17), 32u);
    EXPECT_EQ(buffer.RoundUp(32), 32u);
    EXPECT_EQ(buffer.Capacity(), 16u);
    EXPECT_EQ(buffer.Size(), 0u);
    EXPECT_TRUE(buffer.IsValid());
}

TEST_F(AlignedBufferTest, AppendInsertAndEraseKeepTheBytesInOrder)
{
    AlignedBuffer buffer("0123456789", 10, 16, true);
    ASSERT_TRUE(buffer.Append("abcdefghij", 10));
    EXPECT_EQ(Content(buffer), "0123456789abcdefghij");
    EXPECT_EQ(buffer.Capacity(), 32u);

    ASSERT_TRUE(buffer.Insert(3, "XY", 2));
    EXPECT_EQ(Content(buffer), "012XY3456789abcdefghij");
    ASSERT_TRUE(buffer.Insert(buffer.Size(), "!", 1));
    EXPECT_EQ(Content(buffer), "012XY3456789abcdefghij!");
    EXPECT_FALSE(buffer.Insert(buffer.Size() + 1, "?", 1));
    EXPECT_FALSE(buffer.Insert(0, "?", 0));

    ASSERT_TRUE(buffer.Erase(3, 2));
    EXPECT_EQ(Content(buffer), "0123456789abcdefghij!");
    ASSERT_TRUE(buffer.Erase(4, 16));
    EXPECT_EQ(Content(buffer), "0123!");
    // The smaller content moved into a smaller block.
    EXPECT_EQ(buffer.Capacity(), 16u);
    // A range past the end changes nothing.
    EXPECT_FALSE(buffer.Erase(3, 3));
    EXPECT_FALSE(buffer.Erase(0, 0));
    EXPECT_EQ(Content(buffer), "0123!");
}

TEST_F(AlignedBufferTest, ResizeAndReserveMoveTheContent)
{
    AlignedBuffer buffer("abcdef", 6, 16, true);
    ASSERT_TRUE(buffer.Resize(40));
    EXPECT_EQ(buffer.Size(), 40u);
    EXPECT_EQ(buffer.Capacity(), 48u);
    EXPECT_EQ(std::memcmp(buffer.Data(), "abcdef", 6), 0);
    EXPECT_EQ(static_cast<const char*>(buffer.Data())[39], 0);

    ASSERT_TRUE(buffer.Resize(3));
    EXPECT_EQ(Content(buffer), "abc");
    EXPECT_EQ(buffer.Capacity(), 16u);

    ASSERT_TRUE(buffer.Reserve(100));
    EXPECT_EQ(buffer.Capacity(), 112u);
    EXPECT_EQ(Content(buffer), "abc");
    EXPECT_FALSE(buffer.Reserve(2));
}

TEST_F(AlignedBufferTest, CopyConstructorsTakeTheBytes)
{
    AlignedBuffer source("hello", 5, 16, true);
    AlignedBuffer copy(source, 16, true);
    EXPECT_EQ(Content(copy), "hello");
    EXPECT_NE(copy.Data(), source.Data());
}

TEST_F(AlignedBufferTest, FailedAllocationKeepsTheOldContent)
{
    DestroyPlatform();
    FailingPlatform platform;
    ASSERT_EQ(ThePlatform(), &platform);

    AlignedBuffer buffer("0123456789abcdef", 16, 16, true);
    const void* before = buffer.Data();
    platform.failing = true;

    EXPECT_FALSE(buffer.Append("XYZ", 3));
    EXPECT_FALSE(buffer.Insert(4, "XYZ", 3));
    EXPECT_FALSE(buffer.Resize(100));
    EXPECT_FALSE(buffer.Reserve(100));
    EXPECT_TRUE(buffer.IsValid());
    EXPECT_EQ(buffer.Data(), before);
    EXPECT_EQ(Content(buffer), "0123456789abcdef");

    platform.failing = false;
    ASSERT_TRUE(buffer.Append("0123456789abcdef", 16));
    platform.failing = true;
    // Erasing still works when the smaller block cannot be had.
    ASSERT_TRUE(buffer.Erase(2, 20));
    EXPECT_EQ(Content(buffer), "016789abcdef");
    EXPECT_TRUE(buffer.IsValid());

    AlignedBuffer none(8, 16, false, true);
    EXPECT_FALSE(none.IsValid());
    EXPECT_FALSE(none.Append("x", 1));
    EXPECT_EQ(platform.NewBuffer(8), nullptr);
    platform.failing = false;
}

} // namespace
