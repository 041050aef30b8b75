#include "mixer/views/InsertSlot.h"

#include <string>

#include "framework/controls/BitmapControl.h"
#include "framework/controls/Panel.h"
#include "framework/controls/PeakMeter.h"
#include "framework/controls/TextControl.h"
#include "framework/skin/Skin.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/engine/VarnServices.h"
#include "mixer/views/InsertSlotStrip.h"
#include "mixer/views/MSTVIoView.h"
#include "mixer/views/PeakValueWatcher.h"

namespace
{
// The meters' item names take a program-wide counter: a name taken twice would make the
// panel refuse (and delete) the second item that its slot and meter still use.
unsigned gMeterNumber = 0;

int MiscInt(Skin& skin, const char* key, int fallback)
{
    int value = fallback;
    return skin.GetMiscParamInt(key, value) ? value : fallback;
}
} // namespace

InsertSlot::InsertSlot(InsertSlotStrip& owner, int slotIndex, int left, int top, int right, int bottom)
    : owner_(owner), slotIndex_(slotIndex), left_(left), top_(top), right_(right), bottom_(bottom)
{
}

InsertSlot::~InsertSlot()
{
    Clear();
}

Skin& InsertSlot::GetSkin()
{
    return owner_.GetSkin();
}

Panel& InsertSlot::GetPanel()
{
    return owner_.GetPanel();
}

void InsertSlot::Clear()
{
    Panel& panel = GetPanel();
    for (Control** control : {reinterpret_cast<Control**>(&background_), reinterpret_cast<Control**>(&text_),
                              reinterpret_cast<Control**>(&focusMask_), reinterpret_cast<Control**>(&selectionMask_),
                              reinterpret_cast<Control**>(&leftMeter_), reinterpret_cast<Control**>(&rightMeter_)})
    {
        if (*control)
            panel.DropControl(*control, 0, 0);
        *control = nullptr;
    }
    panel.RemoveDataItem(leftValue_);
    panel.RemoveDataItem(rightValue_);
    leftValue_ = nullptr;
    rightValue_ = nullptr;
    backgroundName_.AssignAscii("");
    fontName_.AssignAscii("");
}

int InsertSlot::GetText(String& out) const
{
    return text_ ? out.Assign(text_->GetText()) : out.AssignAscii("");
}

BitmapControl* InsertSlot::CreateImage(const char* bitmapName, int x, int y, const char* controlName)
{
    SkinBitmap* bitmap = GetSkin().FindBitmap(AsciiString(bitmapName));
    if (!bitmap)
        return nullptr;
    auto* image = new BitmapControl();
    if (!image->Setup(x, y, AsciiString(controlName), bitmap))
    {
        delete image;
        return nullptr;
    }
    GetPanel().AddControl(image, nullptr);
    return image;
}

BitmapControl* InsertSlot::CreateOffsetImage(const char* bitmapName, const char* xKey, const char* yKey)
{
    Skin& skin = GetSkin();
    const std::string name = std::string(bitmapName) + std::to_string(slotIndex_);
    return CreateImage(bitmapName, left_ + MiscInt(skin, xKey, 0), top_ + MiscInt(skin, yKey, 0), name.c_str());
}

TextControl* InsertSlot::CreateText(const String& text, const char* xKey, const char* yKey)
{
    Skin& skin = GetSkin();
    const int x = MiscInt(skin, xKey, 0);
    const int y = MiscInt(skin, yKey, 0);
    FontInterface* font = skin.FindFont(fontName_);
    if (!font)
        return nullptr;
    char colourKey[100] = {};
    colourName_.CopyToAscii(colourKey, sizeof colourKey);
    uint32_t colour = 0;
    skin.GetMiscParamColour(colourKey, colour);
    auto* control = new TextControl();
    if (!control->Setup(left_ + x, top_ + y, AsciiString("slotText"), text, font, nullptr, colour, colour,
                        right_ - left_ - x - 3, 0, nullptr, 0, 0, 0, 0, 1))
    {
        delete control;
        return nullptr;
    }
    GetPanel().AddControl(control, nullptr);
    return control;
}

void InsertSlot::PaintInsertBackground(IVarnInsert* insert)
{
    const char* name = insert->HasHardware() ? "insert_bg" : "insert_noDSP_bg";
    background_ = CreateImage(name, left_, top_, "slotBg");
    if (background_)
        backgroundName_.AssignAscii(name);
}

void InsertSlot::SelectFontAndColour(IVarnInsert* insert)
{
    const char* font = "digitalFontNormal";
    const char* colour = "insertTextColEnabled";
    if (!insert->HasHardware())
    {
        font = "digitalFontNoDSP";
        colour = "insertTextColNoDSP";
    }
    else if (insert->HasEffect() && insert->IsBypassed())
    {
        font = "digitalFontDisabled";
        colour = "insertTextColBypassed";
    }
    fontName_.AssignAscii(font);
    colourName_.AssignAscii(colour);
}

void InsertSlot::PaintSelection()
{
    if (owner_.IsSlotSelected(slotIndex_))
        selectionMask_ = CreateOffsetImage("insert_selected_mask", "insertSelMaskXpos", "insertSelMaskYpos");
}

int InsertSlot::Paint(IVarnInsert* insert)
{
    if (!insert)
        return 1;
    switch (insert->GetKind())
    {
    case InsertKind::kSend:
        PaintTag(insert, "IDS_INSERT_SEND_TAG", "insertSendTextXpos", "insertSendTextYpos");
        break;
    case InsertKind::kSendReturn:
        PaintTag(insert, "IDS_INSERT_SENDRET_TAG", "insertSendRetTextXpos", "insertSendRetTextYpos");
        break;
    case InsertKind::kAsioSendReturn:
        PaintTag(insert, "IDS_INSERT_ASIOSENDRET_TAG", "insertSendRetTextXpos", "insertSendRetTextYpos");
        break;
    case InsertKind::kMeteredEffect:
        PaintMeteredEffect(insert);
        break;
    default:
        PaintEffect(insert);
        break;
    }
    return 1;
}

void InsertSlot::PaintEffect(IVarnInsert* insert)
{
    PaintInsertBackground(insert);
    SelectFontAndColour(insert);
    String name;
    if (IVarnEffect* effect = insert->GetEffect())
        name.AssignWide(effect->GetSlotName());
    text_ = CreateText(name, "insertEffectTextXpos", "insertEffectTextYpos");
    PaintSelection();
}

void InsertSlot::PaintTag(IVarnInsert* insert, const char* stringId, const char* xKey, const char* yKey)
{
    PaintInsertBackground(insert);
    SelectFontAndColour(insert);
    const String* tag = GetSkin().FindStringById(stringId);
    const String fallback = AsciiString("SEND");
    text_ = CreateText(tag ? *tag : fallback, xKey, yKey);
    PaintSelection();
}

PeakMeter* InsertSlot::CreateMeter(PeakValueWatcher* value, const char* xKey, const char* yKey, const char* unlitImage,
                                   int horizontal)
{
    if (!value)
        return nullptr;
    Skin& skin = GetSkin();
    SkinBitmap* unlit = skin.FindBitmap(AsciiString(unlitImage));
    SkinBitmap* lit = skin.FindBitmap(AsciiString("peakMeter_insertThin_lit"));
    SkinBitmap* disabled = skin.FindBitmap(AsciiString("peakMeter_insertThin_disabled"));
    // Two values of their own, each with its default.
    const int thickness = MiscInt(skin, "insertPeakMeterLEDThickness", 2);
    const int spacing = MiscInt(skin, "insertPeakMeterLEDSpacing", 1);
    const int hold = MiscInt(skin, "insertPeakMeterHoldDurn", 2000);
    const int decay = MiscInt(skin, "insertPeakMeterDecayInterval", 10);
    auto* meter = new PeakMeter();
    const String& name = value->GetName();
    if (!meter->Setup(left_ + MiscInt(skin, xKey, 0), top_ + MiscInt(skin, yKey, 0), name, horizontal, 0, unlit, lit,
                      disabled, thickness, spacing, static_cast<uint32_t>(hold), static_cast<uint32_t>(decay), value))
    {
        delete meter;
        return nullptr;
    }
    if (ResponseFunction* response = skin.FindResponseFunction(AsciiString("insertpeakmeterresponse")))
        meter->SetResponseFunction(response);
    GetPanel().AddControl(meter, value);
    return meter;
}

void InsertSlot::PaintMeteredEffect(IVarnInsert* insert)
{
    PaintInsertBackground(insert);
    IVarnEffect* effect = insert->GetEffect();
    float minimum = -120.0f, maximum = 12.0f;
    if (effect && effect->GetParameterCount() >= 1)
        effect->GetRealRange(0, &minimum, &maximum, nullptr, nullptr);
    const unsigned number = ++gMeterNumber;
    PeakValueWatcher** values[2] = {&leftValue_, &rightValue_};
    const char* prefixes[2] = {"leftPeakMeter", "rightPeakMeter"};
    for (int i = 0; i < 2; ++i)
    {
        auto* watcher = new PeakValueWatcher(effect, i);
        watcher->value = minimum;
        watcher->minimum = minimum;
        watcher->maximum = maximum;
        const std::string name = prefixes[i] + std::to_string(number);
        // A refused name deletes the watcher: the slot then shows no meter for it.
        *values[i] = static_cast<PeakValueWatcher*>(GetPanel().RegisterDataItem(name.c_str(), watcher));
        if (*values[i])
        {
            (*values[i])->StartPolling(0);
            if (!insert->HasHardware())
                (*values[i])->SetDisabled(1, 1);
        }
    }
    // The left meter's orientation is the skin's (horizontal without the parameter); the
    // right one is always horizontal.
    String flag;
    const int horizontal = GetSkin().FindMiscParam("insertPeakMeterHorzOrientation", flag)
                               ? GetSkin().GetMiscParamFlag("insertPeakMeterHorzOrientation")
                               : 1;
    leftMeter_ = CreateMeter(leftValue_, "insertLeftPeakMeterXpos", "insertLeftPeakMeterYpos",
                             "peakMeter_insertThin_unlit_top", horizontal);
    rightMeter_ = CreateMeter(rightValue_, "insertRightPeakMeterXpos", "insertRightPeakMeterYpos",
                              "peakMeter_insertThin_unlit_bottom", 1);
    PaintSelection();
}

void InsertSlot::SetFocusMask(int on)
{
    if (on && !focusMask_)
        focusMask_ = CreateImage("insert_focus_mask", left_, top_, "slotBg");
    else if (!on && focusMask_)
    {
        GetPanel().DropControl(focusMask_, 0, 0);
        focusMask_ = nullptr;
    }
}
