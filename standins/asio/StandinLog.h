#pragma once
// The stand-in's record of the calls made on it, for tests to assert order and arguments.
// Buffer switches and outputReady calls are only counted: they run at audio rate.

#include <cstdint>
#include <string>

namespace StandinLog
{

void Add(const std::string& call);
std::string Text();
void Clear();
void CountSwitch();
void CountOutputReady();
void Counters(int32_t* switches, int32_t* outputReadyCalls);

} // namespace StandinLog
