#include "plugins/base/platform/Platform.h"

#include "plugins/base/platform/AlignedBuffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

namespace
{

// Each test starts without a process-wide instance and leaves none behind.
class PlatformTest : public ::testing::Test
{
protected:
    void SetUp() override { DestroyPlatform(); }
    void TearDown() override { DestroyPlatform(); }
};

TEST_F(PlatformTest, CreateMakesOneInstanceAndDestroyClearsIt)
{
    EXPECT_EQ(ThePlatform(), nullptr);
    PlatformBase* first = CreatePlatform(0x10000);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ThePlatform(), first);
    EXPECT_EQ(first->ReservedBlockSize(), 0x10000u);
    // A second creation keeps the first object and its size.
    EXPECT_EQ(CreatePlatform(0x20000), first);
    EXPECT_EQ(ThePlatform()->ReservedBlockSize(), 0x10000u);
    DestroyPlatform();
    EXPECT_EQ(ThePlatform(), nullptr);
    DestroyPlatform(); // nothing to do
    PlatformBase* fresh = CreatePlatform(4096);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->ReservedBlockSize(), 4096u);
}

TEST_F(PlatformTest, TimeRunsForwardInMicroseconds)
{
    PlatformBase* p = CreatePlatform(0x10000);
    int64_t before = 0, after = 0;
    p->GetTimeMicroseconds(&before);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    p->GetTimeMicroseconds(&after);
    EXPECT_GE(after - before, 15000);
    EXPECT_LT(after - before, 60000000);
}

TEST_F(PlatformTest, MemoryHelpers)
{
    PlatformBase* p = CreatePlatform(0x10000);
    EXPECT_GT(p->AvailablePhysicalMemory(), 0u);

    auto* zeroed = static_cast<unsigned char*>(p->AllocZeroed(100));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(zeroed[i], 0);
    p->Free(zeroed);
    p->Free(nullptr);

    auto* page = static_cast<unsigned char*>(p->VirtualAllocate(10000));
    ASSERT_NE(page, nullptr);
    page[0] = 1;
    page[9999] = 2;
    p->VirtualRelease(page);
    p->VirtualRelease(nullptr);

    char bytes[] = "abcdef";
    EXPECT_EQ(p->MoveBytes(bytes + 1, bytes, 4), bytes + 1);
    EXPECT_STREQ(bytes, "aabcdf");
    EXPECT_EQ(p->ZeroBytes(bytes, 2), 0);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(p->CopyBytes(bytes, "xy", 2), 2u);
    EXPECT_STREQ(bytes, "xybcdf");
}

TEST_F(PlatformTest, SwapBytesReversesUnlessOrderIsOne)
{
    PlatformBase* p = CreatePlatform(0x10000);
    unsigned char data[] = {1, 2, 3, 4, 5};
    p->SwapBytes(data, 4, 1);
    EXPECT_EQ(std::memcmp(data, "\1\2\3\4\5", 5), 0);
    p->SwapBytes(data, 4, 0);
    EXPECT_EQ(std::memcmp(data, "\4\3\2\1\5", 5), 0);
    p->SwapBytes(data, 5, 2);
    EXPECT_EQ(std::memcmp(data, "\5\1\2\3\4", 5), 0);
}

TEST_F(PlatformTest, StringCopiesStayInsideTheirCapacity)
{
    PlatformBase* p = CreatePlatform(0x10000);
    char narrow[8];
    std::memset(narrow, 'z', sizeof narrow);
    EXPECT_EQ(p->CopyString(narrow, "abc"), 4u);
    EXPECT_STREQ(narrow, "abc");
    EXPECT_EQ(p->StringLength("abcde"), 5u);

    std::memset(narrow, 'z', sizeof narrow);
    p->CopyStringN(narrow, "abcdefghij", 5);
    EXPECT_STREQ(narrow, "abcd");
    EXPECT_EQ(narrow[5], 'z');

    PlatformWideChar wide[8];
    ASSERT_EQ(p->ToWide(wide, "Mix L", 8), 6u);
    EXPECT_EQ(p->WideLength(wide), 5u);
    EXPECT_EQ(wide[4], PlatformWideChar('L'));
    EXPECT_EQ(p->ToWide(wide, "too long for it", 8), 0u);

    PlatformWideChar copy[8];
    p->CopyWide(copy, wide);
    EXPECT_EQ(p->WideLength(copy), 5u);
    p->CopyWideN(copy, wide, 3);
    EXPECT_EQ(p->WideLength(copy), 2u);

    char back[8];
    ASSERT_EQ(p->ToNarrow(back, wide, 8), 6u);
    EXPECT_STREQ(back, "Mix L");
    EXPECT_EQ(p->ToNarrow(back, wide, 3), 0u);
}

TEST_F(PlatformTest, MathsOperations)
{
    PlatformBase* p = CreatePlatform(0x10000);
    EXPECT_DOUBLE_EQ(p->Abs(-2.5), 2.5);
    EXPECT_NEAR(p->Log2(8.0), 3.0, 1e-12);
    EXPECT_NEAR(p->Pow2(10.0), 1024.0, 1e-9);
    EXPECT_NEAR(p->Log10(1000.0), 3.0, 1e-12);
    EXPECT_NEAR(p->Pow(3.0, 2.0), 9.0, 1e-12);
    EXPECT_NEAR(p->Sqrt(2.0) * p->Sqrt(2.0), 2.0, 1e-12);
    EXPECT_NEAR(p->Sin(0.5) / p->Cos(0.5), p->Tan(0.5), 1e-12);
    EXPECT_NEAR(p->Exp(1.0), 2.718281828459045, 1e-12);
#if defined(__x86_64__) || defined(_WIN64)
    EXPECT_TRUE(p->HasSse()); // every 64-bit x86 processor has it
#endif
}

TEST_F(PlatformTest, LocksExcludeEachOther)
{
    PlatformBase* p = CreatePlatform(0x10000);
    PlatformLock lock;
    p->InitLock(&lock);
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i)
        {
            p->Lock(&lock);
            ++counter;
            p->Unlock(&lock);
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    p->DeleteLock(&lock);
    EXPECT_EQ(counter, 40000);
}

TEST_F(PlatformTest, SharedMemoryIsSeenThroughItsName)
{
    PlatformBase* p = CreatePlatform(0x10000);
    // Names are machine-wide: the native, sanitizer and Wine runs go side by side.
    const std::string name =
        "KivPlatformTest" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    PlatformHandle created = nullptr, opened = nullptr;
    void* view = nullptr;
    void* other = nullptr;
    ASSERT_TRUE(p->CreateSharedMemoryZeroed(&created, &view, name.c_str(), 4096));
    EXPECT_EQ(static_cast<unsigned char*>(view)[4095], 0);
    std::memcpy(view, "hello", 6);
    ASSERT_TRUE(p->OpenSharedMemory(&opened, &other, name.c_str()));
    EXPECT_STREQ(static_cast<char*>(other), "hello");
    p->CloseSharedMemory(opened, other);
    p->CloseSharedMemory(created, view);
    EXPECT_FALSE(p->OpenSharedMemory(&opened, &other, (name + "Missing").c_str()));
}

TEST_F(PlatformTest, NewBuffersAreOwningCopiesOfUnit16)
{
    PlatformBase* p = CreatePlatform(0x10000);
    std::unique_ptr<AlignedBuffer> from(p->NewBufferFrom("0123456789abcdefXYZ", 19));
    ASSERT_NE(from, nullptr);
    EXPECT_EQ(from->Size(), 19u);
    EXPECT_EQ(from->Capacity(), 32u);
    EXPECT_EQ(std::memcmp(from->Data(), "0123456789abcdefXYZ", 19), 0);

    std::unique_ptr<AlignedBuffer> copy(p->NewBufferCopy(*from));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->Data(), from->Data());
    EXPECT_EQ(std::memcmp(copy->Data(), from->Data(), 19), 0);

    std::unique_ptr<AlignedBuffer> plain(p->NewBuffer(5));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Size(), 5u);
    EXPECT_EQ(plain->Capacity(), 16u);
}

TEST_F(PlatformTest, RandomValuesUseBothHalves)
{
    PlatformBase* p = CreatePlatform(0x10000);
    uint32_t high = 0, low = 0;
    for (int i = 0; i < 64; ++i)
    {
        uint32_t value = p->Random32();
        high |= value >> 16;
        low |= value & 0xffff;
    }
    EXPECT_NE(high, 0u);
    EXPECT_NE(low, 0u);
}

} // namespace
