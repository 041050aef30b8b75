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
#include "standins/engine/StandinEffect.h"
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
    int synths = 0;                          // synth host sources, after the MIDI FX sends
    int strips = -1;                         // the card's strips; -1: one per ASIO input pair
    std::vector<std::pair<int, int>> absent; // (input kind, index) the hardware lacks
    bool keepCategory2 = true;
    std::vector<int> features;
    std::vector<int> rates = {0, 1, 2, 3, 4, 5};    // the rate codes the card can run at
    std::map<std::string, int> settings;            // the systems' hardware settings before a session sets any
    std::map<std::string, std::u16string> texts;    // text settings of the systems: the firmware versions
    std::vector<int> syncSources;                   // the external sync sources offered
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
    // Inserts the card's chains start with ("insert=<chain> <kind> [effect name]", read by
    // StandinChains.cpp): kind 0 an effect of that name, 3 a peak meter, 4 a trim pot, 5 a test
    // signal, 7 a balance.
    struct CardInsert
    {
        Link chain;
        int kind = 0;
        std::u16string name;
    };
    std::vector<CardInsert> cardInserts;

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
    int VARN_CALL GetText(const char* name, char16_t* buffer, int capacity) override;
    int VARN_CALL GetSyncSources(VarnCodeList* list) override;

    // guarded by the engine's model lock
    std::map<std::string, int> values;
    std::map<std::string, std::u16string> texts;
    std::vector<int> syncSources;
    std::function<void(std::string)> log;
};

class StandinMonitor final : public IVarnMonitor
{
public:
    int VARN_CALL SetParameter(int index, int value) override;

    int parameters[6] = {}; // guarded by the engine's model lock
};

class StandinStrip;
class StandinInsert;
class StandinEffects;
class StandinHardware;
class StandinInputList;

// A bus object: the insert chain of a strip, an aux or the main bus. A chain has a count,
// which tests may set, and its inserts (slots beyond them answer null). The chain edits
// (StandinChains.cpp) work on the chain of a system, under its mixer's strip lock; a bus of no
// system refuses them.
class StandinBus final : public IVarnInsertChain
{
public:
    explicit StandinBus(int type);
    int VARN_CALL GetCount() override { return count; }
    IVarnInsert* VARN_CALL GetInsert(int index) override;
    int VARN_CALL AddEffect(const VarnCoreEffectRecord* effect, int position, int notify) override;
    int VARN_CALL ReplaceEffect(const VarnCoreEffectRecord* effect, int position, int notify) override;
    int VARN_CALL AddPreset(const VarnPresetRecord* preset, int position, int notify) override;
    int VARN_CALL ReplacePreset(const VarnPresetRecord* preset, int position, int notify) override;
    int VARN_CALL AddMeterInsert(int position, int notify) override;
    int VARN_CALL AddTrimInsert(int position, int notify) override;
    int VARN_CALL AddTestSignalInsert(int position, int notify) override;
    int VARN_CALL AddBalanceInsert(int position, int notify) override;
    int VARN_CALL AddSendInsert(IVarnOutput* output, int position, int notify) override;
    int VARN_CALL AddSendReturnInsert(IVarnOutput* output, IVarnInput* input, int position, int notify) override;
    int VARN_CALL AddAsioSendReturnInsert(IVarnOutput* output, IVarnInput* input, int position, int notify) override;
    int VARN_CALL DeleteInserts(const int* indices, int count, int notify) override;
    int VARN_CALL DeleteAllInserts(int notify) override;
    int VARN_CALL MoveInsert(int from, IVarnInsertChain* destination, int to, int notify) override;
    int VARN_CALL GetBusType() override { return type_; }
    int VARN_CALL GetId() override { return id_; }
    int VARN_CALL GetBypassedCount() override;
    int VARN_CALL GetBypassableCount() override;
    int VARN_CALL BypassAll(int bypass) override;
    IVarnStrip* VARN_CALL GetStrip() override;
    IVarnAux* VARN_CALL GetAux() override { return aux; }
    IVarnHardware* VARN_CALL GetHardware() override;
    int VARN_CALL CanAdd(int kind) override;

    StandinStrip* strip = nullptr;     // borrowed: the strip that owns the bus
    StandinAux* aux = nullptr;         // borrowed: the aux of an aux bus
    StandinHardware* system = nullptr; // borrowed: the system whose chain it is, null for none
    std::atomic<int> count{0};
    // The inserts by position; borrowed (the system or a test owns them). Guarded by the
    // mixer's strip lock.
    std::vector<IVarnInsert*> inserts;

private:
    int type_;
    int id_;
};

// An insert slot on a bus: a test's send (1), send/return (2, 6) or effect, with its wet/dry
// mix, bypass and solo. Setters are logged and raise 750 (bypass), 751 (solo) or 752 (wet/dry)
// with the insert's key; a refused value answers 0 and changes nothing.
class StandinInsert final : public IVarnInsert
{
public:
    StandinInsert(IVarnInsertChain* chain, int position) : chain_(chain), position_(position) {}
    int VARN_CALL GetKind() override { return kind; }
    IVarnEffect* VARN_CALL GetEffect() override { return effect; }
    IVarnOutput* VARN_CALL GetOutputPort() override { return outputPort; }
    IVarnInput* VARN_CALL GetInputPort() override { return inputPort; }
    int VARN_CALL GetPosition() override { return position_; }
    int VARN_CALL GetEventKey() override { return key; }
    int VARN_CALL HasWetDry() override { return hasWetDry ? 1 : 0; }
    float VARN_CALL GetWetDry() override { return wetDry; }
    int VARN_CALL SetWetDry(float value, int flags) override;
    int VARN_CALL HasEffect() override { return effect ? 1 : 0; }
    int VARN_CALL IsBypassed() override { return bypassed ? 1 : 0; }
    int VARN_CALL SetBypass(int value, int flags) override;
    int VARN_CALL IsSoloed() override { return soloed ? 1 : 0; }
    int VARN_CALL SetSolo(int value, int flags) override;
    int VARN_CALL HasHardware() override;
    IVarnInsertChain* VARN_CALL GetChain() override { return chain_; }
    int VARN_CALL RetryDsp() override;

    // Where a chain edit put the insert; a removed insert has no chain and position -1.
    void Place(IVarnInsertChain* chain, int position)
    {
        chain_ = chain;
        position_ = position;
    }

    bool hasHardware = true;
    int cost = 0;                                 // the DSP units it holds while it has its hardware
    StandinHardware* system = nullptr;            // borrowed: the system whose chain made it, null for a test's
    std::function<void(std::string)> log;         // where queries and sets are written, may be empty
    std::function<void(int, VarnEventArg)> raise; // may be empty
    int kind = 0;                                 // a test's send (1), send/return (2, 6) or effect
    IVarnOutput* outputPort = nullptr;            // borrowed: the port a send goes to
    IVarnInput* inputPort = nullptr;              // borrowed: the port a return comes from
    IVarnEffect* effect = nullptr;                // borrowed: the effect in it, null for sends
    int key = 0;
    bool hasWetDry = false;
    float wetDry = 0;
    bool bypassed = false, soloed = false;

private:
    void Changed(const std::string& what, int event);

    IVarnInsertChain* chain_; // borrowed
    int position_;
};

class StandinStripList;
class StandinMixer;

// A mixer strip: a strip of the card records one ASIO input pair through its bus and carries a
// direct-monitor control unless a test takes it away. The card's strips have the ids 64 x
// their system's number + their index; strips made later take ids no strip had. Its values
// and place are guarded by its mixer's strip lock (StandinStrips.cpp); every call is logged
// and a change raises the strip's event.
class StandinStrip final : public IVarnStrip
{
public:
    explicit StandinStrip(int index) : bus(0), index_(index) { bus.strip = this; }
    int VARN_CALL GetKindCode() override;
    IVarnInput* VARN_CALL GetSource() override { return source; }
    IVarnInsertChain* VARN_CALL GetInsertChain() override { return &bus; }
    void VARN_CALL SetSelected(int value, int) override { selected = value != 0; }
    float VARN_CALL GetSendLevel(int send, int, int, int) override;
    float VARN_CALL GetSendDefault(int send) override;
    int VARN_CALL SetSendLevel(int send, float level, int flags) override;
    int VARN_CALL GetSendRange(int send, float* minimum, float* maximum) override;
    float VARN_CALL GetGain(int, int, int) override;
    float VARN_CALL GetGainDefault() override;
    int VARN_CALL SetGain(float level, int flags) override;
    int VARN_CALL GetGainRange(float* minimum, float* maximum) override;
    float VARN_CALL GetPan(int channel, int, int, int) override;
    float VARN_CALL GetPanDefault(int channel) override;
    int VARN_CALL SetPan(int channel, float value, int flags) override;
    int VARN_CALL GetPanRange(float* minimum, float* maximum) override;
    int VARN_CALL GetMute(int, int) override;
    int VARN_CALL SetMute(int value, int flags) override;
    int VARN_CALL GetSolo(int, int) override;
    int VARN_CALL SetSolo(int value, int flags, int) override;
    const char16_t* VARN_CALL GetName() override { return name.c_str(); }
    int VARN_CALL SetName(const char16_t* text, int flags) override;
    int VARN_CALL IsPreFader() override { return preFader ? 1 : 0; }
    IVarnStripList* VARN_CALL GetOwnerList() override;
    int VARN_CALL GetId() override { return id; }
    int VARN_CALL GetIndex() override { return index_; }
    int VARN_CALL HasDsp() override;
    int VARN_CALL LoadDsp(int flags) override;
    IVarnMonitor* VARN_CALL GetMonitor() override { return hasMonitor ? &monitor : nullptr; }
    int VARN_CALL SetState(int value, int flag) override;
    int VARN_CALL HasHardware() override;

    void SetIndex(int index) { index_ = index; }

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
    // The strip's values (StandinStrips.cpp); guarded by the mixer's strip lock.
    StandinStripList* list = nullptr; // borrowed: the system's list, also after removal
    StandinLevel sends[2];
    StandinLevel gain;
    StandinLevel pan[2];
    int mute = 0, solo = 0;
    bool preFader = false;
    bool hasDsp = true;   // it holds its DSP units
    bool removed = false; // out of its list; its DSP stays held until the system reclaims it

private:
    int index_;
};

class StandinRoutingTable;
class StandinHardware;
class StandinChainStore;

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
    StandinRoutingTable* table = nullptr; // borrowed: only physical outputs have one
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
    int VARN_CALL MayCarry(int kind, int index) override;
    int VARN_CALL GetBase(int kind) override { return kind == 2 ? base : 0; }

    StandinHardware* system = nullptr; // borrowed
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
    // FX sends and the mono kinds are single channels.
    int VARN_CALL GetChannelCount() override { return kind_ == 1 || kind_ == 3 || subKind == 3 ? 1 : 2; }
    int VARN_CALL GetWavePair(int* value) override { return Answer(wavePair, value); }
    int VARN_CALL GetAsioIndex(int* value) override { return Answer(asioIndex, value); }
    int VARN_CALL GetMidiFxSend(int* value) override { return Answer(midiFxSend, value); }
    int VARN_CALL GetSynthChannel(int synth, int channel) override;
    int VARN_CALL SetSynthChannelOn(int synth, int channel, int flags) override;
    int VARN_CALL SetSynthChannelOff(int synth, int channel, int flags) override;
    int VARN_CALL IsPresent() override { return present ? 1 : 0; }
    int VARN_CALL IsTakenByPlugin() override { return takenByPlugin ? 1 : 0; }
    int VARN_CALL GetChainEnd(IVarnOutput** output) override;
    IVarnInputList* VARN_CALL GetList() override;

    // A synth's channel bits (synth 0 in bits 0-15, synth 1 in 16-31); a change raises
    // 201-232 with the id of the strip it feeds through raise.
    bool SetSynthChannel(int synth, int channel, bool on);
    std::atomic<std::uint32_t> synthChannels{0};
    std::function<void(int, VarnEventArg)> raise;
    std::function<void(std::string)> log;
    bool present = true; // a physical input that the hardware has
    bool assigned = false;
    StandinStrip* strip = nullptr;                                    // borrowed: the strip it feeds directly
    IVarnInsert* destination = nullptr;                               // borrowed
    int subKind = -1, wavePair = -1, asioIndex = -1, midiFxSend = -1; // -1: none
    bool takenByPlugin = false;
    StandinInputList* list = nullptr; // borrowed: the list that holds it
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

class StandinSourceSet;

// The inputs by kind; host sources also by sub-kind. The two source sets make strips on host
// sources (StandinStrips.cpp).
class StandinInputList final : public IVarnInputList
{
public:
    StandinInputList();
    ~StandinInputList();
    int VARN_CALL GetCount(int kind) override;
    IVarnInput* VARN_CALL GetInput(int kind, int index) override;
    IVarnInput* VARN_CALL GetSourceSet(int flag) override;
    int VARN_CALL GetSetSize(int subKind) override;
    IVarnInput* VARN_CALL GetHostSource(int subKind, int index) override;
    int VARN_CALL GetFreeCount(int kind, int reserved) override;
    IVarnHardware* VARN_CALL GetSystem() override;
    int VARN_CALL MayCarry(int kind, int index) override;

    StandinHardware* system = nullptr; // borrowed: the system of the list
    // The input of this list, or null for one of another system or none.
    StandinInput* Find(IVarnInput* input);

    std::vector<std::unique_ptr<StandinInput>> inputs[4]; // by kind
    std::unique_ptr<StandinSourceSet> sets[2];            // 0: FX sends, ASIO channels; 1: the others
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
    int VARN_CALL HasFree(int kind, int stereo) override;
    int VARN_CALL GetFirstSingle(int kind) override;

    StandinHardware* system = nullptr;                    // borrowed: the system of the list
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
    ~StandinHardware();
    int VARN_CALL HasFeature(int feature) override;
    IVarnSettings* VARN_CALL GetSettings() override { return &settings; }
    IVarnStripList* VARN_CALL GetStripList() override;
    IVarnMainMix* VARN_CALL GetMainMix() override { return mainMix.get(); }
    IVarnInputList* VARN_CALL GetInputList() override;
    IVarnItemList* VARN_CALL GetItemList() override;
    int VARN_CALL GetModelCode() override { return profile_.model; }
    int VARN_CALL IsMaster() override { return master ? 1 : 0; }
    IVarnMixer* VARN_CALL GetMixer() override;
    // Reclaims the DSP of the strips removed since the last call.
    int VARN_CALL PrepareDsp() override;
    int VARN_CALL ChannelExists(int kind, int rateCode, int index) override;
    int VARN_CALL GetRates(int reserved, VarnCodeList* rates) override;
    IVarnDriver* VARN_CALL GetDriver() override { return &driver; }
    IVarnFitChecker* VARN_CALL GetFitChecker() override { return fitChecker; }

    IVarnFitChecker* fitChecker = nullptr; // borrowed: the services' checker over the effects
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
    std::unique_ptr<StandinStripList> stripList; // the strips in the mixer's order
    StandinMixer* mixer = nullptr;               // borrowed: the model that holds the system
    // What the chains made: inserts and effects, removed ones included (StandinChains.h).
    std::unique_ptr<StandinChainStore> chainStore;
    void RaiseEvent(int id, VarnEventArg argument)
    {
        if (raise_)
            raise_(id, argument);
    }
    void Log(const std::string& entry)
    {
        if (log_)
            log_(entry);
    }

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

// How a mixer's strips take DSP units from the card (by default a budget of its own): reserve
// answers whether the units were free and takes them, give returns units, hold takes units
// without asking (strips a session or the card brings).
struct StandinDspAccount
{
    std::function<bool(int)> reserve;
    std::function<void(int)> give;
    std::function<void(int)> hold;
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
    int VARN_CALL IsHardwareAdequate() override { return adequate ? 1 : 0; }
    void VARN_CALL SetModified(int modified) override;
    IVarnSync* VARN_CALL GetSync() override { return sync; }

    int SystemCount() const { return static_cast<int>(systems_.size()); }
    // The DSP units the mixer's strips hold; TakeDsp holds them in the account (a new model),
    // ReturnDsp gives them back and detaches the account (a retired one).
    int StripDsp();
    void TakeDsp(StandinDspAccount account);
    void ReturnDsp();
    // The default account: the card's budget for this model's strips alone.
    void UseOwnBudget();
    // A new strip id, never one a strip of this model had.
    int NewStripId();
    void NoteStripId(int id);

    std::recursive_mutex stripLock;    // guards every strip's values and every strip list
    StandinDspAccount dsp;             // stripLock; the chains' inserts take theirs from it too
    StandinEffects* effects = nullptr; // borrowed: the library the chains' effects come from, may be null
    std::function<void(int)> modified; // what "set modified" sets: the engine's flag; may be empty

    // Borrowed, may be null: the engine library's core presets, where the chains' effects find theirs.
    StandinEffectLibrary* corePresets = nullptr;

    int rateCode;               // the session's
    int hardwareRateCode;       // the card's
    std::u16string sessionName; // the file name, ".session" included
    std::u16string sessionPath; // where the session was loaded from or saved to; empty: none
    bool adequate = true;       // the card has every system the session wants
    StandinSettings sessionSettings;
    IVarnSync* sync = nullptr; // the engine's, which outlives every model; null without the card

private:
    std::vector<std::unique_ptr<StandinHardware>> systems_;
    int nextStripId_ = 0; // stripLock
    int ownBudget_ = 0;   // the default account's units in use; stripLock
};

// Sessions in a text file of ours:
//   KivCorvanSession <format version>
//   rate=<code>
//   systems=<count>
//   name=<UTF-8 session name>
//   path=<UTF-8 path the session was saved to> (the working session records the user's file)
//   setting <system> <name>=<value>
//   mix <system> <value name>=<value>   (see StandinMainMix)
//   session <name>=<UTF-8 text>
// An unreadable line makes the whole file unreadable. A save writes a temporary file beside
// the session and then puts it in the session's place, so a failed save leaves the old file.
class SessionFile
{
public:
    // Version 1 files (without a recorded path) are still read.
    static constexpr int kFormatVersion = 2;
    static bool Save(const std::filesystem::path& file, StandinMixer& mixer);
    // Answers the file's format version (0 when unreadable) and fills the mixer when the
    // version is ours or older; systemsWanted is how many systems the session expects.
    static int Load(const std::filesystem::path& file, StandinMixer& mixer, int& systemsWanted);
    // The rate code of a file, or 6 when unknown or not a code (0-5).
    static int ReadRate(const std::filesystem::path& file);
};

// The effects library's face: the records and edits of the effects (StandinEffects, which
// KivQuorvel reads over COM: one library for both) and the folders on disk. Category edits act
// on "Effect Presets"; every call is written to the log.
class StandinFxLibrary final : public IVarnFxLibrary
{
public:
    StandinFxLibrary(std::filesystem::path programFolder, StandinEffects& effects, std::function<void(std::string)> log,
                     std::function<void(int, VarnEventArg)> raise)
        : folder_(std::move(programFolder)), effects_(effects), log_(std::move(log)), raise_(std::move(raise))
    {
    }
    // Reads the folders as the engine does when it starts (not logged).
    void ReadFolders();
    // Read the folders again; a core effect that is new raises 804.
    int VARN_CALL LoadCoreEffects() override;
    int VARN_CALL LoadCategories() override;
    int VARN_CALL GetCoreEffectCount() override;
    int VARN_CALL GetCoreEffectInfo(int index, VarnCoreEffectRecord* record) override;
    int VARN_CALL GetPresetCount(int category) override;
    int VARN_CALL GetPresetInfo(int category, int preset, VarnPresetRecord* record) override;
    int VARN_CALL GetCategoryCount() override;
    int VARN_CALL GetCategoryInfo(int index, VarnCategoryRecord* record) override;
    int VARN_CALL FindCategory(const char16_t* name, int flags) override;
    int VARN_CALL FindPreset(const VarnPresetRecord* preset, VarnPresetRecord* found) override;
    int VARN_CALL GetEffectName(const VarnEffectId* effect, char16_t* name, int capacity) override;
    int VARN_CALL DeleteCategory(const char16_t* name, int notify) override;
    int VARN_CALL RenameCategory(const char16_t* name, const char16_t* newName, int notify) override;
    int VARN_CALL CreateCategory(const char16_t* name, int notify) override;
    int VARN_CALL DeletePreset(const VarnPresetRecord* preset, int notify) override;
    int VARN_CALL RenamePreset(const VarnPresetRecord* preset, const char16_t* name, int notify) override;
    int VARN_CALL ImportCategory(const char16_t* effectPresetsFolder, const char16_t* category) override;
    // Copies the preset folders of an exported library into the program folder's; the
    // categories found there join the library.
    int VARN_CALL ImportLibrary(const char16_t* corePresetsFolder, const char16_t* effectPresetsFolder) override;
    int VARN_CALL GetCorePresetCount(const VarnEffectId* effect) override;
    int VARN_CALL GetCorePreset(const VarnEffectId* effect, int index, VarnCorePresetRecord* record) override;
    // New names are valid folder names of at most 127 units, renames of at most 49; delete,
    // rename and store take user presets only, and the record must still be the one at the
    // index. Each change raises its preset-list event: 800 new, 801 deleted, 802 renamed or
    // stored, with the effect's key where the call names the effect.
    int VARN_CALL NewCorePreset(const char16_t* name, IVarnEffect* effect, int flags, int reserved) override;
    int VARN_CALL DeleteCorePreset(const VarnCorePresetRecord* record, int index, int flags) override;
    int VARN_CALL RenameCorePreset(const VarnCorePresetRecord* record, int index, const char16_t* name,
                                   int flags) override;
    int VARN_CALL StoreCorePreset(IVarnEffect* effect, int index, int flags) override;
    // A user preset of the category from the chain's effect inserts (StandinChains.cpp).
    int VARN_CALL CreatePresetFromInserts(const char16_t* category, const char16_t* name, IVarnInsertChain* chain,
                                          const int* indices, int count, int notify) override;

    // The folder names of the last loads.
    std::vector<std::u16string> coreEffects;
    std::vector<std::u16string> categories;
    StandinEffectLibrary corePresets;

private:
    int Logged(std::string entry, int answer);
    void Log(const std::string& line);
    // The log of the preset files' problems.
    std::function<void(std::string)> FileLog() const;
    // The user presets of the categories' folders join the library.
    void ReadPresetFiles();

    std::filesystem::path folder_;
    StandinEffects& effects_;
    std::function<void(std::string)> log_;
    std::function<void(int, VarnEventArg)> raise_;
};
