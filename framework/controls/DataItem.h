#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"

#include <cstdint>
#include <vector>

class DataItem;

// What a data item tells the controls bound to it. Every control and every radio group
// implements it; items never own their listeners.
class DataItemListener
{
public:
    virtual void OnDataItemChanged() = 0;
    // The item is being deleted: the listener drops its pointer to it.
    virtual void OnDataItemDetached() = 0;

protected:
    ~DataItemListener() = default;
};

// The holder of named items (the panel): it passes an item's change on to whoever listens
// to the panel.
class DataItemOwner
{
public:
    virtual int OnOwnedItemNotify(DataItem* item, int argument) = 0;

protected:
    ~DataItemOwner() = default;
};

// A named model value that controls show and change. update = redraw the bound controls
// (except one), notify = tell the owner. Single user-interface thread.
class DataItem : public Object
{
public:
    enum Kind
    {
        KindFlag = 0,
        KindInt = 1,
        KindReal = 2,
        KindText = 3,
        KindBare = 4
    };

    DataItem() = default;
    // Tells every listener that the item goes.
    ~DataItem() override;
    DataItem(const DataItem&) = delete;
    DataItem& operator=(const DataItem&) = delete;

    virtual void Reset(int update, int notify, DataItemListener* except);

    int GetKind() const { return kind_; }
    const String& GetName() const { return name_; }
    int SetName(const String& name) { return name_.Assign(name); }
    DataItemOwner* GetOwner() const { return owner_; }
    void SetOwner(DataItemOwner* owner) { owner_ = owner; }

    // Duplicates are not checked.
    void Bind(DataItemListener* listener);
    // Removes the first occurrence; nothing when absent.
    void Unbind(DataItemListener* listener);
    int ListenerCount() const { return static_cast<int>(listeners_.size()); }
    void RefreshControls(DataItemListener* except);
    int NotifyOwner(int argument);

    int IsDisabled() const { return disabled_; }
    int IsHidden() const { return hidden_; }
    void SetDisabled(int flag, int redraw);
    void SetHidden(int flag, int redraw);

protected:
    explicit DataItem(int kind) : kind_(kind) {}

    // The change rule of the kinds: redraw before telling the owner, or the other way round.
    void RedrawThenNotify(int update, int notify, DataItemListener* except, int argument);
    void NotifyThenRedraw(int update, int notify, DataItemListener* except, int argument);

private:
    int kind_ = KindBare;
    String name_;
    DataItemOwner* owner_ = nullptr;           // borrowed
    std::vector<DataItemListener*> listeners_; // borrowed, in binding order
    int disabled_ = 0;
    int hidden_ = 0;
};

// Items with a number: flags, integers, reals.
class NumericItem : public DataItem
{
public:
    virtual double GetValue() const = 0;
    // Refused values change nothing, redraw nothing and notify nobody.
    virtual void SetValue(float value, int update, int notify, DataItemListener* except) = 0;
    virtual double GetMin() const = 0;
    virtual double GetMax() const = 0;

protected:
    using DataItem::DataItem;
};

// A whole flag value (not clamped to 0 or 1) shown by toggles.
class FlagItem : public NumericItem
{
public:
    FlagItem() : NumericItem(KindFlag) {}

    double GetValue() const override { return value; }
    // Truncates toward zero; NaN and values beyond 32 bits are refused.
    void SetValue(float value, int update, int notify, DataItemListener* except) override;
    double GetMin() const override { return 0.0; }
    double GetMax() const override { return 1.0; }
    void Reset(int update, int notify, DataItemListener* except) override;

    int32_t value = 0;
    int32_t defaultValue = 0;
};

// An integer in [minimum, maximum]; minimum equal to maximum accepts any value. Tells its
// owner before it redraws.
class IntItem : public NumericItem
{
public:
    IntItem() : NumericItem(KindInt) {}

    double GetValue() const override { return value; }
    // Truncates toward zero; NaN and values beyond 32 bits are refused.
    void SetValue(float value, int update, int notify, DataItemListener* except) override;
    double GetMin() const override { return minimum; }
    double GetMax() const override { return maximum; }
    void Reset(int update, int notify, DataItemListener* except) override;
    int Accepts(int32_t candidate) const;
    // A whole value, without the float's rounding: refused unless Accepts.
    void Store(int32_t candidate, int update, int notify, DataItemListener* except);

    int32_t value = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t defaultValue = 0;
    int showValueText = 0; // numeric displays show valueText instead of the number
    String valueText;
};

// A real number in [minimum, maximum]; minimum equal to maximum (or either NaN) accepts any
// value.
class RealItem : public NumericItem
{
public:
    RealItem() : NumericItem(KindReal) {}

    double GetValue() const override { return value; }
    void SetValue(float value, int update, int notify, DataItemListener* except) override;
    double GetMin() const override { return minimum; }
    double GetMax() const override { return maximum; }
    void Reset(int update, int notify, DataItemListener* except) override;

    float value = 0.0f;
    float minimum = 0.0f;
    float maximum = 0.0f;
    float defaultValue = 0.0f;
};

class TextItem : public DataItem
{
public:
    TextItem() : DataItem(KindText) {}

    void Reset(int update, int notify, DataItemListener* except) override;

    String text;
    String defaultText;
};

// Float to integer as the items convert: truncation toward zero. ToInt32 refuses NaN and
// values beyond 32 bits; SaturateToInt32 maps NaN to 0 and clamps the rest.
namespace DataItemValues
{
bool ToInt32(float value, int32_t& out);
int32_t SaturateToInt32(float value);
} // namespace DataItemValues
