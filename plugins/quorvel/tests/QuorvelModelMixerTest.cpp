// KivQuorvel's effect model against the mixer program and its simulated engine: a services
// link made in this process (this thread is its services thread: commands run at once) lists
// the library, edits the chain, and the engine's chain is read back through the server.
#include "mixer/app/Application.h"
#include "mixer/comcontract/ComInterfaces.h"
#include "mixer/names/WindowMessages.h"
#include "plugins/quorvel/DspEffectInsert.h"
#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/InsertState.h"
#include "plugins/quorvel/ServicesLink.h"
#include "plugins/quorvel/StateChunk.h"
#include "plugins/quorvel/tests/ModelTestSupport.h"
#include "standins/engine/EngineControl.h"
#include "tests/mainwindow/ProgramWindows.h"
#include "tests/mixer/MixerServer.h"
#include "tools/vsthost/tests/HostRun.h"

#include <gtest/gtest.h>

#include <objbase.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{

// The instance as the link sees it: commands run at once on this thread; messages are kept
// with a copy of their payload.
class TestOwner final : public ServicesLinkOwner
{
public:
    struct Post
    {
        uint32_t id;
        uintptr_t wParam;
        std::vector<uint8_t> payload;
    };

    void StopAsio(bool) override {}
    void OnAssignmentChanged() override {}
    void RebuildParamMap() override {}
    void SyncParamMap() override {}
    void StoreParamRequests(bool) override {}
    void WakeParamStores() override {}
    void ReportParamToHost(int32_t, int32_t, const ParamValue&) override {}
    void ReportAllParamsToHost() override {}
    int32_t GetAsioSampleRate() override { return 48000; }
    bool PostToPanel(uint32_t id, uintptr_t wParam, uintptr_t lParam) override
    {
        Post post{id, wParam, {}};
        const size_t size = id == kMessagePresetChanged     ? sizeof(PresetMessage)
                            : id == kMessageCategoryChanged ? sizeof(CategoryMessage)
                                                            : 0;
        if (size && lParam)
        {
            const auto* bytes = reinterpret_cast<const uint8_t*>(lParam);
            post.payload.assign(bytes, bytes + size);
        }
        posts.push_back(std::move(post));
        return false; // the link frees the payload
    }
    bool RunOnServicesThread(int32_t command) override
    {
        link->Execute(command);
        return true;
    }

    ServicesLink* link = nullptr;
    std::vector<Post> posts;
};

// A link with its owner.
struct Instance
{
    Instance() : link(&owner, ServicesSystem::Win32()) { owner.link = &link; }
    TestOwner owner;
    ServicesLink link;
};

std::u16string ShortName(const InsertEffect& insert)
{
    std::u16string name(insert.Info().shortName, 10);
    return name.substr(0, name.find(u'\0'));
}

class ModelWithTheMixer : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // The state records take their memory from the process's platform.
        ASSERT_EQ(ThePlatform(), &ModelPlatform());
        program_ = new ScratchMixerProgram(WindowsPath(KIV_MIXER), WindowsPath(KIV_MIXER_PS));
        ASSERT_TRUE(program_->Registered());
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_EQ(CoCreateInstance(CLSID_KivCorvanServices, nullptr, CLSCTX_LOCAL_SERVER, IID_IKivCorvanServices,
                                   reinterpret_cast<void**>(&services_)),
                  S_OK);
        ASSERT_EQ(services_->QueryInterface(IID_IKivCorvanEffectServices, reinterpret_cast<void**>(&effects_)), S_OK);
    }
    static void TearDownTestSuite()
    {
        if (effects_)
        {
            effects_->Release();
            effects_ = nullptr;
        }
        if (services_)
        {
            services_->Release();
            services_ = nullptr;
        }
        EndMixerProgram();
        CoUninitialize();
        delete program_;
        program_ = nullptr;
    }
    static inline ScratchMixerProgram* program_ = nullptr; // the suite's copy of the program

    // The engine's chain of a client, as the names of its effects: a preset made of every
    // position, read back with its effects, then deleted.
    static std::vector<std::u16string> EngineChain(LONG client, LONG count)
    {
        static int made = 0;
        const std::wstring name = L"Probe" + std::to_wstring(++made);
        std::vector<LONG> positions;
        for (LONG i = 0; i < count; ++i)
        {
            positions.push_back(i);
        }
        std::vector<std::u16string> names;
        effects_->CreatePresetCategory(L"Probes"); // refused when it is there already
        if (count == 0 || effects_->CreatePreset(client, L"Probes", name.c_str(), count, positions.data()) != S_OK)
        {
            return names;
        }
        KivEffectCategory category{};
        std::memcpy(category.name, L"Probes", 14);
        LONG presetCount = 0;
        KivEffectPreset* presets = nullptr;
        if (effects_->GetEffectPresets(&category, &presetCount, &presets) != S_OK)
        {
            return names;
        }
        for (LONG p = 0; p < presetCount; ++p)
        {
            if (name != reinterpret_cast<const wchar_t*>(presets[p].name))
            {
                continue;
            }
            LONG factory = 0, effectCount = 0, valueCount = 0;
            KivEffectPreset* effects = nullptr;
            LONG* counts = nullptr;
            float* wetDry = nullptr;
            KivPresetValue* values = nullptr;
            if (effects_->GetInserts(presets[p].id, &factory, &effectCount, &effects, &counts, &wetDry, &valueCount,
                                     &values) == S_OK)
            {
                for (LONG e = 0; e < effectCount; ++e)
                {
                    std::u16string effect(reinterpret_cast<const char16_t*>(effects[e].name));
                    names.push_back(effect.substr(0, 9));
                }
            }
            CoTaskMemFree(effects);
            CoTaskMemFree(counts);
            CoTaskMemFree(wetDry);
            CoTaskMemFree(values);
            effects_->DeletePreset(presets[p].id);
        }
        CoTaskMemFree(presets);
        return names;
    }

    static std::vector<std::u16string> PluginChain(InsertChain& chain)
    {
        std::vector<std::u16string> names;
        for (int32_t i = 0; i < chain.Count(); ++i)
        {
            names.push_back(ShortName(*chain.At(i)));
        }
        return names;
    }

    static EffectId Find(EffectCatalog& catalog, const std::u16string& category, const std::u16string& preset)
    {
        for (int32_t c = 0; c < catalog.CategoryCount(); ++c)
        {
            std::shared_ptr<PresetCategory> found = catalog.CategoryAt(c);
            if (category != found->Record().name)
            {
                continue;
            }
            for (int32_t p = 0; p < found->PresetCount(); ++p)
            {
                if (preset == found->PresetAt(p)->Record().name)
                {
                    return found->PresetAt(p)->Id();
                }
            }
        }
        return EffectId{};
    }

    // Pumps this thread's messages (the sinks' calls) until done() holds, for 10 s at most.
    template <typename Done>
    static bool PumpFor(Done done)
    {
        for (int i = 0; i < 400; ++i)
        {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            {
                DispatchMessageA(&message);
            }
            if (done())
            {
                return true;
            }
            Sleep(25);
        }
        return false;
    }

    // Pumps until the owner has a post with the id.
    static bool WaitForPost(TestOwner& owner, uint32_t id)
    {
        return PumpFor([&] {
            return std::any_of(owner.posts.begin(), owner.posts.end(),
                               [id](const TestOwner::Post& post) { return post.id == id; });
        });
    }

    // The running mixer program's process, and its engine's answer to a control request.
    static DWORD MixerProcess()
    {
        DWORD process = 0;
        HWND mixer = FindWindowA("Varn Services", nullptr);
        return mixer && GetWindowThreadProcessId(mixer, &process) ? process : 0;
    }
    static std::string Control(const std::string& request)
    {
        std::string reply;
        return SendControlRequest(MixerProcess(), request, reply) ? reply : "(no answer)";
    }
    // How many entries of the engine's call log are exactly this one.
    static int LogCount(const std::string& entry)
    {
        std::istringstream log(Control("log"));
        int count = 0;
        for (std::string line; std::getline(log, line);)
        {
            count += line == entry ? 1 : 0;
        }
        return count;
    }

    static IKivCorvanServices* services_;
    static IKivCorvanEffectServices* effects_;
};

IKivCorvanServices* ModelWithTheMixer::services_ = nullptr;
IKivCorvanEffectServices* ModelWithTheMixer::effects_ = nullptr;

TEST_F(ModelWithTheMixer, TheLibraryIsListedWithAChainPresetsEffects)
{
    Instance instance;
    ASSERT_TRUE(instance.link.IsConnected());
    EffectCatalog& catalog = *instance.link.GetCatalog();
    ASSERT_GE(catalog.CategoryCount(), 2);
    std::shared_ptr<PresetCategory> core = catalog.CategoryAt(0);
    EXPECT_EQ(std::u16string(core->Record().name), u"Core Effects");
    EXPECT_TRUE(core->IsCore());
    ASSERT_GE(core->PresetCount(), 4);
    EXPECT_EQ(std::u16string(core->PresetAt(0)->Record().name), u"Reverb");

    const EffectId chainId = Find(catalog, u"Factory Chains", u"Vocal Chain");
    std::shared_ptr<PresetEntry> chain = catalog.FindPreset(chainId);
    ASSERT_NE(chain, nullptr);
    EXPECT_TRUE(chain->IsChain());
    // Across processes: only with every detail pointer does the server's proxy answer.
    ASSERT_EQ(chain->ChildCount(), 3);
    EXPECT_EQ(chain->ChildIdAt(2), Find(catalog, u"Core Effects", u"Reverb"));
    EXPECT_TRUE(chain->IsFactory());
}

TEST_F(ModelWithTheMixer, ChainEditsAreTheEnginesChain)
{
    Instance instance;
    EffectCatalog& catalog = *instance.link.GetCatalog();
    InsertChain& chain = instance.link.GetInserts();
    const LONG client = instance.link.GetClientId();
    const EffectId reverb = Find(catalog, u"Core Effects", u"Reverb");
    const EffectId delay = Find(catalog, u"Core Effects", u"Delay");
    const EffectId vocal = Find(catalog, u"Factory Chains", u"Vocal Chain");
    const EffectId room = Find(catalog, u"Factory Chains", u"Small Room");

    ASSERT_TRUE(chain.LoadPreset(reverb, 0, true, true));
    ASSERT_TRUE(chain.LoadPreset(delay, 1, true, true));
    ASSERT_TRUE(chain.LoadPreset(vocal, 1, true, true));
    EXPECT_EQ(PluginChain(chain),
              (std::vector<std::u16string>{u"Reverb", u"Compresso", u"Equalizer", u"Reverb", u"Delay"}));
    EXPECT_EQ(EngineChain(client, chain.Count()), PluginChain(chain));

    ASSERT_TRUE(chain.Move(0, chain.Count()));
    ASSERT_TRUE(chain.RemoveAt(1, true));
    ASSERT_TRUE(chain.ReplaceWithPreset(0, room));
    EXPECT_EQ(PluginChain(chain), (std::vector<std::u16string>{u"Reverb", u"Reverb", u"Delay", u"Reverb"}));
    EXPECT_EQ(EngineChain(client, chain.Count()), PluginChain(chain));
    ASSERT_TRUE(chain.ReplaceWithPreset(1, vocal));
    EXPECT_EQ(EngineChain(client, chain.Count()), PluginChain(chain));

    ASSERT_TRUE(chain.At(1)->SetBypass(true));
    ASSERT_TRUE(chain.At(2)->SetSolo(true));
    LONG bypass = 0, solo = 0;
    ASSERT_EQ(effects_->GetInsertBypass(client, 1, &bypass), S_OK);
    ASSERT_EQ(effects_->GetInsertSolo(client, 2, &solo), S_OK);
    EXPECT_EQ(bypass, 1);
    EXPECT_EQ(solo, 1);
    EXPECT_TRUE(chain.At(1)->IsBypassed());
    ASSERT_TRUE(chain.SetAllBypass(false));
    ASSERT_EQ(effects_->GetInsertBypass(client, 1, &bypass), S_OK);
    EXPECT_EQ(bypass, 0);
    EXPECT_FALSE(chain.At(1)->IsBypassed());

    // Metered values come in one batch.
    chain.PollReadOnlyParams();
    ParamValue level;
    ASSERT_TRUE(chain.At(0)->GetParamValue(3, &level));
    EXPECT_EQ(level.kind, 2);

    chain.RemoveAll(true);
    EXPECT_EQ(chain.Count(), 0);
    EXPECT_TRUE(EngineChain(client, 1).empty()) << "nothing left at position 0";
}

TEST_F(ModelWithTheMixer, AChunkRestoresTheChainWithAndWithoutTheMixerKeepingItsIds)
{
    std::unique_ptr<AlignedBuffer> saved;
    std::vector<std::u16string> names;
    {
        Instance first;
        EffectCatalog& catalog = *first.link.GetCatalog();
        InsertChain& chain = first.link.GetInserts();
        ASSERT_TRUE(chain.LoadPreset(Find(catalog, u"Core Effects", u"Delay"), 0, true, true));
        ASSERT_TRUE(chain.LoadPreset(Find(catalog, u"Factory Chains", u"Small Room"), 1, true, true));
        ASSERT_TRUE(chain.AddTrimPot(2, true, true));
        ASSERT_TRUE(chain.At(0)->SetBypass(true));
        ASSERT_TRUE(chain.At(0)->StoreParam(0, 2, ParamValue::Real(0.125f).bits));
        names = PluginChain(chain);

        // Captured while detached: the stored switches stay.
        chain.DetachCmd();
        InsertStateList states;
        ASSERT_TRUE(states.Capture(chain));
        EXPECT_EQ(states.At(0)->bypassed, 1);
        saved = MakeStateChunk(states);
        ASSERT_NE(saved, nullptr);
    }
    // Restored by another instance with the mixer: the engine runs the same chain.
    {
        Instance second;
        InsertStateList states;
        ASSERT_TRUE(ParseStateChunk(saved->Data(), saved->Size(), nullptr, &states));
        InsertChain& chain = second.link.GetInserts();
        chain.Restore(states);
        ASSERT_EQ(chain.Count(), 3);
        EXPECT_EQ(EngineChain(second.link.GetClientId(), chain.Count()), names);
        ParamValue gain;
        ASSERT_TRUE(chain.At(0)->GetParamValue(0, &gain));
        EXPECT_EQ(gain.AsReal(), 0.125f);
        LONG bypass = 0;
        ASSERT_EQ(effects_->GetInsertBypass(second.link.GetClientId(), 0, &bypass), S_OK);
        EXPECT_EQ(bypass, 1);
    }
    // Without a mixer: read and captured again, it keeps its kinds, ids and switches.
    InsertChain alone(nullptr, nullptr, nullptr);
    InsertStateList states;
    ASSERT_TRUE(ParseStateChunk(saved->Data(), saved->Size(), nullptr, &states));
    alone.Restore(states);
    InsertStateList again;
    ASSERT_TRUE(again.Capture(alone));
    ASSERT_EQ(again.Count(), states.Count());
    for (uint32_t i = 0; i < states.Count(); ++i)
    {
        EXPECT_EQ(again.At(i)->kind, states.At(i)->kind) << i;
        EXPECT_EQ(again.At(i)->bypassed, states.At(i)->bypassed) << i;
    }
    EXPECT_EQ(static_cast<DspEffectState*>(again.At(1))->preset.id,
              static_cast<DspEffectState*>(states.At(1))->preset.id);
    EXPECT_FALSE(static_cast<DspEffectState*>(again.At(1))->preset.id.IsZero());
    std::unique_ptr<AlignedBuffer> rewritten = MakeStateChunk(again);
    ASSERT_NE(rewritten, nullptr);
}

TEST_F(ModelWithTheMixer, LibraryEditsComeBackAsMessagesAndBadNamesAreRefused)
{
    Instance instance;
    EffectCatalog& catalog = *instance.link.GetCatalog();
    const int32_t before = catalog.CategoryCount();
    EXPECT_EQ(catalog.CreateCategory(u"Bad\\Name"), EffectCatalog::kEditRefused);
    EXPECT_EQ(catalog.CreateCategory(u"Guitars"), EffectCatalog::kEditDone);
    HWND mixer = FindWindowA("Varn Services", nullptr);
    ASSERT_NE(mixer, nullptr);
    PostMessageA(mixer, WindowMessage::kFireNotify, 0x8, 0);
    ASSERT_TRUE(WaitForPost(instance.owner, kMessageCategoryChanged));
    const auto& post = instance.owner.posts.back();
    EXPECT_EQ(post.wParam, 0u);
    ASSERT_EQ(post.payload.size(), sizeof(CategoryMessage));
    EXPECT_EQ(std::u16string(reinterpret_cast<const CategoryMessage*>(post.payload.data())->name), u"Guitars");
    EXPECT_EQ(catalog.CategoryCount(), before + 1);

    // A preset of the instance's chain in the new category: 4353 with its record.
    InsertChain& chain = instance.link.GetInserts();
    ASSERT_TRUE(chain.LoadPreset(Find(catalog, u"Core Effects", u"Delay"), 0, true, true));
    catalog.CategoryAt(before)->PresetCount();
    const int32_t positions[] = {0};
    EXPECT_EQ(catalog.CreatePreset(u"Guitars", u"Slap", 1, positions), EffectCatalog::kEditDone);
    PostMessageA(mixer, WindowMessage::kFireNotify, 0x8, 0);
    ASSERT_TRUE(WaitForPost(instance.owner, kMessagePresetChanged));
    const auto& added = instance.owner.posts.back();
    ASSERT_EQ(added.payload.size(), sizeof(PresetMessage));
    EXPECT_EQ(std::u16string(reinterpret_cast<const PresetMessage*>(added.payload.data())->preset.name), u"Slap");
    EXPECT_EQ(catalog.CategoryAt(before)->PresetCount(), 1);
    EXPECT_EQ(catalog.DeleteCategory(u"Guitars"), EffectCatalog::kEditDone);
}

// The engine's library (850) and preset-list (800) events reach the instance through the
// mixer program's dispatcher, as notifications 0x8 and 0x10 (no notification fired by hand):
// changes the instance made come back as its messages. The same event raised again from
// outside makes the mixer tell of its last change once more: the instance asks again and
// changes nothing more.
TEST_F(ModelWithTheMixer, EngineEvents850And800ReachTheInstanceThroughTheDispatcher)
{
    Instance instance;
    ASSERT_TRUE(instance.link.IsConnected());
    TestOwner& owner = instance.owner;
    // The dispatcher passes these events on once the program has its frame.
    ASSERT_TRUE(PumpFor([] { return !ProgramWindows(MixerProcess()).empty(); }));
    const auto posted = [&owner](uint32_t id) {
        return std::count_if(owner.posts.begin(), owner.posts.end(),
                             [id](const TestOwner::Post& post) { return post.id == id; });
    };

    EffectCatalog& catalog = *instance.link.GetCatalog();
    const int32_t categories = catalog.CategoryCount();
    ASSERT_EQ(catalog.CreateCategory(u"Strings"), EffectCatalog::kEditDone);
    ASSERT_TRUE(WaitForPost(owner, kMessageCategoryChanged));
    std::shared_ptr<PresetCategory> strings = catalog.CategoryAt(categories);
    ASSERT_NE(strings, nullptr);
    EXPECT_EQ(std::u16string(strings->Record().name), u"Strings");
    EXPECT_EQ(strings->PresetCount(), 0);

    InsertChain& chain = instance.link.GetInserts();
    ASSERT_TRUE(chain.LoadPreset(Find(catalog, u"Core Effects", u"Delay"), 0, true, true));
    const int32_t positions[] = {0};
    ASSERT_EQ(catalog.CreatePreset(u"Strings", u"Bowed", 1, positions), EffectCatalog::kEditDone);
    ASSERT_TRUE(WaitForPost(owner, kMessagePresetChanged));
    EXPECT_EQ(strings->PresetCount(), 1);
    const int asked = LogCount("GetPresetChange");
    EXPECT_EQ(Control("raise 850"), "ok");
    EXPECT_TRUE(PumpFor([&] { return LogCount("GetPresetChange") > asked; })) << Control("log");
    EXPECT_EQ(strings->PresetCount(), 1) << "the preset is added once";
    EXPECT_EQ(posted(kMessagePresetChanged), 1);

    auto* delay = static_cast<DspEffectInsert*>(chain.At(0));
    const int32_t presets = delay->PresetCount();
    ASSERT_TRUE(delay->CreatePreset(u"Warm"));
    ASSERT_TRUE(PumpFor([&] { return posted(kMessageCorePresetsChanged) == 1; }));
    ASSERT_TRUE(delay->CreatePreset(u"Cold"));
    ASSERT_TRUE(PumpFor([&] { return posted(kMessageCorePresetsChanged) == 2; }));
    int modelAsked = LogCount("GetParamModelChange");
    EXPECT_EQ(Control("raise 800"), "ok");
    EXPECT_TRUE(PumpFor([&] { return LogCount("GetParamModelChange") > modelAsked; })) << Control("log");
    ASSERT_EQ(delay->PresetCount(), presets + 2) << "the preset is added once";
    EXPECT_EQ(std::u16string(delay->PresetAt(presets)->name), u"Warm");

    ASSERT_TRUE(delay->DeletePreset(presets));
    ASSERT_TRUE(PumpFor([&] { return posted(kMessageCorePresetsChanged) == 3; }));
    modelAsked = LogCount("GetParamModelChange");
    EXPECT_EQ(Control("raise 800"), "ok");
    EXPECT_TRUE(PumpFor([&] { return LogCount("GetParamModelChange") > modelAsked; })) << Control("log");
    ASSERT_EQ(delay->PresetCount(), presets + 1) << "the removal is made once";
    EXPECT_EQ(std::u16string(delay->PresetAt(presets)->name), u"Cold");
    EXPECT_EQ(posted(kMessageCorePresetsChanged), 3);
    EXPECT_TRUE(delay->DeletePreset(presets));

    chain.RemoveAll(true);
    EXPECT_EQ(catalog.DeleteCategory(u"Strings"), EffectCatalog::kEditDone);
}

} // namespace
