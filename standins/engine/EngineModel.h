#pragma once
#include <filesystem>
#include <atomic>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "mixer/engine/VarnServices.h"
#include "standins/engine/StandinMainMix.h"

// The simulated card and its mixer model, behind the engine's interfaces. Objects live as
// long as the engine object: the program never frees what the engine hands out.

// What the simulated card is, read from "SimulatedCard.txt" in the program folder: lines of
// "name=value", described in that file. A missing file is a machine without the card; a line
// that cannot be read (unknown name, not a number, out of range) is skipped and reported in
// problems, which the engine writes to its call log.
struct HardwareProfile
{
    // What a channel item or an input is connected to.
    struct Link
    {
        enum Kind
        {
            Free,    // not in use
            Strip,   // a strip (index): records it, feeds it directly, or feeds from it
            Aux,     // an aux bus (index)
            Main,    // the main bus
            Mix,     // an ASIO pair recording the main mix without a strip
            Monitor, // an ASIO pair recording the monitor mix without a strip
            Plugin,  // taken by the effects plug-in
            Output   // an input whose chain ends at a physical output pair (index)
        } kind = Free;
        int index = 0;
        int position = 0; // insert position for aux, main and routed strips
    };

    bool present = false;
    int model = 0;
    int systems = 1;
    int inputs = 8;  // ASIO input channels
    int outputs = 8; // ASIO output channels
    int rateCode = 1;
    int wavePairs = 1;
    int monoInputs = 4;
    int stereoInputs = 4;
    int physicalOutputs = 4; // pairs
    int auxBuses = 4;
    int midiFxSends = 0;
    bool keepCategory2 = true;
    std::vector<int> features;
    std::map<std::string, int> settings;            // the systems' hardware settings before a session sets any
    std::map<int, std::u16string> stripNames;       // strip index -> name
    std::map<int, Link> records;                    // ASIO input pair -> what it records
    std::map<int, int> monoRecords;                 // ASIO input channel -> strip index
    std::map<std::pair<int, int>, Link> inputLinks; // (input kind, index) -> link
    std::map<int, Link> outputLinks;                // physical output pair -> source
    std::map<int, Link> routes;                     // physical output channel -> source
    std::map<int, Link> overrides;                  // physical output pair -> the bus whose send took it
    std::map<std::pair<int, int>, int> fits;        // (item kind, rate code) -> channels
    VarnDriverProfile driver = {};
    std::vector<std::string> problems;

    static HardwareProfile Read(const std::filesystem::path& file);
    // Reads one "name=value" line into the profile; false (with a problem) when it cannot.
    bool ReadLine(const std::string& line);
};

// Named values of a system or a session. A text that reads as a whole number is also that
// number; commands and writes go to the log when one is given.
class StandinSettings final : public IVarnSettings
{
public:
    int VARN_CALL SetValue(const char* name, int value, int reserved, int flag) override;
    int VARN_CALL GetValue(const char* name, int* value) override;
    int VARN_CALL SetText(const char* name, const char16_t* text, int reserved, int flag) override;
    int VARN_CALL RunCommand(const char* name) override;

    // guarded by the engine's model lock
    std::map<std::string, int> values;
    std::map<std::string, std::u16string> texts;
    std::function<void(std::string)> log;
};

class StandinMonitor final : public IVarnMonitor
{
public:
    int VARN_CALL SetParameter(int index, int value) override;

    int parameters[6] = {}; // guarded by the engine's model lock
};

class StandinStrip;

// A bus object: the insert chain of a strip, an aux or the main bus (the inserts are not
// simulated yet: a chain has only a count, which tests set).
class StandinBus final : public IVarnInsertChain
{
public:
    explicit StandinBus(int type) : type_(type) {}
    int VARN_CALL GetCount() override { return count; }
    IVarnInsert* VARN_CALL GetInsert(int) override { return nullptr; }
    int VARN_CALL GetBusType() override { return type_; }
    IVarnStrip* VARN_CALL GetStrip() override;
    IVarnAux* VARN_CALL GetAux() override { return aux; }

    StandinStrip* strip = nullptr; // borrowed: the strip that owns the bus
    StandinAux* aux = nullptr;     // borrowed: the aux of an aux bus
    std::atomic<int> count{0};

private:
    int type_;
};

// An insert slot on a bus (no effect in it).
class StandinInsert final : public IVarnInsert
{
public:
    StandinInsert(IVarnInsertChain* chain, int position) : chain_(chain), position_(position) {}
    int VARN_CALL GetKind() override { return kind; }
    IVarnOutput* VARN_CALL GetOutputPort() override { return outputPort; }
    IVarnInput* VARN_CALL GetInputPort() override { return inputPort; }
    int VARN_CALL GetPosition() override { return position_; }
    int VARN_CALL HasEffect() override { return 0; }
    int VARN_CALL IsBypassed() override { return 0; }
    int VARN_CALL HasHardware() override;
    IVarnInsertChain* VARN_CALL GetChain() override { return chain_; }

    bool hasHardware = true;
    std::function<void(std::string)> log; // where the hardware query is written, may be empty
    int kind = 0;                         // a test's send (1), send/return (2, 6) or effect
    IVarnOutput* outputPort = nullptr;    // borrowed: the port a send goes to
    IVarnInput* inputPort = nullptr;      // borrowed: the port a return comes from

private:
    IVarnInsertChain* chain_; // borrowed
    int position_;
};

// A mixer strip: it records one ASIO input pair through its bus and carries a direct-monitor
// control unless a test takes it away. Its id is 64 x its system's number + its index.
class StandinStrip final : public IVarnStrip
{
public:
    explicit StandinStrip(int index) : bus(0), index_(index) { bus.strip = this; }
    IVarnInput* VARN_CALL GetSource() override { return source; }
    void VARN_CALL SetSelected(int value, int) override { selected = value != 0; }
    const char16_t* VARN_CALL GetName() override { return name.c_str(); }
    int VARN_CALL GetId() override { return id; }
    int VARN_CALL GetIndex() override { return index_; }
    IVarnMonitor* VARN_CALL GetMonitor() override { return hasMonitor ? &monitor : nullptr; }
    int VARN_CALL SetState(int value, int flag) override;
    int VARN_CALL HasHardware() override;

    StandinBus bus;
    IVarnInput* source = nullptr; // borrowed: the input that feeds the strip
    int id = 0;
    bool selected = false;
    bool hasHardware = true;
    std::function<void(std::string)> log; // where the hardware query is written, may be empty
    StandinMonitor monitor;
    std::u16string name = u"-"; // "-": the user gave none
    bool hasMonitor = true;
    int state = 0;
    int stateFlag = 0;

private:
    int index_;
};

class StandinRoutingTable;
class StandinHardware;

// A channel item or output port. Its type is what it carries: 0 the main mix, 1 the monitor
// mix, 2 nothing (nothing feeds it).
class StandinOutput final : public IVarnOutput
{
public:
    StandinOutput(int kind, int index) : kind_(kind), index_(index) {}
    int VARN_CALL GetKind() override { return kind_; }
    int VARN_CALL GetIndex() override { return index_; }
    int VARN_CALL GetType() override { return type; }
    IVarnInsert* VARN_CALL GetOverride() override { return overrideBy; }
    IVarnInsertChain* VARN_CALL GetSource() override { return source; }
    IVarnInsert* VARN_CALL GetInsert() override { return insert; }
    IVarnRoutingTable* VARN_CALL GetRoutingTable() override;
    int VARN_CALL IsTakenByPlugin() override { return takenByPlugin ? 1 : 0; }
    int VARN_CALL IsSingleChannel() override { return channel >= 0 ? 1 : 0; }
    int VARN_CALL GetChannel() override { return channel; }
    int VARN_CALL IsHidden() override { return hidden ? 1 : 0; }
    int VARN_CALL QueryMixOverride() override { return mixOverride ? 1 : 0; }
    // Answers as the system's next assignment answer says (StandinHardware::assignAnswers).
    int VARN_CALL Assign(int assignment, int notify) override;

    int type = 2;
    IVarnInsert* overrideBy = nullptr;    // borrowed: the send insert that took the port
    bool mixOverride = false;             // what QueryMixOverride answers
    StandinHardware* hardware = nullptr;  // borrowed: the system that takes its assignments
    IVarnInsertChain* source = nullptr;   // borrowed: the bus that feeds the port, or null
    IVarnInsert* insert = nullptr;        // borrowed
    StandinRoutingTable* table = nullptr; // borrowed
    bool takenByPlugin = false;
    int channel = -1; // a single channel's number, -1 for a pair
    bool hidden = false;

private:
    int kind_, index_;
};

// The routing table of the physical outputs: one single-channel entry per channel.
class StandinRoutingTable final : public IVarnRoutingTable
{
public:
    IVarnOutput* VARN_CALL GetEntry(int kind, int index) override;
    int VARN_CALL GetBase(int kind) override { return kind == 2 ? base : 0; }

    int base = 0;
    std::vector<std::unique_ptr<StandinOutput>> entries;
};

// An input port.
class StandinInput final : public IVarnInput
{
public:
    StandinInput(int kind, int index) : kind_(kind), index_(index) {}
    int VARN_CALL GetKind() override { return kind_; }
    int VARN_CALL GetIndex() override { return index_; }
    int VARN_CALL IsAssigned() override { return assigned ? 1 : 0; }
    IVarnStrip* VARN_CALL GetStrip() override { return strip; }
    IVarnInsert* VARN_CALL GetDestination() override { return destination; }
    int VARN_CALL GetSubKind(int* value) override { return Answer(subKind, value); }
    int VARN_CALL GetChannelCount() override { return kind_ == 1 || kind_ == 3 ? 1 : 2; }
    int VARN_CALL GetWavePair(int* value) override { return Answer(wavePair, value); }
    int VARN_CALL GetAsioIndex(int* value) override { return Answer(asioIndex, value); }
    int VARN_CALL GetMidiFxSend(int* value) override { return Answer(midiFxSend, value); }
    int VARN_CALL IsTakenByPlugin() override { return takenByPlugin ? 1 : 0; }
    int VARN_CALL GetChainEnd(IVarnOutput** output) override;

    bool assigned = false;
    StandinStrip* strip = nullptr;                                    // borrowed: the strip it feeds directly
    IVarnInsert* destination = nullptr;                               // borrowed
    int subKind = -1, wavePair = -1, asioIndex = -1, midiFxSend = -1; // -1: none
    bool takenByPlugin = false;
    int chainEnd = VarnChainEndNone;
    IVarnOutput* chainOutput = nullptr; // borrowed

private:
    static int Answer(int field, int* value)
    {
        if (field < 0 || !value)
            return 0;
        *value = field;
        return 1;
    }
    int kind_, index_;
};

class StandinInputList final : public IVarnInputList
{
public:
    int VARN_CALL GetCount(int kind) override;
    IVarnInput* VARN_CALL GetInput(int kind, int index) override;

    std::vector<std::unique_ptr<StandinInput>> inputs[4]; // by kind
};

// The channel items: Wave pairs (kind 0); the ASIO input pairs and then one item per channel
// (kind 1; an odd channel count leaves the last mono item missing); the physical output pairs
// (kind 2).
class StandinItemList final : public IVarnItemList
{
public:
    int VARN_CALL GetCount(int kind) override;
    IVarnOutput* VARN_CALL GetPort(int kind, int index) override;
    int VARN_CALL GetChannelCount(int kind) override;

    std::vector<std::unique_ptr<StandinOutput>> ports[3]; // by kind; null for a missing item
    int channels[3] = {};
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

// One system of the card, built from the card description. The calls for its lists, for the
// channels that exist at a rate and on its main mix are written to the log; its main mix
// raises its events through raise.
class StandinHardware final : public IVarnHardware
{
public:
    StandinHardware(const HardwareProfile& profile, std::function<void(std::string)> log,
                    StandinMainMix::Raise raise = {});
    int VARN_CALL HasFeature(int feature) override;
    IVarnSettings* VARN_CALL GetSettings() override { return &settings; }
    IVarnMainMix* VARN_CALL GetMainMix() override { return mainMix.get(); }
    IVarnInputList* VARN_CALL GetInputList() override;
    IVarnItemList* VARN_CALL GetItemList() override;
    int VARN_CALL GetModelCode() override { return profile_.model; }
    int VARN_CALL IsMaster() override { return master ? 1 : 0; }
    int VARN_CALL PrepareDsp() override;
    int VARN_CALL ChannelExists(int kind, int rateCode, int index) override;
    IVarnDriver* VARN_CALL GetDriver() override { return &driver; }

    StandinSettings settings;
    std::vector<std::unique_ptr<StandinStrip>> strips; // strip i records ASIO input pair i
    std::vector<std::unique_ptr<StandinBus>> buses;    // aux, main and recording buses
    std::unique_ptr<StandinMainMix> mainMix;
    std::vector<std::unique_ptr<StandinInsert>> inserts;
    StandinRoutingTable routing;
    StandinItemList items;
    StandinInputList inputList;
    StandinDriver driver;
    bool master = false; // system 0 of its mixer

    // A port's assignment (StandinOutput::Assign), logged: an answer of 1 routes the main
    // mix (0) or the monitor mix (1) from the main bus to the port, or nothing (2), and with
    // notify raises 400 with the port; any other answer changes nothing. The answers come
    // from assignAnswers in turn, 1 once it is empty; an assignment outside 0-2 answers 0.
    // User-interface thread (tests set the answers before the calls).
    int AssignOutput(StandinOutput& port, int assignment, int notify);
    std::deque<int> assignAnswers;

private:
    // The bus and insert a link names; null for a link to nothing.
    IVarnInsertChain* Bus(const HardwareProfile::Link& link);
    IVarnInsert* Insert(const HardwareProfile::Link& link);
    StandinStrip* Strip(int index);
    void Feed(StandinOutput& port, const HardwareProfile::Link& link);

    const HardwareProfile& profile_;
    std::function<void(std::string)> log_;
    StandinMainMix::Raise raise_;
    StandinBus* mainBus_ = nullptr;
};

class StandinMixer final : public IVarnMixer
{
public:
    // log: where the systems write the calls that ask for their lists and channels and the
    // calls on their main mixes; raise: where the main mixes raise their events; both may be
    // empty.
    explicit StandinMixer(const HardwareProfile& profile, std::function<void(std::string)> log = {},
                          StandinMainMix::Raise raise = {});
    int VARN_CALL GetSystemCount() override { return SystemCount(); }
    IVarnHardware* VARN_CALL GetSystem(int index) override;
    IVarnHardware* VARN_CALL GetHardware() override { return GetSystem(0); }
    int VARN_CALL GetRateCode() override { return rateCode; }
    int VARN_CALL GetHardwareRateCode() override { return hardwareRateCode; }
    int VARN_CALL GetRateText(char16_t* buffer, int capacity) override;
    const char16_t* VARN_CALL GetSessionName() override { return sessionName.c_str(); }
    IVarnSettings* VARN_CALL GetSessionSettings() override { return &sessionSettings; }
    IVarnStrip* VARN_CALL GetStripById(int id) override;
    int VARN_CALL SelectsNewStrip() override { return 0; }

    int SystemCount() const { return static_cast<int>(systems_.size()); }

    int rateCode;         // the session's
    int hardwareRateCode; // the card's
    std::u16string sessionName;
    StandinSettings sessionSettings;

private:
    std::vector<std::unique_ptr<StandinHardware>> systems_;
};

// Sessions in a text file of ours:
//   KivCorvanSession <format version>
//   rate=<code>
//   systems=<count>
//   name=<UTF-8 session name>
//   setting <system> <name>=<value>
//   mix <system> <value name>=<value>   (see StandinMainMix)
//   session <name>=<UTF-8 text>
// An unreadable line makes the whole file unreadable. A save writes a temporary file beside
// the session and then puts it in the session's place, so a failed save leaves the old file.
class SessionFile
{
public:
    static const int kFormatVersion = 1;
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
    int VARN_CALL GetCategoryCount() override { return static_cast<int>(categories.size()); }
    // Fills a 264-byte record: 128 UTF-16 units of name, a value and the core flag.
    int VARN_CALL GetCategoryInfo(int index, void* record) override;
    // Copies the preset folders of an exported library into the program folder's.
    int VARN_CALL ImportLibrary(const char16_t* corePresetsFolder, const char16_t* effectPresetsFolder) override;

    std::vector<std::u16string> coreEffects;
    std::vector<std::u16string> categories;

private:
    std::filesystem::path folder_;
};
