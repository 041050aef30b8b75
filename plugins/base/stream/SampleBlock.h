// A preallocated block of float samples that travels between lists without being copied.
#pragma once

#include "plugins/base/stream/List.h"

#include <cstdint>

class SampleBlock : public ListNode
{
public:
    // The memory always has room for stereo data of that many frames, 16-byte aligned.
    // When it cannot be had the block holds no frames (IsValid false).
    SampleBlock(int32_t frames, bool stereo);
    ~SampleBlock() override;

    virtual void SetStereo(bool stereo);
    virtual void Clear();
    virtual void Fill(float value);
    // Copies as many samples as both blocks hold.
    virtual void CopyFrom(const SampleBlock& block);
    virtual void CopyScaledPairs(const SampleBlock& block, float gainLeft, float gainRight);
    // Adds the pair at the write cursor and advances it; nothing once the block is full.
    virtual void AddPair(float left, float right);
    virtual void MixScaled(const SampleBlock& block, float gain);
    virtual void ApplyGainRamp(float startLeft, float startRight, float stepLeft, float stepRight);
    virtual void Mix(const SampleBlock& block);
    virtual void Multiply(const SampleBlock& block);
    virtual float Peak() const;
    virtual void PeakPair(float* left, float* right) const;

    bool IsValid() const { return data_ != nullptr; }
    int32_t Frames() const { return frames_; }
    bool IsStereo() const { return stereo_; }
    int32_t SampleCount() const { return sampleCount_; }
    float* Data() const { return data_; }
    float* ReadCursor() const { return readCursor_; }
    float* WriteCursor() const { return writeCursor_; }
    void ResetCursors() { readCursor_ = writeCursor_ = data_; }

private:
    // Frames of this block and the other that both hold, for operations across blocks.
    int32_t CommonFrames(const SampleBlock& block) const;

    int32_t frames_;
    bool stereo_ = false;
    int32_t sampleCount_ = 0;
    float* data_;
    float* readCursor_;
    float* writeCursor_;
    void* raw_; // from the platform's Alloc; data_ points into it
};
