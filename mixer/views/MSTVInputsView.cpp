#include "mixer/views/MSTVInputsView.h"

#include "framework/skin/Skin.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/dialogs/SkinStringTable.h"

MSTVInputsViewItem::MSTVInputsViewItem(MSTVInputsList& list, int rowIndex, IVarnInput* input)
    : MSTVIoRow(list, rowIndex), input_(input)
{
}

int MSTVInputsViewItem::Create()
{
    SetupRow();
    if (!ApplyTemplate(0))
        return 0;
    Update();
    return Place();
}

void MSTVInputsViewItem::Refresh()
{
    if (!ApplyTemplate(1))
        return;
    Update();
    RedrawArea(nullptr, 1);
}

int MSTVInputsViewItem::ApplyTemplate(int rebuild)
{
    String strip;
    if (input_)
    {
        SkinStringTable strings(list_.GetLink().GetSkin());
        PortNames(list_.GetMixer(), strings).GetStripName(input_, &strip, 0);
    }
    const bool assigned = strip.Length() > 0 && input_->IsAssigned();
    return BuildTemplate(assigned ? "MSTVInputsViewItem_Assigned" : "MSTVInputsViewItem_Unassigned", rebuild);
}

void MSTVInputsViewItem::Update()
{
    if (!input_)
        return;
    Skin& skin = list_.GetLink().GetSkin();
    SkinStringTable strings(skin);
    PortNames names(list_.GetMixer(), strings);
    String name, prefix, strip;
    names.GetInputName(input_, &name, &prefix, 1, 0, 0);
    names.GetStripName(input_, &strip, 0);
    const int assigned = input_->IsAssigned();
    const String dash = AsciiString("-");
    String input;
    switch (input_->GetKind())
    {
    case InputKind::kMonoPhysical:
    case InputKind::kStereoPhysical:
        input.Assign(prefix);
        input.AppendAscii(" ");
        input.Append(name);
        if (input_->GetKind() == InputKind::kMonoPhysical)
            if (const String* mono = skin.FindStringById("IDS_MONO"))
            {
                input.AppendAscii(" (");
                input.Append(*mono);
                input.AppendAscii(")");
            }
        SetText("input", input);
        SetText("dest", assigned && strip.Length() > 0 ? strip : dash);
        break;
    case InputKind::kHost:
    case InputKind::kAsioChannel:
        input.AppendInt(rowIndex_ + 1);
        if (!assigned)
        {
            input.AppendAscii("    -");
            SetText("input", input);
            SetText("dest", dash);
            break;
        }
        input.AppendAscii(" ");
        input.Append(prefix);
        input.AppendAscii(" ");
        input.Append(name);
        SetText("input", input);
        SetText("dest", strip);
        break;
    default:
        break;
    }
}

IVarnStrip* MSTVInputsViewItem::FindStrip() const
{
    if (!input_)
        return nullptr;
    if (IVarnStrip* strip = input_->GetStrip())
        return strip;
    IVarnInsert* destination = input_->GetDestination();
    IVarnInsertChain* owner = destination ? destination->GetChain() : nullptr;
    return owner ? owner->GetStrip() : nullptr;
}

void MSTVInputsViewItem::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    list_.GetView().ShowEngineStrip(FindStrip());
    Panel::OnMouseDown(flags, x, y);
}

void MSTVInputsViewItem::OnMouseWheel(WPARAM flags, int, int)
{
    list_.OnWheel(GET_WHEEL_DELTA_WPARAM(flags));
}

void MSTVInputsList::AddInput(IVarnInput* input)
{
    if (!input || !input->IsAssigned())
        return;
    auto row = std::make_unique<MSTVInputsViewItem>(*this, GetRowCount(), input);
    if (row->Create())
        AddRow(std::move(row));
}

void MSTVInputsList::Populate()
{
    IVarnHardware* system = GetSystem();
    IVarnInputList* inputs = system ? system->GetInputList() : nullptr;
    if (!inputs)
        return;
    if (GetMode() == 0)
    {
        const IoHardware hardware = ReadIoHardware(system);
        for (int group : kPhysicalInputGroups)
        {
            const int count = inputs->GetCount(group);
            // A position past the group's end has no input: it gets no row.
            for (int i = 0; i < count; ++i)
                AddInput(inputs->GetInput(group, PhysicalInputPosition(hardware, group, i, count)));
        }
        return;
    }
    for (const HostInputSlot& slot : kHostInputOrder)
    {
        const int count = inputs->GetCount(slot.group);
        for (int i = 0; i < count; ++i)
        {
            IVarnInput* input = inputs->GetInput(slot.group, i);
            int type = -1;
            if (input && input->GetSubKind(&type) && type == slot.type)
                AddInput(input);
        }
    }
}

// The rows are made again after every input change: the count may change whether or not
// the input had a row, so the scroll range follows each time.
void MSTVInputsList::OnInputChanged(IVarnInput*)
{
    Rebuild();
}

void MSTVInputsList::OnStripChanged()
{
    if (IsBusy())
    {
        Rebuild();
        return;
    }
    for (int i = 0; i < GetRowCount(); ++i)
        GetItem(i)->Refresh();
}

MSTVInputsView::MSTVInputsView() : MSTVIoView("MSTVInputsView", "inType", ViewSettings::kTvInputsMode) {}

std::unique_ptr<MSTVIoList> MSTVInputsView::MakeList(IVarnHardware* system, int mode)
{
    return std::make_unique<MSTVInputsList>(*this, *GetLink(), system, mode);
}

void MSTVInputsView::OnInputChanged(VarnEventArg input)
{
    if (MSTVInputsList* list = GetInputsList())
        list->OnInputChanged(reinterpret_cast<IVarnInput*>(input));
}

void MSTVInputsView::OnStripChanged(IVarnStrip*)
{
    if (MSTVInputsList* list = GetInputsList())
        list->OnStripChanged();
}
