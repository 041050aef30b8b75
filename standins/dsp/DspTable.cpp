#include "standins/dsp/DspTable.h"

namespace
{
constexpr auto kRelaxed = std::memory_order_relaxed;
// A route's fields are stored with release and loaded with acquire rather than relaxed
// behind fences (which ThreadSanitizer cannot follow): a reader that sees one field of a new
// write also sees the odd sequence before it. On x86 both cost what a plain access costs.
constexpr auto kStore = std::memory_order_release;
constexpr auto kLoad = std::memory_order_acquire;

bool ValidPair(int pair)
{
    return pair >= 0 && pair < DspTable::kRoutes;
}
} // namespace

void DspTable::Format()
{
    ClearRoutes();
    size.store(sizeof(DspTable), kRelaxed);
    version.store(kVersion, kRelaxed);
    magic.store(kMagic, std::memory_order_release);
}

const char* DspTable::Problem(const void* block, size_t mappedBytes)
{
    if (!block || mappedBytes < offsetof(DspTable, routes))
        return "size";
    const DspTable& table = *static_cast<const DspTable*>(block);
    if (table.magic.load(std::memory_order_acquire) != kMagic)
        return "magic";
    if (table.version.load(kRelaxed) != kVersion)
        return "version";
    if (table.size.load(kRelaxed) != sizeof(DspTable) || mappedBytes < sizeof(DspTable))
        return "size";
    return nullptr;
}

void DspTable::ClearRoutes()
{
    for (int pair = 0; pair < kRoutes; ++pair)
    {
        Publish(pair, DspRouteSnapshot{});
        routes[pair].ranSerial.store(0, kRelaxed);
        for (Insert& insert : routes[pair].inserts)
            insert.meter.store(0, kRelaxed);
    }
}

void DspTable::Publish(int pair, const DspRouteSnapshot& from)
{
    if (!ValidPair(pair))
        return;
    Route& route = routes[pair];
    const uint32_t sequence = route.sequence.load(kRelaxed);
    route.sequence.store(sequence + 1, kRelaxed);
    route.active.store(from.active, kStore);
    route.sendPair.store(from.sendPair, kStore);
    route.serial.store(from.serial, kStore);
    const uint32_t count = from.insertCount > kMaxInserts ? kMaxInserts : from.insertCount;
    route.insertCount.store(count, kStore);
    for (uint32_t i = 0; i < count; ++i)
    {
        const DspInsertValues& values = from.inserts[i];
        Insert& insert = route.inserts[i];
        insert.kind.store(values.kind, kStore);
        insert.bypass.store(values.bypass, kStore);
        insert.solo.store(values.solo, kStore);
        insert.gain.store(DspBits(values.gain), kStore);
        insert.mix.store(DspBits(values.mix), kStore);
        insert.frequency.store(static_cast<uint32_t>(values.frequency), kStore);
        insert.level.store(DspBits(values.level), kStore);
    }
    route.sequence.store(sequence + 2, std::memory_order_release);
}

bool DspTable::Copy(int pair, DspRouteSnapshot* to) const
{
    if (!ValidPair(pair) || !to)
        return false;
    const Route& route = routes[pair];
    const uint32_t before = route.sequence.load(std::memory_order_acquire);
    if (before & 1u)
        return false;
    DspRouteSnapshot copy;
    copy.active = route.active.load(kLoad);
    copy.sendPair = route.sendPair.load(kLoad);
    copy.serial = route.serial.load(kLoad);
    copy.insertCount = route.insertCount.load(kLoad);
    if (copy.insertCount > kMaxInserts)
        copy.insertCount = kMaxInserts;
    for (uint32_t i = 0; i < copy.insertCount; ++i)
    {
        const Insert& insert = route.inserts[i];
        DspInsertValues& values = copy.inserts[i];
        values.kind = insert.kind.load(kLoad);
        values.bypass = insert.bypass.load(kLoad);
        values.solo = insert.solo.load(kLoad);
        values.gain = DspReal(insert.gain.load(kLoad));
        values.mix = DspReal(insert.mix.load(kLoad));
        values.frequency = static_cast<int32_t>(insert.frequency.load(kLoad));
        values.level = DspReal(insert.level.load(kLoad));
    }
    if (route.sequence.load(kRelaxed) != before)
        return false;
    *to = copy;
    return true;
}

void DspTable::ReportRun(int pair, uint32_t serial, const float* meters, int count)
{
    if (!ValidPair(pair))
        return;
    Route& route = routes[pair];
    for (int i = 0; i < count && i < kMaxInserts; ++i)
        route.inserts[i].meter.store(DspBits(meters[i]), kRelaxed);
    route.ranSerial.store(serial, std::memory_order_release);
}

bool DspTable::PlayedLevel(int pair, uint32_t serial, int insert, float* level) const
{
    if (!ValidPair(pair) || insert < 0 || insert >= kMaxInserts || !level)
        return false;
    const Route& route = routes[pair];
    if (serial == 0 || route.ranSerial.load(std::memory_order_acquire) != serial)
        return false;
    *level = DspReal(route.inserts[insert].meter.load(kRelaxed));
    return true;
}
