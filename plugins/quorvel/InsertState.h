#pragma once
// Insert state records: a self-contained copy of one insert that outlives the services link.
// The state chunk is written from a list of them and read back into one; the chain compares
// the list with its inserts and rebuilds itself from it. One record type per group of insert
// kinds: the base for the special effects (2-4), and one each for DSP effects (1), sends (5)
// and send/returns (6).

#include "plugins/quorvel/InsertEffect.h"

#include <cstdint>
#include <memory>
#include <vector>

struct InsertState
{
    explicit InsertState(int32_t kind);
    virtual ~InsertState();
    InsertState(const InsertState&) = delete;
    InsertState& operator=(const InsertState&) = delete;

    // The insert is of this record's kind (and, in the subtypes, runs the same effect or
    // channels).
    virtual bool Matches(const InsertEffect& insert) const;
    virtual bool IsValid() const;

    // Frees the old values and makes n pairs for the caller to fill; when they cannot be had,
    // false with values null and valueCount 0.
    bool SetValueCount(uint32_t n);

    int32_t kind;
    InsertInfo info{};
    uint32_t valueCount = 0;
    ParamValue* values = nullptr; // valueCount pairs, owned (the platform's memory)
    uint8_t bypassed = 0;
    uint8_t soloed = 0;

protected:
    // What the subtypes take of an insert of their kind besides the base's fields.
    virtual void TakeDetails(const InsertEffect& insert);

    friend class InsertStateList;
};

struct DspEffectState final : InsertState
{
    DspEffectState() : InsertState(kInsertDspEffect) {}
    bool Matches(const InsertEffect& insert) const override;
    bool IsValid() const override;

    PresetRecord preset{}; // the effect's record: name, 16-byte effect id, chain flag
    int32_t selectedPreset = 0;

protected:
    void TakeDetails(const InsertEffect& insert) override;
};

struct SendState final : InsertState
{
    SendState() : InsertState(kInsertSend) {}
    bool Matches(const InsertEffect& insert) const override;
    bool IsValid() const override;

    ChannelRecord send{};

protected:
    void TakeDetails(const InsertEffect& insert) override;
};

struct SendReturnState final : InsertState
{
    // The first value of both channel records of a send/return insert.
    static constexpr int32_t kSendReturnChannel = 2;

    SendReturnState() : InsertState(kInsertSendReturn) {}
    bool Matches(const InsertEffect& insert) const override;
    bool IsValid() const override;

    ChannelRecord send{};
    ChannelRecord ret{};

protected:
    void TakeDetails(const InsertEffect& insert) override;
};

class InsertStateList
{
public:
    InsertStateList() = default;
    InsertStateList(const InsertStateList&) = delete;
    InsertStateList& operator=(const InsertStateList&) = delete;

    // One record per insert of kind 1-6 of a chain (Count(), At(index)), in chain order;
    // false when a record's memory could not be had (the list is then cleared).
    template <typename Chain>
    bool Capture(const Chain& chain)
    {
        Clear();
        for (int32_t i = 0; i < chain.Count(); ++i)
        {
            const InsertEffect* insert = chain.At(i);
            if (insert && !Append(*insert))
            {
                Clear();
                return false;
            }
        }
        return true;
    }
    // A record of the insert appended; an insert of another kind is skipped (true).
    bool Append(const InsertEffect& insert);
    void Clear();
    // Clear, then n empty entries; false (and the list empty) when they cannot be had.
    bool Reset(uint32_t n);
    // A new default record of the type at the index, or null (type outside 1-6, index
    // outside the list) with the entry left as it was.
    InsertState* CreateAt(uint32_t index, int32_t type);
    // Every entry a record, every record valid; an empty list is valid.
    bool AllValid() const;

    uint32_t Count() const { return static_cast<uint32_t>(states_.size()); }
    InsertState* At(uint32_t index) const { return index < states_.size() ? states_[index].get() : nullptr; }

private:
    std::vector<std::unique_ptr<InsertState>> states_;
};

// A record of an insert's kind (1-6), default-filled; null for other kinds or no memory.
std::unique_ptr<InsertState> MakeInsertState(int32_t kind);
