#pragma once
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "standins/engine/EngineModel.h"

// The insert chains of a system: what its buses hold (effects of the library, its presets,
// sends, send/returns, ASIO send/returns and the special inserts), the DSP they take from the
// mixer's account (the card's one budget, shared with the strips and the plug-in clients), and
// the ports they use. Edits run under the mixer's strip lock, log their call and raise the
// chain's events (700-705, 709 with the chain's id) through the system, which queues them for
// the engine's own thread. A removed insert stays valid, without chain, until the system goes;
// the DSP it held is given back when the system prepares its DSP (IVarnHardware 12).
class StandinChainStore
{
public:
    // DSP units a special insert and a send take; effects cost what the library says.
    static constexpr int kSpecialCost = 10;
    static constexpr int kSendCost = 5;
    static constexpr int kMaxInserts = 16; // per chain

    explicit StandinChainStore(StandinHardware& system) : system_(system) {}

    // A new insert of the kind for the bus, owned here; effect kinds get their effect.
    StandinInsert* NewInsert(StandinBus& bus, int kind, const std::u16string& effectName, const VarnEffectId& id);
    // Takes the units of an insert a session brings; without room it lacks its hardware.
    void Hold(StandinInsert& insert);
    // Takes the insert out of its chain: ports freed, effect let go, DSP units kept until Reclaim.
    void Remove(StandinInsert& insert);
    // Gives back the units of the removed inserts; answers them.
    int Reclaim();
    int PendingUnits() const { return pending_; }
    // The units the inserts hold, the removed ones' pending units included.
    int HeldUnits() const;

    // The system's bus of a chain handed out by it, or null.
    StandinBus* FindBus(IVarnInsertChain* chain);
    // Every bus of the system, the strips' (removed strips' too) and the aux, main and recording
    // buses.
    std::vector<StandinBus*> Buses();

private:
    StandinHardware& system_;
    std::vector<std::unique_ptr<StandinInsert>> inserts_;
    std::vector<std::unique_ptr<StandinEffect>> effects_;
    int pending_ = 0; // units of removed inserts; the mixer's strip lock
};

// The name each special kind's insert shows; empty for other kinds.
std::u16string StandinSpecialInsertName(int kind);

// Session lines of the chains:
//   chains <system>   (the system's chains are written whole after it; a load empties them)
//   insert <system> <chain> <kind> <bypass> <solo> <payload>
// where <chain> is "strip <index>", "aux <index>" or "main", and the payload is the effect's
// id (four hex words) and UTF-8 name for effects, "<output kind> <index> <channel>" for a send
// and that then "<input kind> <index>" for a send/return.
void StandinSaveChains(std::ostream& out, int systemIndex, StandinHardware& system);
// Reads the rest of a "chains" or "insert" line; false when it does not read as written.
bool StandinLoadChainLine(const std::string& word, std::istream& fields, StandinHardware* system);
// The system's chain that the words name as session lines do ("strip <index>", "aux <index>",
// "main"), or null.
StandinBus* StandinFindChain(StandinHardware& system, std::istream& words);
// Puts the card's inserts into a new system's chains.
void StandinApplyCardInserts(StandinHardware& system, const HardwareProfile& profile);
