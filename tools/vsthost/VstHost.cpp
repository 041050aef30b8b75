// vsthost: a command-line VST 2 host for trying and testing plug-ins.
//
//   vsthost <plug-in.dll> [--rate HZ] [--block N] [--blocks N | --seconds S] [--input IN.wav]
//           [--signal noise|sine|impulse] [--output OUT.wav] [--product TEXT] [--offline] [--accumulate]
//           [--lockstep] [--editor] [--chunk] [--set-chunk HEX] [--swap-chunk HEX]
//           [--calls whole|half|split|shorter|uneven|primes|changing] [--instances N]
//           [--params INDEX[=VALUE],...] [--lifetimes N]
//
// The dispatcher runs on this (GUI, single-threaded COM) thread with a message loop; process
// runs on an audio thread of its own. --lockstep lets the simulated card's driver run after
// every block for as much time as the block holds, instead of running in real time.
// --set-chunk hands the plug-in a state chunk (hex bytes) once it knows the block size, as a
// host does when it loads a project; --swap-chunk hands it another chunk and the first one in
// turn, from this thread while audio runs, as a user choosing pairs in the editor does.
// --calls cuts every block into calls the way hosts do at loop points and automation: whole
// blocks, halves, 11/16 and the rest, one call in 21 of 11/16, random lengths up to the
// block, prime lengths, or a change from one kind to the next every second. --instances N
// first makes N instances at once through the plug-in's entry point, tells how many it got and
// closes them again. --open N makes N more instances before the run and keeps them open until
// it ends, as a project's other tracks do (each holds what it took of the card). --params
// makes the host's parameter calls while the audio runs (once half
// of the blocks are processed; after the run when it was quicker): for each listed index, setParameter with the value when one is
// given, then getParameter and the name, display and label texts, each printed; after the run
// every listed index is read again. --lifetimes N makes N instance lifetimes one after another
// instead of the run (tools/vsthost/Lifetimes.h says what each does). It prints the plug-in's
// reported initial delay, the delay it measures between the signal sent and the signal returned
// at the start and at the end, how many returned samples from the first that came back are off
// that delay, and how many stretches of silence came back after it.

#include "plugins/base/vst/VstRecord.h"
#include "standins/asio/AsioStandin.h"
#include "tools/vsthost/Lifetimes.h"
#include "tools/vsthost/Wav.h"

#include <windows.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{

// One entry of --params: an index to read, and a value to set first when `set`.
struct ParamCall
{
    int index = 0;
    bool set = false;
    float value = 0.0f;
};

struct Options
{
    std::string plugin;
    std::string input;
    std::string output;
    std::string signal = "noise";
    std::string product = "KIV VST Host";
    int rate = 44100;
    int block = 512;
    int blocks = 100;
    int instances = 0;
    int lifetimes = 0;
    int open = 0;
    double seconds = 0.0;
    std::string calls = "whole";
    bool offline = false;
    bool accumulate = false;
    bool lockstep = false;
    bool editor = false;
    bool chunk = false;
    std::vector<unsigned char> setChunk;
    std::vector<unsigned char> swapChunk;
    std::vector<ParamCall> params;
};

const char* const kCallKinds[] = {"whole", "half", "split", "shorter", "uneven", "primes"};

// Cuts the host's blocks into calls of the chosen kind; every call is at most one block.
class CallCutter
{
public:
    CallCutter(const std::string& kind, int block, int rate) : kind_(kind), block_(block), rate_(rate)
    {
        for (int n = 2; n <= block; ++n)
        {
            bool prime = true;
            for (int d = 2; d * d <= n && prime; ++d)
            {
                prime = n % d != 0;
            }
            if (prime)
            {
                primes_.push_back(n);
            }
        }
    }

    // The length of the next call, which starts at frame `at` of the run.
    int Next(size_t at)
    {
        std::string kind = kind_;
        if (kind == "changing")
        {
            kind = kCallKinds[(at / static_cast<size_t>(rate_)) % (sizeof(kCallKinds) / sizeof(kCallKinds[0]))];
        }
        const int part = std::max(1, block_ * 11 / 16);
        ++call_;
        if (kind == "half" || kind == "split")
        {
            const int first = kind == "half" ? std::max(1, block_ / 2) : part;
            return call_ % 2 || first == block_ ? first : block_ - first;
        }
        if (kind == "shorter")
        {
            return call_ % 21 == 0 ? part : block_;
        }
        if (kind == "uneven")
        {
            seed_ = seed_ * 1103515245u + 12345u;
            return 1 + static_cast<int>((seed_ >> 8) % static_cast<uint32_t>(block_));
        }
        if (kind == "primes" && !primes_.empty())
        {
            return primes_[(call_ * 7) % primes_.size()];
        }
        return block_;
    }

    static bool Known(const std::string& kind)
    {
        for (const char* known : kCallKinds)
        {
            if (kind == known)
            {
                return true;
            }
        }
        return kind == "changing";
    }

private:
    std::string kind_;
    int block_;
    int rate_;
    size_t call_ = 0;
    uint32_t seed_ = 2024;
    std::vector<int> primes_;
};

// "01ff.." -> bytes; false for an odd length or a character that is no hex digit.
bool ParseHex(const std::string& text, std::vector<unsigned char>* bytes)
{
    if (text.empty() || text.size() % 2 != 0)
    {
        return false;
    }
    for (size_t i = 0; i < text.size(); i += 2)
    {
        char* end = nullptr;
        const std::string pair = text.substr(i, 2);
        const long value = std::strtol(pair.c_str(), &end, 16);
        if (end != pair.c_str() + 2)
        {
            return false;
        }
        bytes->push_back(static_cast<unsigned char>(value));
    }
    return true;
}

// "3=0.25,7,300" -> calls; false for an empty entry, an index that is no whole number >= 0 or a
// value that is no number.
bool ParseParams(const std::string& text, std::vector<ParamCall>* calls)
{
    size_t start = 0;
    while (start <= text.size())
    {
        const size_t end = std::min(text.find(',', start), text.size());
        const std::string entry = text.substr(start, end - start);
        const size_t equals = entry.find('=');
        const std::string index = entry.substr(0, equals);
        ParamCall call;
        char* stop = nullptr;
        const long long number = std::strtoll(index.c_str(), &stop, 10);
        if (index.empty() || *stop != 0 || number < 0 || number > INT32_MAX)
        {
            return false;
        }
        call.index = static_cast<int>(number);
        if (equals != std::string::npos)
        {
            const std::string value = entry.substr(equals + 1);
            call.value = std::strtof(value.c_str(), &stop);
            if (value.empty() || *stop != 0)
            {
                return false;
            }
            call.set = true;
        }
        calls->push_back(call);
        start = end + 1;
    }
    return true;
}

// Prints what the plug-in answers for one parameter, after setting it when the call says so.
void CallParam(VstEffectRecord* effect, const ParamCall& call, const char* when)
{
    if (call.set)
    {
        effect->setParameter(effect, call.index, call.value);
    }
    const float value = effect->getParameter(effect, call.index);
    char name[256] = {}, display[256] = {}, label[256] = {};
    effect->dispatcher(effect, kEffGetParamName, call.index, 0, name, 0.0f);
    effect->dispatcher(effect, kEffGetParamDisplay, call.index, 0, display, 0.0f);
    effect->dispatcher(effect, kEffGetParamLabel, call.index, 0, label, 0.0f);
    std::printf("parameter %d %s", call.index, when);
    if (call.set)
    {
        std::printf(", set %g", static_cast<double>(call.value));
    }
    std::printf(": %.6f, name \"%s\", display \"%s\", label \"%s\"\n", static_cast<double>(value), name, display,
                label);
}

// What the host callback answers; set before the plug-in is loaded.
Options gOptions;
std::atomic<int> gAutomations{0};
std::atomic<int> gDisplayUpdates{0};
std::atomic<int> gIdleRequests{0};

VstValue KIV_VSTCALL HostCallback(VstEffectRecord*, int32_t opcode, int32_t index, VstValue value, void* pointer,
                                  float option)
{
    switch (opcode)
    {
    case kHostAutomate:
        ++gAutomations;
        std::printf("host: automate parameter %d = %g\n", static_cast<int>(index), static_cast<double>(option));
        return 0;
    case kHostVersion:
        return 2400;
    case kHostIdle:
        ++gIdleRequests;
        return 1;
    case kHostGetSampleRate:
        return gOptions.rate;
    case kHostGetBlockSize:
        return gOptions.block;
    case kHostGetCurrentProcessLevel:
        return gOptions.offline ? kVstProcessLevelOffline : kVstProcessLevelRealtime;
    case kHostGetVendorString:
        std::strcpy(static_cast<char*>(pointer), "KIV");
        return 1;
    case kHostGetProductString:
        std::snprintf(static_cast<char*>(pointer), 64, "%s", gOptions.product.c_str());
        return 1;
    case kHostGetVendorVersion:
        return 1;
    case kHostIoChanged:
        return 1;
    case kHostUpdateDisplay:
        ++gDisplayUpdates;
        return 1;
    default:
        (void)value;
        return 0;
    }
}

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--rate" && hasValue)
            options->rate = std::atoi(argv[++i]);
        else if (arg == "--block" && hasValue)
            options->block = std::atoi(argv[++i]);
        else if (arg == "--blocks" && hasValue)
            options->blocks = std::atoi(argv[++i]);
        else if (arg == "--instances" && hasValue)
            options->instances = std::atoi(argv[++i]);
        else if (arg == "--lifetimes" && hasValue)
            options->lifetimes = std::atoi(argv[++i]);
        else if (arg == "--open" && hasValue)
            options->open = std::atoi(argv[++i]);
        else if (arg == "--seconds" && hasValue)
            options->seconds = std::atof(argv[++i]);
        else if (arg == "--calls" && hasValue)
            options->calls = argv[++i];
        else if (arg == "--input" && hasValue)
            options->input = argv[++i];
        else if (arg == "--output" && hasValue)
            options->output = argv[++i];
        else if (arg == "--signal" && hasValue)
            options->signal = argv[++i];
        else if (arg == "--product" && hasValue)
            options->product = argv[++i];
        else if (arg == "--offline")
            options->offline = true;
        else if (arg == "--accumulate")
            options->accumulate = true;
        else if (arg == "--lockstep")
            options->lockstep = true;
        else if (arg == "--editor")
            options->editor = true;
        else if (arg == "--chunk")
            options->chunk = true;
        else if (arg == "--set-chunk" && hasValue)
        {
            if (!ParseHex(argv[++i], &options->setChunk))
                return false;
        }
        else if (arg == "--swap-chunk" && hasValue)
        {
            if (!ParseHex(argv[++i], &options->swapChunk))
                return false;
        }
        else if (arg == "--params" && hasValue)
        {
            if (!ParseParams(argv[++i], &options->params))
                return false;
        }
        else if (arg.rfind("--", 0) != 0 && options->plugin.empty())
            options->plugin = arg;
        else
            return false;
    }
    const bool knownSignal = options->signal == "noise" || options->signal == "sine" || options->signal == "impulse";
    if (options->seconds > 0.0)
    {
        options->blocks = static_cast<int>(std::ceil(options->seconds * options->rate / options->block));
    }
    return !options->plugin.empty() && options->rate > 0 && options->block > 0 && options->blocks > 0 &&
           options->instances >= 0 && options->lifetimes >= 0 && options->open >= 0 && options->seconds >= 0.0 &&
           knownSignal && CallCutter::Known(options->calls) &&
           (options->swapChunk.empty() || !options->setChunk.empty());
}

StereoSignal Generate(const Options& options)
{
    StereoSignal signal;
    signal.sampleRate = options.rate;
    const size_t frames = static_cast<size_t>(options.block) * static_cast<size_t>(options.blocks);
    signal.left.assign(frames, 0.0f);
    signal.right.assign(frames, 0.0f);
    uint32_t seed = 12345;
    for (size_t f = 0; f < frames; ++f)
    {
        float value = 0.0f;
        if (options.signal == "noise")
        {
            seed = seed * 1664525u + 1013904223u;
            value = (static_cast<float>(seed >> 8) / 16777216.0f - 0.5f);
        }
        else if (options.signal == "sine")
        {
            value = 0.5f * static_cast<float>(
                               std::sin(2.0 * 3.14159265358979 * 441.0 * static_cast<double>(f) / options.rate));
        }
        else
        {
            value = f == 0 ? 0.5f : 0.0f;
        }
        signal.left[f] = value;
        signal.right[f] = -value;
    }
    return signal;
}

// The lag from `lowest` to `highest` at which the returned signal over [from, from + length)
// best matches the sent one, and the gain there; false when nothing matches.
bool MeasureDelay(const std::vector<float>& sent, const std::vector<float>& returned, size_t from, size_t length,
                  size_t lowest, size_t highest, size_t* lag, double* gain)
{
    double best = 0.0;
    bool found = false;
    const size_t end = std::min(from + length, std::min(sent.size(), returned.size()));
    for (size_t l = lowest; l <= highest && l <= from; ++l)
    {
        double cross = 0.0, energy = 0.0;
        for (size_t t = from; t < end; ++t)
        {
            cross += static_cast<double>(returned[t]) * sent[t - l];
            energy += static_cast<double>(sent[t - l]) * sent[t - l];
        }
        const double score = energy > 0.0 ? std::fabs(cross) / std::sqrt(energy) : 0.0;
        if (score > best * (1.0 + 1e-9) && score > 1e-6)
        {
            best = score;
            *lag = l;
            *gain = cross / energy;
            found = true;
        }
    }
    return found;
}

// Reports the delay of the returned signal where it begins and where it ends, how many
// samples from its first one on are not the sent signal that much earlier, scaled by the
// gain found (and how many of them are not silence: back at another delay, or changed), and
// how many stretches of silence it holds after that (a block that came back empty, or a part
// of one).
void ReportDelay(const std::vector<float>& sent, const std::vector<float>& returned)
{
    constexpr size_t kWindow = 4096;
    constexpr size_t kLongest = 32768;
    constexpr size_t kDrift = 4096;
    size_t first = 0;
    while (first < returned.size() && returned[first] == 0.0f)
    {
        ++first;
    }
    size_t lag = 0;
    double gain = 0.0;
    if (first == returned.size() || !MeasureDelay(sent, returned, first, kWindow, 0, kLongest, &lag, &gain))
    {
        std::printf("measured delay: nothing came back\n");
        return;
    }
    // The gain from the samples that came back: a stretch lost to silence in the window would
    // make every sample after it look off.
    double cross = 0.0, energy = 0.0;
    for (size_t t = first; t < std::min(first + kWindow, returned.size()); ++t)
    {
        if (returned[t] != 0.0f && t >= lag)
        {
            cross += static_cast<double>(returned[t]) * sent[t - lag];
            energy += static_cast<double>(sent[t - lag]) * sent[t - lag];
        }
    }
    gain = energy > 0.0 ? cross / energy : gain;
    std::printf("measured delay: %d samples (gain %.6f)\n", static_cast<int>(lag), gain);
    const size_t tail = returned.size() > kWindow ? returned.size() - kWindow : 0;
    size_t endLag = 0;
    double endGain = 0.0;
    if (tail > first &&
        MeasureDelay(sent, returned, tail, kWindow, lag > kDrift ? lag - kDrift : 0, lag + kDrift, &endLag, &endGain))
    {
        std::printf("measured delay at the end: %d samples\n", static_cast<int>(endLag));
    }
    size_t off = 0, offNotSilent = 0;
    for (size_t t = first; t < returned.size(); ++t)
    {
        const double expected = t >= lag ? gain * sent[t - lag] : 0.0;
        const bool isOff = std::fabs(returned[t] - expected) > 1e-4;
        off += isOff ? 1 : 0;
        offNotSilent += isOff && returned[t] != 0.0f ? 1 : 0;
    }
    std::printf("samples off the delay: %d of %d\n", static_cast<int>(off), static_cast<int>(returned.size() - first));
    std::printf("of them not silent: %d\n", static_cast<int>(offNotSilent));
    // Noise never holds this many exact zeros in a row.
    constexpr size_t kSilentRun = 32;
    size_t silent = 0, run = 0;
    for (size_t t = first; t < returned.size(); ++t)
    {
        run = returned[t] == 0.0f ? run + 1 : 0;
        silent += run == kSilentRun ? 1 : 0;
    }
    std::printf("silent stretches after the first sample back: %d\n", static_cast<int>(silent));
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateParentWindow(int width, int height)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KivVstHostParent";
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
    return CreateWindowA("KivVstHostParent", "vsthost", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, width, height, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

int Fail(const char* what)
{
    std::printf("error: %s\n", what);
    std::fflush(stdout);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (!ParseOptions(argc, argv, &gOptions))
    {
        std::printf("usage: vsthost <plug-in.dll> [--rate HZ] [--block N] [--blocks N | --seconds S] [--input IN.wav]\n"
                    "               [--signal noise|sine|impulse] [--output OUT.wav] [--product TEXT]\n"
                    "               [--offline] [--accumulate] [--lockstep] [--editor] [--chunk]\n"
                    "               [--set-chunk HEX] [--swap-chunk HEX] [--instances N] [--open N]\n"
                    "               [--calls whole|half|split|shorter|uneven|primes|changing]\n"
                    "               [--params INDEX[=VALUE],...] [--lifetimes N]\n");
        return 2;
    }
    const Options& options = gOptions;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    {
        return Fail("COM could not be initialised");
    }

    StereoSignal sent;
    if (!options.input.empty())
    {
        std::string error;
        if (!ReadWav(options.input, &sent, &error))
        {
            return Fail(("input: " + error).c_str());
        }
        sent.sampleRate = options.rate;
    }
    else
    {
        sent = Generate(options);
    }

    HMODULE module = LoadLibraryA(options.plugin.c_str());
    if (!module)
    {
        return Fail("the plug-in file could not be loaded");
    }
    auto entry = reinterpret_cast<VstMainProc>(reinterpret_cast<void*>(GetProcAddress(module, "main")));
    if (!entry)
    {
        return Fail("the plug-in exports no main");
    }
    if (options.lifetimes > 0)
    {
        LifetimeOptions lifetimes;
        lifetimes.lifetimes = options.lifetimes;
        lifetimes.rate = options.rate;
        lifetimes.block = options.block;
        lifetimes.lockstep = options.lockstep;
        lifetimes.accumulate = options.accumulate;
        const int result = RunLifetimes(entry, &HostCallback, lifetimes);
        FreeLibrary(module);
        CoUninitialize();
        return result;
    }
    if (options.instances > 0)
    {
        std::vector<VstEffectRecord*> made;
        for (int i = 0; i < options.instances; ++i)
        {
            if (VstEffectRecord* record = entry(&HostCallback))
            {
                made.push_back(record);
            }
        }
        std::printf("instances: %d of %d made\n", static_cast<int>(made.size()), options.instances);
        for (VstEffectRecord* record : made)
        {
            record->dispatcher(record, kEffClose, 0, 0, nullptr, 0.0f);
        }
    }
    std::vector<VstEffectRecord*> others;
    for (int i = 0; i < options.open; ++i)
    {
        if (VstEffectRecord* record = entry(&HostCallback))
        {
            others.push_back(record);
        }
    }
    if (options.open > 0)
    {
        std::printf("open: %d of %d made\n", static_cast<int>(others.size()), options.open);
        std::fflush(stdout);
    }
    VstEffectRecord* effect = entry(&HostCallback);
    if (!effect || effect->magic != kVstMagic)
    {
        return Fail("the plug-in gave no effect record");
    }
    auto dispatch = [effect](int32_t opcode, int32_t index, VstValue value, void* pointer, float option) {
        return effect->dispatcher(effect, opcode, index, value, pointer, option);
    };
    char text[256] = {};
    dispatch(kEffGetEffectName, 0, 0, text, 0);
    std::printf("plug-in: %s, id 0x%08X, version %d, %d in, %d out, flags 0x%X, VST version %d\n", text,
                static_cast<unsigned>(effect->uniqueId), static_cast<int>(effect->version),
                static_cast<int>(effect->inputCount), static_cast<int>(effect->outputCount),
                static_cast<unsigned>(effect->flags), static_cast<int>(dispatch(kEffGetVstVersion, 0, 0, nullptr, 0)));

    dispatch(kEffOpen, 0, 0, nullptr, 0);
    dispatch(kEffSetSampleRate, 0, 0, nullptr, static_cast<float>(options.rate));
    dispatch(kEffSetBlockSize, 0, options.block, nullptr, 0);
    if (!options.setChunk.empty())
    {
        std::vector<unsigned char> chunk = options.setChunk;
        const VstValue taken = dispatch(kEffSetChunk, 0, static_cast<VstValue>(chunk.size()), chunk.data(), 0);
        std::printf("chunk set: %d bytes taken\n", static_cast<int>(taken));
    }
    dispatch(kEffMainsChanged, 0, 1, nullptr, 0);
    std::printf("reported initial delay: %d samples\n", static_cast<int>(effect->initialDelay));
    std::fflush(stdout);

    HWND parent = nullptr;
    if (options.editor && (effect->flags & kVstFlagHasEditor))
    {
        VstRect* rect = nullptr;
        dispatch(kEffEditGetRect, 0, 0, &rect, 0);
        const int width = rect ? rect->right - rect->left : 400;
        const int height = rect ? rect->bottom - rect->top : 300;
        parent = CreateParentWindow(width + 16, height + 40);
        if (!parent)
        {
            return Fail("no parent window for the editor (is there a display?)");
        }
        const VstValue opened = dispatch(kEffEditOpen, 0, 0, parent, 0);
        std::printf("editor: opened %dx%d (answer %d)\n", width, height, static_cast<int>(opened));
    }
    else if (options.editor)
    {
        std::printf("editor: the plug-in has none\n");
    }

    // The audio thread: whole blocks, in real time or stepped with the simulated driver.
    StereoSignal returned;
    returned.sampleRate = options.rate;
    returned.left.assign(sent.left.size(), 0.0f);
    returned.right.assign(sent.left.size(), 0.0f);
    StandinAsioStepFramesProc step = nullptr;
    if (options.lockstep)
    {
        HMODULE standin = GetModuleHandleA(kStandinModuleName);
        step = standin ? reinterpret_cast<StandinAsioStepFramesProc>(
                             reinterpret_cast<void*>(GetProcAddress(standin, "StandinAsioStepFrames")))
                       : nullptr;
        if (!step)
        {
            return Fail("--lockstep needs the simulated card's driver loaded by the plug-in");
        }
    }
    std::atomic<bool> done{false};
    std::atomic<size_t> processed{0};
    int steppedSwitches = 0;
    std::thread audio([&] {
        const size_t channels =
            static_cast<size_t>(std::max<int32_t>(2, std::max(effect->inputCount, effect->outputCount)));
        const size_t block = static_cast<size_t>(options.block);
        std::vector<std::vector<float>> in(channels, std::vector<float>(block)),
            out(channels, std::vector<float>(block));
        std::vector<float*> inputs(channels), outputs(channels);
        for (size_t c = 0; c < channels; ++c)
        {
            inputs[c] = in[c].data();
            outputs[c] = out[c].data();
        }
        CallCutter cutter(options.calls, options.block, options.rate);
        auto next = std::chrono::steady_clock::now();
        const size_t total = sent.left.size() / block * block;
        for (size_t start = 0; start < total;)
        {
            const size_t n = std::min(static_cast<size_t>(cutter.Next(start)), total - start);
            for (size_t c = 0; c < channels; ++c)
            {
                const std::vector<float>* source = c == 0 ? &sent.left : c == 1 ? &sent.right : nullptr;
                for (size_t i = 0; i < n; ++i)
                {
                    in[c][i] = source ? (*source)[start + i] : 0.0f;
                    out[c][i] = 0.0f;
                }
            }
            const int32_t frames = static_cast<int32_t>(n);
            if (options.accumulate)
            {
                effect->process(effect, inputs.data(), outputs.data(), frames);
            }
            else
            {
                effect->processReplacing(effect, inputs.data(), outputs.data(), frames);
            }
            std::copy(out[0].begin(), out[0].begin() + static_cast<long>(n),
                      returned.left.begin() + static_cast<long>(start));
            std::copy(out[1].begin(), out[1].begin() + static_cast<long>(n),
                      returned.right.begin() + static_cast<long>(start));
            if (step)
            {
                steppedSwitches += step(frames);
            }
            else if (!options.offline)
            {
                next += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                    std::chrono::duration<double>(static_cast<double>(n) / options.rate));
                std::this_thread::sleep_until(next);
            }
            start += n;
            processed = start;
        }
        done = true;
    });

    int idles = 0;
    int swaps = 0;
    DWORD lastSwap = GetTickCount();
    bool paramsCalled = options.params.empty();
    while (!done)
    {
        if (!paramsCalled && processed >= sent.left.size() / 2)
        {
            for (const ParamCall& call : options.params)
            {
                CallParam(effect, call, "while processing");
            }
            std::fflush(stdout);
            paramsCalled = true;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (parent)
        {
            dispatch(kEffEditIdle, 0, 0, nullptr, 0);
            ++idles;
        }
        if (!options.swapChunk.empty() && GetTickCount() - lastSwap >= 20)
        {
            std::vector<unsigned char> chunk = ++swaps % 2 ? options.swapChunk : options.setChunk;
            dispatch(kEffSetChunk, 0, static_cast<VstValue>(chunk.size()), chunk.data(), 0);
            lastSwap = GetTickCount();
        }
    }
    audio.join();
    // A run faster than this loop's first look (offline, lock step) gets its calls now.
    for (size_t i = 0; !paramsCalled && i < options.params.size(); ++i)
    {
        CallParam(effect, options.params[i], "once processed");
    }
    for (ParamCall call : options.params)
    {
        call.set = false;
        CallParam(effect, call, "after the run");
    }
    if (!options.swapChunk.empty())
    {
        std::printf("chunks swapped while processing: %d\n", swaps);
    }
    if (step)
    {
        std::printf("driver switches stepped: %d\n", steppedSwitches);
    }

    dispatch(kEffMainsChanged, 0, 0, nullptr, 0);

    int result = 0;
    if (options.chunk)
    {
        void* data = nullptr;
        const VstValue size = dispatch(kEffGetChunk, 0, 0, &data, 0);
        if (size > 0 && data)
        {
            const std::vector<char> saved(static_cast<char*>(data), static_cast<char*>(data) + size);
            std::vector<char> copy = saved;
            dispatch(kEffSetChunk, 0, size, copy.data(), 0);
            void* again = nullptr;
            const VstValue size2 = dispatch(kEffGetChunk, 0, 0, &again, 0);
            const bool same = size2 == size && again && std::memcmp(again, saved.data(), saved.size()) == 0;
            std::printf("chunk round trip: %s (%d bytes)\n", same ? "ok" : "DIFFERS", static_cast<int>(size));
            result = same ? 0 : 1;
        }
        else
        {
            std::printf("chunk round trip: no chunk\n");
        }
    }

    if (parent)
    {
        dispatch(kEffEditClose, 0, 0, nullptr, 0);
        DestroyWindow(parent);
        std::printf("editor: idled %d times, closed\n", idles);
    }
    dispatch(kEffClose, 0, 0, nullptr, 0);
    for (VstEffectRecord* record : others)
    {
        record->dispatcher(record, kEffClose, 0, 0, nullptr, 0.0f);
    }
    FreeLibrary(module);

    std::printf("host: %d automations, %d display updates, %d idle requests\n", gAutomations.load(),
                gDisplayUpdates.load(), gIdleRequests.load());
    ReportDelay(sent.left, returned.left);
    if (!options.output.empty() && !WriteWav(options.output, returned))
    {
        return Fail("the output file could not be written");
    }
    std::fflush(stdout);
    CoUninitialize();
    return result;
}
