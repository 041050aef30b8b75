// Speed of the audio stream: the sample conversions against a plain memcpy of the same
// float bytes, and one host block through the whole stream (host write, buffer switch that
// plays it and captures it back, host read) against a memcpy of that block.
#include "plugins/base/platform/PlatformBase.h"
#include "plugins/base/stream/AudioStream.h"
#include "plugins/base/stream/SampleConversion.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

// Best time, in seconds, of repeats calls of each piece of work over several rounds. The
// pieces take turns in every round, so a busy machine slows the baseline as much as the
// work measured against it.
std::vector<double> BestSeconds(int repeats, const std::vector<std::function<void()>>& works)
{
    std::vector<double> best(works.size(), 1e30);
    for (int round = 0; round < 9; ++round)
    {
        for (size_t w = 0; w < works.size(); ++w)
        {
            const auto start = Clock::now();
            for (int i = 0; i < repeats; ++i)
                works[w]();
            const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
            if (seconds < best[w])
                best[w] = seconds;
        }
    }
    return best;
}

volatile float gSink;

} // namespace

int main()
{
    CreatePlatform(0x10000);

    // Conversions over 4096 samples, in cache, as a driver buffer half of a large size.
    constexpr int32_t kSamples = 4096;
    constexpr int kRepeats = 4000;
    std::vector<float> floats(kSamples), back(kSamples);
    for (int32_t i = 0; i < kSamples; ++i)
        floats[static_cast<size_t>(i)] = static_cast<float>((i * 7919) % 2001 - 1000) / 1000.0f;
    std::vector<int16_t> int16s(kSamples);
    std::vector<int32_t> int32s(kSamples);

    const char* names[] = {"float -> Int16LSB", "Int16LSB -> float", "float -> Int32LSB", "Int32LSB -> float"};
    const std::vector<double> seconds =
        BestSeconds(kRepeats, {
                                  [&] {
                                      std::memcpy(back.data(), floats.data(), sizeof(float) * kSamples);
                                      gSink = back[kSamples - 1];
                                  },
                                  [&] {
                                      FloatToInt16(floats.data(), int16s.data(), kSamples);
                                      gSink = int16s[kSamples - 1];
                                  },
                                  [&] {
                                      Int16ToFloat(int16s.data(), back.data(), kSamples);
                                      gSink = back[kSamples - 1];
                                  },
                                  [&] {
                                      FloatToInt32(floats.data(), int32s.data(), kSamples);
                                      gSink = static_cast<float>(int32s[kSamples - 1]);
                                  },
                                  [&] {
                                      Int32ToFloat(int32s.data(), back.data(), kSamples);
                                      gSink = back[kSamples - 1];
                                  },
                              });
    const double samples = static_cast<double>(kSamples) * kRepeats;
    std::printf("memcpy of the float bytes: %.3g samples/s\n", samples / seconds[0]);
    for (size_t i = 0; i < 4; ++i)
        std::printf("%-18s %.3g samples/s, %.3f x memcpy throughput\n", names[i], samples / seconds[i + 1],
                    seconds[0] / seconds[i + 1]);

    // One host block per process call through a stream whose driver loops its outputs
    // back to its inputs, one switch per call.
    PlatformLock listLock;
    ThePlatform()->InitLock(&listLock);
    for (int32_t frames : {64, 256, 1024})
    {
        AudioStream stream(frames, &listLock);
        if (!stream.Allocate(frames))
            return 1;
        std::vector<int32_t> halves(static_cast<size_t>(2 * 2 * frames));
        DriverBuffer buffers[AudioStream::kDriverBuffers];
        for (int32_t b = 0; b < AudioStream::kDriverBuffers; ++b)
        {
            for (int32_t half = 0; half < 2; ++half)
                buffers[b].halves[half] = &halves[static_cast<size_t>(((b % 2) * 2 + half) * frames)];
            buffers[b].sampleType = kSampleTypeInt32LSB;
        }
        stream.AttachDriverBuffers(buffers);
        stream.SetProcessLevel(1);
        stream.SetLatency(1);
        std::vector<float> in0(floats.begin(), floats.begin() + frames), in1(in0), out0(frames), out1(frames);
        const float* inputs[] = {in0.data(), in1.data()};
        float* outputs[] = {out0.data(), out1.data()};
        int32_t index = 0;
        const int calls = 2000000 / frames;
        const std::vector<double> best = BestSeconds(
            calls, {
                       [&] {
                           stream.TrimQueues();
                           stream.WriteHostInput(inputs, frames);
                           stream.ReadHostOutput(outputs, frames);
                           stream.OnSwitch(index);
                           index ^= 1;
                       },
                       [&] {
                           std::memcpy(out1.data(), in0.data(), sizeof(float) * static_cast<size_t>(frames));
                           gSink = out1[static_cast<size_t>(frames - 1)];
                       },
                   });
        gSink = out0[0];
        const double perChannel = best[0] / calls / AudioStream::kChannels;
        std::printf("host block of %4d frames through the stream: %.0f ns per channel, %.1f x a memcpy of the block\n",
                    frames, perChannel * 1e9, perChannel / (best[1] / calls));
    }
    ThePlatform()->DeleteLock(&listLock);
    DestroyPlatform();
    return 0;
}
