// What the main frame's tests and its screenshot stand on: the main window as a recorder
// with the shipped mixer skin, and an engine whose mixer model is the stand-in's.
#pragma once

#include <windows.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "framework/platform/RegistryKey.h"
#include "framework/skin/Skin.h"
#include "framework/skin/tests/SkinTestSupport.h"
#include "mixer/engine/tests/NullServices.h"
#include "mixer/views/MainWindowLink.h"
#include "standins/engine/EngineModel.h"

namespace viewstest
{
using skintest::Narrow;
using skintest::Text;

// An engine whose mixer model is the stand-in's, with the hardware the test gives it.
class ModelServices : public NullServices
{
public:
    explicit ModelServices(const std::set<int>& features)
    {
        profile.present = true;
        profile.features.assign(features.begin(), features.end());
        mixer = std::make_unique<StandinMixer>(profile);
    }
    StandinHardware* Hardware() { return static_cast<StandinHardware*>(mixer->GetHardware()); }

    IVarnMixer* VARN_CALL GetMixer() override { return mixer.get(); }
    int VARN_CALL IsReady() override { return 1; }
    int VARN_CALL IsRunning() override { return 1; }

    HardwareProfile profile; // the mixer's systems hold on to it
    std::unique_ptr<StandinMixer> mixer;
};

// The main window as the frame sees it: the shipped skin, a settings key of the test's own,
// and a record of every call.
class RecordingLink : public MainWindowLink
{
public:
    Skin& GetSkin() override { return skin; }
    RegistryKey& GetSettings() override { return settings; }
    IVarnServices* GetServices() override { return services; }
    void RebuildView(int id, VarnEventArg argument) override
    {
        calls.push_back("RebuildView " + std::to_string(id) + " " + std::to_string(argument));
    }
    IVarnHardware* GetCurrentSystem() override
    {
        IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
        return mixer ? mixer->GetSystem(0) : nullptr;
    }
    bool GetSessionName(String& name) override
    {
        if (!sessionName)
            return false;
        name.Assign(Text(sessionName));
        return true;
    }
    void NewSession() override { calls.push_back("NewSession"); }
    void OpenSession() override { calls.push_back("OpenSession"); }
    void EditSessionSettings() override { calls.push_back("EditSessionSettings"); }
    void SaveSession() override { calls.push_back("SaveSession"); }
    void SaveSessionAs() override { calls.push_back("SaveSessionAs"); }
    void EditGlobalPreferences() override { calls.push_back("EditGlobalPreferences"); }
    void ShowSaveMenu(int, int) override { calls.push_back("ShowSaveMenu"); }
    void Close() override { calls.push_back("Close"); }

    Skin skin;
    RegistryKey settings;
    IVarnServices* services = nullptr; // borrowed
    const char* sessionName = "Mix.session";
    std::vector<std::string> calls;
};

// The build's shipped mixer skin, as Wine names its folder.
inline int LoadMixerSkin(Skin& skin)
{
    std::string path = std::string("Z:") + KIV_PROGRAM_DIR + "/Skins/Default";
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return skin.Load(Text(path.c_str()), nullptr);
}
} // namespace viewstest
