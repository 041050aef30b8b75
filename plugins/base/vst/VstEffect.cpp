#include "plugins/base/vst/VstEffect.h"

#include "plugins/base/vst/EditorBase.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{

constexpr int32_t kIdentifyAnswer = 0x4E764566; // "NvEf"
constexpr size_t kTextCharacters = 8;

void Write(char* text, const char* value)
{
    if (text)
    {
        std::strcpy(text, value);
    }
}

VstValue KIV_VSTCALL DispatchEntry(VstEffectRecord* record, int32_t opcode, int32_t index, VstValue value,
                                   void* pointer, float option)
{
    VstEffect* effect = EffectOf(record);
    if (!effect)
    {
        return 0;
    }
    // No exception reaches the host: the one operation that raised it fails.
    try
    {
        if (opcode == kEffClose)
        {
            effect->dispatcher(opcode, index, value, pointer, option);
            effect->Destroy();
            return 1;
        }
        return effect->dispatcher(opcode, index, value, pointer, option);
    }
    catch (...)
    {
        return 0;
    }
}

void KIV_VSTCALL ProcessEntry(VstEffectRecord* record, float** inputs, float** outputs, int32_t frames)
{
    if (VstEffect* effect = EffectOf(record))
    {
        try
        {
            effect->process(inputs, outputs, frames);
        }
        catch (...)
        {
        }
    }
}

void KIV_VSTCALL ProcessReplacingEntry(VstEffectRecord* record, float** inputs, float** outputs, int32_t frames)
{
    if (VstEffect* effect = EffectOf(record))
    {
        try
        {
            effect->processReplacing(inputs, outputs, frames);
        }
        catch (...)
        {
        }
    }
}

void KIV_VSTCALL SetParameterEntry(VstEffectRecord* record, int32_t index, float value)
{
    if (VstEffect* effect = EffectOf(record))
    {
        try
        {
            effect->setParameter(index, value);
        }
        catch (...)
        {
        }
    }
}

float KIV_VSTCALL GetParameterEntry(VstEffectRecord* record, int32_t index)
{
    VstEffect* effect = EffectOf(record);
    try
    {
        return effect ? effect->getParameter(index) : 0.0f;
    }
    catch (...)
    {
        return 0.0f;
    }
}

} // namespace

VstEffect* EffectOf(VstEffectRecord* record)
{
    return record && record->magic == kVstMagic ? static_cast<VstEffect*>(record->object) : nullptr;
}

VstEffect::VstEffect(VstHostCallback host, int32_t programCount, int32_t parameterCount, int32_t uniqueId)
    : host_(host), programCount_(programCount), parameterCount_(parameterCount), record_()
{
    record_.magic = kVstMagic;
    record_.dispatcher = &DispatchEntry;
    record_.process = &ProcessEntry;
    record_.setParameter = &SetParameterEntry;
    record_.getParameter = &GetParameterEntry;
    record_.programCount = programCount;
    record_.parameterCount = parameterCount;
    record_.inputCount = 1;
    record_.outputCount = 2;
    record_.ioRatio = 1.0f;
    record_.object = this;
    record_.uniqueId = uniqueId;
    record_.version = 1;
    record_.processReplacing = &ProcessReplacingEntry;
}

VstEffect::~VstEffect()
{
    delete editor_;
}

void VstEffect::SetEditor(EditorBase* editor)
{
    if (editor != editor_)
    {
        delete editor_;
        editor_ = editor;
    }
    SetFlag(kVstFlagHasEditor, editor != nullptr);
}

EditorBase* VstEffect::TakeEditor()
{
    EditorBase* editor = editor_;
    editor_ = nullptr;
    SetFlag(kVstFlagHasEditor, false);
    return editor;
}

VstValue VstEffect::CallHost(int32_t opcode, int32_t index, VstValue value, void* pointer, float option)
{
    return host_ ? host_(&record_, opcode, index, value, pointer, option) : 0;
}

void VstEffect::SetFlag(int32_t flag, bool state)
{
    record_.flags = state ? (record_.flags | flag) : (record_.flags & ~flag);
}

void VstEffect::setParameter(int32_t, float) {}

float VstEffect::getParameter(int32_t)
{
    return 0.0f;
}

void VstEffect::setParameterAutomated(int32_t index, float value)
{
    setParameter(index, value);
    CallHost(kHostAutomate, index, 0, nullptr, value);
}

void VstEffect::processReplacing(float**, float**, int32_t) {}

VstValue VstEffect::dispatcher(int32_t opcode, int32_t index, VstValue value, void* pointer, float option)
{
    char* text = static_cast<char*>(pointer);
    switch (opcode)
    {
    case kEffOpen:
        open();
        return 0;
    case kEffClose:
        close();
        return 0;
    case kEffSetProgram:
        if (value >= 0 && value < programCount_)
        {
            setProgram(static_cast<int32_t>(value));
        }
        return 0;
    case kEffGetProgram:
        return getProgram();
    case kEffSetProgramName:
        if (text)
        {
            setProgramName(text);
        }
        return 0;
    case kEffGetProgramName:
        if (text)
        {
            getProgramName(text);
        }
        return 0;
    case kEffGetParamLabel:
        if (text)
        {
            getParameterLabel(index, text);
        }
        return 0;
    case kEffGetParamDisplay:
        if (text)
        {
            getParameterDisplay(index, text);
        }
        return 0;
    case kEffGetParamName:
        if (text)
        {
            getParameterName(index, text);
        }
        return 0;
    case kEffGetVu:
        return static_cast<VstValue>(getVu() * 32767.0f);
    case kEffSetSampleRate:
        setSampleRate(option);
        return 0;
    case kEffSetBlockSize:
        setBlockSize(static_cast<int32_t>(value));
        return 0;
    case kEffMainsChanged:
        if (value != 0)
        {
            resume();
        }
        else
        {
            suspend();
        }
        return 0;
    case kEffEditGetRect:
        return editor_ && pointer ? editor_->GetRect(static_cast<VstRect**>(pointer)) : 0;
    case kEffEditOpen:
        return editor_ ? editor_->Open(pointer) : 0;
    case kEffEditClose:
        if (editor_)
        {
            editor_->Close();
        }
        return 0;
    case kEffEditIdle:
        if (editor_)
        {
            editor_->Idle();
        }
        return 0;
    case kEffIdentify:
        return kIdentifyAnswer;
    case kEffGetChunk:
        return pointer ? getChunk(static_cast<void**>(pointer), index != 0) : 0;
    case kEffSetChunk:
        return setChunk(pointer, static_cast<int32_t>(value), index != 0);
    default:
        return 0;
    }
}

void VstEffect::open() {}

void VstEffect::close() {}

void VstEffect::Destroy()
{
    delete this;
}

int32_t VstEffect::getProgram()
{
    return currentProgram_;
}

void VstEffect::setProgram(int32_t program)
{
    currentProgram_ = program;
}

void VstEffect::setProgramName(char* name)
{
    Write(name, "");
}

void VstEffect::getProgramName(char* name)
{
    Write(name, "");
}

void VstEffect::getParameterLabel(int32_t, char* text)
{
    Write(text, "");
}

void VstEffect::getParameterDisplay(int32_t, char* text)
{
    Write(text, "");
}

void VstEffect::getParameterName(int32_t, char* text)
{
    Write(text, "");
}

float VstEffect::getVu()
{
    return 0.0f;
}

int32_t VstEffect::getChunk(void**, bool)
{
    return 0;
}

int32_t VstEffect::setChunk(void*, int32_t, bool)
{
    return 0;
}

void VstEffect::setSampleRate(float rate)
{
    sampleRate_ = rate;
}

void VstEffect::setBlockSize(int32_t size)
{
    blockSize_ = size;
}

void VstEffect::suspend() {}

void VstEffect::resume() {}

void VstEffect::setUniqueId(int32_t id)
{
    record_.uniqueId = id;
}

void VstEffect::setInputCount(int32_t count)
{
    record_.inputCount = count;
}

void VstEffect::setOutputCount(int32_t count)
{
    record_.outputCount = count;
}

void VstEffect::hasVu(bool state)
{
    SetFlag(kVstFlagHasVu, state);
}

void VstEffect::hasClip(bool state)
{
    SetFlag(kVstFlagHasClip, state);
}

void VstEffect::canMono(bool state)
{
    SetFlag(kVstFlagCanMono, state);
}

void VstEffect::canReplace(bool state)
{
    SetFlag(kVstFlagCanReplace, state);
}

void VstEffect::programsAreChunks(bool state)
{
    SetFlag(kVstFlagProgramChunks, state);
}

void VstEffect::setRealtimeQualities(int32_t qualities)
{
    record_.realQualities = qualities;
}

void VstEffect::setOfflineQualities(int32_t qualities)
{
    record_.offQualities = qualities;
}

void VstEffect::setInitialDelay(int32_t delay)
{
    record_.initialDelay = delay;
}

float VstEffect::getSampleRate()
{
    return sampleRate_;
}

int32_t VstEffect::getBlockSize()
{
    return blockSize_;
}

int32_t VstEffect::getHostVersion()
{
    const VstValue version = CallHost(kHostVersion);
    return version == 0 ? 1 : static_cast<int32_t>(version);
}

int32_t VstEffect::getCurrentUniqueId()
{
    return static_cast<int32_t>(CallHost(kHostCurrentId));
}

void VstEffect::hostIdle()
{
    CallHost(kHostIdle);
}

bool VstEffect::isInputConnected(int32_t input)
{
    return CallHost(kHostPinConnected, input, 0) == 0;
}

bool VstEffect::isOutputConnected(int32_t output)
{
    return CallHost(kHostPinConnected, output, 1) == 0;
}

void VstEffect::DecibelText(float value, char* text)
{
    if (value > 0.0f)
    {
        FloatToText(20.0f * std::log10(value), text);
    }
    else
    {
        Write(text, "  -oo   ");
    }
}

void VstEffect::HertzText(float samples, char* text)
{
    FloatToText(samples != 0.0f ? sampleRate_ / samples : 0.0f, text);
}

void VstEffect::MillisecondsText(float samples, char* text)
{
    FloatToText(samples * 1000.0f / sampleRate_, text);
}

void VstEffect::FloatToText(float value, char* text)
{
    if (!text)
    {
        return;
    }
    const double v = value;
    const bool negative = v < 0.0;
    const double magnitude = std::fabs(v);
    // The integer digits, the point and a sign must fit in 8 characters.
    if (!std::isfinite(v) || magnitude >= (negative ? 1000000.0 : 10000000.0))
    {
        Write(text, " Huge!  ");
        return;
    }
    const double whole = std::floor(magnitude);
    char digits[32];
    std::snprintf(digits, sizeof(digits), "%s%ld.", negative ? "-" : "", static_cast<long>(whole));
    std::strcpy(text, digits);
    size_t count = std::strlen(digits);
    // Fraction digits, truncated, fill the rest.
    const size_t remaining = kTextCharacters - count;
    double fraction = (magnitude - whole) * std::pow(10.0, static_cast<double>(remaining));
    char tail[kTextCharacters + 1] = {};
    for (size_t i = remaining; i > 0; --i)
    {
        const double digit = std::fmod(std::floor(fraction), 10.0);
        tail[i - 1] = static_cast<char>('0' + static_cast<int>(digit));
        fraction /= 10.0;
    }
    std::strcpy(text + count, tail);
}

void VstEffect::IntegerText(int32_t value, char* text)
{
    // Whatever does not fit in 8 characters is too big to show.
    if (value >= 100000000 || value <= -10000000)
    {
        Write(text, " Huge!  ");
        return;
    }
    char digits[16];
    std::snprintf(digits, sizeof(digits), "%7d", static_cast<int>(value));
    Write(text, digits);
}
