#pragma once
// Stereo WAV files for the host: reads 16-bit PCM or 32-bit float (mono is doubled), writes
// 32-bit float.

#include <string>
#include <vector>

struct StereoSignal
{
    int sampleRate = 44100;
    std::vector<float> left;
    std::vector<float> right;
};

// False with a reason in `error` when the file cannot be read or has another format.
bool ReadWav(const std::string& path, StereoSignal* signal, std::string* error);
bool WriteWav(const std::string& path, const StereoSignal& signal);
