#pragma once

#include "framework/base/Object.h"

#include <utility>
#include <vector>

// The piecewise-linear map between a control's normalised position and the value it shows.
// The table starts with (1, 1); the bounds outside the table are (0, 0) and (1, 1).
class ResponseFunction : public Object
{
public:
    ResponseFunction();

    // Goes after every entry whose normalised value is not greater than its own.
    void AddEntry(float normalised, float display);

    virtual float Map(float normalised) const;
    virtual float Unmap(float display) const;

private:
    std::vector<std::pair<float, float>> entries_; // (normalised, display), by normalised value
};
