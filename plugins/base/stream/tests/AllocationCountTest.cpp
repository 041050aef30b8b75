// Once streaming has started, neither the host's calls nor the driver's switches allocate:
// this executable counts every operator new, and the platform counts its heap allocations.

#include "plugins/base/stream/AudioStream.h"

#include "plugins/base/stream/tests/StreamTestSupport.h"
#include "tests/support/CountingNew.h"

#include <atomic>

namespace
{

class CountingPlatform : public Platform
{
public:
    CountingPlatform() : Platform(0x10000) {}
    void* Alloc(size_t bytes) override
    {
        ++allocations;
        return Platform::Alloc(bytes);
    }
    void* AllocZeroed(size_t bytes) override
    {
        ++allocations;
        return Platform::AllocZeroed(bytes);
    }
    void* VirtualAllocate(size_t bytes) override
    {
        ++allocations;
        return Platform::VirtualAllocate(bytes);
    }
    std::atomic<long> allocations{0};
};

TEST(AllocationCount, HostAndSwitchPathsAllocateNothingOnceStreaming)
{
    DestroyPlatform();
    {
        CountingPlatform platform;
        ASSERT_EQ(ThePlatform(), &platform);
        const long newCallsBefore = gNewCalls.load();
        constexpr int32_t kFrames = 64;
        PlatformLock listLock;
        platform.InitLock(&listLock);
        FakeDriver driver(kFrames, kSampleTypeInt16LSB, true);
        std::vector<float> left(50 * kFrames, 0.25f), right(50 * kFrames, -0.25f);
        const float* inputs[] = {left.data(), right.data()};
        std::vector<float> outLeft(50 * kFrames), outRight(50 * kFrames);
        float* outputs[] = {outLeft.data(), outRight.data()};
        {
            AudioStream stream(kFrames, &listLock);
            ASSERT_TRUE(stream.Allocate(kFrames));
            stream.AttachDriverBuffers(driver.Buffers());
            stream.SetProcessLevel(1);
            stream.WriteHostInput(inputs, kFrames);
            stream.OnSwitch(0);
            stream.ReadHostOutput(outputs, kFrames);
            // Allocating a stream does allocate; this check would fail if counting did not work.
            ASSERT_GT(gNewCalls.load(), newCallsBefore);
            ASSERT_GT(platform.allocations.load(), 0);

            const long newCalls = gNewCalls.load();
            const long heapCalls = platform.allocations.load();
            for (int k = 0; k < 3000; ++k)
            {
                // Uneven calls, oversized calls, trims, overflows on both sides, underruns,
                // offline switches with their event, resets and level reads.
                const int32_t n = k % 97 == 0 ? 40 * kFrames : 1 + (k * 37) % (3 * kFrames);
                stream.SetLatency(k % 4);
                if (k % 500 < 400)
                    stream.TrimQueues();
                if (k % 300 < 250)
                    stream.WriteHostInput(inputs, n);
                if (k % 700 < 500)
                    stream.ReadHostOutput(outputs, n);
                stream.SetProcessLevel(k % 1000 < 900 ? 1 : 4);
                stream.OnSwitch(k & 1);
                stream.WaitForSwitch(0);
                if (k % 1000 == 999)
                    stream.Reset(k % 2000 == 999);
                stream.TakeLevel(k % 4);
            }
            EXPECT_EQ(gNewCalls.load(), newCalls);
            EXPECT_EQ(platform.allocations.load(), heapCalls);
        }
        platform.DeleteLock(&listLock);
    }
    CreatePlatform(0x10000);
}

} // namespace
