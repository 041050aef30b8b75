#pragma once
// What the parameter map needs of the insert chain: the inserts at their positions, their
// parameter descriptors, and the value pairs read and stored through them. The instance's
// InsertChain implements it; until the plug-in holds one, the map stays empty.

#include <cstddef>
#include <cstdint>
#include <cstring>

// A parameter's value: kind 0 no value, 1, 3 and 4 a signed integer, 2 a 32-bit float.
struct ParamValue
{
    int32_t kind = 0;
    uint32_t bits = 0;

    static ParamValue Integer(int32_t kind, int32_t value)
    {
        ParamValue pair;
        pair.kind = kind;
        std::memcpy(&pair.bits, &value, sizeof(value));
        return pair;
    }
    static ParamValue Real(float value)
    {
        ParamValue pair;
        pair.kind = 2;
        std::memcpy(&pair.bits, &value, sizeof(value));
        return pair;
    }
    int32_t AsInteger() const
    {
        int32_t value = 0;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
    float AsReal() const
    {
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
};
static_assert(sizeof(ParamValue) == 8, "value pair");

// One parameter descriptor as the mixer program hands it out (1052 bytes): the name (UTF-16
// from byte 4), the unit (UTF-16 from byte 260), the access word, the value kind and the
// 32-bit minimum, maximum and default (integers, or floats for value kind 2) and the tooltip
// (UTF-16 from byte 540).
class ParamDescriptor
{
public:
    static constexpr size_t kSize = 1052;
    static constexpr size_t kNameOffset = 4;
    static constexpr size_t kUnitOffset = 260;
    static constexpr size_t kTooltipOffset = 540;
    static constexpr size_t kTextUnits = 128;
    static constexpr int32_t kReadOnlyAccess = 8;
    static constexpr int32_t kReadOnlyMeterAccess = 9;

    explicit ParamDescriptor(const uint8_t* bytes) : bytes_(bytes) {}

    int32_t Access() const { return Read32(516); }
    int32_t ValueKind() const { return Read32(520); }
    bool IsReadOnly() const { return Access() == kReadOnlyAccess || Access() == kReadOnlyMeterAccess; }
    int32_t IntegerMinimum() const { return Read32(524); }
    int32_t IntegerMaximum() const { return Read32(528); }
    float FloatMinimum() const { return ReadFloat(524); }
    float FloatMaximum() const { return ReadFloat(528); }
    int32_t IntegerDefault() const { return Read32(536); }
    float FloatDefault() const { return ReadFloat(536); }
    int32_t Index() const { return Read32(0); }
    // Up to `units` characters of a text, stopping at its terminator.
    void Name(char16_t* text, size_t units) const { Text(kNameOffset, text, units); }
    void Unit(char16_t* text, size_t units) const { Text(kUnitOffset, text, units); }
    void Tooltip(char16_t* text, size_t units) const { Text(kTooltipOffset, text, units); }

private:
    int32_t Read32(size_t offset) const
    {
        int32_t value = 0;
        std::memcpy(&value, bytes_ + offset, sizeof(value));
        return value;
    }
    float ReadFloat(size_t offset) const
    {
        float value = 0.0f;
        std::memcpy(&value, bytes_ + offset, sizeof(value));
        return value;
    }
    void Text(size_t offset, char16_t* text, size_t units) const
    {
        size_t n = 0;
        for (; n + 1 < units && n < kTextUnits; ++n)
        {
            std::memcpy(&text[n], bytes_ + offset + 2 * n, 2);
            if (text[n] == 0)
            {
                return;
            }
        }
        text[n] = 0;
    }

    const uint8_t* bytes_; // borrowed: kSize bytes
};

// What one insert tells of its parameters.
struct InsertParams
{
    const uint8_t* descriptors = nullptr; // count descriptors of ParamDescriptor::kSize bytes; borrowed
    int32_t count = 0;
    char16_t shortName[10] = {};
    bool hasWetDry = false;
    bool hasHidden = false;
    int32_t wetDryIndex = -1;
    int32_t hiddenIndex = -1;
    uint32_t identity = 0; // the insert's own number: a map built before it came names another
};

// Every operation but StoreRequestedParams is called by the thread that holds the chain (the
// map is built, its values follow and its requests are stored only then).
class ParamChain
{
public:
    // Whether the chain is attached to the mixer program's inserts.
    virtual bool IsAttached() const = 0;
    // Positions 0 .. count - 1 may hold inserts.
    virtual int32_t InsertCount() = 0;
    // False when no insert sits at the position.
    virtual bool GetInsert(int32_t position, InsertParams* params) = 0;
    // False for a parameter the insert does not show (beyond its count, the hidden one).
    virtual bool GetParamValue(int32_t position, int32_t index, ParamValue* value) = 0;
    // direct: the services thread's own call (it never waits for the shared call block).
    virtual bool StoreParam(int32_t position, int32_t index, const ParamValue& value, bool direct) = 0;
    // The mixer program's kind of the parameter (3: hidden from the host's list).
    virtual int32_t GetParamKind(int32_t position, int32_t index) = 0;
    // Services thread: the host asked for values; they are stored now when the chain is free,
    // else by its holder before it lets go. Never waits.
    virtual void StoreRequestedParams() = 0;

protected:
    ~ParamChain() = default;
};
