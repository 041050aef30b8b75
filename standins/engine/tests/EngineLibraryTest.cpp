// The engine library as the program loads it: KivCorvanDSP.dll of the program folder, called
// through its tables of operations.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "mixer/engine/VarnServices.h"
#include "tests/support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace
{
class CountingListener : public IVarnListener
{
public:
    int VARN_CALL OnEngineEvent(int id, VarnEventArg argument) override
    {
        // Only the event the test raises: the level set before may still be on its way (301).
        if (id == 51 && argument == 9)
        {
            onEngineThread = GetCurrentThreadId() != testThread;
            ++events;
        }
        return 1;
    }
    DWORD testThread = GetCurrentThreadId();
    std::atomic<int> events{0};
    std::atomic<bool> onEngineThread{false};
};

TEST(EngineLibraryTest, ProgramFolderLibraryServesTheEngine)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    fs::path program = fs::path(self).parent_path() / ".." / ".." / "program";
    HMODULE library = LoadLibraryW((program / "KivCorvanDSP.dll").wstring().c_str());
    ASSERT_NE(library, nullptr);
    auto create =
        reinterpret_cast<IVarnServices* (*)()>(reinterpret_cast<void*>(GetProcAddress(library, "CreateVarnServices")));
    auto raise = reinterpret_cast<void (*)(IVarnServices*, int, VarnEventArg)>(
        reinterpret_cast<void*>(GetProcAddress(library, "KivEngineRaiseEvent")));
    auto callLog = reinterpret_cast<int (*)(IVarnServices*, char*, int)>(
        reinterpret_cast<void*>(GetProcAddress(library, "KivEngineCallLog")));
    ASSERT_TRUE(create && raise && callLog);

    ScratchFolder scratch("kiv-engine-library");
    const fs::path& data = scratch.Path();
    IVarnServices* engine = create();
    ASSERT_NE(engine, nullptr);
    // The program folder carries the default simulated card.
    EXPECT_EQ(engine->Init(program.u16string().c_str(), data.u16string().c_str(), data.u16string().c_str()), 1);
    IVarnHardware* hardware = engine->GetMixer()->GetHardware();
    ASSERT_NE(hardware, nullptr);
    // The default card lists 5, an id the product does not read: numbers pass as listed.
    constexpr int kUnreadFeature = 5;
    EXPECT_EQ(hardware->HasFeature(kUnreadFeature), 1);
    EXPECT_EQ(hardware->GetMainMix()->SetMonitorLevel(-10.0f, 0), 1);
    EXPECT_FLOAT_EQ(hardware->GetMainMix()->GetMonitorLevel(), -10.0f);

    CountingListener listener;
    EXPECT_EQ(engine->AddListener(&listener), 1);
    raise(engine, 51, 9);
    for (int i = 0; i < 500 && listener.events == 0; ++i)
        Sleep(10);
    EXPECT_EQ(listener.events, 1);
    EXPECT_TRUE(listener.onEngineThread);
    EXPECT_EQ(engine->RemoveListener(&listener), 1);

    char log[512];
    ASSERT_GT(callLog(engine, log, sizeof log), 0);
    EXPECT_NE(std::string(log).find("AddListener\nRemoveListener\n"), std::string::npos) << log;
    engine->Release();
    FreeLibrary(library);
}
} // namespace
