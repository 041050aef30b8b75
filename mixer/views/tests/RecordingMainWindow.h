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
#include "mixer/views/MainWindowLink.h"
#include "standins/engine/EngineModel.h"

namespace viewstest
{
inline String Text(const char* text)
{
    String result;
    result.AppendAscii(text);
    return result;
}

inline std::string Narrow(const String& text)
{
    std::string out;
    for (int i = 0; i < text.Length(); ++i)
        out += static_cast<char>(text.CharAt(i));
    return out;
}

// An engine whose mixer model is the stand-in's, with the hardware the test gives it.
class ModelServices : public IVarnServices
{
public:
    explicit ModelServices(const std::set<int>& features)
    {
        profile.present = true;
        profile.features.assign(features.begin(), features.end());
        mixer = std::make_unique<StandinMixer>(profile);
    }
    StandinHardware* Hardware() { return static_cast<StandinHardware*>(mixer->GetHardware()); }

    int VARN_CALL Init(const char16_t*, const char16_t*, const char16_t*) override { return 0; }
    int VARN_CALL AddListener(IVarnListener*) override { return 0; }
    int VARN_CALL RemoveListener(IVarnListener*) override { return 0; }
    int VARN_CALL SetViewInterface(IVarnView*) override { return 0; }
    void VARN_CALL Reserved4() override {}
    int VARN_CALL CreateEmptySession(const void*, const char16_t*, int) override { return 0; }
    int VARN_CALL CreateSessionFromTemplate(const void*, const char16_t*, int) override { return 0; }
    int VARN_CALL LoadSession(const char16_t*, int) override { return 0; }
    int VARN_CALL SaveSession(const char16_t*, int, int) override { return 0; }
    void VARN_CALL Reserved9() override {}
    int VARN_CALL GetSessionPath(char16_t*, int, int) override { return 0; }
    void VARN_CALL Reserved11() override {}
    void VARN_CALL Reserved12() override {}
    void VARN_CALL Reserved13() override {}
    IVarnMixer* VARN_CALL GetMixer() override { return mixer.get(); }
    int VARN_CALL PrepareTemplates() override { return 0; }
    int VARN_CALL GetTemplateCount() override { return 0; }
    int VARN_CALL GetTemplate(int, void*) override { return 0; }
    IVarnFxLibrary* VARN_CALL GetFxLibrary() override { return nullptr; }
    void VARN_CALL Reserved19() override {}
    void VARN_CALL Reserved20() override {}
    void VARN_CALL Reserved21() override {}
    void VARN_CALL Reserved22() override {}
    void VARN_CALL Reserved23() override {}
    void VARN_CALL Reserved24() override {}
    int VARN_CALL IsReady() override { return 1; }
    void VARN_CALL Reserved26() override {}
    void VARN_CALL Reserved27() override {}
    int VARN_CALL IsRunning() override { return 1; }
    void VARN_CALL Release() override {}
    int VARN_CALL IsModified() override { return 0; }
    void VARN_CALL SetModified(int) override {}
    int VARN_CALL GetFileRate(const char16_t*, int*) override { return 0; }
    IVarnAutomation* VARN_CALL GetAutomation() override { return nullptr; }
    void VARN_CALL AcknowledgeEvent(int, int, VarnEventArg, int) override {}

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
