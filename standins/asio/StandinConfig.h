#pragma once
// The simulated card's configuration (see AsioStandin.h for the file's keys).

#include <cstdint>
#include <string>
#include <vector>

struct StandinDevice
{
    uint32_t vendorId;
    uint32_t deviceId;
    uint32_t subsystemId;
};

struct StandinConfig
{
    // Channels beyond this are not simulated.
    static constexpr int kMaxChannels = 128;

    int inputs = 8;
    int outputs = 8;
    std::vector<std::string> inputNames;
    std::vector<std::string> outputNames;
    int32_t sampleType = 18;
    int32_t minBuffer = 64;
    int32_t maxBuffer = 2048;
    int32_t preferredBuffer = 256;
    int32_t granularity = 32;
    double rate = 44100.0;
    int32_t inputLatency = 256;
    int32_t outputLatency = 256;
    int32_t loopDelay = 0;
    bool loopDelayOneBuffer = false; // LoopDelay=buffer: one buffer of the size created, as on the card
    double loopGain = 0.5;
    int32_t outputReadyAnswer = 0;
    bool manualClock = false;
    bool failInit = false;
    bool failGetChannels = false;
    bool failCreateBuffers = false;
    bool failStart = false;
    bool failGetSampleRate = false;
    bool refuseKivInterface = false;
    std::vector<StandinDevice> devices;

    // Defaults overridden by the file that KIV_ASIO_STANDIN_CONFIG names, when there is one.
    static StandinConfig Load();
};
