#include "plugins/base/vst/VstEffectX2.h"

#include "plugins/base/vst/EditorBase.h"

#include <cstdlib>
#include <cstring>

namespace
{

VstValue Flag(bool state)
{
    return state ? 1 : 0;
}

// The largest speaker count whose block size fits in 32 bits.
constexpr int32_t kMaxSpeakers = (0x7fffffff - 8) / static_cast<int32_t>(sizeof(VstSpeaker));

} // namespace

VstEffectX2::~VstEffectX2() = default;

VstValue VstEffectX2::dispatcher(int32_t opcode, int32_t index, VstValue value, void* pointer, float option)
{
    switch (opcode)
    {
    case kEffEditKeyDown:
    case kEffEditKeyUp: {
        if (!editor_)
        {
            return 0;
        }
        VstKeyCode key{};
        key.character = index;
        key.virtualKey = static_cast<uint8_t>(value & 0xff);
        // A float beyond the integers has no modifiers to give.
        const bool representable = option > -2147483648.0f && option < 2147483647.0f;
        key.modifiers = static_cast<uint8_t>((representable ? static_cast<int32_t>(option) : 0) & 0xff);
        return opcode == kEffEditKeyDown ? editor_->OnKeyDown(key) : editor_->OnKeyUp(key);
    }
    case kEffSetEditKnobMode:
        return editor_ ? editor_->SetKnobMode(static_cast<int32_t>(value)) : 0;
    case kEffGetMidiProgramName:
        return getMidiProgramName(index, pointer);
    case kEffGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, pointer);
    case kEffGetMidiProgramCategory:
        return getMidiProgramCategory(index, pointer);
    case kEffHasMidiProgramsChanged:
        return Flag(hasMidiProgramsChanged(index));
    case kEffGetMidiKeyName:
        return Flag(getMidiKeyName(index, pointer));
    case kEffBeginSetProgram:
        return Flag(beginSetProgram());
    case kEffEndSetProgram:
        return Flag(endSetProgram());
    case kEffGetSpeakerArrangement: {
        // The host passes where to write each arrangement; a null place is left alone.
        VstSpeakerArrangement* input = nullptr;
        VstSpeakerArrangement* output = nullptr;
        const bool answer = getSpeakerArrangement(&input, &output);
        if (auto** inputPlace = reinterpret_cast<VstSpeakerArrangement**>(value))
        {
            *inputPlace = input;
        }
        if (auto** outputPlace = static_cast<VstSpeakerArrangement**>(pointer))
        {
            *outputPlace = output;
        }
        return Flag(answer);
    }
    case kEffShellGetNextPlugin:
        return getNextShellPlugin(static_cast<char*>(pointer));
    case kEffStartProcess:
        return startProcess();
    case kEffStopProcess:
        return stopProcess();
    case kEffSetTotalSampleToProcess:
        return setTotalSampleToProcess(static_cast<int32_t>(value));
    case kEffSetPanLaw:
        return Flag(setPanLaw(static_cast<int32_t>(value), option));
    case kEffBeginLoadBank:
        return beginLoadBank(pointer);
    case kEffBeginLoadProgram:
        return beginLoadProgram(pointer);
    default:
        return VstEffectX::dispatcher(opcode, index, value, pointer, option);
    }
}

double VstEffectX2::updateSampleRate()
{
    const VstValue answer = CallHost(kHostGetSampleRate);
    if (answer > 0)
    {
        sampleRate_ = static_cast<float>(answer);
    }
    return sampleRate_;
}

int32_t VstEffectX2::updateBlockSize()
{
    const VstValue answer = CallHost(kHostGetBlockSize);
    if (answer > 0 && answer <= 0x7fffffff)
    {
        blockSize_ = static_cast<int32_t>(answer);
    }
    return blockSize_;
}

int32_t VstEffectX2::getVstVersion()
{
    return 2300;
}

VstSpeakerArrangement* VstEffectX2::getInputSpeakerArrangement()
{
    return reinterpret_cast<VstSpeakerArrangement*>(CallHost(kHostGetInputSpeakerArrangement));
}

VstSpeakerArrangement* VstEffectX2::getOutputSpeakerArrangement()
{
    return reinterpret_cast<VstSpeakerArrangement*>(CallHost(kHostGetOutputSpeakerArrangement));
}

bool VstEffectX2::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output)
{
    *input = nullptr;
    *output = nullptr;
    return false;
}

int32_t VstEffectX2::getMidiProgramName(int32_t, void*)
{
    return 0;
}

int32_t VstEffectX2::getCurrentMidiProgram(int32_t, void*)
{
    return -1;
}

int32_t VstEffectX2::getMidiProgramCategory(int32_t, void*)
{
    return 0;
}

bool VstEffectX2::hasMidiProgramsChanged(int32_t)
{
    return false;
}

bool VstEffectX2::getMidiKeyName(int32_t, void*)
{
    return false;
}

bool VstEffectX2::beginSetProgram()
{
    return false;
}

bool VstEffectX2::endSetProgram()
{
    return false;
}

bool VstEffectX2::beginEdit(int32_t index)
{
    return CallHost(kHostBeginEdit, index) != 0;
}

bool VstEffectX2::endEdit(int32_t index)
{
    return CallHost(kHostEndEdit, index) != 0;
}

bool VstEffectX2::openFileSelector(void* selector)
{
    return selector && CallHost(kHostOpenFileSelector, 0, 0, selector) != 0;
}

int32_t VstEffectX2::setTotalSampleToProcess(int32_t value)
{
    return value;
}

int32_t VstEffectX2::getNextShellPlugin(char*)
{
    return 0;
}

int32_t VstEffectX2::startProcess()
{
    return 0;
}

int32_t VstEffectX2::stopProcess()
{
    return 0;
}

bool VstEffectX2::setPanLaw(int32_t, float)
{
    return false;
}

int32_t VstEffectX2::beginLoadBank(void*)
{
    return 0;
}

int32_t VstEffectX2::beginLoadProgram(void*)
{
    return 0;
}

bool VstEffectX2::allocateArrangement(VstSpeakerArrangement** arrangement, int32_t count)
{
    if (!arrangement || count < 0 || count > kMaxSpeakers)
    {
        return false;
    }
    deallocateArrangement(arrangement);
    const size_t size = 8 + static_cast<size_t>(count) * sizeof(VstSpeaker);
    void* block = std::calloc(1, size);
    if (!block)
    {
        return false;
    }
    *arrangement = static_cast<VstSpeakerArrangement*>(block);
    (*arrangement)->count = count;
    return true;
}

bool VstEffectX2::deallocateArrangement(VstSpeakerArrangement** arrangement)
{
    if (arrangement)
    {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    return true;
}

bool VstEffectX2::copySpeaker(VstSpeaker* to, const VstSpeaker* from)
{
    if (!to || !from)
    {
        return false;
    }
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->name, from->name, sizeof(to->name));
    to->name[sizeof(to->name) - 1] = '\0';
    to->type = from->type;
    std::memcpy(to->future, from->future, sizeof(to->future));
    return true;
}

bool VstEffectX2::matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from)
{
    if (!from || !allocateArrangement(to, from->count))
    {
        return false;
    }
    (*to)->type = from->type;
    for (int32_t i = 0; i < from->count; ++i)
    {
        if (!copySpeaker(&(*to)->speakers[i], &from->speakers[i]))
        {
            return false;
        }
    }
    return true;
}
