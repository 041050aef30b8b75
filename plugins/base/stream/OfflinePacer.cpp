#include "plugins/base/stream/OfflinePacer.h"

void OfflinePacer::Pace(AudioStream& stream, int32_t mode, int32_t frames)
{
    if (mode != kStreamOffline)
    {
        frames_ = 0;
        return;
    }
    frames_ += frames;
    while (frames_ >= stream.Frames())
    {
        frames_ -= stream.Frames();
        if (!stream.WaitForSwitch())
        {
            frames_ = 0;
        }
    }
}
