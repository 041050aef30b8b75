#include "mixer/views/MainSectionView.h"

#include "framework/controls/BitmapControl.h"
#include "framework/controls/Scrollbar.h"
#include "framework/controls/Tooltip.h"
#include "framework/dialogs/PanelBuilder.h"
#include "framework/platform/RegistryKey.h"
#include "framework/platform/system/SystemInfo.h"
#include "framework/skin/Skin.h"
#include "framework/windows/DragDrop.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/names/WindowMessages.h"
#include "framework/controls/ControlContextMenu.h"
#include "mixer/views/InsertSlotRules.h"
#include "mixer/views/PresetDrag.h"
#include "mixer/views/ViewClipboard.h"
#include "mixer/views/MSTVFXView.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/views/MainWindowLink.h"
#include "mixer/dialogs/OldDriverRule.h"
#include "framework/controls/ValueSetters.h"

namespace
{
constexpr int kDropCursor = 104;
constexpr int kAppendCursor = 121;
constexpr uint32_t kDragInterval = 50;

const char* const kRateTexts[] = {"44.1kHz", "48.0kHz", "96.0kHz", "192.0kHz", "88.2kHz", "176.4kHz"};
const char* const kTVModeNames[] = {"FX", "inputs", "outputs"};

String Ascii(const char* text)
{
    String out;
    out.AssignAscii(text);
    return out;
}

// A (minimum, maximum) pair from an engine getter; (0, 0), which takes any value, when it
// gives none.
template <typename Getter>
void ReadRange(Getter getter, float& minimum, float& maximum)
{
    minimum = maximum = 0.0f;
    if (!getter(&minimum, &maximum))
        minimum = maximum = 0.0f;
}

RealItem* AddLevelItem(Panel& panel, const char* name, float value, float minimum, float maximum, float initial)
{
    RealItem* item = panel.AddRealItem(name, value, minimum, maximum, 0, 0);
    if (item)
        item->defaultValue = initial;
    return item;
}

// The bus number that follows prefix in the item's name (counted from 1), or 0.
int BusNumber(const String& name, const char* prefix)
{
    const int at = name.FindAscii(prefix);
    if (at < 0)
        return 0;
    int number = 0;
    int digits = 0;
    for (int i = at + static_cast<int>(std::char_traits<char>::length(prefix)); i < name.Length(); ++i)
    {
        const char16_t unit = name.WideCharAt(i);
        if (unit < u'0' || unit > u'9' || number > 100000)
            break;
        number = number * 10 + (unit - u'0');
        ++digits;
    }
    return digits ? number : 0;
}

int IsOldDriverInstalled()
{
    uint32_t a = 0, b = 0, c = 0, d = 0;
    const int read = SystemInfo::GetDriverVersion(a, b, c, d);
    return IsOldDriver(read, a, b, c, d) ? 1 : 0;
}
} // namespace

MainSectionView::~MainSectionView()
{
    // The control context menu would report to a deleted section.
    PopupMenu::CloseMenusOf(this);
    ClearTVArea();
    MSTVFXView::SetCurrentInsert(nullptr);
    focusedStrip_ = nullptr;
    DeleteInsertStrips();
    for (MainMeterItem* meter : meters_)
        if (meter)
            meter->StopPolling();
}

IVarnMainMix* MainSectionView::GetMainMix()
{
    IVarnServices* services = link_ ? link_->GetServices() : nullptr;
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    return hardware ? hardware->GetMainMix() : nullptr;
}

InsertStripLink* MainSectionView::GetAuxStrip(int index) const
{
    return index >= 0 && index < GetAuxStripCount() ? auxStrips_[index].get() : nullptr;
}

int MainSectionView::Create(Window* frame, MainSectionHost* host, MainWindowLink& link, int compact, int x, int y,
                            int id)
{
    frame_ = frame;
    host_ = host;
    link_ = &link;
    compact_ = compact ? 1 : 0;
    mainMix_ = GetMainMix();
    BuildItems(mainMix_);

    const int old = IsOldDriverInstalled();
    IVarnServices* services = link.GetServices();
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    const int has192Feature = hardware && hardware->HasFeature(HardwareFeature::kSmallBox);

    sampleRate_ = AddTextItem("SampleRate", String(), 0, 0);
    syncSource_ = AddTextItem("SampleRateType", String(), 0, 0);
    if (syncSource_)
        syncSource_->text.AssignAscii("INTERNAL");
    srLocked_ = AddFlagItem("srlocked", 0, 0, 0);

    String modeText;
    const String fallback = Ascii(kTVModeNames[0]);
    link.GetSettings().ReadString(ViewSettings::kTvViewMode, modeText, &fallback);
    int mode = 2;
    for (int i = 0; i < 3; ++i)
        if (modeText.CompareLiteral(kTVModeNames[i]) == 0)
            mode = i;
    tvMode_ = AddIntItem("tvMode", mode, 0, 2, 0, 0);

    Setup(this, 0, 0, 0x646464);
    if (!PanelBuilder(link.GetSkin()).BuildPanel(compact_ ? "mainSectionCompact" : "mainSection", *this, 1, nullptr))
        return 0;
    if (!Panel::Create(frame, x, y, id))
        return 0;

    auxScrollBar_ = dynamic_cast<Scrollbar*>(FindControl(Ascii("auxInsertsScrollbar")));
    mainScrollBar_ = dynamic_cast<Scrollbar*>(FindControl(Ascii("mainInsertsScrollbar")));
    if (auxScrollBar_)
        auxScrollBar_->SetClient(this);
    if (mainScrollBar_)
        mainScrollBar_->SetClient(this);

    // Cards with 192 kHz need a driver that can run it; an older one shows why it cannot.
    if (Control* control = FindControl(Ascii(has192Feature && old ? "192" : "no192kSR")))
        DropControl(control, 1, 0);

    UpdateStatus();
    return 1;
}

void MainSectionView::BuildItems(IVarnMainMix* mix)
{
    float minimum = 0.0f, maximum = 0.0f;
    ReadRange([&](float* a, float* b) { return mix ? mix->GetMainRange(a, b) : 0; }, minimum, maximum);
    mixLevel_ = AddLevelItem(*this, "mixlevel", mix ? mix->GetMainLevel() : 0.0f, minimum, maximum,
                             mix ? mix->GetMainDefault() : 0.0f);
    ReadRange([&](float* a, float* b) { return mix ? mix->GetMonitorRange(a, b) : 0; }, minimum, maximum);
    monitorLevel_ = AddLevelItem(*this, "monitorlevel", mix ? mix->GetMonitorLevel() : 0.0f, minimum, maximum,
                                 mix ? mix->GetMonitorDefault() : 0.0f);
    ReadRange([&](float* a, float* b) { return mix ? mix->GetBalanceRange(a, b) : 0; }, minimum, maximum);
    monitorBalance_ = AddLevelItem(*this, "monitorbalance", mix ? mix->GetBalance() : 0.0f, minimum, maximum,
                                   mix ? mix->GetBalanceDefault() : 0.0f);
    monitorMute_ = AddFlagItem("monitormute", mix ? mix->GetMonitorMute() : 0, 0, 0);
    clipLeft_ = AddFlagItem("clipleft", 0, 0, 0);
    clipRight_ = AddFlagItem("clipright", 0, 0, 0);

    ReadRange([&](float* a, float* b) { return mix ? mix->GetMeterRange(a, b) : 0; }, minimum, maximum);
    const char* meterNames[2] = {"mainleft", "mainright"};
    FlagItem* clips[2] = {clipLeft_, clipRight_};
    for (int channel = 0; channel < 2; ++channel)
    {
        auto* meter = new MainMeterItem(*this, channel, mix ? mix->GetClipThreshold(channel) : 0.0f, clips[channel]);
        meter->minimum = minimum;
        meter->maximum = maximum;
        meter->value = minimum;
        meters_[channel] = static_cast<MainMeterItem*>(RegisterDataItem(meterNames[channel], meter));
        if (meters_[channel])
            meters_[channel]->StartPolling(0);
    }

    const int auxCount = mix ? mix->GetAuxCount() : 0;
    for (int send = 1; send >= 0; --send)
        for (int i = 0; i < auxCount; ++i)
        {
            IVarnAux* aux = mix->GetAux(i);
            String name;
            name.AssignAscii(send ? "auxsend" : "auxreturn");
            name.AppendInt(i + 1);
            const auto ansi = name.ToAnsi();
            if (send)
                ReadRange([&](float* a, float* b) { return aux ? aux->GetSendRange(a, b) : 0; }, minimum, maximum);
            else
                ReadRange([&](float* a, float* b) { return aux ? aux->GetReturnRange(a, b) : 0; }, minimum, maximum);
            const float value = aux ? (send ? aux->GetSendLevel() : aux->GetReturnLevel()) : 0.0f;
            const float initial = aux ? (send ? aux->GetSendDefault() : aux->GetReturnDefault()) : 0.0f;
            RealItem* item = AddLevelItem(*this, ansi.get(), value, minimum, maximum, initial);
            (send ? auxSends_ : auxReturns_).push_back(item);
        }
}

void MainSectionView::UpdateStatus()
{
    mainMix_ = GetMainMix();
    focusedStrip_ = nullptr;
    MirrorLevels(mainMix_);
    for (int i = 0; i < GetAuxCount(); ++i)
    {
        MirrorAux(mainMix_, i, 1);
        MirrorAux(mainMix_, i, 0);
    }

    IVarnServices* services = link_ ? link_->GetServices() : nullptr;
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    if (mixer)
        ShowSampleRate(mixer->GetRateCode());
    IVarnHardware* hardware = mixer ? mixer->GetHardware() : nullptr;
    if (IVarnSettings* settings = hardware ? hardware->GetSettings() : nullptr)
    {
        int external = -1;
        int locked = 0;
        settings->GetValue("ExtSyncSrc", &external);
        settings->GetValue("SampleRateLocked", &locked);
        ShowSyncSource(external == -1 ? 0 : external, locked);
    }

    RebuildInsertStrips(1);
    // A busy view is replaced once it is idle (ShowTVArea).
    if (!tvView_ || !tvView_->IsBusy())
        ClearTVArea();
    MSTVFXView::SetCurrentInsert(nullptr);
    const int mode = tvMode_ ? tvMode_->value : 0;
    ShowTVArea(mode >= 0 && mode <= 2 ? mode : 0);
    UpdateDspWarning(mainMix_);
}

void MainSectionView::MirrorLevels(IVarnMainMix* mix)
{
    if (!mix)
        return;
    if (mixLevel_)
        SetItemRealValue(mixLevel_, mix->GetMainLevel(), 1, 0, nullptr);
    if (monitorLevel_)
        SetItemRealValue(monitorLevel_, mix->GetMonitorLevel(), 1, 0, nullptr);
    if (monitorBalance_)
        SetItemRealValue(monitorBalance_, mix->GetBalance(), 1, 0, nullptr);
    if (monitorMute_)
    {
        monitorMute_->value = mix->GetMonitorMute();
        monitorMute_->RefreshControls(nullptr);
    }
}

void MainSectionView::MirrorAux(IVarnMainMix* mix, int index, int send)
{
    RealItem* item = (send ? auxSends_ : auxReturns_)[index];
    if (!mix || !item)
        return;
    IVarnAux* aux = mix->GetAux(index);
    if (!aux)
        return;
    SetItemRealValue(item, send ? aux->GetSendLevel() : aux->GetReturnLevel(), 1, 0, nullptr);
}

void MainSectionView::UpdateDspWarning(IVarnMainMix* mix)
{
    const String name = Ascii("exclamationIcon");
    Control* shown = FindControl(name);
    if (!mix || mix->IsDspPresent())
    {
        if (shown)
            DropControl(shown, 1, 1);
        return;
    }
    if (shown)
        return;
    int x = 0, y = 0, width = 0, height = 0, id = 0;
    SkinBitmap* bitmap = link_->GetSkin().FindBitmap(Ascii("exclamationIconSmall"));
    if (!GetRegionRect(Ascii("noDSPIconPos"), x, y, width, height, id) || !bitmap)
        return;
    auto* icon = new BitmapControl();
    if (!icon->Setup(x, y, name, bitmap))
    {
        delete icon;
        return;
    }
    AddControl(icon, nullptr);
    icon->Invalidate(nullptr);
}

void MainSectionView::OnEngineEvent(int id, VarnEventArg argument)
{
    IVarnMainMix* mix = mainMix_;
    switch (id)
    {
    case EngineEvent::kMainLevel:
        if (mix && mixLevel_)
            SetItemRealValue(mixLevel_, mix->GetMainLevel(), 1, 0, nullptr);
        break;
    case EngineEvent::kMonitorLevel:
        if (mix && monitorLevel_)
            SetItemRealValue(monitorLevel_, mix->GetMonitorLevel(), 1, 0, nullptr);
        break;
    case EngineEvent::kMonitorBalance:
        if (mix && monitorBalance_)
            SetItemRealValue(monitorBalance_, mix->GetBalance(), 1, 0, nullptr);
        break;
    case EngineEvent::kMonitorMute:
        if (mix && monitorMute_)
        {
            monitorMute_->value = mix->GetMonitorMute();
            monitorMute_->RefreshControls(nullptr);
        }
        break;
    case EngineEvent::kAuxSend:
    case EngineEvent::kAuxReturn:
        // The index comes from the engine: one the section has no item for changes nothing.
        if (argument >= 0 && argument < GetAuxCount())
            MirrorAux(mix, static_cast<int>(argument), id == EngineEvent::kAuxSend);
        break;
    case EngineEvent::kHardwareChange:
        if (tvView_ && tvViewMode_ == 2)
            ShowTVArea(2);
        else if (tvView_ && tvViewMode_ == 1)
            ShowTVArea(1);
        break;
    default:
        break;
    }
}

bool MainSectionView::HasItsHardware()
{
    IVarnMainMix* mix = GetMainMix();
    if (!mix)
        return true;
    const int auxCount = mix->GetAuxCount();
    for (int i = -1; i < auxCount; ++i)
    {
        IVarnAux* aux = i >= 0 ? mix->GetAux(i) : nullptr;
        IVarnInsertChain* chain = i < 0 ? mix->GetInsertChain() : aux ? aux->GetInsertChain() : nullptr;
        for (int slot = 0; chain && slot < chain->GetCount(); ++slot)
            if (IVarnInsert* insert = chain->GetInsert(slot))
                if (!insert->HasHardware())
                    return false;
    }
    return true;
}

void MainSectionView::OnOutputChanged(VarnEventArg argument)
{
    if (tvView_ && tvViewMode_ == 2)
        tvView_->OnOutputChanged(argument);
}

void MainSectionView::OnInputChanged(VarnEventArg argument)
{
    if (tvView_ && tvViewMode_ == 1)
        tvView_->OnInputChanged(argument);
}

void MainSectionView::OnPresetListEvent(int id, VarnEventArg argument)
{
    if (tvView_ && tvViewMode_ == 0)
        tvView_->OnPresetListEvent(id, argument);
}

void MainSectionView::OnEffectEvent(int id, VarnEventArg argument)
{
    if (tvView_ && tvViewMode_ == 0)
        tvView_->OnEffectEvent(id, argument);
}

void MainSectionView::OnInsertEvent(int id, VarnEventArg argument)
{
    if (tvView_ && tvViewMode_ == 0)
        tvView_->OnInsertEvent(id, argument);
}

void MainSectionView::OnStripChanged(IVarnStrip* strip)
{
    if (!compact_ && tvView_ && (tvViewMode_ == 1 || tvViewMode_ == 2))
        tvView_->OnStripChanged(strip);
}

void MainSectionView::ShowTVArea(int mode)
{
    if (compact_)
        return;
    // A view whose handler runs a message box's loop (which handles the engine's events) stays
    // until its handler has returned.
    if (tvView_ && tvView_->IsBusy())
    {
        heldTVMode_ = mode;
        return;
    }
    heldTVMode_ = -1;
    ClearTVArea();
    if (!host_ || mode < 0 || mode > 2)
        return;
    IVarnInsert* insert = mode == 0 ? host_->GetSelectedStripInsert() : nullptr;
    tvView_.reset(host_->CreateTVView(mode, *this, insert));
    tvViewMode_ = tvView_ ? mode : -1;
}

void MainSectionView::OnUserMessage(UINT message, WPARAM, LPARAM)
{
    if (message != WindowMessage::kTVViewIdle || heldTVMode_ < 0)
        return;
    if (tvView_ && tvView_->IsBusy())
        return;
    ShowTVArea(heldTVMode_);
}

void MainSectionView::ClearTVArea()
{
    Tooltip::Destroy();
    tvView_.reset();
    tvViewMode_ = -1;
}

void MainSectionView::SetTVMode(int mode)
{
    if (!tvMode_ || mode < 0 || mode > 2)
        return;
    // The owner hears it: the TV area and the stored setting follow, as after a click.
    SetItemIntValue(tvMode_, mode, 1, 1, nullptr);
}

void MainSectionView::ShowSampleRate(int code)
{
    if (code < 0 || code > 5)
    {
        if (srLocked_)
        {
            srLocked_->value = 0;
            srLocked_->RefreshControls(nullptr);
        }
        return;
    }
    if (srLocked_)
    {
        srLocked_->value = 1;
        srLocked_->RefreshControls(nullptr);
    }
    if (sampleRate_)
    {
        sampleRate_->text.AssignAscii(kRateTexts[code]);
        sampleRate_->RefreshControls(nullptr);
    }
}

void MainSectionView::ShowSyncSource(int external, int locked)
{
    if (syncSource_)
    {
        syncSource_->text.AssignAscii(external ? "EXTERNAL" : "INTERNAL");
        syncSource_->RefreshControls(nullptr);
    }
    IVarnServices* services = link_ ? link_->GetServices() : nullptr;
    IVarnMixer* mixer = services ? services->GetMixer() : nullptr;
    ShowSampleRate(locked && mixer ? mixer->GetRateCode() : 6);
}

InsertStripTarget* MainSectionView::FindInsertStrip(int id, VarnEventArg argument)
{
    for (auto& strip : auxStrips_)
        if (InsertStripTarget* target = strip->TargetFor(id, argument))
            return target;
    return mainStrip_ ? mainStrip_->TargetFor(id, argument) : nullptr;
}

void MainSectionView::DeleteInsertStrips()
{
    auxStrips_.clear();
    mainStrip_.reset();
}

void MainSectionView::RebuildInsertStrips(int redraw)
{
    DeleteInsertStrips();
    if (!compact_ && host_ && mainMix_)
    {
        Skin& skin = link_->GetSkin();
        int auxSlots = 0;
        auxSlots = InsertSlotRules::SlotCountOr(skin.GetMiscParamInt("auxInsertSlotCount", auxSlots), auxSlots, 3);
        for (int i = 0; i < mainMix_->GetAuxCount(); ++i)
        {
            IVarnAux* aux = mainMix_->GetAux(i);
            IVarnInsertChain* chain = aux ? aux->GetInsertChain() : nullptr;
            if (InsertStripLink* strip =
                    chain ? host_->CreateInsertStrip(chain, *this, auxScrollBar_, auxSlots) : nullptr)
                auxStrips_.emplace_back(strip);
        }
        int mainSlots = 0;
        mainSlots = InsertSlotRules::SlotCountOr(skin.GetMiscParamInt("mainInsertSlotCount", mainSlots), mainSlots, 6);
        if (IVarnInsertChain* chain = mainMix_->GetInsertChain())
            mainStrip_.reset(host_->CreateInsertStrip(chain, *this, mainScrollBar_, mainSlots));
    }
    UpdateAuxInsertsScroll(redraw);
    UpdateMainInsertsScroll(redraw);
}

void MainSectionView::UpdateAuxInsertsScroll(int notify)
{
    int maxCount = 0;
    const int auxCount = mainMix_ ? mainMix_->GetAuxCount() : 0;
    for (int i = 0; i < auxCount; ++i)
    {
        IVarnAux* aux = mainMix_->GetAux(i);
        IVarnInsertChain* chain = aux ? aux->GetInsertChain() : nullptr;
        if (chain && chain->GetCount() > maxCount)
            maxCount = chain->GetCount();
    }
    UpdateInsertsScroll(auxScrollBar_, auxScrollPos_, maxCount, GetAuxStrip(0), notify);
}

void MainSectionView::UpdateMainInsertsScroll(int notify)
{
    IVarnInsertChain* chain = mainMix_ ? mainMix_->GetInsertChain() : nullptr;
    UpdateInsertsScroll(mainScrollBar_, mainScrollPos_, chain ? chain->GetCount() : 0, mainStrip_.get(), notify);
}

void MainSectionView::UpdateInsertsScroll(Scrollbar* bar, int& lastPosition, int maxCount, InsertStripLink* geometry,
                                          int notify)
{
    if (!bar)
        return;
    const int extent = geometry ? geometry->GetSlotExtent(bar->IsVertical() ? 1 : 0) : 0;
    const int slots = geometry ? geometry->GetSlotCount() : 0;
    // Positions are the first visible slot: as many as the slots that do not fit, plus one.
    const int positions = maxCount - slots + 1 > 0 ? maxCount - slots + 1 : 0;
    const int old = bar->GetPosition();
    lastPosition = old;
    int position = old < positions - 1 ? old : positions - 1;
    if (position < 0)
        position = 0;
    bar->SetVisible(slots * extent, false);
    bar->SetTotal((maxCount + 1) * extent, false);
    // The bar's range is its largest position; setting it keeps the position within it.
    bar->SetRange(positions > 0 ? positions - 1 : 0, notify != 0);
    bar->SetPosition(position, notify != 0);
    if (position != old)
        OnBarPositionChanged(bar);
}

void MainSectionView::OnBarPositionChanged(Scroller* scroller)
{
    if (scroller == static_cast<Scroller*>(mainScrollBar_))
    {
        if (mainStrip_)
            mainStrip_->Refresh();
        return;
    }
    if (scroller == static_cast<Scroller*>(auxScrollBar_))
        for (auto& strip : auxStrips_)
            strip->Refresh();
}

void MainSectionView::RefreshInserts()
{
    for (int i = 0; i < 2; ++i)
        if (InsertStripLink* strip = GetAuxStrip(i))
            strip->Refresh();
    if (mainStrip_)
        mainStrip_->Refresh();
}

void MainSectionView::RefreshDspInserts()
{
    for (int i = 0; i < 2; ++i)
        if (InsertStripLink* strip = GetAuxStrip(i))
            strip->RetryDspInserts();
    if (mainStrip_)
        mainStrip_->RetryDspInserts();
    if (mainMix_ && mainMix_->IsDspPresent() == 0)
        mainMix_->RetryDsp();
}

void MainSectionView::AttachScroller(Scroller* scroller, int)
{
    if (scroller == static_cast<Scroller*>(auxScrollBar_))
        UpdateAuxInsertsScroll(0);
    else if (scroller == static_cast<Scroller*>(mainScrollBar_))
        UpdateMainInsertsScroll(0);
}

void MainSectionView::OnScrollerNotify(Scroller* scroller, int)
{
    if (scroller == static_cast<Scroller*>(auxScrollBar_))
        UpdateAuxInsertsScroll(1);
    else if (scroller == static_cast<Scroller*>(mainScrollBar_))
        UpdateMainInsertsScroll(1);
}

void MainSectionView::OnScrollPosition(int, Scroller* scroller, int)
{
    OnBarPositionChanged(scroller);
}

void MainSectionView::OnLineUp(int, Scroller* scroller, int)
{
    OnBarPositionChanged(scroller);
}

void MainSectionView::OnLineDown(int, Scroller* scroller, int)
{
    OnBarPositionChanged(scroller);
}

void MainSectionView::OnPageUp(int, Scroller* scroller, int)
{
    OnBarPositionChanged(scroller);
}

void MainSectionView::OnPageDown(int, Scroller* scroller, int)
{
    OnBarPositionChanged(scroller);
}

int MainSectionView::OnControlNotify(Panel*, Control* control, int)
{
    if (!control)
        return 0;
    if (control->GetName().CompareLiteral("expand") == 0)
        PostToFrame(1, 1);
    else if (control->GetName().CompareLiteral("collapse") == 0)
        PostToFrame(1, 0);
    return 1;
}

int MainSectionView::OnDataItemNotify(Panel* panel, DataItem* item, int argument)
{
    if (!item)
        return 0;
    if (item == tvMode_)
    {
        const int mode = tvMode_->value;
        if (mode >= 0 && mode <= 2)
        {
            const String text = Ascii(kTVModeNames[mode]);
            link_->GetSettings().WriteString(ViewSettings::kTvViewMode, &text);
        }
        ShowTVArea(mode >= 0 && mode <= 2 ? mode : 0);
        return 1;
    }
    IVarnMainMix* mix = mainMix_;
    if (!mix)
        return 0;
    if (!SendEdit(mix, item))
        return Panel::OnDataItemNotify(panel, item, argument);
    if (IVarnServices* services = link_->GetServices())
        services->SetModified(1);
    link_->RebuildView(EngineEvent::kUserEdit, 0);
    return 1;
}

int MainSectionView::SendEdit(IVarnMainMix* mix, DataItem* item)
{
    if (item == mixLevel_)
        mix->SetMainLevel(mixLevel_->value, 0);
    else if (item == monitorLevel_)
        mix->SetMonitorLevel(monitorLevel_->value, 0);
    else if (item == monitorBalance_)
        mix->SetBalance(monitorBalance_->value, 0);
    else if (item == monitorMute_)
        mix->SetMonitorMute(monitorMute_->value, 0);
    else if (item->GetKind() == DataItem::KindReal)
    {
        const String& name = item->GetName();
        const int send = name.FindAscii("auxsend") >= 0;
        if (!send && name.FindAscii("auxreturn") < 0)
            return 0;
        const int number = BusNumber(name, send ? "auxsend" : "auxreturn");
        if (number < 1 || number > mix->GetAuxCount())
            return 0;
        IVarnAux* aux = mix->GetAux(number - 1);
        if (!aux)
            return 0;
        const float value = static_cast<RealItem*>(item)->value;
        if (send)
            aux->SetSendLevel(value, 0);
        else
            aux->SetReturnLevel(value, 0);
    }
    else
        return 0;
    return 1;
}

void MainSectionView::PostToFrame(WPARAM first, LPARAM second)
{
    if (frame_ && frame_->GetHandle())
        frame_->PostMessage(WindowMessage::kToolbarRequest, first, second);
}

void MainSectionView::SwitchFrameToInsertMode()
{
    if (host_ && host_->GetViewMode() != kInsertMode)
        host_->SetViewMode(kInsertMode);
}

InsertStripLink* MainSectionView::StripAt(int x, int y, int& inArea)
{
    inArea = 1;
    if (GetAuxStripCount() >= 1 && IsPointInRegion(x, y, Ascii("aux1inserts")))
        return auxStrips_[0].get();
    if (GetAuxStripCount() >= 2 && IsPointInRegion(x, y, Ascii("aux2inserts")))
        return auxStrips_[1].get();
    if (IsPointInRegion(x, y, Ascii("maininserts")))
        return mainStrip_.get();
    inArea = 0;
    return nullptr;
}

int MainSectionView::IsAuxStrip(const InsertStripLink* strip) const
{
    for (const auto& aux : auxStrips_)
        if (aux.get() == strip)
            return 1;
    return 0;
}

void MainSectionView::FocusInsertStrip(InsertStripLink* strip)
{
    if (focusedStrip_ && focusedStrip_ != strip)
        focusedStrip_->Deselect();
    focusedStrip_ = strip;
    if (strip)
    {
        wheelOnAux_ = IsAuxStrip(strip);
        if (!strip->IsSelected())
            strip->Select();
    }
}

void MainSectionView::OnEnterInsertMode(int mode)
{
    if (mode != kInsertMode)
        return;
    if (!focusedStrip_)
        focusedStrip_ = GetAuxStrip(0) ? GetAuxStrip(0) : mainStrip_.get();
    if (focusedStrip_ && !focusedStrip_->IsSelected())
        focusedStrip_->Select();
}

void MainSectionView::OnLeaveInsertMode(int mode)
{
    if (mode == kInsertMode && focusedStrip_)
        focusedStrip_->Deselect();
}

void MainSectionView::OnMouseDown(WPARAM flags, int x, int y)
{
    SetFocus();
    int inArea = 0;
    if (InsertStripLink* strip = StripAt(x, y, inArea))
    {
        strip->OnMouse(InsertSlotRules::PressModifiers(flags), x, y, strip == focusedStrip_, 0);
        FocusInsertStrip(strip);
        dragTimer_.Start();
        SwitchFrameToInsertMode();
        // The slots' names are texts: a press on them is the slots', not an edit.
        return;
    }
    Control* hit = ControlAtForClick(x, y);
    DataItem* item = hit ? hit->GetItem() : nullptr;
    if (item && (item == clipLeft_ || item == clipRight_))
    {
        FlagItem* clip = static_cast<FlagItem*>(item);
        // An unlit clip light takes no press; a lit one is cleared with its partner.
        if (clip->value == 0)
            return;
        Panel::OnMouseDown(flags, x, y);
        FlagItem* other = clip == clipLeft_ ? clipRight_ : clipLeft_;
        if (other && other->value == 1)
        {
            other->value = 0;
            other->RefreshControls(nullptr);
            other->NotifyOwner(0);
        }
        return;
    }
    // The status is shown, not edited.
    if (item && (item == sampleRate_ || item == syncSource_ || item == srLocked_))
        return;
    Panel::OnMouseDown(flags, x, y);
}

void MainSectionView::OnMouseUp(WPARAM flags, int x, int y)
{
    if (DragDrop::IsSource(this))
        DragDrop::End();
    dragTimer_.Stop();
    Panel::OnMouseUp(flags, x, y);
}

void MainSectionView::OnMouseMove(WPARAM flags, int x, int y)
{
    if (DragDrop::IsSource(this))
        DragDrop::OnMouseMove();
    Panel::OnMouseMove(flags, x, y);
}

void MainSectionView::OnRightButtonDown(WPARAM flags, int x, int y)
{
    int inArea = 0;
    if (InsertStripLink* strip = StripAt(x, y, inArea))
    {
        strip->OnMouse(InsertSlotRules::PressModifiers(flags), x, y, strip == focusedStrip_, 1);
        FocusInsertStrip(strip);
        SwitchFrameToInsertMode();
    }
    Panel::OnRightButtonDown(flags, x, y);
}

void MainSectionView::OnRightButtonUp(WPARAM, int x, int y)
{
    int inArea = 0;
    if (InsertStripLink* strip = StripAt(x, y, inArea))
    {
        SwitchFrameToInsertMode();
        strip->ShowContextMenu(x, y);
    }
}

void MainSectionView::OnRightClickControl(Control* control)
{
    DataItem* item = control ? control->GetItem() : nullptr;
    if (link_ && ControlContextMenu::Show(link_->GetSkin(), item, this, this, ViewClipboard()))
        menuItem_ = item;
}

void MainSectionView::OnMenuCommand(int command)
{
    DataItem* item = menuItem_;
    menuItem_ = nullptr;
    ControlContextMenu::OnCommand(item, command, ViewClipboard());
}

void MainSectionView::OnMouseWheel(WPARAM flags, int, int)
{
    Scrollbar* bar = wheelOnAux_ ? auxScrollBar_ : mainScrollBar_;
    const int delta = GET_WHEEL_DELTA_WPARAM(flags);
    if (!bar || delta == 0)
        return;
    const int position = bar->GetPosition() + (delta > 0 ? -1 : 1);
    if (position < 0 || position > bar->GetRange())
        return;
    bar->SetPosition(position, true);
}

int MainSectionView::OnKeyDown(WPARAM key, LPARAM)
{
    if (key != VK_DELETE)
        return 0;
    if (focusedStrip_)
        focusedStrip_->DeleteSelected();
    return 1;
}

void MainSectionView::OnCreate()
{
    Panel::OnCreate();
    dragTimer_.Attach(this, kDragInterval, kDragTimer);
    dropCursor_.Load(kDropCursor);
    appendCursor_.Load(kAppendCursor);
}

void MainSectionView::OnTimerTick(int32_t argument)
{
    if (argument != kDragTimer)
        return;
    dragTimer_.Stop();
    int screenX = 0, screenY = 0;
    Cursor::GetPosition(screenX, screenY);
    int x = 0, y = 0, width = 0;
    if (host_ && host_->ToStripSection(screenX, screenY, x, y, width))
    {
        if (const int direction = DragScrollDirection(x, width))
            host_->ScrollStrips(direction);
        host_->AutoScrollStripInserts(screenX, screenY);
    }
    AutoScrollInserts(screenX, screenY);
    dragTimer_.Start();
}

void MainSectionView::AutoScrollInserts(int screenX, int screenY)
{
    for (auto& strip : auxStrips_)
        strip->AutoScroll(screenX, screenY);
    if (mainStrip_)
        mainStrip_->AutoScroll(screenX, screenY);
}

void MainSectionView::ShowNotAllowed()
{
    Cursor::SetShape(Cursor::NotAllowed);
}

void MainSectionView::ApplyCursor(const Cursor& cursor)
{
    cursor.Apply();
}

int MainSectionView::OnDragOver(int x, int y, intptr_t kind, intptr_t payload)
{
    int inArea = 0;
    InsertStripLink* strip = compact_ ? nullptr : StripAt(x, y, inArea);
    if (!strip || (kind != PresetDrag::kKind && kind != InsertSlotRules::kDragInsert))
    {
        ShowNotAllowed();
        return 0;
    }
    const int slot = strip->HitTest(x, y);
    if (kind == PresetDrag::kKind)
    {
        ApplyCursor(slot < 0 ? appendCursor_ : dropCursor_);
        return 1;
    }
    auto* insert = reinterpret_cast<IVarnInsert*>(payload);
    // The main and aux buses are stereo.
    if (!InsertSlotRules::AcceptsInsert(insert, 0))
    {
        ShowNotAllowed();
        return 0;
    }
    if (slot < 0)
    {
        ApplyCursor(appendCursor_);
        return 1;
    }
    const int position = slot + strip->GetScrollOffset();
    IVarnInsertChain* chain = strip->GetChain();
    const int count = chain ? chain->GetCount() : 0;
    if (position >= count || (insert->GetChain() == chain && insert->GetPosition() == position))
    {
        ApplyCursor(dropCursor_);
        return 1;
    }
    ShowNotAllowed();
    return 0;
}

int MainSectionView::OnDrop(int x, int y, intptr_t kind, intptr_t payload)
{
    if (compact_)
        return 0;
    int inArea = 0;
    InsertStripLink* strip = StripAt(x, y, inArea);
    if (!strip)
        return 1;
    const int slot = strip->QueryDrop(x, y, kind, payload);
    if (slot >= 0)
    {
        lastDropSlot_ = slot;
        if (strip != focusedStrip_)
            FocusInsertStrip(strip);
        SwitchFrameToInsertMode();
    }
    return 1;
}
