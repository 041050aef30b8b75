#include "framework/skin/ResponseFunction.h"

#include <algorithm>
#include <utility>

namespace
{
using Entry = ResponseFunction::Entry;

// Interpolates between the bounds of the first entry whose key is at least v. Bounds that
// share a key would divide by zero: the upper bound's value answers.
template <typename Key, typename Value>
float Interpolate(const std::vector<Entry>& entries, float v, Key key, Value value)
{
    Entry lower{0.0f, 0.0f};
    Entry upper{1.0f, 1.0f};
    for (size_t i = 0; i < entries.size(); ++i)
    {
        if (v <= key(entries[i]))
        {
            upper = entries[i];
            if (i > 0)
                lower = entries[i - 1];
            break;
        }
    }
    const long double span = static_cast<long double>(key(upper)) - key(lower);
    if (span == 0)
        return value(upper);
    const long double result = value(lower) + (static_cast<long double>(v) - key(lower)) / span *
                                                  (static_cast<long double>(value(upper)) - value(lower));
    return static_cast<float>(result);
}

float Normalised(const Entry& entry)
{
    return entry.first;
}

float Display(const Entry& entry)
{
    return entry.second;
}
} // namespace

ResponseFunction::ResponseFunction(std::vector<Entry> entries) : entries_(std::move(entries))
{
    // Sorted once: inserting entry by entry would cost the square of their number.
    entries_.insert(entries_.begin(), Entry{1.0f, 1.0f});
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const Entry& a, const Entry& b) { return a.first < b.first; });
}

float ResponseFunction::Map(float normalised) const
{
    return Interpolate(entries_, normalised, Normalised, Display);
}

float ResponseFunction::Unmap(float display) const
{
    return Interpolate(entries_, display, Display, Normalised);
}
