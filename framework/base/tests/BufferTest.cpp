#include "framework/base/Buffer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{

std::vector<uint8_t> PopAll(Buffer& buffer, int count)
{
    std::vector<uint8_t> out(count > 0 ? count : 0);
    out.resize(buffer.Pop(out.data(), count));
    return out;
}

TEST(Buffer, PopsBytesInTheOrderTheyWereGiven)
{
    Buffer buffer(256);
    const uint8_t bytes[] = {1, 2, 3};
    ASSERT_EQ(1, buffer.Unread(bytes, 3));
    EXPECT_EQ(3, buffer.Held());
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), PopAll(buffer, 3));
    EXPECT_EQ(0, buffer.Held());
}

TEST(Buffer, LaterUnreadIsPoppedFirst)
{
    Buffer buffer(256);
    const uint8_t first[] = {1, 2};
    const uint8_t second[] = {3, 4};
    buffer.Unread(first, 2);
    buffer.Unread(second, 2);
    EXPECT_EQ((std::vector<uint8_t>{3, 4, 1, 2}), PopAll(buffer, 4));
}

TEST(Buffer, RefusesWhatDoesNotFit)
{
    Buffer buffer(256);
    std::vector<uint8_t> bytes(257, 7);
    EXPECT_EQ(0, buffer.Unread(bytes.data(), 257));
    EXPECT_EQ(0, buffer.Held());
    EXPECT_EQ(1, buffer.Unread(bytes.data(), 255));
    EXPECT_EQ(0, buffer.Unread(bytes.data(), 2));
    EXPECT_EQ(1, buffer.Unread(bytes.data(), 1));
    EXPECT_EQ(256, buffer.Held());
    EXPECT_EQ(1, buffer.Unread(bytes.data(), 0));
    EXPECT_EQ(0, buffer.Unread(bytes.data(), -1));
    EXPECT_EQ(256, buffer.Held());
}

TEST(Buffer, PopDeliversAtMostWhatIsHeld)
{
    Buffer buffer(256);
    const uint8_t bytes[] = {9, 8};
    buffer.Unread(bytes, 2);
    EXPECT_EQ((std::vector<uint8_t>{9, 8}), PopAll(buffer, 5));
    EXPECT_EQ(0, buffer.Pop(nullptr, 1));
    EXPECT_EQ(0, buffer.Pop(nullptr, -3));
}

TEST(Buffer, PopWithoutTargetDiscards)
{
    Buffer buffer(256);
    const uint8_t bytes[] = {1, 2, 3};
    buffer.Unread(bytes, 3);
    EXPECT_EQ(2, buffer.Pop(nullptr, 2));
    EXPECT_EQ((std::vector<uint8_t>{3}), PopAll(buffer, 3));
}

TEST(Buffer, ClearDropsHeldBytes)
{
    Buffer buffer(4);
    const uint8_t bytes[] = {1, 2, 3, 4};
    buffer.Unread(bytes, 4);
    buffer.Clear();
    EXPECT_EQ(0, buffer.Held());
    EXPECT_EQ(1, buffer.Unread(bytes, 4));
}

TEST(Buffer, ZeroCapacityTakesOnlyEmptyUnreads)
{
    Buffer buffer(0);
    const uint8_t byte = 1;
    EXPECT_EQ(0, buffer.Capacity());
    EXPECT_EQ(1, buffer.Unread(&byte, 0));
    EXPECT_EQ(0, buffer.Unread(&byte, 1));
}

} // namespace
