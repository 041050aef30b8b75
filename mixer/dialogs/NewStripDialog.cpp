#include "mixer/dialogs/NewStripDialog.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/DataItem.h"
#include "framework/skin/Skin.h"
#include "mixer/dialogs/SkinStringTable.h"
#include "mixer/engine/EngineVocabulary.h"

namespace
{
String Ascii(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

bool Named(const DataItem* item, const char* name)
{
    return item && item->GetName().CompareLiteral(name) == 0;
}

void Fill(ComboBox* box, const std::vector<NewStripEntry>& entries)
{
    if (!box)
        return;
    box->ClearItems();
    for (const NewStripEntry& entry : entries)
        box->AddItem(entry.text, entry.free, entry.value);
}
} // namespace

int NewStripDialog::Init(IVarnHardware* group)
{
    group_ = group;
    IVarnInputList* inputs = group ? group->GetInputList() : nullptr;
    if (!inputs)
        return 0;
    freeMono_ = inputs->GetFreeCount(InputKind::kMonoPhysical, 5);
    freeStereo_ = inputs->GetFreeCount(InputKind::kStereoPhysical, 5);
    hostAvailable_ = inputs->GetFreeCount(InputKind::kHost, 5) || inputs->GetFreeCount(InputKind::kAsioChannel, 5);
    SkinStringTable strings(skin_);
    lists_ = BuildNewStripLists(group, group->GetMixer(), strings);
    if (lists_.physicalDisabled)
        freeMono_ = freeStereo_ = 0;
    const int physical = static_cast<int>(lists_.physical.size());
    physicalOrHost_ = AddIntItem("physicalOrHost", 0, 0, 1, 0, 0);
    hostSrc_ = AddIntItem("hostSrc", 0, 0, 3, 0, 0);
    AddFlagItem("prefader", 0, 0, 0);
    physicalChoice_ = AddIntItem("physicalchoice", -1, -1, physical - 1, 0, 0);
    asioChoice_ = AddIntItem("ASIOchoice", -1, -1, static_cast<int>(lists_.asio.size()) - 1, 0, 0);
    fxSendChoice_ = AddIntItem("FXsendchoice", -1, -1, lists_.fxSends - 1, 0, 0);
    osChoice_ = AddIntItem("OSchoice", -1, -1, static_cast<int>(lists_.os.size()) - 1, 0, 0);
    return freeMono_ || freeStereo_ || hostAvailable_ ? 1 : 0;
}

void NewStripDialog::Enable(const char* name, int enabled)
{
    if (Control* control = FindControl(Ascii(name)))
        control->SetDisabled(enabled ? 0 : 1, 0, 1);
}

void NewStripDialog::SetValue(IntItem* item, int value, int notify)
{
    if (item)
        item->Store(value, 1, notify, nullptr);
}

int NewStripDialog::Value(const IntItem* item) const
{
    return item ? item->value : -1;
}

int NewStripDialog::OnInitDialog()
{
    Fill(dynamic_cast<ComboBox*>(FindControl(Ascii("physicalchoices"))), lists_.physical);
    Fill(dynamic_cast<ComboBox*>(FindControl(Ascii("ASIOchoices"))), lists_.asio);
    Fill(dynamic_cast<ComboBox*>(FindControl(Ascii("OSchoices"))), lists_.os);
    std::vector<NewStripEntry> sends(lists_.fxSends);
    for (int i = 0; i < lists_.fxSends; ++i)
    {
        sends[i].text.AssignAscii("FX SEND ");
        sends[i].text.AppendInt(i + 1);
        sends[i].value = i;
    }
    Fill(dynamic_cast<ComboBox*>(FindControl(Ascii("FXsendchoices"))), sends);
    SetValue(physicalChoice_, lists_.physicalChoice, 0);
    SetValue(asioChoice_, lists_.asioChoice, 0);
    SetValue(osChoice_, lists_.osChoice, 0);
    // No free ASIO entry: the Wave pairs are offered first.
    if (lists_.asioChoice < 0)
        SetValue(hostSrc_, 1, 0);

    const int physicalAvailable = freeMono_ || freeStereo_;
    Enable("physical", physicalAvailable);
    Enable("physicaltag", physicalAvailable);
    Enable("host", hostAvailable_);
    Enable("hosttag", hostAvailable_);
    SetValue(physicalOrHost_, physicalAvailable ? 0 : 1, 1);
    UpdateHostControls(!physicalAvailable);
    if (lists_.osChoice < 0)
    {
        Enable("OS", 0);
        Enable("OStag", 0);
    }
    return AppDialog::OnInitDialog();
}

void NewStripDialog::UpdateHostControls(int enabled)
{
    const char* hostControls[] = {"hostSrc", "ASIO", "ASIOtag", "OS", "OStag", "synth", "FX", "FXtag"};
    for (const char* name : hostControls)
        Enable(name, enabled);
    const int source = Value(hostSrc_);
    Enable("ASIOchoices", enabled && source == 0 && lists_.asioChoice >= 0);
    Enable("OSchoices", enabled && source == 1 && lists_.osChoice >= 0);
    Enable("FXsendchoices", enabled && source == 3 && lists_.fxSends > 0);
    if (enabled && lists_.asioChoice < 0)
    {
        Enable("ASIO", 0);
        Enable("ASIOtag", 0);
    }
    if (enabled && lists_.osChoice < 0)
    {
        Enable("OS", 0);
        Enable("OStag", 0);
    }
    Enable("physicalchoices", !enabled && !lists_.physicalDisabled);
}

int NewStripDialog::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (item == physicalOrHost_)
        UpdateHostControls(Value(physicalOrHost_) == 1);
    else if (item == hostSrc_)
        UpdateHostControls(Value(physicalOrHost_) == 1);
    else if (Named(item, "prefader"))
        prefaderValue_ = static_cast<FlagItem*>(item)->value;
    else
        return AppDialog::OnDataItemNotify(panel, item, argument);
    return 1;
}

void NewStripDialog::OnMouseUp(WPARAM flags, int x, int y)
{
    AppDialog::OnMouseUp(flags, x, y);
    Control* list = ControlAt(x, y);
    if (!list || !list->IsDisabled())
        return;
    const String& name = list->GetName();
    if (name.CompareLiteral("physicalchoices") == 0)
    {
        // The physical side of a card that has it switched off stays off.
        if (Value(physicalChoice_) < 0 || lists_.physicalDisabled)
            return;
        SetValue(physicalOrHost_, 0, 0);
    }
    else if (name.CompareLiteral("ASIOchoices") == 0 || name.CompareLiteral("OSchoices") == 0)
    {
        const int asio = name.CompareLiteral("ASIOchoices") == 0;
        if (Value(asio ? asioChoice_ : osChoice_) < 0)
            return;
        SetValue(physicalOrHost_, 1, 0);
        SetValue(hostSrc_, asio ? 0 : 1, 0);
    }
    else
        return;
    UpdateHostControls(Value(physicalOrHost_) == 1);
}

NewStripChoice NewStripDialog::GetChoice() const
{
    return ChooseNewStrip(lists_, Value(physicalOrHost_), Value(hostSrc_), Value(physicalChoice_), Value(asioChoice_),
                          Value(fxSendChoice_), Value(osChoice_), prefaderValue_);
}
