// The effect base: the record it publishes, its entry points, both dispatchers row by row,
// the host-callback wrappers and the text helpers.
#include "plugins/base/vst/EditorBase.h"
#include "plugins/base/vst/VstEffectX.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{

constexpr int32_t kTestId = 0x4B695458; // a plug-in's own id

// What the host was asked.
struct HostCall
{
    int32_t opcode;
    int32_t index;
    VstValue value;
    void* pointer;
    float option;
};

struct FakeHost
{
    static std::vector<HostCall> calls;
    static VstValue answer;
    static VstValue KIV_VSTCALL Callback(VstEffectRecord*, int32_t opcode, int32_t index, VstValue value, void* pointer,
                                         float option)
    {
        calls.push_back({opcode, index, value, pointer, option});
        return answer;
    }
};
std::vector<HostCall> FakeHost::calls;
VstValue FakeHost::answer = 0;

// Only the abstract operation filled in: everything else is the base's behaviour.
class PlainEffect : public VstEffectX
{
public:
    explicit PlainEffect(VstHostCallback host = nullptr, bool* destroyed = nullptr)
        : VstEffectX(host, 3, 5, kTestId), destroyed_(destroyed)
    {
    }
    ~PlainEffect() override
    {
        if (destroyed_)
        {
            *destroyed_ = true;
        }
    }
    void process(float**, float**, int32_t) override {}
    using VstEffect::HasFlag;

private:
    bool* destroyed_;
};

// Every operation the dispatchers reach, logged with its arguments and answering `answer`.
class RecordingEffect : public PlainEffect
{
public:
    std::vector<std::string> log;
    VstValue answer = 1;

    void Log(const std::string& call) { log.push_back(call); }
    static std::string S(VstValue v) { return std::to_string(static_cast<long long>(v)); }
    static std::string F(float v) { return std::to_string(static_cast<int>(v)); }
    static std::string P(const void* p) { return p ? "p" : "null"; }

    void open() override { Log("open"); }
    void close() override { Log("close"); }
    int32_t getProgram() override
    {
        Log("getProgram");
        return static_cast<int32_t>(answer);
    }
    void setProgram(int32_t p) override { Log("setProgram " + S(p)); }
    void setProgramName(char* t) override { Log("setProgramName " + P(t)); }
    void getProgramName(char* t) override { Log("getProgramName " + P(t)); }
    void getParameterLabel(int32_t i, char* t) override { Log("getParameterLabel " + S(i) + " " + P(t)); }
    void getParameterDisplay(int32_t i, char* t) override { Log("getParameterDisplay " + S(i) + " " + P(t)); }
    void getParameterName(int32_t i, char* t) override { Log("getParameterName " + S(i) + " " + P(t)); }
    float getVu() override
    {
        Log("getVu");
        return 0.5f;
    }
    void setSampleRate(float r) override { Log("setSampleRate " + F(r)); }
    void setBlockSize(int32_t s) override { Log("setBlockSize " + S(s)); }
    void suspend() override { Log("suspend"); }
    void resume() override { Log("resume"); }
    int32_t getChunk(void** d, bool preset) override
    {
        Log("getChunk " + P(d) + " " + S(preset));
        return 72;
    }
    int32_t setChunk(void* d, int32_t n, bool preset) override
    {
        Log("setChunk " + P(d) + " " + S(n) + " " + S(preset));
        return static_cast<int32_t>(answer);
    }
    int32_t processEvents(void* e) override
    {
        Log("processEvents " + P(e));
        return static_cast<int32_t>(answer);
    }
    bool canParameterBeAutomated(int32_t i) override
    {
        Log("canParameterBeAutomated " + S(i));
        return answer;
    }
    bool stringToParameter(int32_t i, char* t) override
    {
        Log("stringToParameter " + S(i) + " " + P(t));
        return answer;
    }
    int32_t getNumCategories() override
    {
        Log("getNumCategories");
        return static_cast<int32_t>(answer);
    }
    bool getProgramNameIndexed(int32_t c, int32_t i, char* t) override
    {
        Log("getProgramNameIndexed " + S(c) + " " + S(i) + " " + P(t));
        return answer;
    }
    bool copyProgram(int32_t i) override
    {
        Log("copyProgram " + S(i));
        return answer;
    }
    void inputConnected(int32_t i, bool s) override { Log("inputConnected " + S(i) + " " + S(s)); }
    void outputConnected(int32_t i, bool s) override { Log("outputConnected " + S(i) + " " + S(s)); }
    bool getInputProperties(int32_t i, void* p) override
    {
        Log("getInputProperties " + S(i) + " " + P(p));
        return answer;
    }
    bool getOutputProperties(int32_t i, void* p) override
    {
        Log("getOutputProperties " + S(i) + " " + P(p));
        return answer;
    }
    int32_t getPlugCategory() override
    {
        Log("getPlugCategory");
        return static_cast<int32_t>(answer);
    }
    int32_t reportCurrentPosition() override
    {
        Log("reportCurrentPosition");
        return static_cast<int32_t>(answer);
    }
    float* reportDestinationBuffer() override
    {
        Log("reportDestinationBuffer");
        return nullptr;
    }
    bool offlineNotify(void* p, int32_t n, bool s) override
    {
        Log("offlineNotify " + P(p) + " " + S(n) + " " + S(s));
        return answer;
    }
    bool offlinePrepare(void* p, int32_t n) override
    {
        Log("offlinePrepare " + P(p) + " " + S(n));
        return answer;
    }
    bool offlineRun(void* p, int32_t n) override
    {
        Log("offlineRun " + P(p) + " " + S(n));
        return answer;
    }
    bool processVariableIo(void* p) override
    {
        Log("processVariableIo " + P(p));
        return answer;
    }
    bool setSpeakerArrangement(void* in, void* out) override
    {
        Log("setSpeakerArrangement " + S(reinterpret_cast<VstValue>(in)) + " " + P(out));
        return answer;
    }
    void setBlockSizeAndSampleRate(int32_t b, float r) override
    {
        Log("setBlockSizeAndSampleRate " + S(b) + " " + F(r));
    }
    bool setBypass(bool s) override
    {
        Log("setBypass " + S(s));
        return answer;
    }
    bool getEffectName(char* t) override
    {
        Log("getEffectName " + P(t));
        return answer;
    }
    bool getErrorText(char* t) override
    {
        Log("getErrorText " + P(t));
        return answer;
    }
    bool getVendorString(char* t) override
    {
        Log("getVendorString " + P(t));
        return answer;
    }
    bool getProductString(char* t) override
    {
        Log("getProductString " + P(t));
        return answer;
    }
    int32_t getVendorVersion() override
    {
        Log("getVendorVersion");
        return static_cast<int32_t>(answer);
    }
    VstValue vendorSpecific(int32_t i, VstValue v, void* p, float o) override
    {
        Log("vendorSpecific " + S(i) + " " + S(v) + " " + P(p) + " " + F(o));
        return answer;
    }
    int32_t canDo(char* t) override
    {
        Log(std::string("canDo ") + t);
        return static_cast<int32_t>(answer);
    }
    int32_t getTailSize() override
    {
        Log("getTailSize");
        return static_cast<int32_t>(answer);
    }
    int32_t fxIdle() override
    {
        Log("fxIdle");
        return static_cast<int32_t>(answer);
    }
    void* getIcon() override
    {
        Log("getIcon");
        return nullptr;
    }
    bool setViewPosition(int32_t x, int32_t y) override
    {
        Log("setViewPosition " + S(x) + " " + S(y));
        return answer;
    }
    bool getParameterProperties(int32_t i, void* p) override
    {
        Log("getParameterProperties " + S(i) + " " + P(p));
        return answer;
    }
    bool keysRequired() override
    {
        Log("keysRequired");
        return answer;
    }
    int32_t getVstVersion() override
    {
        Log("getVstVersion");
        return static_cast<int32_t>(answer);
    }
};

char gText[64];

struct DispatchRow
{
    int32_t opcode;
    int32_t index;
    VstValue value;
    void* pointer;
    float option;
    VstValue answerOfOperation; // what the recording operation answers
    const char* call;           // the operation called, "" for none
    VstValue answer;            // the dispatcher's answer
};

TEST(VstEffectDispatcher, EveryOpcodeReachesItsOperation)
{
    const DispatchRow rows[] = {
        {0, 0, 0, nullptr, 0, 1, "open", 0},
        {1, 0, 0, nullptr, 0, 1, "close", 0},
        {2, 0, 2, nullptr, 0, 1, "setProgram 2", 0},
        {2, 0, 3, nullptr, 0, 1, "", 0},  // equal to the program count: nothing
        {2, 0, -1, nullptr, 0, 1, "", 0}, // negative: nothing
        {3, 0, 0, nullptr, 0, 2, "getProgram", 2},
        {4, 0, 0, gText, 0, 1, "setProgramName p", 0},
        {5, 0, 0, gText, 0, 1, "getProgramName p", 0},
        {5, 0, 0, nullptr, 0, 1, "", 0}, // no text to write into
        {6, 4, 0, gText, 0, 1, "getParameterLabel 4 p", 0},
        {7, 4, 0, gText, 0, 1, "getParameterDisplay 4 p", 0},
        {8, 4, 0, gText, 0, 1, "getParameterName 4 p", 0},
        {9, 0, 0, nullptr, 0, 1, "getVu", 16383},
        {10, 0, 0, nullptr, 48000, 1, "setSampleRate 48000", 0},
        {11, 0, 512, nullptr, 0, 1, "setBlockSize 512", 0},
        {12, 0, 5, nullptr, 0, 1, "resume", 0},
        {12, 0, 0, nullptr, 0, 1, "suspend", 0},
        {13, 0, 0, gText, 0, 1, "", 0}, // no editor
        {14, 0, 0, gText, 0, 1, "", 0},
        {15, 0, 0, nullptr, 0, 1, "", 0},
        {19, 0, 0, nullptr, 0, 1, "", 0},
        {22, 0, 0, nullptr, 0, 1, "", 0x4E764566},
        {23, 1, 0, gText, 0, 1, "getChunk p 1", 72},
        {23, 0, 0, gText, 0, 1, "getChunk p 0", 72},
        {24, 0, 40, gText, 0, 7, "setChunk p 40 0", 7},
        {24, 2, 40, gText, 0, 7, "setChunk p 40 1", 7},
        {16, 0, 0, nullptr, 0, 1, "", 0},
        {25, 0, 0, gText, 0, 9, "processEvents p", 9},
        {26, 3, 0, nullptr, 0, 1, "canParameterBeAutomated 3", 1},
        {26, 3, 0, nullptr, 0, 0, "canParameterBeAutomated 3", 0},
        {27, 3, 0, gText, 0, 1, "stringToParameter 3 p", 1},
        {28, 0, 0, nullptr, 0, 4, "getNumCategories", 4},
        {29, 2, 1, gText, 0, 1, "getProgramNameIndexed 1 2 p", 1},
        {30, 2, 0, nullptr, 0, 0, "copyProgram 2", 0},
        {31, 1, 1, nullptr, 0, 0, "inputConnected 1 1", 1},
        {32, 1, 0, nullptr, 0, 0, "outputConnected 1 0", 1},
        {33, 1, 0, gText, 0, 1, "getInputProperties 1 p", 1},
        {34, 1, 0, gText, 0, 0, "getOutputProperties 1 p", 0},
        {35, 0, 0, nullptr, 0, 2, "getPlugCategory", 2},
        {36, 0, 0, nullptr, 0, 3, "reportCurrentPosition", 3},
        {37, 0, 0, nullptr, 0, 3, "reportDestinationBuffer", 0},
        {38, 1, 4, gText, 0, 1, "offlineNotify p 4 1", 1},
        {39, 0, 4, gText, 0, 1, "offlinePrepare p 4", 1},
        {40, 0, 4, gText, 0, 0, "offlineRun p 4", 0},
        {41, 0, 0, gText, 0, 1, "processVariableIo p", 1},
        {42, 0, 77, gText, 0, 1, "setSpeakerArrangement 77 p", 1},
        {43, 0, 256, nullptr, 96000, 0, "setBlockSizeAndSampleRate 256 96000", 1},
        {44, 0, 1, nullptr, 0, 1, "setBypass 1", 1},
        {45, 0, 0, gText, 0, 1, "getEffectName p", 1},
        {46, 0, 0, gText, 0, 1, "getErrorText p", 1},
        {47, 0, 0, gText, 0, 1, "getVendorString p", 1},
        {48, 0, 0, gText, 0, 0, "getProductString p", 0},
        {49, 0, 0, nullptr, 0, 5, "getVendorVersion", 5},
        {50, 1, 2, gText, 3, 6, "vendorSpecific 1 2 p 3", 6},
        {51, 0, 0, const_cast<char*>("bypass"), 0, 1, "canDo bypass", 1},
        {52, 0, 0, nullptr, 0, 8, "getTailSize", 8},
        {53, 0, 0, nullptr, 0, 1, "fxIdle", 1},
        {54, 0, 0, nullptr, 0, 1, "getIcon", 0},
        {55, 10, 20, nullptr, 0, 1, "setViewPosition 10 20", 1},
        {56, 2, 0, gText, 0, 1, "getParameterProperties 2 p", 1},
        {57, 0, 0, nullptr, 0, 0, "keysRequired", 1},
        {57, 0, 0, nullptr, 0, 1, "keysRequired", 0},
        {58, 0, 0, nullptr, 0, 2, "getVstVersion", 2},
        {59, 0, 0, nullptr, 0, 1, "", 0},
        {99, 0, 0, nullptr, 0, 1, "", 0},
    };
    for (const DispatchRow& row : rows)
    {
        RecordingEffect effect;
        effect.answer = row.answerOfOperation;
        const VstValue answer = effect.dispatcher(row.opcode, row.index, row.value, row.pointer, row.option);
        const std::vector<std::string> expected =
            std::string(row.call).empty() ? std::vector<std::string>{} : std::vector<std::string>{row.call};
        EXPECT_EQ(effect.log, expected) << "opcode " << row.opcode;
        EXPECT_EQ(answer, row.answer) << "opcode " << row.opcode;
    }
}

TEST(VstEffectDispatcher, BaseBehaviourOfEveryOperation)
{
    const struct
    {
        int32_t opcode;
        VstValue answer;
    } rows[] = {{3, 0},  {9, 0},  {22, 0x4E764566}, {23, 0}, {24, 0}, {25, 0}, {26, 1}, {27, 0}, {28, 1}, {29, 0},
                {30, 0}, {31, 1}, {32, 1},          {33, 0}, {34, 0}, {35, 0}, {36, 0}, {37, 0}, {38, 0}, {39, 0},
                {40, 0}, {41, 0}, {42, 0},          {43, 1}, {44, 0}, {45, 0}, {46, 0}, {47, 0}, {48, 0}, {49, 0},
                {50, 0}, {51, 0}, {52, 0},          {53, 0}, {54, 0}, {55, 0}, {56, 0}, {57, 1}, {58, 2}};
    for (const auto& row : rows)
    {
        PlainEffect effect;
        void* chunk = &effect;
        void* pointer = row.opcode == 23 ? static_cast<void*>(&chunk) : static_cast<void*>(gText);
        if (row.opcode == 51)
        {
            pointer = const_cast<char*>("sendVstEvents");
        }
        EXPECT_EQ(effect.dispatcher(row.opcode, 0, 0, pointer, 0.0f), row.answer) << "opcode " << row.opcode;
    }

    PlainEffect effect;
    effect.isSynth(true);
    EXPECT_EQ(effect.dispatcher(kEffGetPlugCategory, 0, 0, nullptr, 0), 2);
    EXPECT_EQ(effect.dispatcher(kEffSetProgram, 0, 2, nullptr, 0), 0);
    EXPECT_EQ(effect.dispatcher(kEffGetProgram, 0, 0, nullptr, 0), 2);
    effect.dispatcher(kEffSetBlockSizeAndSampleRate, 0, 333, nullptr, 22050.0f);
    EXPECT_EQ(effect.getBlockSize(), 333);
    EXPECT_EQ(effect.getSampleRate(), 22050.0f);
    effect.dispatcher(kEffSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect.dispatcher(kEffSetBlockSize, 0, 64, nullptr, 0);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    EXPECT_EQ(effect.getBlockSize(), 64);
    std::strcpy(gText, "old");
    effect.dispatcher(kEffGetParamName, 0, 0, gText, 0);
    EXPECT_STREQ(gText, "");
}

TEST(VstEffectRecordTest, PublishedRecordCarriesThePluginsOwnId)
{
    PlainEffect effect;
    VstEffectRecord* record = effect.GetRecord();
    EXPECT_EQ(record->magic, kVstMagic);
    EXPECT_EQ(record->uniqueId, kTestId);
    EXPECT_EQ(record->programCount, 3);
    EXPECT_EQ(record->parameterCount, 5);
    EXPECT_EQ(record->inputCount, 1);
    EXPECT_EQ(record->outputCount, 2);
    EXPECT_EQ(record->flags, 0);
    EXPECT_EQ(record->ioRatio, 1.0f);
    EXPECT_EQ(record->version, 1);
    EXPECT_EQ(record->object, &effect);
    EXPECT_EQ(EffectOf(record), &effect);

    const struct
    {
        std::function<void(bool)> set;
        int32_t flag;
    } flags[] = {{[&](bool s) { effect.hasVu(s); }, 4},
                 {[&](bool s) { effect.hasClip(s); }, 2},
                 {[&](bool s) { effect.canMono(s); }, 8},
                 {[&](bool s) { effect.canReplace(s); }, 16},
                 {[&](bool s) { effect.programsAreChunks(s); }, 32},
                 {[&](bool s) { effect.isSynth(s); }, 256},
                 {[&](bool s) { effect.noSoundInStop(s); }, 512},
                 {[&](bool s) { effect.wantAsyncOperation(s); }, 1024},
                 {[&](bool s) { effect.hasExternalBuffer(s); }, 2048}};
    for (const auto& f : flags)
    {
        f.set(true);
        EXPECT_EQ(record->flags, f.flag);
        f.set(false);
        EXPECT_EQ(record->flags, 0);
    }
    effect.setInitialDelay(480);
    effect.setUniqueId(77);
    effect.setInputCount(2);
    effect.setRealtimeQualities(3);
    effect.setOfflineQualities(4);
    EXPECT_EQ(record->initialDelay, 480);
    EXPECT_EQ(record->uniqueId, 77);
    EXPECT_EQ(record->inputCount, 2);
    EXPECT_EQ(record->realQualities, 3);
    EXPECT_EQ(record->offQualities, 4);
}

class CountingEffect : public PlainEffect
{
public:
    using PlainEffect::PlainEffect;
    int processed = 0;
    int replaced = 0;
    float last = 0;
    void process(float**, float**, int32_t frames) override { processed += frames; }
    void processReplacing(float**, float**, int32_t frames) override { replaced += frames; }
    void setParameter(int32_t, float value) override { last = value; }
    float getParameter(int32_t index) override { return static_cast<float>(index) / 10.0f; }
};

TEST(VstEffectEntries, RecordEntriesReachTheObjectAndCloseDeletesIt)
{
    bool destroyed = false;
    auto* effect = new CountingEffect(nullptr, &destroyed);
    VstEffectRecord* record = effect->GetRecord();
    record->process(record, nullptr, nullptr, 10);
    record->processReplacing(record, nullptr, nullptr, 20);
    record->setParameter(record, 1, 0.25f);
    EXPECT_EQ(record->getParameter(record, 3), 0.3f);
    EXPECT_EQ(effect->processed, 10);
    EXPECT_EQ(effect->replaced, 20);
    EXPECT_EQ(effect->last, 0.25f);
    EXPECT_EQ(record->dispatcher(record, kEffIdentify, 0, 0, nullptr, 0), 0x4E764566);
    EXPECT_FALSE(destroyed);
    EXPECT_EQ(record->dispatcher(record, kEffClose, 0, 0, nullptr, 0), 1);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(EffectOf(nullptr), nullptr);
}

class FakeEditor : public EditorBase
{
public:
    FakeEditor(VstEffect* effect, bool* destroyed) : EditorBase(effect), destroyed_(destroyed) {}
    ~FakeEditor() override { *destroyed_ = true; }
    bool GetRect(VstRect** rect) override
    {
        *rect = &rect_;
        return true;
    }
    VstValue Open(void* parent) override
    {
        EditorBase::Open(parent);
        return 1;
    }
    void Update() override { ++updates; }
    int updates = 0;

private:
    VstRect rect_{0, 0, 200, 300};
    bool* destroyed_;
};

TEST(VstEffectEditor, EditorOpcodesReachTheAttachedEditorWhichTheEffectOwns)
{
    bool destroyed = false;
    {
        PlainEffect effect;
        auto* editor = new FakeEditor(&effect, &destroyed);
        effect.SetEditor(editor);
        EXPECT_TRUE(effect.HasFlag(kVstFlagHasEditor));
        VstRect* rect = nullptr;
        EXPECT_EQ(effect.dispatcher(kEffEditGetRect, 0, 0, &rect, 0), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right, 300);
        int parent = 0;
        EXPECT_EQ(effect.dispatcher(kEffEditOpen, 0, 0, &parent, 0), 1);
        EXPECT_EQ(editor->GetSystemWindow(), &parent);
        editor->PostUpdate();
        effect.dispatcher(kEffEditIdle, 0, 0, nullptr, 0);
        effect.dispatcher(kEffEditIdle, 0, 0, nullptr, 0);
        EXPECT_EQ(editor->updates, 1) << "one update per request";
        EXPECT_EQ(effect.dispatcher(kEffEditClose, 0, 0, nullptr, 0), 0);
        EXPECT_EQ(effect.dispatcher(kEffEditGetRect, 0, 0, nullptr, 0), 0) << "no out pointer";
    }
    EXPECT_TRUE(destroyed);
}

struct HostRow
{
    const char* name;
    std::function<VstValue(PlainEffect&)> call;
    HostCall expected;
    VstValue answer; // when the host answers 5
};

TEST(VstEffectHost, WrappersPassTheirArgumentsToTheHost)
{
    char text[] = "x";
    const HostRow rows[] = {
        {"setParameterAutomated",
         [](PlainEffect& e) {
             e.setParameterAutomated(2, 0.5f);
             return 0;
         },
         {0, 2, 0, nullptr, 0.5f},
         0},
        {"hostVersion", [](PlainEffect& e) { return e.getHostVersion(); }, {1, 0, 0, nullptr, 0}, 5},
        {"currentId", [](PlainEffect& e) { return e.getCurrentUniqueId(); }, {2, 0, 0, nullptr, 0}, 5},
        {"idle",
         [](PlainEffect& e) {
             e.hostIdle();
             return 0;
         },
         {3, 0, 0, nullptr, 0},
         0},
        {"inputConnected", [](PlainEffect& e) { return VstValue(e.isInputConnected(1)); }, {4, 1, 0, nullptr, 0}, 0},
        {"outputConnected", [](PlainEffect& e) { return VstValue(e.isOutputConnected(1)); }, {4, 1, 1, nullptr, 0}, 0},
        {"wantEvents", [](PlainEffect& e) { return VstValue(e.wantEvents(3)); }, {6, 0, 3, nullptr, 0}, 1},
        {"timeInfo",
         [](PlainEffect& e) { return reinterpret_cast<VstValue>(e.getTimeInfo(9)); },
         {7, 0, 9, nullptr, 0},
         5},
        {"tempoAt", [](PlainEffect& e) { return VstValue(e.tempoAt(100)); }, {10, 0, 100, nullptr, 0}, 5},
        {"automatable",
         [](PlainEffect& e) { return VstValue(e.getNumAutomatableParameters()); },
         {11, 0, 0, nullptr, 0},
         5},
        {"quantisation",
         [](PlainEffect& e) { return VstValue(e.getParameterQuantization()); },
         {12, 0, 0, nullptr, 0},
         5},
        {"ioChanged", [](PlainEffect& e) { return VstValue(e.ioChanged()); }, {13, 0, 0, nullptr, 0}, 1},
        {"needIdle", [](PlainEffect& e) { return VstValue(e.needIdle()); }, {14, 0, 0, nullptr, 0}, 1},
        {"sizeWindow", [](PlainEffect& e) { return VstValue(e.sizeWindow(640, 480)); }, {15, 640, 480, nullptr, 0}, 1},
        {"updateSampleRate",
         [](PlainEffect& e) { return VstValue(e.updateSampleRate()); },
         {16, 0, 0, nullptr, 0},
         44100},
        {"updateBlockSize", [](PlainEffect& e) { return VstValue(e.updateBlockSize()); }, {17, 0, 0, nullptr, 0}, 1024},
        {"inputLatency", [](PlainEffect& e) { return VstValue(e.getInputLatency()); }, {18, 0, 0, nullptr, 0}, 5},
        {"outputLatency", [](PlainEffect& e) { return VstValue(e.getOutputLatency()); }, {19, 0, 0, nullptr, 0}, 5},
        {"previous",
         [](PlainEffect& e) { return reinterpret_cast<VstValue>(e.getPreviousPlugin(1)); },
         {20, 0, 1, nullptr, 0},
         5},
        {"next",
         [](PlainEffect& e) { return reinterpret_cast<VstValue>(e.getNextPlugin(1)); },
         {21, 0, 1, nullptr, 0},
         5},
        {"replaceOrAccumulate",
         [](PlainEffect& e) { return VstValue(e.willReplaceOrAccumulate()); },
         {22, 0, 0, nullptr, 0},
         5},
        {"processLevel",
         [](PlainEffect& e) { return VstValue(e.getCurrentProcessLevel()); },
         {23, 0, 0, nullptr, 0},
         5},
        {"automationState", [](PlainEffect& e) { return VstValue(e.getAutomationState()); }, {24, 0, 0, nullptr, 0}, 5},
        {"offlineStart", [&](PlainEffect& e) { return VstValue(e.offlineStart(text, 3, 2)); }, {25, 2, 3, text, 0}, 1},
        {"offlineRead", [&](PlainEffect& e) { return VstValue(e.offlineRead(text, 7, true)); }, {26, 1, 7, text, 0}, 1},
        {"offlineWrite", [&](PlainEffect& e) { return VstValue(e.offlineWrite(text, 7)); }, {27, 0, 7, text, 0}, 1},
        {"currentPass", [](PlainEffect& e) { return VstValue(e.offlineGetCurrentPass()); }, {28, 0, 0, nullptr, 0}, 1},
        {"currentMetaPass",
         [](PlainEffect& e) { return VstValue(e.offlineGetCurrentMetaPass()); },
         {29, 0, 0, nullptr, 0},
         1},
        {"outputRate",
         [](PlainEffect& e) {
             e.setOutputSampleRate(96000.0f);
             return 0;
         },
         {30, 0, 0, nullptr, 96000.0f},
         0},
        {"speakers",
         [&](PlainEffect& e) { return VstValue(e.getSpeakerArrangement(4, text)); },
         {31, 0, 4, text, 0},
         1},
        {"vendor", [&](PlainEffect& e) { return VstValue(e.getHostVendorString(text)); }, {32, 0, 0, text, 0}, 1},
        {"product", [&](PlainEffect& e) { return VstValue(e.getHostProductString(text)); }, {33, 0, 0, text, 0}, 1},
        {"vendorVersion", [](PlainEffect& e) { return VstValue(e.getHostVendorVersion()); }, {34, 0, 0, nullptr, 0}, 5},
        {"vendorSpecific",
         [&](PlainEffect& e) { return e.hostVendorSpecific(1, 2, text, 3.0f); },
         {35, 1, 2, text, 3.0f},
         5},
        {"canHostDo", [&](PlainEffect& e) { return VstValue(e.canHostDo(text)); }, {37, 0, 0, text, 0}, 1},
        {"language", [](PlainEffect& e) { return VstValue(e.getHostLanguage()); }, {38, 0, 0, nullptr, 0}, 5},
        {"openWindow",
         [&](PlainEffect& e) { return reinterpret_cast<VstValue>(e.openWindow(text)); },
         {39, 0, 0, text, 0},
         5},
        {"closeWindow", [&](PlainEffect& e) { return VstValue(e.closeWindow(text)); }, {40, 0, 0, text, 0}, 1},
        {"directory",
         [](PlainEffect& e) { return reinterpret_cast<VstValue>(e.getDirectory()); },
         {41, 0, 0, nullptr, 0},
         5},
        {"updateDisplay", [](PlainEffect& e) { return VstValue(e.updateDisplay()); }, {42, 0, 0, nullptr, 0}, 1},
    };
    for (const HostRow& row : rows)
    {
        FakeHost::calls.clear();
        FakeHost::answer = 5;
        PlainEffect effect(&FakeHost::Callback);
        const VstValue answer = row.call(effect);
        ASSERT_EQ(FakeHost::calls.size(), 1u) << row.name;
        const HostCall& call = FakeHost::calls[0];
        EXPECT_EQ(call.opcode, row.expected.opcode) << row.name;
        EXPECT_EQ(call.index, row.expected.index) << row.name;
        EXPECT_EQ(call.value, row.expected.value) << row.name;
        EXPECT_EQ(call.pointer, row.expected.pointer) << row.name;
        EXPECT_EQ(call.option, row.expected.option) << row.name;
        EXPECT_EQ(answer, row.answer) << row.name;

        // Without a host every wrapper answers 0 or false, except the two documented defaults.
        PlainEffect alone;
        const VstValue lonely = row.call(alone);
        const std::string name = row.name;
        const VstValue expected = name == "hostVersion" || name.find("Connected") != std::string::npos ? 1
                                  : name == "updateSampleRate"                                         ? 44100
                                  : name == "updateBlockSize"                                          ? 1024
                                                                                                       : 0;
        EXPECT_EQ(lonely, expected) << row.name << " without a host";
    }
}

TEST(VstEffectHost, HostAnswersZeroMeansConnectedAndVersionOne)
{
    FakeHost::answer = 0;
    PlainEffect effect(&FakeHost::Callback);
    EXPECT_EQ(effect.getHostVersion(), 1);
    EXPECT_TRUE(effect.isInputConnected(0));
    FakeHost::answer = 1;
    EXPECT_FALSE(effect.isOutputConnected(0));
    FakeHost::answer = 2400;
    EXPECT_EQ(effect.getHostVersion(), 2400);
}

TEST(VstEffectText, HelpersWriteAtMostEightCharacters)
{
    PlainEffect effect;
    effect.setSampleRate(48000.0f);
    const struct
    {
        std::function<void(char*)> write;
        const char* text;
    } rows[] = {
        {[&](char* t) { effect.FloatToText(1.5f, t); }, "1.500000"},
        {[&](char* t) { effect.FloatToText(-12.25f, t); }, "-12.2500"},
        {[&](char* t) { effect.FloatToText(0.0f, t); }, "0.000000"},
        {[&](char* t) { effect.FloatToText(1.0625f, t); }, "1.062500"},
        {[&](char* t) { effect.FloatToText(1234567.0f, t); }, "1234567."},
        {[&](char* t) { effect.FloatToText(-123456.0f, t); }, "-123456."},
        // One digit more does not fit: shown as too big rather than cut.
        {[&](char* t) { effect.FloatToText(12345678.0f, t); }, " Huge!  "},
        {[&](char* t) { effect.FloatToText(-1234567.0f, t); }, " Huge!  "},
        {[&](char* t) { effect.FloatToText(1e9f, t); }, " Huge!  "},
        {[&](char* t) { effect.IntegerText(42, t); }, "     42"},
        {[&](char* t) { effect.IntegerText(-5, t); }, "     -5"},
        {[&](char* t) { effect.IntegerText(99999999, t); }, "99999999"},
        {[&](char* t) { effect.IntegerText(100000000, t); }, " Huge!  "},
        {[&](char* t) { effect.IntegerText(-9999999, t); }, "-9999999"},
        {[&](char* t) { effect.IntegerText(-10000000, t); }, " Huge!  "},
        {[&](char* t) { effect.DecibelText(0.0f, t); }, "  -oo   "},
        {[&](char* t) { effect.DecibelText(-1.0f, t); }, "  -oo   "},
        {[&](char* t) { effect.DecibelText(10.0f, t); }, "20.00000"},
        {[&](char* t) { effect.HertzText(0.0f, t); }, "0.000000"},
        {[&](char* t) { effect.HertzText(480.0f, t); }, "100.0000"},
        {[&](char* t) { effect.MillisecondsText(480.0f, t); }, "10.00000"},
    };
    for (const auto& row : rows)
    {
        char text[32];
        std::memset(text, 'z', sizeof(text));
        row.write(text);
        EXPECT_STREQ(text, row.text);
    }
}

} // namespace

namespace
{

// An operation of the plug-in that fails by throwing (a misused call block, a failed
// allocation): the one operation fails, nothing reaches the host.
class ThrowingEffect : public VstEffectX
{
public:
    ThrowingEffect() : VstEffectX(nullptr, 1, 2, kTestId) {}
    void process(float**, float**, int32_t) override { throw 1; }
    void processReplacing(float**, float**, int32_t) override { throw 1; }
    void setParameter(int32_t, float) override { throw 1; }
    float getParameter(int32_t) override { throw 1; }
    void setBlockSize(int32_t) override { throw 1; }
};

TEST(VstEffectEntries, AnExceptionNeverReachesTheHost)
{
    auto* effect = new ThrowingEffect;
    VstEffectRecord* record = effect->GetRecord();
    EXPECT_NO_THROW(record->process(record, nullptr, nullptr, 16));
    EXPECT_NO_THROW(record->processReplacing(record, nullptr, nullptr, 16));
    EXPECT_NO_THROW(record->setParameter(record, 0, 0.5f));
    EXPECT_EQ(record->getParameter(record, 0), 0.0f);
    EXPECT_EQ(record->dispatcher(record, kEffSetBlockSize, 0, 512, nullptr, 0.0f), 0);
    EXPECT_EQ(record->dispatcher(record, kEffClose, 0, 0, nullptr, 0.0f), 1);
}

} // namespace
