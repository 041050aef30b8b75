#pragma once
// The simulated card's DSP memory: one fixed record that the engine (the mixer's process)
// writes and the simulated driver (a host's process) reads, shared through one named block of
// memory as the card's DSP would hold it. One route per return pair says which send pair feeds
// it and which inserts the audio passes on the way back.
//
// Thread contract (the two sides may live in different processes):
// - One writer of the routes: the engine, under its effects lock. A route's sequence is odd
//   while it is written; a reader copies a route only when the sequence is even and the same
//   before and after the copy, else it keeps its last copy.
// - The driver's switch thread alone writes the meters and the serial it ran; the engine
//   reads them at any time, and trusts the meters only while that serial is its current one.
// Every field is a lock-free 32-bit atomic (a route's fields stored with release, loaded with
// acquire; the meters relaxed), so nothing here waits or allocates.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// A float value as the table's words hold it, and back.
inline uint32_t DspBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}
inline float DspReal(uint32_t bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof(value));
    return value;
}

// The values of one insert as the DSP uses them (kinds as the engine's inserts: 1 DSP effect,
// 2 "Trim Pot", 3 "Test Signal", 4 "Peak Meter", 5 and 6 sends).
struct DspInsertValues
{
    uint32_t kind = 0;
    uint32_t bypass = 0;
    uint32_t solo = 0;
    float gain = 0.5f;     // "Gain" of a DSP effect or Trim Pot
    float mix = 1.0f;      // "Mix" of a DSP effect
    int32_t frequency = 0; // "Frequency" of a Test Signal, Hz
    float level = 0.0f;    // "Level" of a Test Signal
};

// A plain copy of one route.
struct DspRouteSnapshot
{
    static constexpr int kMaxInserts = 16;

    uint32_t active = 0;
    uint32_t sendPair = 0;
    uint32_t serial = 0; // changes whenever inserts are added, removed, moved or replaced
    uint32_t insertCount = 0;
    DspInsertValues inserts[kMaxInserts];
};

class DspTable
{
public:
    static constexpr uint32_t kMagic = 0x5444564Bu; // "KVDT"
    static constexpr uint32_t kVersion = 1;
    static constexpr int kRoutes = 64; // one per channel pair of the card's 128 channels
    static constexpr int kMaxInserts = DspRouteSnapshot::kMaxInserts;

    using Word = std::atomic<uint32_t>;
    static_assert(sizeof(Word) == 4 && Word::is_always_lock_free, "shared words");

    struct Insert
    {
        Word kind, bypass, solo, gain, mix, frequency, level;
        Word meter; // the driver's: peak of the insert's last output block, float bits
    };
    struct Route
    {
        Word sequence;
        Word active, sendPair, serial, insertCount;
        Insert inserts[kMaxInserts];
        Word ranSerial; // the driver's: the serial of the inserts it ran last
    };

    // A new table: the header and every route cleared.
    void Format();
    // Why a mapped block of mappedBytes cannot be used as this table; null when it can.
    static const char* Problem(const void* block, size_t mappedBytes);
    // Every route inactive, serials and meters cleared (a new owner starts from nothing).
    void ClearRoutes();

    // Writer side.
    void Publish(int pair, const DspRouteSnapshot& route);
    // The played level of an insert, when the driver ran the given serial of that route.
    bool PlayedLevel(int pair, uint32_t serial, int insert, float* level) const;

    // Reader side: false while the route is being written (the copy is then not to be used).
    bool Copy(int pair, DspRouteSnapshot* route) const;
    void ReportRun(int pair, uint32_t serial, const float* meters, int count);

    Word magic, version, size;
    Route routes[kRoutes];
};

static_assert(std::is_standard_layout<DspTable>::value, "shared record");
static_assert(sizeof(DspTable::Insert) == 32 && sizeof(DspTable::Route) == 536, "route");
static_assert(offsetof(DspTable, routes) == 12 && sizeof(DspTable) == 12 + 64 * 536, "table");
