#pragma once
// The later revision of the extended VST 2 base, for hosts of VST 2.3: version 2300, the
// opcodes 59-76 (editor keys and knob mode, MIDI programs, speaker arrangements, process
// bracketing, pan law, bank loading), and host answers about rate and block size kept when
// they make sense. Everything else is the extended base's.

#include "plugins/base/vst/VstEffectX.h"

class VstEffectX2 : public VstEffectX
{
public:
    using VstEffectX::VstEffectX;
    ~VstEffectX2() override;

    VstValue dispatcher(int32_t opcode, int32_t index, VstValue value, void* pointer, float option) override;

    // The host's answer becomes the stored value when it is above 0; answers the stored one.
    double updateSampleRate() override;
    int32_t updateBlockSize() override;
    int32_t getVstVersion() override;

    virtual VstSpeakerArrangement* getInputSpeakerArrangement();
    virtual VstSpeakerArrangement* getOutputSpeakerArrangement();
    // The plug-in's own arrangements: the base has none (both null). The host-callback form of
    // the same name stays visible beside it.
    using VstEffectX::getSpeakerArrangement;
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
    virtual int32_t getMidiProgramName(int32_t channel, void* name);
    virtual int32_t getCurrentMidiProgram(int32_t channel, void* name);
    virtual int32_t getMidiProgramCategory(int32_t channel, void* category);
    virtual bool hasMidiProgramsChanged(int32_t channel);
    virtual bool getMidiKeyName(int32_t channel, void* keyName);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    virtual bool beginEdit(int32_t index);
    virtual bool endEdit(int32_t index);
    virtual bool openFileSelector(void* selector);
    virtual int32_t setTotalSampleToProcess(int32_t value);
    virtual int32_t getNextShellPlugin(char* name);
    virtual int32_t startProcess();
    virtual int32_t stopProcess();
    virtual bool setPanLaw(int32_t type, float gain);
    virtual int32_t beginLoadBank(void* patch);
    virtual int32_t beginLoadProgram(void* patch);

    // Speaker arrangements the plug-in makes itself, in blocks of 8 + count x 112 bytes.
    // Allocate frees the old block first; false when count is negative or memory is short.
    static bool allocateArrangement(VstSpeakerArrangement** arrangement, int32_t count);
    static bool deallocateArrangement(VstSpeakerArrangement** arrangement);
    static bool copySpeaker(VstSpeaker* to, const VstSpeaker* from);
    static bool matchArrangement(VstSpeakerArrangement** to, const VstSpeakerArrangement* from);
};
