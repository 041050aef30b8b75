#include "framework/controls/FrameMap.h"

#include "framework/skin/ResponseFunction.h"

namespace FrameMap
{
int FrameFromValue(float value, float min, float max, int frameCount,
                   const ResponseFunction* response)
{
    const float range = max - min;
    const int last = frameCount - 1;
    // A NaN range fails this test as well.
    if (!(range > 0.0f) && !(range < 0.0f))
        return 0;
    const float normalised = (value - min) / range;
    const float position = response ? response->Unmap(normalised) * static_cast<float>(last)
                                     : static_cast<float>(last) * (value - min) / range;
    if (!(position > 0.0f))
        return 0;
    if (position >= static_cast<float>(last))
        return last > 0 ? last : 0;
    return static_cast<int>(position);
}

float ValueFromFrame(int frame, float min, float max, int frameCount,
                     const ResponseFunction* response)
{
    if (frame <= 0)
        return min;
    if (frame >= frameCount - 1)
        return max;
    const float range = max - min;
    const float fraction = static_cast<float>(frame) / static_cast<float>(frameCount);
    return min + range * (response ? response->Map(fraction) : fraction);
}

int DraggedFrame(int frame, int delta, int frameCount)
{
    const long long moved = static_cast<long long>(frame) + delta;
    if (moved < 0)
        return 0;
    if (moved > frameCount - 1)
        return frameCount > 0 ? frameCount - 1 : 0;
    return static_cast<int>(moved);
}

int RotaryFrameWidth(int imageWidth, int frames, int frameWidth)
{
    if (frameWidth >= 1)
        return frameWidth;
    if (frames < 1)
        return 0;
    return imageWidth / frames;
}

int SliderTravel(int given, int trackLength, int thumbLength)
{
    const int travel = given == -1 ? trackLength - thumbLength : given;
    return travel >= 1 ? travel : 0;
}

int SliderThumbStart(bool horizontal, int frame, int startOffset, int thumbSize, int trackLength)
{
    if (horizontal)
        return startOffset - thumbSize / 2 + frame;
    return trackLength - startOffset - frame + thumbSize / 2 - thumbSize;
}
}
