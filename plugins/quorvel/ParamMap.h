#pragma once
// The effects plug-in's VST parameters: the parameters of its insert chain, numbered in
// chain order, with one pair of conversions per value kind between the host's 0..1 and the
// insert's value, used alike by set, get and the reports to the host.

#include "plugins/quorvel/ParamChain.h"

#include <cstdint>
#include <vector>

class ParamMap
{
public:
    // The plug-in declares this many parameters; the chain's further parameters are not mapped.
    static constexpr int32_t kMaxParams = 256;

    struct Record
    {
        int32_t valueKind; // the descriptor's value kind, 0-4
        int32_t position;  // insert position in the chain
        int32_t index;     // parameter index in the insert
        int32_t vstIndex;
        float offset;   // the value at 0.0
        double range;   // the span that 0..1 covers
        double inverse; // 1 / range, 0 for an empty range
    };

    ParamMap();

    // Every shown, writable parameter of every insert, in chain order (nothing while the chain
    // is detached or missing).
    void Rebuild(ParamChain* chain);
    void Clear() { m_records.clear(); }
    int32_t Count() const { return static_cast<int32_t>(m_records.size()); }
    const Record* Find(int32_t vstIndex) const;
    const Record* FindByInsert(int32_t position, int32_t index) const;
    // -1 and -1 for an index beyond the map.
    void Lookup(int32_t vstIndex, int32_t* position, int32_t* index) const;

    static ParamValue ToValue(const Record& record, float normalized);
    static float ToNormalized(const Record& record, const ParamValue& value);

    // The host's parameter operations; a missing chain or insert changes and tells nothing.
    void Set(ParamChain* chain, int32_t vstIndex, float value) const;
    float Get(ParamChain* chain, int32_t vstIndex) const;
    // Texts into the host's buffers (names at most 31 characters, displays and labels 8).
    void Name(ParamChain* chain, int32_t vstIndex, char* text) const;
    void Display(ParamChain* chain, int32_t vstIndex, char* text) const;
    void Label(ParamChain* chain, int32_t vstIndex, char* text) const;

private:
    std::vector<Record> m_records; // by VST index
};

// UTF-16 text in the system's code page ("?" for what it cannot show), at most size - 1
// characters and always terminated.
void NarrowText(const char16_t* text, char* out, size_t size);
