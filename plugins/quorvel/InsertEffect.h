#pragma once
// One slot of the instance's insert chain: a DSP effect, a special effect ("Trim Pot", "Test
// Signal", "Peak Meter"), a hardware send or a send/return. It mirrors the mixer program's
// insert of this client: its information and flags, parameter descriptors and values, bypass
// and solo and, for DSP effects, the effect's preset list. Every request goes to the server
// through the link's call block (or, on the services thread, CallDirect); while the chain is
// detached an insert keeps and changes its values locally.
//
// An insert is made, changed and destroyed by its chain, which decides the thread; the
// editor's messages name it by Identity(), a number no other insert of the process takes,
// so a message that outlives its insert names nobody.

#include "plugins/quorvel/EditorMessages.h"
#include "plugins/quorvel/ModelLink.h"

#include <cstdint>
#include <vector>

struct InsertState;

enum InsertKind : int32_t
{
    kInsertEmpty = 0,
    kInsertDspEffect = 1,
    kInsertTrimPot = 2,
    kInsertTestSignal = 3,
    kInsertPeakMeter = 4,
    kInsertSend = 5,
    kInsertSendReturn = 6,
};

class InsertEffect
{
public:
    // DSP and special inserts run only up to this rate.
    static constexpr int32_t kMaxEffectRate = 48000;
    // The value kind of a selector, whose choices have names.
    static constexpr int32_t kSelectorValueKind = 4;
    // The parameter kind whose choices are never fetched.
    static constexpr int32_t kHiddenParamKind = 3;

    InsertEffect(int32_t kind, ModelLink* link, int32_t position);
    virtual ~InsertEffect() = default;
    InsertEffect(const InsertEffect&) = delete;
    InsertEffect& operator=(const InsertEffect&) = delete;

    // Tells the server to create the insert; with wait false the answer is not awaited.
    virtual bool Apply(bool wait) = 0;
    // Takes bypass, solo and the values both have from a valid state record.
    virtual void LoadState(const InsertState& state);
    // Services thread, the chain attaches again: re-reads everything with direct calls.
    virtual void Attach();
    // Re-reads everything through the call block.
    virtual void Reload();

    int32_t Kind() const { return kind_; }
    int32_t Position() const { return position_; }
    void SetPosition(int32_t position) { position_ = position; }
    uint32_t Identity() const { return identity_; }
    const InsertInfo& Info() const { return info_; }

    // Whether the chain is attached: false, and every operation works on local data.
    bool IsConnected() const;

    int32_t ParamCount() const { return static_cast<int32_t>(values_.size()); }
    // count descriptors of ParamDescriptor::kSize bytes; 0 and null when there are none.
    void GetParamDescriptors(int32_t* count, const uint8_t** descriptors) const;
    // False beyond the count and for the hidden parameter.
    bool GetParamValue(int32_t index, ParamValue* pair) const;
    bool IsHiddenParam(int32_t index) const;
    bool HasWetDry() const;
    bool CanBypass() const;
    float GetWetDry() const;
    bool IsBypassed() const { return bypassed_; }
    bool IsSoloed() const { return soloed_; }
    void GetParamKinds(int32_t* count, const int32_t** kinds) const;
    // 4 beyond the kinds the server gave.
    int32_t GetParamKind(int32_t index) const;
    bool HasSelectorParams() const;
    // 0 and null when that parameter has no list.
    void GetChoiceNames(int32_t index, int32_t* count, const ChoiceName** names) const;
    // The server's text of a parameter's value, at most units - 1 characters, terminated.
    bool GetParamText(int32_t index, char16_t* text, int32_t units);
    int32_t GetNotifyId() const { return notifyId_; }

    // direct: the services thread's own call (the host's values reach the inserts there).
    bool StoreParam(int32_t index, int32_t kind, uint32_t value, bool direct = false);
    bool SetParam(int32_t index, int32_t kind, uint32_t value);
    bool SetWetDry(float value);
    bool SetBypass(bool on);
    bool SetSolo(bool on);
    bool ReadBypass();
    bool ReadSolo();
    bool RefreshParamValue(int32_t index);
    void ResendAll();
    void PushParamsToHost();
    bool RefreshParams();
    bool RefreshChoiceList(int32_t index);
    // The server's kinds of the parameters, read again.
    bool ReadParamKinds();
    bool Remove();
    // One batch read of every value (attached only); true when a stored pair changed.
    bool ReadAllParams();
    // The values of a state record loaded before the server described the parameters (no
    // mixer program, or not asked yet): kept as they are, captured as they are, and taken
    // when the server describes them, so a chunk loaded and saved again loses nothing.
    const std::vector<ParamValue>& KeptValues() const { return kept_; }
    // A read-only value (a meter) the chain's poll read: kept as it is, nobody told.
    void KeepReadOnlyValue(int32_t index, const ParamValue& value);

protected:
    // One command with the arguments in block; its answer comes back in block. direct: the
    // services thread's own call, without the shared block.
    int32_t Run(CallBlock& block, int32_t command, bool direct = false);
    // Apply's common part: the command (with wait in its slots) runs; without wait that is
    // all; when the server agreed, its information from infoSlot on is taken and everything
    // read again (Reload).
    bool ApplyWith(CallBlock& block, int32_t command, bool wait, int infoSlot);
    void TakeInfo(const InsertInfo& info)
    {
        info_ = info;
        answered_ = true;
    }
    // Steps shared by Reload and Attach.
    bool FetchDescriptors(bool direct);
    void FetchChoiceNames(bool direct);
    bool ReadValues(bool direct);
    bool IsEffectRateAllowed() const;
    // Reload of the kinds that read every value again: the values a state record kept are the
    // user's and go to the server (ResendAll) instead of being read over by its defaults.
    void ReloadWithValues();

    ModelLink* link_; // borrowed: the link owns the chain that owns this insert

private:
    struct ChoiceList
    {
        int32_t index;
        std::vector<ChoiceName> names;
    };

    bool StoreAccepts(int32_t index, int32_t kind) const;
    bool ReadSwitch(int32_t command, bool* stored, uint32_t message);
    bool SetSwitch(int32_t command, bool on);
    bool FetchChoiceList(int32_t index, bool direct);
    bool IsSelector(int32_t index) const;

    int32_t kind_;
    int32_t position_; // the insert's index in the chain: its id in every command
    uint32_t identity_;
    InsertInfo info_;
    std::vector<uint8_t> descriptors_; // ParamCount() x ParamDescriptor::kSize
    std::vector<ParamValue> values_;
    std::vector<ChoiceList> choices_;
    int32_t notifyId_ = 0;
    std::vector<int32_t> kinds_; // as many as the server answered
    bool bypassed_ = false;
    bool soloed_ = false;
    bool answered_ = false;        // the server told the information
    bool described_ = false;       // the server told the parameters
    std::vector<ParamValue> kept_; // see KeptValues
};
