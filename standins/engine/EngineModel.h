#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "mixer/app/VarnServices.h"

// The simulated card and its mixer model, behind the engine's interfaces. Objects live as
// long as the engine object: the program never frees what the engine hands out.

// What the simulated card is, read from "SimulatedCard.txt" in the program folder: lines of
// "name=value" ("present", "model", "systems", "inputs", "outputs", "rate", "features" as a
// comma-separated list). A missing file is a machine without the card.
struct HardwareProfile
{
    bool present = false;
    int model = 0;
    int systems = 1;
    int inputs = 8;
    int outputs = 8;
    int rateCode = 1;
    std::vector<int> features;

    static HardwareProfile Read(const std::filesystem::path& file);
};

class StandinSettings final : public IVarnSettings
{
public:
    int VARN_CALL SetValue(const char* name, int value, int reserved, int flag) override;
    int VARN_CALL GetValue(const char* name, int* value) override;

    std::map<std::string, int> values; // guarded by the engine's model lock
};

class StandinLevelControl final : public IVarnLevelControl
{
public:
    void VARN_CALL Reserved0() override {}
    void VARN_CALL Reserved1() override {}
    void VARN_CALL Reserved2() override {}
    void VARN_CALL Reserved3() override {}
    void VARN_CALL Reserved4() override {}
    void VARN_CALL Reserved5() override {}
    void VARN_CALL Reserved6() override {}
    void VARN_CALL Reserved7() override {}
    void VARN_CALL Reserved8() override {}
    void VARN_CALL Reserved9() override {}
    void VARN_CALL Reserved10() override {}
    float VARN_CALL GetLevel() override { return level; }
    void VARN_CALL Reserved12() override {}
    int VARN_CALL SetLevel(float value, int) override
    {
        level = value;
        return 1;
    }

    float level = 0.0f;
};

class StandinHardware final : public IVarnHardware
{
public:
    explicit StandinHardware(const HardwareProfile& profile) : profile_(profile) {}
    void VARN_CALL Reserved0() override {}
    void VARN_CALL Reserved1() override {}
    int VARN_CALL HasFeature(int feature) override;
    void VARN_CALL Reserved3() override {}
    IVarnSettings* VARN_CALL GetSettings() override { return &settings; }
    void VARN_CALL Reserved5() override {}
    IVarnLevelControl* VARN_CALL GetLevelControl() override { return &level; }
    // The channel lists are not simulated yet.
    IVarnInputList* VARN_CALL GetInputList() override { return nullptr; }
    IVarnItemList* VARN_CALL GetItemList() override { return nullptr; }

    StandinSettings settings;
    StandinLevelControl level;

private:
    const HardwareProfile& profile_;
};

class StandinMixer final : public IVarnMixer
{
public:
    explicit StandinMixer(const HardwareProfile& profile);
    void VARN_CALL Reserved0() override {}
    IVarnHardware* VARN_CALL GetSystem(int index) override;
    IVarnHardware* VARN_CALL GetHardware() override { return GetSystem(0); }
    void VARN_CALL Reserved3() override {}
    void VARN_CALL Reserved4() override {}
    void VARN_CALL Reserved5() override {}
    int VARN_CALL GetRateCode() override { return rateCode; }

    int SystemCount() const { return static_cast<int>(systems_.size()); }

    int rateCode;
    std::u16string sessionName;

private:
    std::vector<std::unique_ptr<StandinHardware>> systems_;
};

// Sessions in a text file of ours:
//   KivCorvanSession <format version>
//   rate=<code>
//   systems=<count>
//   name=<UTF-8 session name>
//   setting <system> <name>=<value>
//   level <system> <value>
class SessionFile
{
public:
    static const int formatVersion = 1;
    static bool Save(const std::filesystem::path& file, StandinMixer& mixer);
    // Answers the file's format version (0 when unreadable) and fills the mixer when the
    // version is ours or older; systemsWanted is how many systems the session expects.
    static int Load(const std::filesystem::path& file, StandinMixer& mixer, int& systemsWanted);
    // The rate code of a file, or 6 when unknown.
    static int ReadRate(const std::filesystem::path& file);
};

// Core effects ("Core Effects\Presets\<effect>") and categories ("Effect Presets\<category>")
// of the program folder.
class StandinFxLibrary final : public IVarnFxLibrary
{
public:
    explicit StandinFxLibrary(std::filesystem::path programFolder) : folder_(std::move(programFolder)) {}
    int VARN_CALL LoadCoreEffects() override;
    int VARN_CALL LoadCategories() override;
    void VARN_CALL Reserved2() override {}
    void VARN_CALL Reserved3() override {}
    void VARN_CALL Reserved4() override {}
    void VARN_CALL Reserved5() override {}
    int VARN_CALL GetCategoryCount() override { return static_cast<int>(categories.size()); }
    // Fills a 264-byte record: 128 UTF-16 units of name, a value and the core flag.
    int VARN_CALL GetCategoryInfo(int index, void* record) override;
    void VARN_CALL Reserved8() override {}
    void VARN_CALL Reserved9() override {}
    void VARN_CALL Reserved10() override {}
    void VARN_CALL Reserved11() override {}
    void VARN_CALL Reserved12() override {}
    void VARN_CALL Reserved13() override {}
    void VARN_CALL Reserved14() override {}
    void VARN_CALL Reserved15() override {}
    void VARN_CALL Reserved16() override {}
    void VARN_CALL Reserved17() override {}
    void VARN_CALL Reserved18() override {}
    void VARN_CALL Reserved19() override {}
    void VARN_CALL Reserved20() override {}
    void VARN_CALL Reserved21() override {}
    void VARN_CALL Reserved22() override {}
    void VARN_CALL Reserved23() override {}
    void VARN_CALL Reserved24() override {}
    void VARN_CALL Reserved25() override {}
    void VARN_CALL Reserved26() override {}
    void VARN_CALL Reserved27() override {}
    // Copies the preset folders of an exported library into the program folder's.
    int VARN_CALL ImportLibrary(const char16_t* corePresetsFolder,
                                const char16_t* effectPresetsFolder) override;

    std::vector<std::u16string> coreEffects;
    std::vector<std::u16string> categories;

private:
    std::filesystem::path folder_;
};
