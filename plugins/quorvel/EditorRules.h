#pragma once
// The editor's rules that need no window: when a send/return lamp lights and which names the
// effect library takes.

#include <cstdint>
#include <string>
#include <vector>

// A level lights its lamp when its magnitude is above -96 dB, strictly.
constexpr float kSignalThreshold = 1.5848931e-5f;
bool IsSignalLit(float level);

// Names of categories and presets become folder and file names of the mixer's library; the
// engine keeps 127 units of a name and the COM records 128 with the end mark.
constexpr int32_t kMaxLibraryName = 127;
enum class LibraryNameCheck
{
    kAccepted,
    kTooLong, // "IDM_MAX_CHAR_EXCEEDED"
    kInvalid, // "IDM_DUPLICATE_INVALID_NAME_CREATEPRESET" (also an empty name)
};
LibraryNameCheck CheckLibraryName(const char16_t* name, int32_t length);

// A message box's answer that goes ahead: Yes (1) or OK (3).
inline bool IsConfirmed(int button)
{
    return button == 1 || button == 3;
}

// A core preset's entry in the effect view's combo: "00" below position 10, "0" below 100,
// the number, " - ", the name and, for a user's preset, " " and userDefined.
std::u16string PresetComboText(int32_t position, int32_t number, const std::u16string& name, bool userPreset,
                               const std::u16string& userDefined);

// The insert slots' selection: one record per insert of the chain (in chain order) and the
// focused row. The records follow the chain only when rebuilt; clicks touch only records
// that exist, while the focused row may lie past the chain (the slot menu then offers its
// items as for an empty slot).
class SlotSelection
{
public:
    static constexpr int32_t kVisibleSlots = 14;
    static constexpr int32_t kNone = -1;
    // Key state bits of a click (as the mouse message's).
    static constexpr int32_t kShift = 4;
    static constexpr int32_t kControl = 8;

    int32_t Count() const { return static_cast<int32_t>(selected_.size()); }
    int32_t Current() const { return current_; }
    void SetCurrent(int32_t row) { current_ = row; }
    bool IsSelected(int32_t row) const;
    // count unselected records, the first selected (creation).
    void Reset(int32_t count);
    // keys -1: a plain click (the menu's own).
    void Click(int32_t row, int32_t keys);
    // The chain changed: one record per insert; a focus past the chain beyond the visible
    // slots goes back to the first row; the focused record alone is selected.
    void Rebuild(int32_t count);
    // count unselected records go in at row (a chain preset's effects).
    void InsertAt(int32_t row, int32_t count);
    void RemoveAt(int32_t row);
    void Clear() { selected_.clear(); }

private:
    void SelectOnly(int32_t row);

    std::vector<bool> selected_;
    int32_t current_ = kNone;
};

// Where a drop on a visible slot adds: the slot's row, at most the chain's end.
int32_t SlotAddPosition(int32_t firstVisible, int32_t slot, int32_t length);

// The insert slot menu's commands (the skin's "VSTPPInsertContextMenu" and those appended).
enum InsertMenuCommand : int32_t
{
    kInsertMenuDelete = 1,
    kInsertMenuRemoveAll = 2,
    kInsertMenuAddPeakMeter = 3,
    kInsertMenuAddTrimPot = 4,
    kInsertMenuAddTestSignal = 5,
    kInsertMenuPresetFromInserts = 6,
    kInsertMenuSolo = 20,
    kInsertMenuBypass = 21,
    kInsertMenuBypassAll = 22,
    kInsertMenuUnbypassAll = 23,
};

// What the menu is opened on.
struct InsertMenuFacts
{
    bool slotHasInsert = false;
    int32_t chainLength = 0;
    bool disconnected = false;
    bool fits[3] = {}; // by special kind: Trim Pot, Test Signal, Peak Meter
    // The focused insert (-1 stands for the first one); exists false when past the chain.
    bool currentExists = false;
    bool currentCanBypass = false;
    bool currentSoloed = false;
    bool currentBypassed = false;
    bool anyCanBypass = false;
    bool allBypassableBypassed = false;
    bool anyBypassed = false;
};

struct InsertMenuEntry
{
    int32_t command;
    const char* textId; // the skin string of its text
    bool disabled;
};

struct InsertMenuPlan
{
    bool show = false;
    // By item position of the skin's menu: 0, 2, 4, 5, 6, 8.
    bool disabledAt[9] = {};
    std::vector<InsertMenuEntry> appended;
};

// current: the focused row (-1 none).
InsertMenuPlan PlanInsertMenu(const InsertMenuFacts& facts, int32_t current);

// What the effect view's parameter list makes of one parameter of the shown insert: no row
// (its wet/dry or hidden parameter, a parameter kind 3 or 4, or without kinds an empty name;
// an access word outside 1-9), a parameter row (access 1-7), or a peak meter row (8, or 9
// drawn inverted).
enum class ParamRowKind
{
    kNone,
    kParameter,
    kMeter,
    kInvertedMeter,
};
struct ParamRowFacts
{
    int32_t index = 0;
    int32_t access = 0; // the descriptor's access word
    bool named = true;  // the descriptor's name is not empty
    bool hasKinds = false;
    int32_t kind = 0; // its parameter kind, when the insert has kinds
    bool hasWetDry = false;
    int32_t wetDryIndex = 0;
    bool hasHidden = false;
    int32_t hiddenIndex = 0;
};
ParamRowKind PlanParamRow(const ParamRowFacts& facts);

// A row's look by its parameter kind: 1 hides the value, 2 disables it and the name.
struct ParamRowLook
{
    bool hidden;
    bool disabled;
};
ParamRowLook ParamRowLookOf(int32_t kind);

// The level a meter row is given: the parameter's reading while the host processes, else
// -120 dB (its item keeps what its range refuses).
constexpr float kMeterSilence = -120.0f;
float MeterRowLevel(bool processing, float reading);
