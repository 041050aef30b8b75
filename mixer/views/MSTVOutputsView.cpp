#include "mixer/views/MSTVOutputsView.h"

#include "framework/controls/DataItem.h"
#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/RegistryKey.h"
#include "mixer/dialogs/WarningDialogs.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/engine/MonitorLevelKick.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/views/MainWindowLink.h"

namespace
{
// Assignment answers of IVarnOutput::Assign.
constexpr int kAssigned = 1;
constexpr int kPrepareFirst = 4;
constexpr int kOutputsMaxedOut = 6;
constexpr int kAssignNone = 2;

bool InUse(IVarnOutput* output)
{
    return output && output->GetSource() != nullptr;
}
} // namespace

MSTVOutputsViewItem::MSTVOutputsViewItem(MSTVOutputsList& list, int rowIndex, IVarnOutput* output)
    : MSTVIoRow(list, rowIndex), output_(output)
{
}

int MSTVOutputsViewItem::Create()
{
    if (list_.GetMode() == 0)
    {
        mixOn_ = AddFlagItem("mixon", 0, 0, 0);
        monOn_ = AddFlagItem("monon", 0, 0, 0);
    }
    SetupRow();
    if (!ComputeState() || !ApplyTemplate(0))
        return 0;
    Update();
    return Place();
}

void MSTVOutputsViewItem::Refresh()
{
    ComputeState();
    if (!ApplyTemplate(1))
        return;
    Update();
    RedrawArea(nullptr, 1);
}

int MSTVOutputsViewItem::ComputeState()
{
    OutputFacts facts;
    IVarnHardware* system = list_.GetSystem();
    facts.hasOutput = output_ != nullptr;
    if (output_)
    {
        facts.master = system && system->IsMaster();
        facts.physical = output_->GetKind() == OutputKind::kPhysical;
        facts.overridden = output_->GetOverride() != nullptr;
        // A pair's channels are the routing table's entries; only physical pairs have them, and
        // a channel past the table is none: not in use.
        IVarnRoutingTable* table = facts.physical ? output_->GetRoutingTable() : nullptr;
        if (table)
        {
            const int first = table->GetBase(OutputKind::kPhysical) + 2 * output_->GetIndex();
            facts.partnerInUse[0] = InUse(table->GetEntry(OutputKind::kPhysical, first));
            facts.partnerInUse[1] = InUse(table->GetEntry(OutputKind::kPhysical, first + 1));
        }
        facts.inUse = InUse(output_);
        facts.assignment = output_->GetType();
        facts.mixOverride = facts.assignment == kAssignNone && output_->QueryMixOverride() != 0;
    }
    return ComputeOutputState(facts, list_.GetMode(), state_) ? 1 : 0;
}

int MSTVOutputsViewItem::ApplyTemplate(int rebuild)
{
    return BuildTemplate(OutputTemplate(state_, list_.GetMode()), rebuild);
}

void MSTVOutputsViewItem::Update()
{
    if (!output_)
        return;
    SkinStringTable strings(list_.GetLink().GetSkin());
    PortNames names(list_.GetMixer(), strings);
    String name, prefix;
    if (!names.GetOutputName(output_, &name, &prefix, 1, 0, 0))
        return;
    if (output_->GetKind() == OutputKind::kPhysical && prefix.Length() > 0)
    {
        String text;
        text.Assign(prefix);
        text.AppendAscii(" ");
        text.Append(name);
        SetText("output", text);
    }
    else if (name.Length() > 0)
        SetText("output", name);
    if (state_ == kMixOverride || state_ == kMonOverride || state_ == kUnassignedOverride)
    {
        String source;
        names.GetInsertName(output_, &source, 1);
        if (source.Length() > 0)
            SetText("insertsrc", source);
    }
    if (mixOn_)
    {
        mixOn_->value = state_ == kMixPanel || state_ == kMixOverride;
        mixOn_->RefreshControls(nullptr);
    }
    if (monOn_)
    {
        monOn_->value = state_ == kMonPanel || state_ == kMonOverride;
        monOn_->RefreshControls(nullptr);
    }
}

int MSTVOutputsViewItem::CheckHostRouting()
{
    if (!output_ || output_->GetKind() != OutputKind::kAsio || InUse(output_) || output_->GetType() == kAssignNone)
        return 1;
    IVarnHardware* system = list_.GetSystem();
    IVarnItemList* outputs = system ? system->GetItemList() : nullptr;
    if (!outputs)
        return 1;
    int recording = 0;
    for (int i = 0;; ++i)
    {
        IVarnOutput* other = outputs->GetPort(OutputKind::kAsio, i);
        if (!other)
            break;
        if (InUse(other) || other->GetType() != kAssignNone)
            ++recording;
    }
    MainWindowLink& link = list_.GetLink();
    if (recording != 1 || !link.GetSettings().ReadBool(StringRef(ViewSettings::kShowNoAsioWarning), 1))
        return 1;
    NoAsioWarningDialog warning;
    warning.Init();
    return SkinDialogs(link.GetSkin()).ShowDialogPanel("reczero", &warning, this) == 0 ? 0 : 1;
}

int MSTVOutputsViewItem::OnDataItemNotify(Panel*, DataItem* item, int)
{
    if (!item || (item != mixOn_ && item != monOn_))
        return 1;
    auto* toggle = static_cast<FlagItem*>(item);
    // The boxes below run message loops: the list holds its rebuilds until this returns.
    MSTVIoList::RowAction action(list_);
    if (toggle->value)
    {
        SwitchOn(toggle, toggle == mixOn_ ? 0 : 1);
        if (toggle == monOn_)
        {
            IVarnHardware* system = list_.GetSystem();
            KickMonitorLevel(system ? system->GetMainMix() : nullptr);
        }
        return 1;
    }
    if (!CheckHostRouting())
        Update();
    else
        output_->Assign(kAssignNone, 1);
    return 1;
}

void MSTVOutputsViewItem::SwitchOn(FlagItem* toggle, int assignment)
{
    const int before = output_->GetType();
    int result = output_->Assign(assignment, 1);
    if (result == kPrepareFirst)
    {
        if (IVarnHardware* system = list_.GetSystem())
            system->PrepareDsp();
        result = output_->Assign(assignment, 1);
    }
    if (result == kAssigned)
        return;
    SkinDialogs(list_.GetLink().GetSkin())
        .ShowDefinedMessageBox(result == kOutputsMaxedOut ? "IDM_OUTPUTS_MAXED_OUT" : "IDM_INSUFFICIENT_DSP", this,
                               nullptr);
    toggle->value = 0;
    toggle->RefreshControls(nullptr);
    // A refused assignment leaves the output as it was: only one without a role had one
    // half made, which is taken back; one that had a role keeps it and shows it again.
    if (before == kAssignNone)
        output_->Assign(kAssignNone, 1);
    else
        Update();
}

void MSTVOutputsList::Populate()
{
    IVarnHardware* system = GetSystem();
    IVarnItemList* outputs = system ? system->GetItemList() : nullptr;
    if (!outputs)
        return;
    const IoHardware hardware = ReadIoHardware(system);
    static const int kPhysicalGroups[] = {OutputKind::kPhysical};
    static const int kHostGroups[] = {OutputKind::kWave, OutputKind::kAsio};
    const int* groups = GetMode() == 0 ? kPhysicalGroups : kHostGroups;
    const int groupCount = GetMode() == 0 ? 1 : 2;
    for (int g = 0; g < groupCount; ++g)
    {
        const int group = groups[g];
        const int count = outputs->GetCount(group);
        for (int i = 0; i < count; ++i)
        {
            IVarnOutput* output = outputs->GetPort(group, i);
            if (!output)
                continue;
            if (group == OutputKind::kPhysical && (output->IsSingleChannel() || !ShowsPhysicalOutput(hardware, i)))
                continue;
            auto row = std::make_unique<MSTVOutputsViewItem>(*this, GetRowCount(), output);
            if (row->Create())
                AddRow(std::move(row));
        }
    }
}

void MSTVOutputsList::OnOutputChanged(IVarnOutput* output)
{
    if (!output || IsBusy())
    {
        Rebuild();
        return;
    }
    IVarnOutput* shown = output;
    if (output->IsSingleChannel())
    {
        IVarnItemList* outputs = GetSystem() ? GetSystem()->GetItemList() : nullptr;
        shown = outputs ? outputs->GetPort(OutputKind::kPhysical, output->GetChannel() / 2) : nullptr;
    }
    for (int i = 0; shown && i < GetRowCount(); ++i)
        if (GetItem(i)->GetOutput() == shown)
        {
            GetItem(i)->Refresh();
            return;
        }
}

void MSTVOutputsList::OnStripChanged()
{
    if (IsBusy())
    {
        Rebuild();
        return;
    }
    for (int i = 0; i < GetRowCount(); ++i)
    {
        MSTVOutputsViewItem* row = GetItem(i);
        const int state = row->GetState();
        if (state != kMixOverride && state != kMonOverride && state != kUnassignedOverride)
            continue;
        // The insert that took the output over may be gone, or out of its chain.
        IVarnOutput* output = row->GetOutput();
        IVarnInsert* taker = output ? output->GetOverride() : nullptr;
        if (!taker || !taker->GetChain())
            row->Refresh();
    }
}

MSTVOutputsView::MSTVOutputsView() : MSTVIoView("MSTVOutputsView", "outType", ViewSettings::kTvOutputsMode) {}

std::unique_ptr<MSTVIoList> MSTVOutputsView::MakeList(IVarnHardware* system, int mode)
{
    return std::make_unique<MSTVOutputsList>(*this, *GetLink(), system, mode);
}

const char* MSTVOutputsView::BackgroundOf(int mode)
{
    return mode ? "bg_MSTVOutputsHostsView" : "bg_MSTVOutputsView";
}

void MSTVOutputsView::OnOutputChanged(VarnEventArg port)
{
    if (MSTVOutputsList* list = GetOutputsList())
        list->OnOutputChanged(reinterpret_cast<IVarnOutput*>(port));
}

void MSTVOutputsView::OnStripChanged(IVarnStrip*)
{
    if (MSTVOutputsList* list = GetOutputsList())
        list->OnStripChanged();
}
