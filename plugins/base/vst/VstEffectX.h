#pragma once
// The extended VST 2 effect base: the opcodes 25-58 and wrappers of the host callback.
// A later revision derives from it, handles its own opcodes in its dispatcher and passes the
// rest here.

#include "plugins/base/vst/VstEffect.h"

class VstEffectX : public VstEffect
{
public:
    using VstEffect::VstEffect;
    ~VstEffectX() override;

    VstValue dispatcher(int32_t opcode, int32_t index, VstValue value, void* pointer, float option) override;

    virtual bool wantEvents(int32_t filter);
    virtual void* getTimeInfo(int32_t filter);
    virtual int32_t tempoAt(int32_t position);
    virtual int32_t processEvents(void* events);
    virtual int32_t getNumAutomatableParameters();
    virtual int32_t getParameterQuantization();
    virtual bool canParameterBeAutomated(int32_t index);
    virtual bool stringToParameter(int32_t index, char* text);
    virtual float getChannelParameter(int32_t channel, int32_t index);
    virtual int32_t getNumCategories();
    virtual bool getProgramNameIndexed(int32_t category, int32_t index, char* text);
    virtual bool copyProgram(int32_t destination);
    virtual bool ioChanged();
    virtual bool needIdle();
    virtual bool sizeWindow(int32_t width, int32_t height);
    virtual double updateSampleRate();
    virtual int32_t updateBlockSize();
    virtual int32_t getInputLatency();
    virtual int32_t getOutputLatency();
    virtual void* getPreviousPlugin(int32_t input);
    virtual void* getNextPlugin(int32_t output);
    virtual void inputConnected(int32_t index, bool state);
    virtual void outputConnected(int32_t index, bool state);
    virtual bool getInputProperties(int32_t index, void* properties);
    virtual bool getOutputProperties(int32_t index, void* properties);
    virtual int32_t getPlugCategory();
    virtual int32_t willReplaceOrAccumulate();
    virtual int32_t getCurrentProcessLevel();
    virtual int32_t getAutomationState();
    virtual void wantAsyncOperation(bool state);
    virtual void hasExternalBuffer(bool state);
    virtual int32_t reportCurrentPosition();
    virtual float* reportDestinationBuffer();
    virtual bool offlineRead(void* offline, int32_t option, bool readSource);
    virtual bool offlineWrite(void* offline, int32_t option);
    virtual bool offlineStart(void* files, int32_t fileCount, int32_t newFileCount);
    virtual bool offlineGetCurrentPass();
    virtual bool offlineGetCurrentMetaPass();
    virtual bool offlineNotify(void* files, int32_t count, bool start);
    virtual bool offlinePrepare(void* offline, int32_t count);
    virtual bool offlineRun(void* offline, int32_t count);
    virtual int32_t offlineGetNumPasses();
    virtual int32_t offlineGetNumMetaPasses();
    virtual void setOutputSampleRate(float rate);
    virtual bool getSpeakerArrangement(int32_t value, void* arrangement);
    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual int32_t getHostVendorVersion();
    virtual VstValue hostVendorSpecific(int32_t index, VstValue value, void* pointer, float option);
    virtual bool canHostDo(char* text);
    virtual void isSynth(bool state);
    virtual void noSoundInStop(bool state);
    virtual int32_t getHostLanguage();
    virtual void* openWindow(void* window);
    virtual bool closeWindow(void* window);
    virtual void* getDirectory();
    virtual bool updateDisplay();
    virtual bool processVariableIo(void* io);
    virtual bool setSpeakerArrangement(void* input, void* output);
    virtual void setBlockSizeAndSampleRate(int32_t blockSize, float sampleRate);
    virtual bool setBypass(bool state);
    virtual bool getEffectName(char* text);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual int32_t getVendorVersion();
    virtual VstValue vendorSpecific(int32_t index, VstValue value, void* pointer, float option);
    virtual int32_t canDo(char* text);
    virtual void* getIcon();
    virtual bool setViewPosition(int32_t x, int32_t y);
    virtual int32_t getTailSize();
    virtual int32_t fxIdle();
    virtual bool getParameterProperties(int32_t index, void* properties);
    virtual bool keysRequired();
    virtual int32_t getVstVersion();
};
