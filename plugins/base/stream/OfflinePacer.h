#pragma once
// Holds a host that renders offline to the driver's pace. Offline the host runs as fast as it
// can: after every driver buffer's worth of frames it has written, however it cuts its
// blocks, it waits for one switch of the driver. Host's audio thread only.

#include "plugins/base/stream/AudioStream.h"

#include <cstdint>

class OfflinePacer
{
public:
    // After `frames` went through `stream` in process mode `mode` (a StreamProcessLevel):
    // offline, waits for as many switches as whole driver buffers have gathered and keeps the
    // rest for the next call; a switch that does not come forgets what was gathered. In any
    // other mode it only forgets.
    void Pace(AudioStream& stream, int32_t mode, int32_t frames);
    // Forgets what was gathered: the stream was reset, or an offline run begins.
    void Restart() { frames_ = 0; }
    // Written since the last awaited switch.
    int32_t Gathered() const { return frames_; }

private:
    int32_t frames_ = 0; // host's audio thread
};
