#include "plugins/base/stream/SampleBlock.h"

#include "plugins/base/stream/tests/StreamTestSupport.h"

namespace
{

using SampleBlockTest = WithPlatform;

void FillRamp(SampleBlock& block, float start, float step)
{
    for (int32_t i = 0; i < block.SampleCount(); ++i)
        block.Data()[i] = start + step * static_cast<float>(i);
}

TEST_F(SampleBlockTest, DataIsAlignedClearedAndSizedByTheStereoFlag)
{
    for (int32_t frames : {1, 3, 64, 257})
    {
        SampleBlock block(frames, false);
        ASSERT_TRUE(block.IsValid());
        EXPECT_EQ(reinterpret_cast<uintptr_t>(block.Data()) % 16, 0u);
        EXPECT_EQ(block.SampleCount(), frames);
        block.SetStereo(true);
        EXPECT_EQ(block.SampleCount(), 2 * frames);
        for (int32_t i = 0; i < block.SampleCount(); ++i)
            ASSERT_EQ(block.Data()[i], 0.0f);
        EXPECT_EQ(block.ReadCursor(), block.Data());
        EXPECT_EQ(block.WriteCursor(), block.Data());
    }
    SampleBlock empty(0, true);
    EXPECT_FALSE(empty.IsValid());
    EXPECT_EQ(empty.SampleCount(), 0);
    empty.Fill(1.0f);
    EXPECT_EQ(empty.Peak(), 0.0f);
}

TEST_F(SampleBlockTest, MixScaledFollowsGainAndLayout)
{
    SampleBlock source(8, true), target(8, true), reference(8, true);
    FillRamp(source, 1.0f, 1.0f);
    FillRamp(target, 0.5f, 0.0f);

    reference.CopyFrom(target);
    target.MixScaled(source, 0.0f);
    for (int32_t i = 0; i < 16; ++i)
        ASSERT_EQ(target.Data()[i], reference.Data()[i]);

    reference.Mix(source);
    target.MixScaled(source, 1.0f);
    for (int32_t i = 0; i < 16; ++i)
        ASSERT_EQ(target.Data()[i], reference.Data()[i]);

    target.MixScaled(source, 0.5f);
    EXPECT_FLOAT_EQ(target.Data()[3], 0.5f + 4.0f + 2.0f);

    // A mono source goes to both channels; a stereo source into a mono block is ignored.
    SampleBlock mono(8, false);
    FillRamp(mono, 1.0f, 1.0f);
    SampleBlock stereo(8, true);
    stereo.MixScaled(mono, 2.0f);
    EXPECT_EQ(stereo.Data()[4], 6.0f);
    EXPECT_EQ(stereo.Data()[5], 6.0f);
    mono.MixScaled(stereo, 2.0f);
    EXPECT_EQ(mono.Data()[2], 3.0f);
}

TEST_F(SampleBlockTest, PairsRampsProductsAndPeaks)
{
    SampleBlock source(4, true), block(4, true);
    FillRamp(source, -4.0f, 1.0f); // -4 .. 3
    block.CopyScaledPairs(source, 2.0f, 0.5f);
    EXPECT_EQ(block.Data()[0], -8.0f);
    EXPECT_EQ(block.Data()[1], -1.5f);

    float left = 0, right = 0;
    block.PeakPair(&left, &right);
    EXPECT_EQ(left, 8.0f);
    EXPECT_EQ(right, 1.5f);
    EXPECT_EQ(block.Peak(), 8.0f);

    block.Fill(2.0f);
    block.ApplyGainRamp(1.0f, 0.0f, 0.5f, 1.0f);
    EXPECT_EQ(block.Data()[2 * 3], 2.0f * 2.5f);
    EXPECT_EQ(block.Data()[2 * 3 + 1], 2.0f * 3.0f);

    block.Multiply(source);
    EXPECT_EQ(block.Data()[0], 2.0f * -4.0f);

    SampleBlock mono(4, false);
    mono.Fill(3.0f);
    mono.ApplyGainRamp(1.0f, 9.0f, 1.0f, 9.0f);
    EXPECT_EQ(mono.Data()[3], 12.0f);
}

TEST_F(SampleBlockTest, AddPairStopsAtTheEndOfTheBlock)
{
    SampleBlock block(2, false);
    block.AddPair(1.0f, 2.0f);
    block.AddPair(3.0f, 4.0f);
    // The block holds two stereo frames; a third pair has no room.
    block.AddPair(5.0f, 6.0f);
    EXPECT_EQ(block.WriteCursor(), block.Data() + 4);
    EXPECT_EQ(block.Data()[3], 4.0f);
    block.ResetCursors();
    block.AddPair(1.0f, 1.0f);
    EXPECT_EQ(block.Data()[0], 2.0f);
}

TEST_F(SampleBlockTest, OperationsAcrossSizesStayInsideBothBlocks)
{
    SampleBlock small(4, true), large(16, true);
    FillRamp(small, 1.0f, 1.0f);
    large.Fill(-1.0f);
    large.CopyFrom(small);
    EXPECT_EQ(large.Data()[7], 8.0f);
    EXPECT_EQ(large.Data()[8], -1.0f);
    large.Mix(small);
    large.Multiply(small);
    large.CopyScaledPairs(small, 1.0f, 1.0f);
    EXPECT_EQ(large.Data()[8], -1.0f);
    small.CopyFrom(large);
    small.Mix(large);
    EXPECT_EQ(small.Data()[0], 2.0f);
}

} // namespace
