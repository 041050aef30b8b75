#pragma once
// The effects plug-in's VST parameters: the parameters of its insert chain, numbered in
// chain order, with one pair of conversions per value kind between the host's 0..1 and the
// insert's value, used alike by set, get and the reports to the host.
//
// Threads: a map is built by the thread that holds the chain and never changes shape after;
// the host's calls (any thread, the audio thread among them) read it through a ParamMapSlot
// without a lock. Values travel through per-parameter atomic cells: the chain's holder writes
// what the inserts store (Sync), the host writes what it asks for (Request) and the holder
// takes those requests to the inserts (StoreRequests).

#include "plugins/quorvel/ParamChain.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class ParamMap
{
public:
    // The plug-in declares this many parameters; the chain's further parameters are not mapped.
    static constexpr int32_t kMaxParams = 256;
    // The host's buffers: names 31 characters, displays and labels 8, each with its terminator.
    static constexpr size_t kNameCharacters = 31;
    static constexpr size_t kLabelCharacters = 8;

    struct Record
    {
        int32_t valueKind; // the descriptor's value kind, 0-4
        int32_t position;  // insert position in the chain
        int32_t index;     // parameter index in the insert
        int32_t vstIndex;
        float offset;    // the value at 0.0
        double range;    // the span that 0..1 covers
        double inverse;  // 1 / range, 0 for an empty range
        uint32_t insert; // the insert's identity when the map was built
        char name[kNameCharacters + 1];
        char label[kLabelCharacters + 1];
    };

    // An empty map.
    ParamMap() = default;
    ParamMap(const ParamMap&) = delete;
    ParamMap& operator=(const ParamMap&) = delete;

    // Every shown, writable parameter of every insert, in chain order, with its name, unit and
    // current value (empty while the chain is detached or missing). The chain's holder.
    static std::unique_ptr<ParamMap> Build(ParamChain* chain);

    int32_t Count() const { return static_cast<int32_t>(records_.size()); }
    const Record* Find(int32_t vstIndex) const;
    const Record* FindByInsert(int32_t position, int32_t index) const;
    // -1 and -1 for an index beyond the map.
    void Lookup(int32_t vstIndex, int32_t* position, int32_t* index) const;

    // The one pair of conversions between the host's 0..1 and the insert's value. ToValue takes
    // any float (outside 0..1 clamped, NaN as 0) and answers a value inside the parameter's
    // range; ToNormalized answers 0..1 for any value, also one outside the range.
    static ParamValue ToValue(const Record& record, float normalized);
    static float ToNormalized(const Record& record, const ParamValue& value);

    // The host's parameter operations, any thread, lock-free. Request keeps the value for the
    // chain's holder and answers whether it kept one (the index is mapped and the value is no
    // NaN); get and display answer it until
    // the insert has taken it.
    bool Request(int32_t vstIndex, float value) const;
    float Get(int32_t vstIndex) const;
    void Name(int32_t vstIndex, char* text) const;
    void Display(int32_t vstIndex, char* text) const;
    void Label(int32_t vstIndex, char* text) const;
    // The value a host call sees: the one asked for while it waits, else the stored one.
    ParamValue Current(int32_t vstIndex) const;

    // The chain's holder: the cells take the inserts' values; the requests go to the inserts
    // that the records were built for (a request for an insert that went is dropped).
    void Sync(ParamChain& chain) const;
    void StoreRequests(ParamChain& chain, bool direct) const;
    // Requests of a map no host call reads any more move to the same parameters of this one
    // (unless this one has its own); answers whether any moved.
    bool TakeRequests(const ParamMap& previous) const;

private:
    // A pair in one 64-bit word: the kind plus 1 above the bits, 0 for none.
    static uint64_t Pack(const ParamValue& value);
    static ParamValue Unpack(uint64_t word);
    bool InsertIs(ParamChain& chain, const Record& record) const;

    std::vector<Record> records_;                        // by VST index
    std::unique_ptr<std::atomic<uint64_t>[]> stored_;    // the inserts' pairs, one per record
    std::unique_ptr<std::atomic<uint64_t>[]> requested_; // the host's pairs not stored yet; 0 none
};

// The map the host's calls read. The chain's holder publishes a new map; the old one goes once
// no call that may have read it still runs. Readers never wait; a publisher waits only for the
// readers of the map it replaces.
class ParamMapSlot
{
public:
    ParamMapSlot();
    ~ParamMapSlot();
    ParamMapSlot(const ParamMapSlot&) = delete;
    ParamMapSlot& operator=(const ParamMapSlot&) = delete;

    // Any thread: the current map stays alive while this object exists. Never held across a
    // call that may publish.
    class Use
    {
    public:
        explicit Use(ParamMapSlot& slot);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        const ParamMap* operator->() const { return map_; }
        const ParamMap& operator*() const { return *map_; }

    private:
        ParamMapSlot& slot_;
        uint32_t epoch_;
        const ParamMap* map_;
    };

    // Replaces the map; answers whether requests of the old one moved to the new one.
    bool Publish(std::unique_ptr<ParamMap> map);

private:
    std::atomic<ParamMap*> map_; // owned
    // Readers count themselves under the epoch they began in; a publisher moves the epoch on
    // and waits for the old one's readers only, so a steady stream of calls cannot starve it.
    std::atomic<uint32_t> epoch_{0};
    std::atomic<int32_t> readers_[2] = {{0}, {0}};
    std::mutex publish_; // one publisher at a time
};

// UTF-16 text in the system's code page ("?" for what it cannot show), at most size - 1
// characters and always terminated.
void NarrowText(const char16_t* text, char* out, size_t size);
