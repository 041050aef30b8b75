#pragma once
// The VST 2 effect base: owns the published effect record and turns the host's calls through
// it into virtual operations. The plug-in class passes its own unique id: hosts key project
// recall on it, so no two plug-ins may share one.

#include "plugins/base/vst/VstRecord.h"

class EditorBase;

class VstEffect
{
public:
    VstEffect(VstHostCallback host, int32_t programCount, int32_t parameterCount, int32_t uniqueId);
    virtual ~VstEffect();
    VstEffect(const VstEffect&) = delete;
    VstEffect& operator=(const VstEffect&) = delete;

    virtual void setParameter(int32_t index, float value);
    virtual float getParameter(int32_t index);
    virtual void setParameterAutomated(int32_t index, float value);
    virtual void process(float** inputs, float** outputs, int32_t frames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, int32_t frames);
    virtual VstValue dispatcher(int32_t opcode, int32_t index, VstValue value, void* pointer, float option);
    virtual void open();
    virtual void close();
    // After close, once the host is done with the effect: deletes it. A plug-in whose own
    // threads may still be using it ends it later instead.
    virtual void Destroy();
    virtual int32_t getProgram();
    virtual void setProgram(int32_t program);
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParameterLabel(int32_t index, char* text);
    virtual void getParameterDisplay(int32_t index, char* text);
    virtual void getParameterName(int32_t index, char* text);
    virtual float getVu();
    virtual int32_t getChunk(void** data, bool isPreset);
    virtual int32_t setChunk(void* data, int32_t size, bool isPreset);
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(int32_t size);
    virtual void suspend();
    virtual void resume();
    virtual void setUniqueId(int32_t id);
    virtual void setInputCount(int32_t count);
    virtual void setOutputCount(int32_t count);
    virtual void hasVu(bool state);
    virtual void hasClip(bool state);
    virtual void canMono(bool state);
    virtual void canReplace(bool state);
    virtual void programsAreChunks(bool state);
    virtual void setRealtimeQualities(int32_t qualities);
    virtual void setOfflineQualities(int32_t qualities);
    virtual void setInitialDelay(int32_t delay);
    virtual float getSampleRate();
    virtual int32_t getBlockSize();
    virtual int32_t getHostVersion();
    virtual int32_t getCurrentUniqueId();
    virtual void hostIdle();
    virtual bool isInputConnected(int32_t input);
    virtual bool isOutputConnected(int32_t output);
    // Texts of at most 8 characters for parameter displays.
    virtual void DecibelText(float value, char* text);
    virtual void HertzText(float samples, char* text);
    virtual void MillisecondsText(float samples, char* text);
    virtual void FloatToText(float value, char* text);
    virtual void IntegerText(int32_t value, char* text);

    VstEffectRecord* GetRecord() { return &record_; }
    EditorBase* GetEditor() const { return editor_; }
    // Attaches an editor (owned from now on) and tells the host there is one.
    void SetEditor(EditorBase* editor);
    // Lets go of the editor without deleting it (it deletes itself later); the host is told
    // there is none.
    EditorBase* TakeEditor();

protected:
    // The host callback, or 0 when there is none.
    VstValue CallHost(int32_t opcode, int32_t index = 0, VstValue value = 0, void* pointer = nullptr,
                      float option = 0.0f);
    void SetFlag(int32_t flag, bool state);
    bool HasFlag(int32_t flag) const { return (record_.flags & flag) != 0; }

    float sampleRate_ = 44100.0f;
    EditorBase* editor_ = nullptr; // owned
    VstHostCallback host_;
    int32_t programCount_;
    int32_t parameterCount_;
    int32_t currentProgram_ = 0;
    int32_t blockSize_ = 1024;

private:
    VstEffectRecord record_; // published: the host holds its address
};

// The effect behind a record the host passes back (null for a foreign or null record).
VstEffect* EffectOf(VstEffectRecord* record);
