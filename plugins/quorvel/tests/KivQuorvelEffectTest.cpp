// The effects plug-in on a fake driver: instances, pass-through, host modes and preferences,
// the audio path through a pair, the render warning, and the parameter path to the host.
#include "framework/platform/RegistryImpl.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/tests/MemoryRegistryBackend.h"
#include "plugins/base/asio/PluginModule.h"
#include "plugins/base/asio/tests/FakeAsio.h"
#include "plugins/quorvel/KivQuorvelEffect.h"
#include "plugins/quorvel/tests/FakeChain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr GUID kDriver = {0x51515151, 1, 1, {1, 2, 3, 4, 5, 6, 7, 8}};

struct Automation
{
    int32_t index;
    float value;
};

std::string gProduct;
std::atomic<int32_t> gProcessLevel{kVstProcessLevelRealtime};
std::vector<Automation> gAutomations;

VstValue KIV_VSTCALL Host(VstEffectRecord*, int32_t opcode, int32_t index, VstValue, void* pointer, float option)
{
    switch (opcode)
    {
    case kHostVersion:
        return 2400;
    case kHostGetProductString:
        std::strcpy(static_cast<char*>(pointer), gProduct.c_str());
        return 1;
    case kHostGetCurrentProcessLevel:
        return gProcessLevel.load();
    case kHostAutomate:
        gAutomations.push_back({index, option});
        return 0;
    default:
        return 0;
    }
}

void SetPair(const char* pair)
{
    if (pair)
    {
        setenv("KIV_QUORVEL_TEST_PAIR", pair, 1);
    }
    else
    {
        unsetenv("KIV_QUORVEL_TEST_PAIR");
    }
}

class KivQuorvelEffectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegistryImpl::SetBackend(&registry);
        system.objects[FakeSystem::Key(kDeviceEnumeratorId)] = &enumerator;
        system.objects[FakeSystem::Key(kDriver)] = &driver;
        enumerator.devices = {{kDriver, kKivVendorId, kKivDeviceIds[0], kKivSubsystemPattern | 0x00010000}};
        driver.minimumSize = 64;
        driver.preferredSize = 256;
        driver.granularity = 64;
        AsioSystem::Use(&system);
        gProduct = "KIV test host";
        gProcessLevel = kVstProcessLevelRealtime;
        gAutomations.clear();
        SetPair(nullptr);
    }
    void TearDown() override
    {
        effects.clear();
        SetPair(nullptr);
        AsioSystem::Use(nullptr);
        RegistryImpl::SetBackend(nullptr);
    }
    KivQuorvelEffect* Make()
    {
        effects.push_back(std::make_unique<KivQuorvelEffect>(&Host));
        return effects.back().get();
    }
    void Prefer(const char* name, bool on)
    {
        RegistryKey key;
        ASSERT_TRUE(key.Open("HKEY_CURRENT_USER", u"Software\\Halvorn Professional\\KIV Quorvel\\", 1));
        const std::u16string wide(name, name + std::strlen(name));
        key.WriteBool(wide.c_str(), on ? 1 : 0);
    }
    // One buffer switch of the driver, as its thread would run it.
    void Switch(int32_t index) { driver.callbacks.bufferSwitch(index, 1); }

    MemoryRegistryBackend registry;
    FakeSystem system;
    FakeEnumerator enumerator;
    FakeDriver driver;
    std::vector<std::unique_ptr<KivQuorvelEffect>> effects;
};

TEST_F(KivQuorvelEffectTest, ThirtyThreeInstancesAndNoMore)
{
    for (int32_t i = 0; i < KivQuorvelEffect::kMaxInstances; ++i)
    {
        ASSERT_FALSE(Make()->Failed()) << i;
        EXPECT_EQ(effects.back()->GetInstanceIndex(), i);
    }
    EXPECT_TRUE(Make()->Failed());
    effects.pop_back();
    EXPECT_EQ(PluginModule::LiveCount(), 33) << "the refused instance leaves the count as it was";
    effects.erase(effects.begin() + 5);
    EXPECT_FALSE(Make()->Failed()) << "a freed place is taken again";
}

TEST_F(KivQuorvelEffectTest, WithoutAPairTheInputPassesThrough)
{
    KivQuorvelEffect* effect = Make();
    effect->setBlockSize(512);
    EXPECT_EQ(effect->GetRecord()->initialDelay, 1536);
    effect->setBlockSize(0);
    EXPECT_EQ(effect->GetRecord()->initialDelay, 1536) << "a block of 0 changes nothing";
    EXPECT_TRUE(driver.calls.empty()) << "without a pair the driver is not opened";
    effect->resume();
    std::vector<float> left(64, 0.25f), right(64, -0.5f), outLeft(64, 1.0f), outRight(64, 1.0f);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {outLeft.data(), outRight.data()};
    effect->process(inputs, outputs, 64);
    EXPECT_EQ(outLeft[10], 1.25f) << "accumulating adds";
    EXPECT_EQ(outRight[63], 0.5f);
    effect->processReplacing(inputs, outputs, 64);
    EXPECT_EQ(outLeft[10], 0.25f) << "replacing copies";
    EXPECT_EQ(outRight[63], -0.5f);
}

TEST_F(KivQuorvelEffectTest, HostModesAndPreferences)
{
    SetPair("1 2");
    driver.preferredSize = 1024;
    driver.minimumSize = 256;
    driver.granularity = 256;
    gProduct = "Cubase VST";
    KivQuorvelEffect* cubase = Make();
    cubase->setBlockSize(512);
    EXPECT_EQ(cubase->GetHostMode(), kHostModeCubase);
    EXPECT_EQ(cubase->GetRecord()->initialDelay, 2048);
    effects.clear();

    gProduct = "Cubase VST 5";
    Prefer("ExtraBufferEnabled", true);
    KivQuorvelEffect* extra = Make();
    extra->setBlockSize(512);
    EXPECT_EQ(extra->GetHostMode(), kHostModeNormal);
    EXPECT_EQ(extra->GetBuffers().frames, 1024);
    EXPECT_EQ(extra->GetRecord()->initialDelay, 3072);
    effects.clear();

    Prefer("ExtraBufferEnabled", false);
    Prefer("RenderModeEnabled", true);
    gProduct = "Cubase VST";
    KivQuorvelEffect* render = Make();
    render->setBlockSize(512);
    EXPECT_EQ(render->GetHostMode(), kHostModeRender) << "render mode wins";
    EXPECT_EQ(render->GetBuffers().streamSize, 512);
}

TEST_F(KivQuorvelEffectTest, APairRunsThroughTheDriversChannels)
{
    SetPair("1 2");
    KivQuorvelEffect* effect = Make();
    // Before the host's block size the driver is open without channels.
    EXPECT_NE(std::find(driver.calls.begin(), driver.calls.end(), "createBuffers 0 256"), driver.calls.end());
    EXPECT_EQ(std::find(driver.calls.begin(), driver.calls.end(), "start"), driver.calls.end());
    EXPECT_EQ(effect->GetStream().Peek(), nullptr);
    effect->setBlockSize(256);
    EXPECT_EQ(effect->GetSendPair(), 1);
    EXPECT_EQ(effect->GetReturnPair(), 2);
    ASSERT_TRUE(effect->GetLink()->IsRunning());
    const std::vector<std::string>& calls = driver.calls;
    EXPECT_NE(std::find(calls.begin(), calls.end(), "getChannelInfo out 2"), calls.end()) << "send pair 1";
    EXPECT_NE(std::find(calls.begin(), calls.end(), "getChannelInfo in 4"), calls.end()) << "return pair 2";
    EXPECT_NE(std::find(calls.begin(), calls.end(), "createBuffers 4 256"), calls.end());
    effect->resume();

    // Replacing with nothing captured yet: the host's output is all zeros.
    std::vector<float> in(256, 0.5f), out(256, 7.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    effect->processReplacing(inputs, outputs, 256);
    EXPECT_EQ(out[0], 0.0f);
    Switch(0);
    std::fill(out.begin(), out.end(), 7.0f);
    effect->processReplacing(inputs, outputs, 256);
    EXPECT_EQ(out[100], 0.0f);
    std::fill(out.begin(), out.end(), 7.0f);
    effect->process(inputs, outputs, 256);
    EXPECT_EQ(out[100], 7.0f) << "accumulating adds what came back (silence)";

    // The pair is given back: the audio passes through again and offline never waits.
    SetPair("-1 -1");
    effect->RequestReconnect();
    EXPECT_EQ(effect->GetStream().Peek(), nullptr);
    gProcessLevel = kVstProcessLevelOffline;
    for (int i = 0; i < 20; ++i)
    {
        effect->processReplacing(inputs, outputs, 256);
    }
    EXPECT_EQ(out[100], 0.5f);
    EXPECT_TRUE(system.messages.empty());
}

TEST_F(KivQuorvelEffectTest, TheRenderWarningShowsOncePerOfflineRun)
{
    SetPair("0 0");
    KivQuorvelEffect* effect = Make();
    effect->setBlockSize(256);
    effect->resume();
    std::vector<float> in(256, 0.5f), out(256, 0.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out.data(), out.data()};
    Switch(0);
    // A driver far ahead of the host: captured blocks pile up beyond the latency and go.
    std::atomic<bool> done{false};
    std::thread driverThread([&] {
        for (int32_t k = 0; !done.load(); ++k)
        {
            Switch(k % 2);
            std::this_thread::yield();
        }
    });
    for (int run = 0; run < 2; ++run)
    {
        gProcessLevel = kVstProcessLevelRealtime;
        effect->process(inputs, outputs, 256);
        gProcessLevel = kVstProcessLevelOffline;
        for (int call = 0; call < 50; ++call)
        {
            effect->process(inputs, outputs, 256);
        }
        EXPECT_EQ(system.messages.size(), static_cast<size_t>(run + 1)) << "run " << run;
    }
    done = true;
    driverThread.join();
    ASSERT_FALSE(system.messages.empty());
    EXPECT_EQ(system.messages[0], "text 5|text 4");
}

TEST_F(KivQuorvelEffectTest, ParametersRoundTripThroughSetGetAndReport)
{
    KivQuorvelEffect* effect = Make();
    FakeChain chain;
    chain.Add(u"Fx", {FloatParam(u"Mix", -100.0f, 100.0f), IntParam(u"Mode", 4, 0, 1)});
    effect->SetParamChain(&chain);
    effect->RebuildParamMap();
    VstEffectRecord* record = effect->GetRecord();
    EXPECT_EQ(record->parameterCount, 256);
    record->setParameter(record, 0, 0.9f);
    EXPECT_NEAR(chain.inserts[0].values[0].AsReal(), 80.0f, 1e-4);
    EXPECT_NEAR(record->getParameter(record, 0), 0.9f, 1e-6);
    record->setParameter(record, 1, 0.3f);
    EXPECT_EQ(chain.inserts[0].values[1].AsInteger(), 1);
    effect->ReportParamToHost(0, 0, ParamValue::Real(-50.0f));
    ASSERT_EQ(gAutomations.size(), 1u);
    EXPECT_EQ(gAutomations[0].index, 0);
    EXPECT_NEAR(gAutomations[0].value, 0.25f, 1e-6);
    EXPECT_NEAR(chain.inserts[0].values[0].AsReal(), -50.0f, 1e-4) << "the report applies the value too";
    EXPECT_EQ(record->getParameter(record, 300), 0.0f);
    int32_t position = 0, index = 0;
    effect->LookupParamMapping(2, &position, &index);
    EXPECT_EQ(position, -1);
    char text[64] = {};
    record->dispatcher(record, kEffGetParamName, 0, 0, text, 0.0f);
    EXPECT_STREQ(text, "Fx:Mix");
    EXPECT_EQ(record->dispatcher(record, kEffGetVstVersion, 0, 0, nullptr, 0.0f), 2300);
    EXPECT_EQ(record->dispatcher(record, kEffEditKeyDown, 0, 0, nullptr, 0.0f), 0) << "no editor";
    EXPECT_EQ(record->dispatcher(record, kEffGetVendorString, 0, 0, text, 0.0f), 1);
    EXPECT_STREQ(text, "KIV Systems");
}

} // namespace
