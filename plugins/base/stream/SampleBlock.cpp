#include "plugins/base/stream/SampleBlock.h"

#include <cstring>

SampleBlock::SampleBlock(int32_t frames, bool stereo)
    : frames_(frames > 0 ? frames : 0), data_(nullptr), readCursor_(nullptr), writeCursor_(nullptr), raw_(nullptr)
{
    if (frames_ > 0 && static_cast<uint64_t>(frames_) * 8 + 16 <= static_cast<uint64_t>(PTRDIFF_MAX))
        raw_ = ThePlatform()->Alloc(static_cast<size_t>(frames_) * 8 + 16);
    if (raw_)
    {
        auto address = reinterpret_cast<uintptr_t>(raw_);
        data_ = reinterpret_cast<float*>((address + 15) & ~static_cast<uintptr_t>(15));
    }
    else
    {
        frames_ = 0;
    }
    SetStereo(stereo);
    ResetCursors();
    // All of the room is cleared, so a later SetStereo never exposes unset memory.
    if (data_)
        std::memset(data_, 0, sizeof(float) * 2 * static_cast<size_t>(frames_));
}

SampleBlock::~SampleBlock()
{
    ThePlatform()->Free(raw_);
}

void SampleBlock::SetStereo(bool stereo)
{
    stereo_ = stereo;
    sampleCount_ = stereo ? frames_ * 2 : frames_;
}

void SampleBlock::Clear()
{
    if (sampleCount_ > 0)
        std::memset(data_, 0, sizeof(float) * static_cast<size_t>(sampleCount_));
}

void SampleBlock::Fill(float value)
{
    for (int32_t i = 0; i < sampleCount_; ++i)
        data_[i] = value;
}

int32_t SampleBlock::CommonFrames(const SampleBlock& block) const
{
    return frames_ < block.frames_ ? frames_ : block.frames_;
}

void SampleBlock::CopyFrom(const SampleBlock& block)
{
    int32_t n = sampleCount_ < block.sampleCount_ ? sampleCount_ : block.sampleCount_;
    if (n > 0 && &block != this)
        std::memmove(data_, block.data_, sizeof(float) * static_cast<size_t>(n));
}

void SampleBlock::CopyScaledPairs(const SampleBlock& block, float gainLeft, float gainRight)
{
    const int32_t frames = CommonFrames(block);
    for (int32_t k = 0; k < frames; ++k)
    {
        data_[2 * k] = gainLeft * block.data_[2 * k];
        data_[2 * k + 1] = gainRight * block.data_[2 * k + 1];
    }
}

void SampleBlock::AddPair(float left, float right)
{
    if (!data_ || writeCursor_ + 2 > data_ + 2 * static_cast<ptrdiff_t>(frames_))
        return;
    writeCursor_[0] += left;
    writeCursor_[1] += right;
    writeCursor_ += 2;
}

void SampleBlock::MixScaled(const SampleBlock& block, float gain)
{
    if (gain == 0.0f)
        return;
    const int32_t frames = CommonFrames(block);
    if (stereo_ == block.stereo_)
    {
        const int32_t n = stereo_ ? frames * 2 : frames;
        if (gain == 1.0f)
        {
            for (int32_t i = 0; i < n; ++i)
                data_[i] += block.data_[i];
        }
        else
        {
            for (int32_t i = 0; i < n; ++i)
                data_[i] += gain * block.data_[i];
        }
    }
    else if (stereo_)
    {
        for (int32_t k = 0; k < frames; ++k)
        {
            const float add = gain * block.data_[k];
            data_[2 * k] += add;
            data_[2 * k + 1] += add;
        }
    }
}

void SampleBlock::ApplyGainRamp(float startLeft, float startRight, float stepLeft, float stepRight)
{
    if (stereo_)
    {
        for (int32_t k = 0; k < frames_; ++k)
        {
            data_[2 * k] *= startLeft + static_cast<float>(k) * stepLeft;
            data_[2 * k + 1] *= startRight + static_cast<float>(k) * stepRight;
        }
    }
    else
    {
        for (int32_t k = 0; k < frames_; ++k)
            data_[k] *= startLeft + static_cast<float>(k) * stepLeft;
    }
}

void SampleBlock::Mix(const SampleBlock& block)
{
    MixScaled(block, 1.0f);
}

void SampleBlock::Multiply(const SampleBlock& block)
{
    const int32_t frames = CommonFrames(block);
    if (stereo_ == block.stereo_)
    {
        const int32_t n = stereo_ ? frames * 2 : frames;
        for (int32_t i = 0; i < n; ++i)
            data_[i] *= block.data_[i];
    }
    else if (stereo_)
    {
        for (int32_t k = 0; k < frames; ++k)
        {
            data_[2 * k] *= block.data_[k];
            data_[2 * k + 1] *= block.data_[k];
        }
    }
}

float SampleBlock::Peak() const
{
    PlatformBase* platform = ThePlatform();
    float peak = 0.0f;
    for (int32_t i = 0; i < sampleCount_; ++i)
    {
        const float magnitude = static_cast<float>(platform->Abs(data_[i]));
        if (magnitude > peak)
            peak = magnitude;
    }
    return peak;
}

void SampleBlock::PeakPair(float* left, float* right) const
{
    PlatformBase* platform = ThePlatform();
    *left = 0.0f;
    *right = 0.0f;
    for (int32_t k = 0; k < frames_; ++k)
    {
        const float l = static_cast<float>(platform->Abs(data_[2 * k]));
        const float r = static_cast<float>(platform->Abs(data_[2 * k + 1]));
        if (l > *left)
            *left = l;
        if (r > *right)
            *right = r;
    }
}
