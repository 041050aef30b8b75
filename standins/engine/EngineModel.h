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
// comma-separated list; the driver profile as "devnode", "refcount", "pcifunction", "baseaddress", "irq",
// "vendor", "device", "subsystem", "revision", "driverversion" (decimal or 0x hexadecimal)
// and "devicekey"). A missing file is a machine without the card.
struct HardwareProfile
{
    bool present = false;
    int model = 0;
    int systems = 1;
    int inputs = 8;
    int outputs = 8;
    int rateCode = 1;
    std::vector<int> features;
    VarnDriverProfile driver = {};

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

class StandinMonitor final : public IVarnMonitor
{
public:
    int VARN_CALL SetParameter(int index, int value) override;

    int parameters[6] = {}; // guarded by the engine's model lock
};

class StandinStrip;

// The bus object of a strip: its insert chain (the inserts are not simulated yet).
class StandinStripBus final : public IVarnInsertChain
{
public:
    explicit StandinStripBus(StandinStrip& strip) : strip_(strip) {}
    int VARN_CALL GetCount() override { return 0; }
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
    void VARN_CALL Reserved11() override {}
    void VARN_CALL Reserved12() override {}
    void VARN_CALL Reserved13() override {}
    void VARN_CALL Reserved14() override {}
    void VARN_CALL Reserved15() override {}
    void VARN_CALL Reserved16() override {}
    void VARN_CALL Reserved17() override {}
    void VARN_CALL Reserved18() override {}
    int VARN_CALL GetBusType() override { return 0; }
    void VARN_CALL Reserved20() override {}
    void VARN_CALL Reserved21() override {}
    void VARN_CALL Reserved22() override {}
    void VARN_CALL Reserved23() override {}
    void VARN_CALL Reserved24() override {}
    void VARN_CALL Reserved25() override {}
    IVarnStrip* VARN_CALL GetStrip() override;

private:
    StandinStrip& strip_;
};

// A strip recording one ASIO input pair of the card: it feeds the pair's port and carries a
// direct-monitor control unless a test takes it away.
class StandinStrip final : public IVarnStrip
{
public:
    StandinStrip() : bus(*this) {}
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
    IVarnMonitor* VARN_CALL GetMonitor() override { return hasMonitor ? &monitor : nullptr; }
    int VARN_CALL SetState(int value, int flag) override;

    StandinStripBus bus;
    StandinMonitor monitor;
    bool hasMonitor = true;
    int state = 0;
    int stateFlag = 0;
};

class StandinOutput final : public IVarnOutput
{
public:
    StandinOutput(int kind, int index) : kind_(kind), index_(index) {}
    int VARN_CALL GetKind() override { return kind_; }
    int VARN_CALL GetIndex() override { return index_; }
    void VARN_CALL Reserved2() override {}
    void VARN_CALL Reserved3() override {}
    IVarnInsertChain* VARN_CALL GetSource() override { return source; }
    void VARN_CALL Reserved5() override {}
    void VARN_CALL Reserved6() override {}
    void VARN_CALL Reserved7() override {}
    void VARN_CALL Reserved8() override {}
    void VARN_CALL Reserved9() override {}
    void VARN_CALL Reserved10() override {}
    void VARN_CALL Reserved11() override {}
    void VARN_CALL Reserved12() override {}
    void VARN_CALL Reserved13() override {}
    void VARN_CALL Reserved14() override {}
    void VARN_CALL Reserved15() override {}
    int VARN_CALL IsHidden() override { return hidden ? 1 : 0; }

    IVarnInsertChain* source = nullptr; // borrowed: the bus that feeds the port, or null
    bool hidden = false;

private:
    int kind_, index_;
};

// The output ports: one kind-1 port per ASIO input pair of the card ("inputs" channels),
// each fed by its own strip.
class StandinItemList final : public IVarnItemList
{
public:
    explicit StandinItemList(const HardwareProfile& profile);
    void VARN_CALL Reserved0() override {}
    int VARN_CALL GetCount(int kind) override;
    IVarnOutput* VARN_CALL GetPort(int kind, int index) override;

    std::vector<std::unique_ptr<StandinStrip>> strips;
    std::vector<std::unique_ptr<StandinOutput>> asioPorts;
};

// The card's driver, answering the profile of the card description.
class StandinDriver final : public IVarnDriver
{
public:
    explicit StandinDriver(const HardwareProfile& profile) : profile_(profile) {}
    int VARN_CALL GetProfile(VarnDriverProfile* profile) override;

private:
    const HardwareProfile& profile_;
};

class StandinHardware final : public IVarnHardware
{
public:
    explicit StandinHardware(const HardwareProfile& profile)
        : items(profile), driver(profile), profile_(profile)
    {
    }
    void VARN_CALL Reserved0() override {}
    void VARN_CALL Reserved1() override {}
    int VARN_CALL HasFeature(int feature) override;
    void VARN_CALL Reserved3() override {}
    IVarnSettings* VARN_CALL GetSettings() override { return &settings; }
    void VARN_CALL Reserved5() override {}
    IVarnLevelControl* VARN_CALL GetLevelControl() override { return &level; }
    // The input list is not simulated yet.
    IVarnInputList* VARN_CALL GetInputList() override { return nullptr; }
    IVarnItemList* VARN_CALL GetItemList() override { return &items; }
    void VARN_CALL Reserved9() override {}
    void VARN_CALL Reserved10() override {}
    void VARN_CALL Reserved11() override {}
    void VARN_CALL Reserved12() override {}
    void VARN_CALL Reserved13() override {}
    void VARN_CALL Reserved14() override {}
    void VARN_CALL Reserved15() override {}
    IVarnDriver* VARN_CALL GetDriver() override { return &driver; }

    StandinSettings settings;
    StandinLevelControl level;
    StandinItemList items;
    StandinDriver driver;

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
