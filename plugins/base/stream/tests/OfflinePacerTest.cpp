#include "plugins/base/stream/OfflinePacer.h"

#include "plugins/base/stream/tests/StreamTestSupport.h"

namespace
{

// A stream of 64-frame buffers running offline: every switch signals one wait.
class OfflinePacerTest : public StreamOnDriver
{
protected:
    static constexpr int32_t kFrames = 64;

    OfflinePacerTest() : StreamOnDriver(kFrames, false) { stream_->SetProcessLevel(kStreamOffline); }

    // A switch for the next wait to take (the event remembers one).
    void Switch() { stream_->OnSwitch(0); }

    OfflinePacer pacer_;
};

TEST_F(OfflinePacerTest, WaitsOnceForEveryDriverBufferAndKeepsTheRest)
{
    // Less than a buffer waits for nothing (without a switch a wait would time out and forget).
    pacer_.Pace(*stream_, kStreamOffline, 40);
    EXPECT_EQ(pacer_.Gathered(), 40);
    // 40 + 40 frames: one switch awaited, 16 kept for the next call.
    Switch();
    pacer_.Pace(*stream_, kStreamOffline, 40);
    EXPECT_EQ(pacer_.Gathered(), 16);
    // A block of exactly one buffer after the kept 16 awaits one more and keeps 16.
    Switch();
    pacer_.Pace(*stream_, kStreamOffline, kFrames);
    EXPECT_EQ(pacer_.Gathered(), 16);
}

TEST_F(OfflinePacerTest, OtherModesAndRestartForget)
{
    for (const int32_t mode : {kStreamRealtime, kStreamStopped})
    {
        SCOPED_TRACE(mode);
        pacer_.Pace(*stream_, kStreamOffline, 30);
        ASSERT_EQ(pacer_.Gathered(), 30);
        pacer_.Pace(*stream_, mode, 500);
        EXPECT_EQ(pacer_.Gathered(), 0) << "no wait, nothing kept";
    }
    pacer_.Pace(*stream_, kStreamOffline, 30);
    pacer_.Restart();
    EXPECT_EQ(pacer_.Gathered(), 0);
}

TEST_F(OfflinePacerTest, ASwitchThatDoesNotComeForgetsWhatWasGathered)
{
    // The owner stops the driver: every wait answers at once, and the host is not held.
    stream_->StopWaits();
    pacer_.Pace(*stream_, kStreamOffline, 3 * kFrames + 10);
    EXPECT_EQ(pacer_.Gathered(), 0);
    pacer_.Pace(*stream_, kStreamOffline, 10);
    EXPECT_EQ(pacer_.Gathered(), 10);
}

} // namespace
