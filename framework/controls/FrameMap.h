#pragma once

class ResponseFunction;

// How knobs, sliders and meters turn a numeric item's value into one of N frames and back.
// All arithmetic is in 32-bit floats, as the controls have always drawn it.
namespace FrameMap
{
// The frame showing value v of [min, max]: truncate((N - 1) * (v - min) / (max - min)), or
// through the response function's inverse on the normalised value. An empty range (items
// that accept any value) shows frame 0, and the result is clamped to [0, N - 1] so a value
// outside the range never draws past the strip.
int FrameFromValue(float value, float min, float max, int frameCount,
                   const ResponseFunction* response);

// The value frame f stands for: frame 0 gives min, frame N - 1 gives max, any other frame
// min + range * f / N (or through the response function's map of f / N).
float ValueFromFrame(int frame, float min, float max, int frameCount,
                     const ResponseFunction* response);

// One pixel of drag moves one frame, within [0, N - 1].
int DraggedFrame(int frame, int delta, int frameCount);

// Width of one knob frame: the given frame width when at least 1, else the strip's width
// shared among its frames. 0 when neither gives a width (the set-up is refused).
int RotaryFrameWidth(int imageWidth, int frames, int frameWidth);

// A slider's travel: the given one, or, when it is -1, the track length less the thumb's.
// Below 1 there is nothing to slide along: 0 (the set-up is refused).
int SliderTravel(int given, int trackLength, int thumbLength);

// Leftmost column (horizontal) or top row (vertical) of a slider's thumb. thumbSize is the
// thumb's width when horizontal, its height when vertical; trackLength the control's height.
int SliderThumbStart(bool horizontal, int frame, int startOffset, int thumbSize, int trackLength);
}
