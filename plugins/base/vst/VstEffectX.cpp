#include "plugins/base/vst/VstEffectX.h"

namespace
{

VstValue Flag(bool state)
{
    return state ? 1 : 0;
}

} // namespace

VstEffectX::~VstEffectX() = default;

VstValue VstEffectX::dispatcher(int32_t opcode, int32_t index, VstValue value, void* pointer, float option)
{
    char* text = static_cast<char*>(pointer);
    const int32_t value32 = static_cast<int32_t>(value);
    switch (opcode)
    {
    case kEffProcessEvents:
        return processEvents(pointer);
    case kEffCanBeAutomated:
        return Flag(canParameterBeAutomated(index));
    case kEffStringToParameter:
        return Flag(stringToParameter(index, text));
    case kEffGetProgramCategories:
        return getNumCategories();
    case kEffGetProgramNameIndexed:
        return Flag(getProgramNameIndexed(value32, index, text));
    case kEffCopyProgram:
        return Flag(copyProgram(index));
    case kEffConnectInput:
        inputConnected(index, value != 0);
        return 1;
    case kEffConnectOutput:
        outputConnected(index, value != 0);
        return 1;
    case kEffGetInputProperties:
        return Flag(getInputProperties(index, pointer));
    case kEffGetOutputProperties:
        return Flag(getOutputProperties(index, pointer));
    case kEffGetPlugCategory:
        return getPlugCategory();
    case kEffGetCurrentPosition:
        return reportCurrentPosition();
    case kEffGetDestinationBuffer:
        return reinterpret_cast<VstValue>(reportDestinationBuffer());
    case kEffOfflineNotify:
        return Flag(offlineNotify(pointer, value32, index != 0));
    case kEffOfflinePrepare:
        return Flag(offlinePrepare(pointer, value32));
    case kEffOfflineRun:
        return Flag(offlineRun(pointer, value32));
    case kEffProcessVarIo:
        return Flag(processVariableIo(pointer));
    case kEffSetSpeakerArrangement:
        return Flag(setSpeakerArrangement(reinterpret_cast<void*>(value), pointer));
    case kEffSetBlockSizeAndSampleRate:
        setBlockSizeAndSampleRate(value32, option);
        return 1;
    case kEffSetBypass:
        return Flag(setBypass(value != 0));
    case kEffGetEffectName:
        return Flag(getEffectName(text));
    case kEffGetErrorText:
        return Flag(getErrorText(text));
    case kEffGetVendorString:
        return Flag(getVendorString(text));
    case kEffGetProductString:
        return Flag(getProductString(text));
    case kEffGetVendorVersion:
        return getVendorVersion();
    case kEffVendorSpecific:
        return vendorSpecific(index, value, pointer, option);
    case kEffCanDo:
        return text ? canDo(text) : 0;
    case kEffGetTailSize:
        return getTailSize();
    case kEffIdle:
        return fxIdle();
    case kEffGetIcon:
        return reinterpret_cast<VstValue>(getIcon());
    case kEffSetViewPosition:
        return Flag(setViewPosition(index, value32));
    case kEffGetParameterProperties:
        return Flag(getParameterProperties(index, pointer));
    case kEffKeysRequired:
        return Flag(!keysRequired());
    case kEffGetVstVersion:
        return getVstVersion();
    default:
        return VstEffect::dispatcher(opcode, index, value, pointer, option);
    }
}

bool VstEffectX::wantEvents(int32_t filter)
{
    return CallHost(kHostWantEvents, 0, filter) != 0;
}

void* VstEffectX::getTimeInfo(int32_t filter)
{
    return reinterpret_cast<void*>(CallHost(kHostGetTime, 0, filter));
}

int32_t VstEffectX::tempoAt(int32_t position)
{
    return static_cast<int32_t>(CallHost(kHostTempoAt, 0, position));
}

int32_t VstEffectX::processEvents(void*)
{
    return 0;
}

int32_t VstEffectX::getNumAutomatableParameters()
{
    return static_cast<int32_t>(CallHost(kHostGetNumAutomatableParameters));
}

int32_t VstEffectX::getParameterQuantization()
{
    return static_cast<int32_t>(CallHost(kHostGetParameterQuantization));
}

bool VstEffectX::canParameterBeAutomated(int32_t)
{
    return true;
}

bool VstEffectX::stringToParameter(int32_t, char*)
{
    return false;
}

float VstEffectX::getChannelParameter(int32_t, int32_t)
{
    return 0.0f;
}

int32_t VstEffectX::getNumCategories()
{
    return 1;
}

bool VstEffectX::getProgramNameIndexed(int32_t, int32_t, char*)
{
    return false;
}

bool VstEffectX::copyProgram(int32_t)
{
    return false;
}

bool VstEffectX::ioChanged()
{
    return CallHost(kHostIoChanged) != 0;
}

bool VstEffectX::needIdle()
{
    return CallHost(kHostNeedIdle) != 0;
}

bool VstEffectX::sizeWindow(int32_t width, int32_t height)
{
    return CallHost(kHostSizeWindow, width, height) != 0;
}

double VstEffectX::updateSampleRate()
{
    CallHost(kHostGetSampleRate);
    return sampleRate_;
}

int32_t VstEffectX::updateBlockSize()
{
    CallHost(kHostGetBlockSize);
    return blockSize_;
}

int32_t VstEffectX::getInputLatency()
{
    return static_cast<int32_t>(CallHost(kHostGetInputLatency));
}

int32_t VstEffectX::getOutputLatency()
{
    return static_cast<int32_t>(CallHost(kHostGetOutputLatency));
}

void* VstEffectX::getPreviousPlugin(int32_t input)
{
    return reinterpret_cast<void*>(CallHost(kHostGetPreviousPlugin, 0, input));
}

void* VstEffectX::getNextPlugin(int32_t output)
{
    return reinterpret_cast<void*>(CallHost(kHostGetNextPlugin, 0, output));
}

void VstEffectX::inputConnected(int32_t, bool) {}

void VstEffectX::outputConnected(int32_t, bool) {}

bool VstEffectX::getInputProperties(int32_t, void*)
{
    return false;
}

bool VstEffectX::getOutputProperties(int32_t, void*)
{
    return false;
}

int32_t VstEffectX::getPlugCategory()
{
    return HasFlag(kVstFlagIsSynth) ? 2 : 0;
}

int32_t VstEffectX::willReplaceOrAccumulate()
{
    return static_cast<int32_t>(CallHost(kHostWillReplaceOrAccumulate));
}

int32_t VstEffectX::getCurrentProcessLevel()
{
    return static_cast<int32_t>(CallHost(kHostGetCurrentProcessLevel));
}

int32_t VstEffectX::getAutomationState()
{
    return static_cast<int32_t>(CallHost(kHostGetAutomationState));
}

void VstEffectX::wantAsyncOperation(bool state)
{
    SetFlag(kVstFlagAsynchronous, state);
}

void VstEffectX::hasExternalBuffer(bool state)
{
    SetFlag(kVstFlagExternalBuffer, state);
}

int32_t VstEffectX::reportCurrentPosition()
{
    return 0;
}

float* VstEffectX::reportDestinationBuffer()
{
    return nullptr;
}

bool VstEffectX::offlineRead(void* offline, int32_t option, bool readSource)
{
    return CallHost(kHostOfflineRead, readSource ? 1 : 0, option, offline) != 0;
}

bool VstEffectX::offlineWrite(void* offline, int32_t option)
{
    return CallHost(kHostOfflineWrite, 0, option, offline) != 0;
}

bool VstEffectX::offlineStart(void* files, int32_t fileCount, int32_t newFileCount)
{
    return CallHost(kHostOfflineStart, newFileCount, fileCount, files) != 0;
}

bool VstEffectX::offlineGetCurrentPass()
{
    return CallHost(kHostOfflineGetCurrentPass) != 0;
}

bool VstEffectX::offlineGetCurrentMetaPass()
{
    return CallHost(kHostOfflineGetCurrentMetaPass) != 0;
}

bool VstEffectX::offlineNotify(void*, int32_t, bool)
{
    return false;
}

bool VstEffectX::offlinePrepare(void*, int32_t)
{
    return false;
}

bool VstEffectX::offlineRun(void*, int32_t)
{
    return false;
}

int32_t VstEffectX::offlineGetNumPasses()
{
    return 0;
}

int32_t VstEffectX::offlineGetNumMetaPasses()
{
    return 0;
}

void VstEffectX::setOutputSampleRate(float rate)
{
    CallHost(kHostSetOutputSampleRate, 0, 0, nullptr, rate);
}

bool VstEffectX::getSpeakerArrangement(int32_t value, void* arrangement)
{
    return CallHost(kHostGetOutputSpeakerArrangement, 0, value, arrangement) != 0;
}

bool VstEffectX::getHostVendorString(char* text)
{
    return CallHost(kHostGetVendorString, 0, 0, text) != 0;
}

bool VstEffectX::getHostProductString(char* text)
{
    return CallHost(kHostGetProductString, 0, 0, text) != 0;
}

int32_t VstEffectX::getHostVendorVersion()
{
    return static_cast<int32_t>(CallHost(kHostGetVendorVersion));
}

VstValue VstEffectX::hostVendorSpecific(int32_t index, VstValue value, void* pointer, float option)
{
    return CallHost(kHostVendorSpecific, index, value, pointer, option);
}

bool VstEffectX::canHostDo(char* text)
{
    return CallHost(kHostCanDo, 0, 0, text) != 0;
}

void VstEffectX::isSynth(bool state)
{
    SetFlag(kVstFlagIsSynth, state);
}

void VstEffectX::noSoundInStop(bool state)
{
    SetFlag(kVstFlagNoSoundInStop, state);
}

int32_t VstEffectX::getHostLanguage()
{
    return static_cast<int32_t>(CallHost(kHostGetLanguage));
}

void* VstEffectX::openWindow(void* window)
{
    return reinterpret_cast<void*>(CallHost(kHostOpenWindow, 0, 0, window));
}

bool VstEffectX::closeWindow(void* window)
{
    return CallHost(kHostCloseWindow, 0, 0, window) != 0;
}

void* VstEffectX::getDirectory()
{
    return reinterpret_cast<void*>(CallHost(kHostGetDirectory));
}

bool VstEffectX::updateDisplay()
{
    return CallHost(kHostUpdateDisplay) != 0;
}

bool VstEffectX::processVariableIo(void*)
{
    return false;
}

bool VstEffectX::setSpeakerArrangement(void*, void*)
{
    return false;
}

void VstEffectX::setBlockSizeAndSampleRate(int32_t blockSize, float sampleRate)
{
    blockSize_ = blockSize;
    sampleRate_ = sampleRate;
}

bool VstEffectX::setBypass(bool)
{
    return false;
}

bool VstEffectX::getEffectName(char*)
{
    return false;
}

bool VstEffectX::getErrorText(char*)
{
    return false;
}

bool VstEffectX::getVendorString(char*)
{
    return false;
}

bool VstEffectX::getProductString(char*)
{
    return false;
}

int32_t VstEffectX::getVendorVersion()
{
    return 0;
}

VstValue VstEffectX::vendorSpecific(int32_t, VstValue, void*, float)
{
    return 0;
}

int32_t VstEffectX::canDo(char*)
{
    return 0;
}

void* VstEffectX::getIcon()
{
    return nullptr;
}

bool VstEffectX::setViewPosition(int32_t, int32_t)
{
    return false;
}

int32_t VstEffectX::getTailSize()
{
    return 0;
}

int32_t VstEffectX::fxIdle()
{
    return 0;
}

bool VstEffectX::getParameterProperties(int32_t, void*)
{
    return false;
}

bool VstEffectX::keysRequired()
{
    return false;
}

int32_t VstEffectX::getVstVersion()
{
    return 2;
}
