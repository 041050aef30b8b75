#include "plugins/quorvel/EditorParamList.h"

#include "framework/controls/ComboBox.h"
#include "framework/controls/Control.h"
#include "framework/controls/TextControl.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/skin/Skin.h"
#include "plugins/quorvel/EditorControlContextMenu.h"
#include "plugins/quorvel/EffectView.h"
#include "plugins/quorvel/InsertEffect.h"

#include <algorithm>

namespace
{
constexpr uint32_t kBackground = 0x646464;
constexpr int kDisplayTextUnits = 200;

const char* PanelOf(int32_t controlKind, bool meter, bool inverted)
{
    if (meter)
        return inverted ? "MSTVFXViewItem_PeakMeterInvertedParam" : "MSTVFXViewItem_PeakMeterParam";
    switch (controlKind)
    {
    case EditorParamItem::kTrigger:
        return "MSTVFXViewItem_TriggerParam";
    case EditorParamItem::kToggle:
        return "MSTVFXViewItem_ToggleParam";
    case EditorParamItem::kContinuous:
        return "MSTVFXViewItem_ContinuousParam";
    case EditorParamItem::kDiscrete:
        return "MSTVFXViewItem_DiscreteParam";
    case EditorParamItem::kSelector:
        return "MSTVFXViewItem_SelectorParam";
    default:
        return nullptr;
    }
}

String Text(const char16_t* text)
{
    String s;
    s.AssignWide(text);
    return s;
}
} // namespace

EditorParamItem::EditorParamItem(EditorParamList& list, int row, const uint8_t* descriptor, int32_t paramKind,
                                 bool meter)
    : list_(list), row_(row), descriptor_(descriptor, descriptor + ParamDescriptor::kSize), paramKind_(paramKind),
      meter_(meter), controlKind_(ParamDescriptor(descriptor).ValueKind())
{
}

std::unique_ptr<EditorParamItem> EditorParamList::Make(int row, const uint8_t* descriptor, int32_t paramKind,
                                                       ParamRowKind rowKind, InsertEffect& insert)
{
    const ParamDescriptor d(descriptor);
    const bool meter = rowKind != ParamRowKind::kParameter;
    const char* panelName = PanelOf(d.ValueKind(), meter, rowKind == ParamRowKind::kInvertedMeter);
    Skin* skin = Skin::Current();
    if (!panelName || !skin)
        return nullptr;
    std::unique_ptr<EditorParamItem> item(new EditorParamItem(*this, row, descriptor, paramKind, meter));
    if (!item->Setup(item.get(), 0, 0, kBackground))
        return nullptr;
    if (meter)
        item->value_ = item->AddRealItem("param", d.FloatMinimum(), d.FloatMinimum(), d.FloatMaximum(), 0, 0);
    else if (d.ValueKind() == EditorParamItem::kToggle)
        item->value_ = item->AddFlagItem("param", 0, 0, 0);
    else if (d.ValueKind() == EditorParamItem::kContinuous)
        item->value_ = item->AddRealItem("param", 0.0f, 0.0f, 0.0f, 0, 0);
    else if (d.ValueKind() != EditorParamItem::kTrigger)
        item->value_ = item->AddIntItem("param", 0, 0, 0, 0, 0);
    if (!PanelBuilder(*skin).BuildPanel(panelName, *item, 0, nullptr))
        return nullptr;
    item->Update(insert);
    if (!item->Panel::Create(this, 0, row * std::max(item->Height(), 1), row))
        return nullptr;
    ::ShowWindow(item->GetHandle(), SW_SHOWNA);
    return item;
}

void EditorParamItem::Update(InsertEffect& insert)
{
    const ParamDescriptor d(descriptor_.data());
    char16_t text[ParamDescriptor::kTextUnits];
    if (TextControl* name = FindTextControl("paramname"))
    {
        d.Name(text, ParamDescriptor::kTextUnits);
        name->SetText(Text(text), 1);
        name->SetDisabled(ParamRowLookOf(paramKind_).disabled ? 1 : 0, 0, 1);
    }
    if (TextControl* unit = FindTextControl("unit"))
    {
        d.Unit(text, ParamDescriptor::kTextUnits);
        unit->SetText(Text(text), 1);
    }
    if (controlKind_ == kTrigger && !meter_)
    {
        String toggle;
        toggle.AssignAscii("toggle");
        if (Control* button = FindControl(toggle))
            button->SetDisabled(0, 0, 1);
    }
    if (!value_)
        return;
    const ParamRowLook look = ParamRowLookOf(paramKind_);
    value_->SetHidden(look.hidden ? 1 : 0, 0);
    value_->SetDisabled(look.disabled ? 1 : 0, 0);
    ParamValue pair;
    const bool read = insert.GetParamValue(Index(), &pair);
    if (auto* real = dynamic_cast<RealItem*>(value_))
    {
        real->minimum = d.FloatMinimum();
        real->maximum = d.FloatMaximum();
        if (!meter_)
        {
            real->defaultValue = d.FloatDefault();
            if (read)
                real->SetValue(pair.AsReal(), 1, 0, nullptr);
        }
    }
    else if (auto* whole = dynamic_cast<IntItem*>(value_))
    {
        int32_t count = 0;
        const ChoiceName* names = nullptr;
        if (controlKind_ == kSelector)
        {
            insert.GetChoiceNames(Index(), &count, &names);
            String comboName;
            comboName.AssignAscii("combo");
            if (auto* combo = dynamic_cast<ComboBox*>(FindControl(comboName)))
            {
                combo->ClearItems();
                const int32_t shown = count > 0 ? count : d.IntegerMaximum() - d.IntegerMinimum() + 1;
                for (int32_t i = 0; i < shown; ++i)
                {
                    String entry;
                    if (count > 0)
                        entry.AssignWide(names[i].name);
                    else
                    {
                        entry.AssignAscii("Selector");
                        String number;
                        number.AssignInt(i + 1);
                        entry.Append(number);
                    }
                    combo->AddItem(entry, 1, i);
                }
                count = shown;
            }
            whole->minimum = 0;
            whole->maximum = std::max(count - 1, 0);
        }
        else
        {
            whole->minimum = d.IntegerMinimum();
            whole->maximum = d.IntegerMaximum();
        }
        whole->defaultValue = d.IntegerDefault();
        if (read)
        {
            if (controlKind_ == kSelector && pair.AsInteger() >= count && count > 0)
                insert.SetParam(Index(), controlKind_, static_cast<uint32_t>(whole->value));
            else
                whole->Store(pair.AsInteger(), 1, 0, nullptr);
        }
        if (controlKind_ == kDiscrete)
            ShowValueText(insert);
    }
    else if (auto* flag = dynamic_cast<FlagItem*>(value_))
    {
        flag->defaultValue = d.IntegerDefault();
        if (read)
            flag->SetValue(static_cast<float>(pair.AsInteger() != 0 ? 1 : 0), 1, 0, nullptr);
    }
    d.Tooltip(text, ParamDescriptor::kTextUnits);
    const String tip = Text(text);
    for (int i = 0; i < ControlCount(); ++i)
        if (Control* control = ControlAtIndex(i))
            if (control->GetItem() == value_)
                control->SetTooltip(tip);
}

void EditorParamItem::ShowValueText(InsertEffect& insert)
{
    char16_t text[kDisplayTextUnits] = {};
    if (!insert.GetParamText(Index(), text, kDisplayTextUnits))
        return;
    if (TextControl* unit = FindTextControl("unit"))
        unit->SetText(Text(text), 1);
}

void EditorParamItem::Reload(InsertEffect& insert)
{
    int32_t count = 0;
    const uint8_t* descriptors = nullptr;
    insert.GetParamDescriptors(&count, &descriptors);
    for (int32_t i = 0; i < count; ++i)
    {
        const uint8_t* bytes = descriptors + static_cast<size_t>(i) * ParamDescriptor::kSize;
        if (ParamDescriptor(bytes).Index() == Index())
        {
            std::copy(bytes, bytes + ParamDescriptor::kSize, descriptor_.begin());
            break;
        }
    }
    paramKind_ = insert.GetParamKind(Index());
    Update(insert);
}

void EditorParamItem::ShowName()
{
    char16_t text[ParamDescriptor::kTextUnits];
    ParamDescriptor(descriptor_.data()).Name(text, ParamDescriptor::kTextUnits);
    if (TextControl* name = FindTextControl("paramname"))
        name->SetText(Text(text), 1);
}

void EditorParamItem::RefreshMeter(InsertEffect& insert, bool processing)
{
    auto* real = dynamic_cast<RealItem*>(value_);
    if (!meter_ || !real)
        return;
    ParamValue pair;
    if (!processing)
        real->SetValue(MeterRowLevel(false, 0.0f), 1, 0, nullptr);
    else if (insert.GetParamValue(Index(), &pair))
        real->SetValue(MeterRowLevel(true, pair.AsReal()), 1, 0, nullptr);
}

int EditorParamItem::OnDataItemNotify(Panel*, DataItem* item, int)
{
    if (!item || item != value_ || meter_)
        return 0;
    bool sent = false;
    list_.View().WithInsert([&](InsertEffect& insert) {
        ParamValue pair;
        if (controlKind_ == kContinuous)
            pair = ParamValue::Real(static_cast<float>(value_->GetValue()));
        else
            pair = ParamValue::Integer(controlKind_, static_cast<int32_t>(value_->GetValue()));
        sent = insert.SetParam(Index(), controlKind_, pair.bits);
        if (controlKind_ == kDiscrete)
            ShowValueText(insert);
    });
    return sent ? 1 : 0;
}

int EditorParamItem::OnControlNotify(Panel*, Control* control, int)
{
    // The trigger's press: one 1 to the model.
    if (!control || controlKind_ != kTrigger || meter_ || control->GetName().CompareLiteral("toggle") != 0)
        return 0;
    bool sent = false;
    list_.View().WithInsert([&](InsertEffect& insert) { sent = insert.SetParam(Index(), kTrigger, 1); });
    return sent ? 1 : 0;
}

EditorParamItem::~EditorParamItem()
{
    PopupMenu::CloseMenusOf(this);
}

void EditorParamItem::OnRightClickControl(Control* control)
{
    DataItem* item = control ? control->GetItem() : nullptr;
    if (control && !control->IsInvisible() && !control->IsDisabled() &&
        EditorControlContextMenu::Show(item, this, this))
        menuItem_ = item;
}

void EditorParamItem::OnMenuCommand(int command)
{
    DataItem* item = menuItem_;
    menuItem_ = nullptr;
    // A paste or reset tells the row like a user's edit: the model hears it.
    EditorControlContextMenu::OnCommand(item, command);
}

void EditorParamItem::OnMouseDown(WPARAM flags, int x, int y)
{
    dragging_ = true;
    Panel::OnMouseDown(flags, x, y);
}

void EditorParamItem::OnMouseUp(WPARAM flags, int x, int y)
{
    dragging_ = false;
    Panel::OnMouseUp(flags, x, y);
}

EditorParamList::EditorParamList(EffectView& view) : ScrolledContent(1), view_(view) {}

EditorParamList::~EditorParamList()
{
    if (Scroller* bar = VerticalScroller())
        bar->SetClient(nullptr);
    rows_.clear();
    Destroy();
}

bool EditorParamList::Create(int x, int y, int width, int height)
{
    if (!Window::Create(nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, &view_, 0, 0))
        return false;
    ::SetWindowLongPtrA(GetHandle(), GWLP_ID, kWindowId);
    Populate();
    return true;
}

void EditorParamList::Populate()
{
    view_.WithInsert([&](InsertEffect& insert) {
        if (!insert.IsConnected())
            return;
        int32_t count = 0;
        const uint8_t* descriptors = nullptr;
        insert.GetParamDescriptors(&count, &descriptors);
        const InsertInfo& info = insert.Info();
        int32_t kindCount = 0;
        const int32_t* kinds = nullptr;
        insert.GetParamKinds(&kindCount, &kinds);
        for (int32_t i = 0; i < count; ++i)
        {
            const uint8_t* bytes = descriptors + static_cast<size_t>(i) * ParamDescriptor::kSize;
            const ParamDescriptor d(bytes);
            char16_t name[2];
            d.Name(name, 2);
            ParamRowFacts facts;
            facts.index = i;
            facts.access = d.Access();
            facts.named = name[0] != 0;
            facts.hasKinds = kindCount > 0;
            facts.kind = facts.hasKinds ? insert.GetParamKind(d.Index()) : 0;
            facts.hasWetDry = info.hasWetDry != 0;
            facts.wetDryIndex = info.wetDryIndex;
            facts.hasHidden = info.hasHidden != 0;
            facts.hiddenIndex = info.hiddenIndex;
            const ParamRowKind rowKind = PlanParamRow(facts);
            if (rowKind == ParamRowKind::kNone)
                continue;
            if (std::unique_ptr<EditorParamItem> row = Make(RowCount(), bytes, facts.kind, rowKind, insert))
                rows_.push_back(std::move(row));
        }
    });
    LayoutRows();
}

int EditorParamList::RowHeight() const
{
    return rows_.empty() ? 1 : std::max(rows_.front()->Height(), 1);
}

void EditorParamList::LayoutRows()
{
    RECT client = {};
    ::GetClientRect(GetHandle(), &client);
    const int height = RowHeight();
    SetUnit(height);
    const int fit = client.bottom / height;
    UpdateScroller(RowCount(), fit, RowCount() * height, client.bottom);
    for (int r = 0; r < RowCount(); ++r)
        ::SetWindowPos(rows_[r]->GetHandle(), nullptr, 0, (r - ScrollPosition()) * height, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditorParamList::ScrollContents(int)
{
    LayoutRows();
}

void EditorParamList::AttachScroller(Scroller* scroller, int)
{
    SetVerticalScroller(scroller);
    LayoutRows();
}

int EditorParamList::FindRow(int32_t index) const
{
    for (int r = 0; r < RowCount(); ++r)
        if (rows_[r]->Index() == index)
            return r;
    return -1;
}

void EditorParamList::RefreshRow(int position)
{
    if (position < 0 || position >= RowCount() || rows_[position]->IsDragging())
        return;
    view_.WithInsert([&](InsertEffect& insert) { rows_[position]->Update(insert); });
}

void EditorParamList::RefreshAll()
{
    for (int r = 0; r < RowCount(); ++r)
        RefreshRow(r);
}

void EditorParamList::ReloadRow(int position)
{
    if (position >= 0 && position < RowCount())
        view_.WithInsert([&](InsertEffect& insert) { rows_[position]->Reload(insert); });
}

void EditorParamList::RenameRow(int position)
{
    if (position >= 0 && position < RowCount())
        rows_[position]->ShowName();
}

void EditorParamList::Rebuild()
{
    rows_.clear();
    Populate();
    ::InvalidateRect(view_.GetHandle(), nullptr, FALSE);
}

void EditorParamList::RefreshMeters(bool processing)
{
    view_.WithInsert([&](InsertEffect& insert) {
        for (const std::unique_ptr<EditorParamItem>& row : rows_)
            if (row->IsMeter())
                row->RefreshMeter(insert, processing);
    });
}
