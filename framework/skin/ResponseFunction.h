#pragma once

#include "framework/base/Object.h"

#include <utility>
#include <vector>

// The piecewise-linear map between a control's normalised position and the value it shows.
// The table starts with (1, 1); the bounds outside the table are (0, 0) and (1, 1).
class ResponseFunction : public Object
{
public:
    using Entry = std::pair<float, float>; // (normalised, display)

    // The entries in file order. Each goes after every entry whose normalised value is not
    // greater than its own, so equal values keep the file's order, after the start entry.
    explicit ResponseFunction(std::vector<Entry> entries = {});

    virtual float Map(float normalised) const;
    virtual float Unmap(float display) const;

private:
    std::vector<Entry> entries_; // by normalised value
};
