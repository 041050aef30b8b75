#include "tools/vsthost/Wav.h"

#include <cstdint>
#include <cstring>
#include <fstream>

namespace
{

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;

uint32_t U32(const char* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t U16(const char* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

template <typename T>
void Put(std::ofstream& out, T value)
{
    out.write(reinterpret_cast<const char*>(&value), sizeof(value));
}

} // namespace

bool ReadWav(const std::string& path, StereoSignal* signal, std::string* error)
{
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0)
    {
        *error = "not a WAV file";
        return false;
    }
    uint16_t format = 0, channels = 0, bits = 0;
    size_t offset = 12;
    while (offset + 8 <= file.size())
    {
        const char* chunk = file.data() + offset;
        const uint32_t size = U32(chunk + 4);
        const size_t body = offset + 8;
        if (size > file.size() - body)
        {
            *error = "truncated chunk";
            return false;
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16)
        {
            format = U16(chunk + 8);
            channels = U16(chunk + 10);
            signal->sampleRate = static_cast<int>(U32(chunk + 12));
            bits = U16(chunk + 22);
        }
        else if (std::memcmp(chunk, "data", 4) == 0)
        {
            const bool pcm16 = format == kFormatPcm && bits == 16;
            const bool float32 = format == kFormatFloat && bits == 32;
            if ((!pcm16 && !float32) || (channels != 1 && channels != 2))
            {
                *error = "only mono or stereo 16-bit PCM and 32-bit float are read";
                return false;
            }
            const size_t bytes = bits / 8;
            const size_t frames = size / (bytes * channels);
            signal->left.resize(frames);
            signal->right.resize(frames);
            for (size_t f = 0; f < frames; ++f)
            {
                for (size_t c = 0; c < 2; ++c)
                {
                    const char* p = file.data() + body + (f * channels + (channels == 2 ? c : 0)) * bytes;
                    float value;
                    if (pcm16)
                    {
                        value = static_cast<int16_t>(U16(p)) / 32768.0f;
                    }
                    else
                    {
                        std::memcpy(&value, p, 4);
                    }
                    (c == 0 ? signal->left : signal->right)[f] = value;
                }
            }
            return true;
        }
        offset = body + size + (size & 1);
    }
    *error = "no data chunk";
    return false;
}

bool WriteWav(const std::string& path, const StereoSignal& signal)
{
    std::ofstream out(path, std::ios::binary);
    const uint32_t frames = static_cast<uint32_t>(signal.left.size());
    const uint32_t dataBytes = frames * 2 * 4;
    out.write("RIFF", 4);
    Put<uint32_t>(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    Put<uint32_t>(out, 16);
    Put<uint16_t>(out, kFormatFloat);
    Put<uint16_t>(out, 2);
    Put<uint32_t>(out, static_cast<uint32_t>(signal.sampleRate));
    Put<uint32_t>(out, static_cast<uint32_t>(signal.sampleRate) * 8);
    Put<uint16_t>(out, 8);
    Put<uint16_t>(out, 32);
    out.write("data", 4);
    Put<uint32_t>(out, dataBytes);
    for (uint32_t f = 0; f < frames; ++f)
    {
        Put<float>(out, signal.left[f]);
        Put<float>(out, f < signal.right.size() ? signal.right[f] : 0.0f);
    }
    return static_cast<bool>(out);
}
