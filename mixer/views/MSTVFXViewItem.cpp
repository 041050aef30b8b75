#include "mixer/views/MSTVFXViewItem.h"

#include <algorithm>

#include "framework/controls/ComboBox.h"
#include "framework/controls/LabelControl.h"
#include "framework/dialogs/PanelBuilder.h"
#include "mixer/engine/VarnServices.h"
#include "framework/controls/ControlContextMenu.h"
#include "mixer/views/ViewClipboard.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/views/MSTVFXViewList.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/views/PeakValueWatcher.h"
#include "mixer/dialogs/SkinStringTable.h"
#include "framework/controls/ValueSetters.h"

namespace
{
String Ascii(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

// The template of a control kind; null for a kind without one.
const char* TemplateOf(int controlKind)
{
    switch (controlKind)
    {
    case 0:
        return "MSTVFXViewItem_ToggleParam";
    case 1:
        return "MSTVFXViewItem_TriggerParam";
    case 4:
    case 5:
        return "MSTVFXViewItem_SelectorParam";
    case 2:
    case 3:
    case 6:
        return "MSTVFXViewItem_ContinuousParam";
    case 7:
        return "MSTVFXViewItem_PeakMeterParam";
    case 8:
        return "MSTVFXViewItem_PeakMeterInvertedParam";
    case 9:
        return "MSTVFXViewItem_DiscreteParam";
    default:
        return nullptr;
    }
}

// A text the engine writes into a buffer of capacity units.
template <typename Read>
String EngineText(int capacity, Read read)
{
    std::vector<char16_t> buffer(static_cast<size_t>(capacity) + 1, 0);
    read(buffer.data(), capacity);
    buffer[static_cast<size_t>(capacity)] = 0;
    String text;
    text.AssignWide(buffer.data());
    return text;
}
} // namespace

MSTVFXViewItem::~MSTVFXViewItem()
{
    // An open context menu would report to a deleted row.
    PopupMenu::CloseMenusOf(this);
}

IVarnEffect* MSTVFXViewItem::Effect() const
{
    return list_.GetView().GetEffect();
}

void MSTVFXViewItem::MakeItem(IVarnEffect* effect)
{
    const int i = parameterIndex_;
    if (controlKind_ == 7 || controlKind_ == 8)
    {
        float minimum = 0.0f, maximum = 0.0f;
        effect->GetRealRange(i, &minimum, &maximum, nullptr, nullptr);
        watcher_ = new PeakValueWatcher(effect, i);
        watcher_->minimum = minimum;
        watcher_->maximum = maximum;
        watcher_->value = minimum;
        param_ = RegisterDataItem("param", watcher_);
        if (param_)
            watcher_->StartPolling(0);
        else
            watcher_ = nullptr;
        stickyPeak_ = AddRealItem("stickypeakval", effect->GetRealValue(i, 0), minimum, maximum, 0, 0);
        return;
    }
    switch (valueType_)
    {
    case kOnOff:
        param_ = AddFlagItem("param", 0, 0, 0);
        break;
    case kIntegerWithText:
    case kSelector: {
        int minimum = 0, maximum = 0;
        if (valueType_ == kSelector)
            effect->GetSelectorRange(i, &minimum, &maximum, nullptr, nullptr);
        else
            effect->GetIntRange(i, &minimum, &maximum, nullptr, nullptr);
        param_ = AddIntItem("param", minimum, minimum, maximum, 0, 0);
        break;
    }
    case kContinuous: {
        float minimum = 0.0f, maximum = 0.0f;
        effect->GetRealRange(i, &minimum, &maximum, nullptr, nullptr);
        param_ = AddRealItem("param", minimum, minimum, maximum, 0, 0);
        break;
    }
    default:
        break;
    }
}

int MSTVFXViewItem::Create(int parameterIndex, int rowNumber)
{
    parameterIndex_ = parameterIndex;
    IVarnEffect* effect = Effect();
    IVarnInsert* insert = list_.GetView().GetInsert();
    Skin& skin = list_.GetLink().GetSkin();
    if (!effect)
    {
        if (!insert)
            return 0;
        sendRow_ = 1;
        Setup(this, 0, 0, 0x646464);
        template_ = insert->GetKind() == 1 ? "MSTVFXViewItem_Send" : "MSTVFXViewItem_SendReturn";
        if (!PanelBuilder(skin).BuildPanel(template_, *this, 1, nullptr))
            return 0;
        FirstFill();
        return Panel::Create(&list_, 0, BackgroundHeight() * parameterIndex_, 0);
    }
    valueType_ = effect->GetValueType(parameterIndex);
    controlKind_ = effect->GetControlKind(parameterIndex);
    template_ = TemplateOf(controlKind_);
    if (!template_)
        return 0;
    MakeItem(effect);
    Setup(this, 0, 0, 0x646464);
    if (!PanelBuilder(skin).BuildPanel(template_, *this, 1, nullptr))
        return 0;
    FirstFill();
    const int row = rowNumber < 0 ? parameterIndex : rowNumber;
    return Panel::Create(&list_, 0, BackgroundHeight() * row, parameterIndex);
}

void MSTVFXViewItem::FirstFill()
{
    // Rows are made while another panel's control can still be pressed (the TV area's tab that
    // makes the view, a button that rebuilds the list): Update waits for no release of a control
    // that is not the row's, and the row would otherwise show its template without names or
    // values.
    Control::SetPressedControl(nullptr);
    Update();
}

void MSTVFXViewItem::ReadDisplayText(IVarnEffect& effect, IntItem& item)
{
    item.valueText.Assign(
        EngineText(199, [&](char16_t* b, int n) { return effect.GetDisplayText(parameterIndex_, b, n); }));
    item.showValueText = 1;
}

void MSTVFXViewItem::SetHelp(const String& help)
{
    for (int k = 0; k < ControlCount(); ++k)
        if (Control* control = ControlAtIndex(k))
            if (param_ && control->GetItem() == param_)
                control->SetTooltip(help);
}

void MSTVFXViewItem::Update()
{
    if (Control::PressedControl())
        return;
    if (sendRow_)
    {
        UpdateSend();
        return;
    }
    IVarnEffect* effect = Effect();
    if (!effect)
        return;
    const int i = parameterIndex_;
    const int state = effect->GetParameterState(i);
    if (param_)
        param_->SetDisabled(state == 2 ? 1 : 0, 0);
    if (auto* name = dynamic_cast<LabelControl*>(FindControl(Ascii("paramname"))))
    {
        name->SetDisabled(state == 2 ? 1 : 0, 0, 0);
        name->SetText(EngineText(100, [&](char16_t* b, int n) { return effect->GetParameterName(i, b, n); }), 1);
    }
    switch (valueType_)
    {
    case kOnOff:
        if (auto* flag = dynamic_cast<FlagItem*>(param_))
        {
            flag->value = effect->GetFlagValue(i, 0);
            flag->defaultValue = effect->GetFlagValue(i, 1);
            flag->RefreshControls(nullptr);
        }
        break;
    case kSelector:
        if (auto* item = dynamic_cast<IntItem*>(param_))
        {
            int minimum = 0, maximum = 0;
            effect->GetSelectorRange(i, &minimum, &maximum, nullptr, nullptr);
            item->minimum = minimum;
            item->maximum = maximum;
            if (auto* combo = dynamic_cast<ComboBox*>(FindControl(Ascii("combo"))))
            {
                combo->ClearItems();
                for (int v = 0; v <= maximum; ++v)
                    combo->AddItem(
                        EngineText(200, [&](char16_t* b, int n) { return effect->GetSelectorText(i, v, b, n); }), 1, v);
            }
            const int current = effect->GetSelectorValue(i, 0);
            if (current > item->maximum)
            {
                // The engine holds a value the row cannot show: it is told once.
                if (!wroteBack_)
                {
                    wroteBack_ = 1;
                    effect->SetSelectorValue(i, current, 0);
                }
            }
            else
                SetItemIntValue(item, current, 1, 0, nullptr);
            item->defaultValue = effect->GetSelectorValue(i, 1);
        }
        break;
    case kIntegerWithText:
        if (auto* item = dynamic_cast<IntItem*>(param_))
        {
            int minimum = 0, maximum = 0;
            effect->GetIntRange(i, &minimum, &maximum, nullptr, nullptr);
            item->minimum = minimum;
            item->maximum = maximum;
            item->defaultValue = effect->GetIntValue(i, 1);
            ReadDisplayText(*effect, *item);
            SetItemIntValue(item, effect->GetIntValue(i, 0), 1, 0, nullptr);
        }
        break;
    case kContinuous:
        if (auto* item = dynamic_cast<RealItem*>(param_))
        {
            float minimum = 0.0f, maximum = 0.0f;
            effect->GetRealRange(i, &minimum, &maximum, nullptr, nullptr);
            item->minimum = minimum;
            item->maximum = maximum;
            item->defaultValue = effect->GetRealValue(i, 1);
            // A meter shows what its watcher polls.
            if (!watcher_)
                SetItemRealValue(item, effect->GetRealValue(i, 0), 1, 0, nullptr);
        }
        break;
    case kTrigger:
        if (Control* trigger = FindControl(Ascii("triggerbut")))
            trigger->SetDisabled(state == 2 ? 1 : 0, 0, 1);
        break;
    default:
        break;
    }
    SetHelp(EngineText(400, [&](char16_t* b, int n) { return effect->GetHelp(i, b, n); }));
    if (auto* unit = dynamic_cast<LabelControl*>(FindControl(Ascii("unit"))))
        unit->SetText(EngineText(20, [&](char16_t* b, int n) { return effect->GetUnit(i, b, n); }), 1);
}

void MSTVFXViewItem::UpdateSend()
{
    IVarnInsert* insert = list_.GetView().GetInsert();
    if (!insert)
        return;
    MainWindowLink& link = list_.GetLink();
    SkinStringTable strings(link.GetSkin());
    IVarnServices* services = link.GetServices();
    PortNames names(services ? services->GetMixer() : nullptr, strings);
    const int kind = insert->GetKind();
    String destination, source;
    if (kind == 1 || kind == 2)
    {
        String name, category;
        names.GetOutputName(insert->GetOutputPort(), &name, &category, 0, 0, 0);
        destination.Assign(name);
        destination.AppendAscii(" - ");
        destination.Append(category);
        if (kind == 2)
        {
            String input, inputCategory;
            names.GetInputName(insert->GetInputPort(), &input, &inputCategory, 0, 0, 0);
            source.Assign(input);
            source.AppendAscii(" - ");
            source.Append(inputCategory);
        }
    }
    else if (kind == 6)
    {
        names.GetOutputName(insert->GetOutputPort(), &destination, nullptr, 1, 0, 0);
        String input, inputCategory;
        names.GetInputName(insert->GetInputPort(), &input, &inputCategory, 1, 0, 0);
        source.Assign(inputCategory);
        source.AppendAscii(" ");
        source.Append(input);
    }
    if (auto* label = dynamic_cast<LabelControl*>(FindControl(Ascii("senddest"))))
        label->SetText(destination, 1);
    if (auto* label = dynamic_cast<LabelControl*>(FindControl(Ascii("returnsrc"))))
        label->SetText(source, 1);
}

void MSTVFXViewItem::UpdateValue()
{
    Update();
    RedrawArea(nullptr, 1);
}

void MSTVFXViewItem::UpdateName()
{
    IVarnEffect* effect = Effect();
    if (sendRow_ || !effect)
        return;
    if (auto* name = dynamic_cast<LabelControl*>(FindControl(Ascii("paramname"))))
        name->SetText(
            EngineText(100, [&](char16_t* b, int n) { return effect->GetParameterName(parameterIndex_, b, n); }), 1);
    RedrawArea(nullptr, 1);
}

int MSTVFXViewItem::OnControlNotify(Panel*, Control*, int)
{
    IVarnEffect* effect = Effect();
    if (effect && valueType_ == kTrigger)
        effect->Trigger(parameterIndex_, 1, 0);
    return 0;
}

int MSTVFXViewItem::OnDataItemNotify(Panel*, DataItem* item, int)
{
    IVarnEffect* effect = Effect();
    if (!effect || item != param_)
        return 0;
    const int i = parameterIndex_;
    switch (valueType_)
    {
    case kOnOff:
        effect->SetFlagValue(i, static_cast<FlagItem*>(param_)->value, 0);
        break;
    case kIntegerWithText: {
        auto* value = static_cast<IntItem*>(param_);
        effect->SetIntValue(i, value->value, 0);
        ReadDisplayText(*effect, *value);
        value->RefreshControls(nullptr);
        break;
    }
    case kSelector:
        effect->SetSelectorValue(i, static_cast<IntItem*>(param_)->value, 0);
        break;
    case kContinuous:
        effect->SetRealValue(i, static_cast<RealItem*>(param_)->value, 0);
        break;
    default:
        break;
    }
    return 1;
}

void MSTVFXViewItem::OnRightClickControl(Control* control)
{
    DataItem* item = control ? control->GetItem() : nullptr;
    if (control && !control->IsHidden() &&
        ControlContextMenu::Show(list_.GetLink().GetSkin(), item, this, this, ViewClipboard()))
        menuItem_ = item;
}

void MSTVFXViewItem::OnMenuCommand(int command)
{
    DataItem* item = menuItem_;
    menuItem_ = nullptr;
    ControlContextMenu::OnCommand(item, command, ViewClipboard());
}

void MSTVFXViewItem::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    Panel::OnMouseDown(flags, x, y);
}

void MSTVFXViewItem::OnMouseWheel(WPARAM flags, int x, int y)
{
    list_.OnMouseWheel(flags, x, y);
}
