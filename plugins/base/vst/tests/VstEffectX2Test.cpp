// The later revision of the effect base: its opcodes row by row, the host answers it keeps and
// the speaker arrangements it makes.
#include "plugins/base/vst/EditorBase.h"
#include "plugins/base/vst/VstEffectX2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{

VstValue gHostAnswer = 0;
std::vector<int32_t> gHostOpcodes;

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t, VstValue, void*, float)
{
    gHostOpcodes.push_back(opcode);
    return gHostAnswer;
}

class LaterEffect : public VstEffectX2
{
public:
    LaterEffect() : VstEffectX2(&Host, 1, 4, 0x4B695459) {}
    void process(float**, float**, int32_t) override {}
    VstValue Dispatch(int32_t opcode, int32_t index = 0, VstValue value = 0, void* pointer = nullptr,
                      float option = 0.0f)
    {
        return GetRecord()->dispatcher(GetRecord(), opcode, index, value, pointer, option);
    }
};

class KeyEditor : public EditorBase
{
public:
    using EditorBase::EditorBase;
    VstValue OnKeyDown(const VstKeyCode& key) override
    {
        keys.push_back(key);
        return 1;
    }
    VstValue SetKnobMode(int32_t mode) override { return mode + 10; }
    std::vector<VstKeyCode> keys;
};

class VstEffectX2Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        gHostAnswer = 0;
        gHostOpcodes.clear();
    }
    LaterEffect effect_;
};

TEST_F(VstEffectX2Test, AnswersOfTheLaterOpcodesWithoutAnEditor)
{
    char text[64] = {};
    const struct
    {
        int32_t opcode;
        VstValue value;
        void* pointer;
        VstValue answer;
    } rows[] = {
        {kEffGetVstVersion, 0, nullptr, 2300},
        {kEffEditKeyDown, 65, nullptr, 0},
        {kEffEditKeyUp, 65, nullptr, 0},
        {kEffSetEditKnobMode, 2, nullptr, 0},
        {kEffGetMidiProgramName, 0, text, 0},
        {kEffGetCurrentMidiProgram, 0, text, -1},
        {kEffGetMidiProgramCategory, 0, text, 0},
        {kEffHasMidiProgramsChanged, 0, nullptr, 0},
        {kEffGetMidiKeyName, 0, text, 0},
        {kEffBeginSetProgram, 0, nullptr, 0},
        {kEffEndSetProgram, 0, nullptr, 0},
        {kEffShellGetNextPlugin, 0, text, 0},
        {kEffStartProcess, 0, nullptr, 0},
        {kEffStopProcess, 0, nullptr, 0},
        {kEffSetTotalSampleToProcess, 4410, nullptr, 4410},
        {kEffSetPanLaw, 1, nullptr, 0},
        {kEffBeginLoadBank, 0, text, 0},
        {kEffBeginLoadProgram, 0, text, 0},
        {kEffCanDo, 0, text, 0},
    };
    std::strcpy(text, "receiveVstEvents");
    for (const auto& row : rows)
    {
        EXPECT_EQ(effect_.Dispatch(row.opcode, 0, row.value, row.pointer), row.answer) << "opcode " << row.opcode;
    }
    EXPECT_TRUE(gHostOpcodes.empty()) << "none of them asks the host";
}

TEST_F(VstEffectX2Test, KeysAndKnobModeGoToTheEditor)
{
    auto* editor = new KeyEditor(&effect_);
    effect_.SetEditor(editor);
    EXPECT_EQ(effect_.Dispatch(kEffEditKeyDown, 'a', 0x1241, nullptr, 3.7f), 1);
    ASSERT_EQ(editor->keys.size(), 1u);
    EXPECT_EQ(editor->keys[0].character, 'a');
    EXPECT_EQ(editor->keys[0].virtualKey, 0x41) << "the low byte of the value";
    EXPECT_EQ(editor->keys[0].modifiers, 3) << "the option as an integer";
    EXPECT_EQ(effect_.Dispatch(kEffEditKeyUp, 'a', 0x41), 0) << "the base editor takes no key";
    EXPECT_EQ(effect_.Dispatch(kEffSetEditKnobMode, 0, 2), 12);
}

TEST_F(VstEffectX2Test, SpeakerArrangementRequestsLeaveNullPlacesAlone)
{
    // Both places null: nothing is written and nothing breaks.
    EXPECT_EQ(effect_.Dispatch(kEffGetSpeakerArrangement, 0, 0, nullptr), 0);
    auto* stale = reinterpret_cast<VstSpeakerArrangement*>(static_cast<intptr_t>(0x1234));
    VstSpeakerArrangement* input = stale;
    VstSpeakerArrangement* output = stale;
    EXPECT_EQ(effect_.Dispatch(kEffGetSpeakerArrangement, 0, reinterpret_cast<VstValue>(&input), nullptr), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(effect_.Dispatch(kEffGetSpeakerArrangement, 0, 0, &output), 0);
    EXPECT_EQ(output, nullptr);
}

TEST_F(VstEffectX2Test, HostAnswersAboutRateAndBlockSizeAreKeptWhenAbove0)
{
    effect_.setBlockSizeAndSampleRate(256, 44100.0f);
    gHostAnswer = 0;
    EXPECT_EQ(effect_.updateSampleRate(), 44100.0);
    EXPECT_EQ(effect_.updateBlockSize(), 256);
    gHostAnswer = -5;
    EXPECT_EQ(effect_.updateBlockSize(), 256);
    gHostAnswer = 48000;
    EXPECT_EQ(effect_.updateSampleRate(), 48000.0);
    gHostAnswer = 512;
    EXPECT_EQ(effect_.updateBlockSize(), 512);
    EXPECT_EQ(gHostOpcodes, (std::vector<int32_t>{kHostGetSampleRate, kHostGetBlockSize, kHostGetBlockSize,
                                                  kHostGetSampleRate, kHostGetBlockSize}));
}

TEST_F(VstEffectX2Test, HostCallsOfTheLaterRevision)
{
    gHostAnswer = 1;
    EXPECT_TRUE(effect_.beginEdit(3));
    EXPECT_TRUE(effect_.endEdit(3));
    EXPECT_FALSE(effect_.openFileSelector(nullptr)) << "a null selector never reaches the host";
    char selector[16] = {};
    EXPECT_TRUE(effect_.openFileSelector(selector));
    effect_.getInputSpeakerArrangement();
    effect_.getOutputSpeakerArrangement();
    EXPECT_EQ(gHostOpcodes, (std::vector<int32_t>{kHostBeginEdit, kHostEndEdit, kHostOpenFileSelector,
                                                  kHostGetInputSpeakerArrangement, kHostGetOutputSpeakerArrangement}));
}

TEST_F(VstEffectX2Test, ArrangementsAreAllocatedMatchedAndFreed)
{
    VstSpeakerArrangement* made = nullptr;
    EXPECT_FALSE(VstEffectX2::allocateArrangement(&made, -1));
    EXPECT_FALSE(VstEffectX2::allocateArrangement(&made, 0x7fffffff)) << "a block past 32 bits";
    EXPECT_EQ(made, nullptr);
    ASSERT_TRUE(VstEffectX2::allocateArrangement(&made, 2));
    EXPECT_EQ(made->count, 2);
    EXPECT_EQ(made->type, 0);
    EXPECT_EQ(made->speakers[1].type, 0) << "zeroed";

    made->type = 1;
    made->speakers[0].azimuth = 0.5f;
    std::strcpy(made->speakers[0].name, "L");
    made->speakers[1].type = 2;
    made->speakers[1].future[6] = 9;
    VstSpeakerArrangement* copy = nullptr;
    ASSERT_TRUE(VstEffectX2::matchArrangement(&copy, made));
    EXPECT_EQ(copy->type, 1);
    EXPECT_EQ(copy->count, 2);
    EXPECT_EQ(copy->speakers[0].azimuth, 0.5f);
    EXPECT_STREQ(copy->speakers[0].name, "L");
    EXPECT_EQ(copy->speakers[1].type, 2);
    EXPECT_EQ(copy->speakers[1].future[6], 9);
    EXPECT_FALSE(VstEffectX2::matchArrangement(&copy, nullptr));
    EXPECT_FALSE(VstEffectX2::copySpeaker(nullptr, &made->speakers[0]));

    // Allocating again frees the old block (the sanitizers would see a leak otherwise).
    ASSERT_TRUE(VstEffectX2::allocateArrangement(&copy, 0));
    EXPECT_EQ(copy->count, 0);
    EXPECT_TRUE(VstEffectX2::deallocateArrangement(&copy));
    EXPECT_EQ(copy, nullptr);
    EXPECT_TRUE(VstEffectX2::deallocateArrangement(&made));
}

} // namespace
