#include "standins/dsp/DspChain.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kTwoPi = 6.283185307179586476925286766559;

double Peak(const double* left, const double* right, int frames)
{
    double peak = 0.0;
    for (int i = 0; i < frames; ++i)
        peak = std::max(peak, std::max(std::fabs(left[i]), std::fabs(right[i])));
    return std::min(peak, 1.0);
}
} // namespace

double DspChain::ToDouble(double sample, bool int16)
{
    return sample / (int16 ? 32768.0 : 2147483648.0);
}

int32_t DspChain::FromDouble(double value, bool int16)
{
    const double scale = int16 ? 32768.0 : 2147483648.0;
    return static_cast<int32_t>(std::llround(std::clamp(value * scale, -scale, scale - 1.0)));
}

void DspChain::Run(const DspRouteSnapshot& route, double rate, DspChainState& state, double* left, double* right,
                   int frames, float* meters)
{
    const int count = static_cast<int>(std::min<uint32_t>(route.insertCount, DspRouteSnapshot::kMaxInserts));
    if (state.serial != route.serial)
    {
        // Other inserts in the slots: the signals start again from phase 0.
        state = DspChainState{};
        state.serial = route.serial;
    }
    bool anySolo = false;
    for (int n = 0; n < count; ++n)
        anySolo = anySolo || route.inserts[n].solo != 0;
    for (int n = 0; n < count; ++n)
    {
        const DspInsertValues& insert = route.inserts[n];
        meters[n] = 0.0f;
        if (insert.bypass != 0 || (anySolo && insert.solo == 0))
            continue;
        switch (insert.kind)
        {
        case kEffect: {
            const double wet = 2.0 * static_cast<double>(insert.gain);
            const double mix = static_cast<double>(insert.mix);
            for (int i = 0; i < frames; ++i)
            {
                left[i] = (1.0 - mix) * left[i] + mix * (wet * left[i]);
                right[i] = (1.0 - mix) * right[i] + mix * (wet * right[i]);
            }
            break;
        }
        case kTrimPot: {
            const double gain = 2.0 * static_cast<double>(insert.gain);
            for (int i = 0; i < frames; ++i)
            {
                left[i] *= gain;
                right[i] *= gain;
            }
            break;
        }
        case kTestSignal: {
            const double step = rate > 0.0 ? static_cast<double>(insert.frequency) / rate : 0.0;
            const double level = static_cast<double>(insert.level);
            double phase = state.phase[n];
            for (int i = 0; i < frames; ++i)
            {
                left[i] = right[i] = level * std::sin(kTwoPi * phase);
                phase += step;
                phase -= std::floor(phase);
            }
            state.phase[n] = phase;
            break;
        }
        default: // meters and sends pass
            break;
        }
        meters[n] = static_cast<float>(Peak(left, right, frames));
    }
}
