#include "framework/dialogs/PanelBuilder.h"

#include "framework/controls/BitmapControl.h"
#include "framework/controls/Button.h"
#include "framework/controls/ComboBox.h"
#include "framework/controls/NumericDisplay.h"
#include "framework/controls/Panel.h"
#include "framework/controls/PeakMeter.h"
#include "framework/controls/RadioGroupLogic.h"
#include "framework/controls/RegionControl.h"
#include "framework/controls/RotaryControl.h"
#include "framework/controls/Scrollbar.h"
#include "framework/controls/Slider.h"
#include "framework/controls/SliderBar.h"
#include "framework/controls/TextControl.h"
#include "framework/controls/UrlTextControl.h"
#include "framework/controls/ViewHostControl.h"
#include "framework/dialogs/ListBox.h"
#include "framework/dialogs/TreeView.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/skin/ResponseFunction.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/SkinRecords.h"
#include "framework/skin/SkinViewFactory.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlNode.h"
#include "framework/xml/XmlUtil.h"

#include <memory>

namespace
{
const XmlElement* AsElement(const XmlNode* node)
{
    return node && node->GetNodeType() == XmlNode::ELEMENT_NODE ? static_cast<const XmlElement*>(node) : nullptr;
}

int Has(const XmlElement& element, const char* name)
{
    String ignored;
    return XmlUtil::GetAttribute(&element, name, ignored);
}

int Int(const XmlElement& element, const char* name)
{
    return XmlUtil::GetAttributeInt(&element, name);
}

int IntOr(const XmlElement& element, const char* name, int fallback)
{
    const int value = Int(element, name);
    return value == -1 ? fallback : value;
}

int IsYes(const XmlElement& element, const char* name)
{
    String value;
    return XmlUtil::GetAttribute(&element, name, value) && value.CompareLiteral("yes") == 0 ? 1 : 0;
}

String Name(const XmlElement& element)
{
    String name;
    XmlUtil::GetAttribute(&element, "name", name);
    return name;
}

uint32_t Colour(const XmlElement& element, const char* name)
{
    return Skin::ReadColourAttribute(&element, name);
}

// Positioned (or sized) when at least one of the pair is given; the other stays -1.
int ReadPair(const XmlElement& element, const char* first, const char* second, int& a, int& b)
{
    a = Int(element, first);
    b = Int(element, second);
    return Has(element, first) || Has(element, second);
}

int ReadPosition(const XmlElement& element, int& x, int& y)
{
    return ReadPair(element, "x", "y", x, y);
}

int ReadSize(const XmlElement& element, int& width, int& height)
{
    return ReadPair(element, "w", "h", width, height);
}

// "horz" 1, "vert" 0, anything else horizontal.
int IsHorizontal(const XmlElement& element)
{
    String value;
    return XmlUtil::GetAttribute(&element, "orientation", value) && value.CompareLiteral("vert") == 0 ? 0 : 1;
}

// The item the element's data attribute names, for set-ups that show its value at once; the
// look-up that reports a missing item comes when the control is added.
DataItem* BoundItem(const XmlElement& element, Panel& panel)
{
    String name;
    return XmlUtil::GetAttribute(&element, "data", name) ? panel.FindDataItem(name) : nullptr;
}

// A set-up that fails takes its control with it.
template <typename T>
Control* Keep(std::unique_ptr<T>& control, int setUp)
{
    return setUp ? control.release() : nullptr;
}
} // namespace

const PanelBuilder::Kind PanelBuilder::kKinds[] = {
    {"text", &PanelBuilder::ReadText},
    {"textURL", &PanelBuilder::ReadUrlText},
    {"image", &PanelBuilder::ReadImage},
    {"numericdisplay", &PanelBuilder::ReadNumericDisplay},
    {"command_button", &PanelBuilder::ReadButton},
    {"toggle_button", &PanelBuilder::ReadButton},
    {"rotary", &PanelBuilder::ReadRotary},
    {"slider_bar", &PanelBuilder::ReadSliderBar},
    {"slider", &PanelBuilder::ReadSlider},
    {"peakmeter", &PanelBuilder::ReadPeakMeter},
    {"combobox", &PanelBuilder::ReadComboBox},
    {"scrollbar", &PanelBuilder::ReadScrollbar},
    {"tree_view", &PanelBuilder::ReadView},
    {"icon_view", &PanelBuilder::ReadView},
    {"region", &PanelBuilder::ReadRegion},
    {"border", &PanelBuilder::ReadBorder},
    {"radio_group", &PanelBuilder::ReadRadioGroup},
    {"pagetab", &PanelBuilder::ReadPageTab},
};

int PanelBuilder::BuildPanel(const char* name, Panel& panel, int refresh, const char* backgroundName)
{
    panel.ResetControls();
    String wideName;
    if (!name || !wideName.AppendAnsi(name))
        return 0;
    const XmlElement* element = skin_.FindPanelElement(wideName);
    if (!element)
    {
        skin_.ReportError("Panel not found in skin.", &wideName);
        return 0;
    }
    ReadPanelBackground(*element, panel, backgroundName);
    ReadPanelControls(*element, panel);
    panel.SetName(wideName);
    if (refresh)
        panel.EnsureBackground();
    return 1;
}

int PanelBuilder::RebuildPanelBackground(Panel& panel, const char* backgroundName, int redraw)
{
    // The whole name selects the element: a shortened one could name another panel.
    if (panel.GetName().Length() == 0)
        return 0;
    const XmlElement* element = skin_.FindPanelElement(panel.GetName());
    if (!element)
    {
        skin_.ReportError("Panel not found in skin.", &panel.GetName());
        return 0;
    }
    ReadPanelBackground(*element, panel, backgroundName);
    panel.RedrawArea(nullptr, redraw);
    return 1;
}

void PanelBuilder::ReadPanelBackground(const XmlElement& element, Panel& panel, const char* backgroundName)
{
    panel.ClearBackground();
    String wanted;
    if (backgroundName && !wanted.AppendAnsi(backgroundName))
        return;
    const XmlElement* background = nullptr;
    for (const XmlNode* child = element.GetFirstChild(); child && !background; child = child->GetNextSibling())
    {
        const XmlElement* candidate = AsElement(child);
        if (candidate && candidate->Name().CompareLiteral("background") == 0 &&
            (!backgroundName || Name(*candidate).Compare(wanted.Text()) == 0))
            background = candidate;
    }
    if (!background)
    {
        skin_.ReportError("Panel Background not found", backgroundName ? &wanted : nullptr);
        return;
    }
    for (const XmlNode* child = background->GetFirstChild(); child; child = child->GetNextSibling())
    {
        const XmlElement* section = AsElement(child);
        if (!section || section->Name().CompareLiteral("section") != 0)
            continue;
        // A section without its image ends the background: the ones before it stay.
        String region;
        SkinBitmap* image = XmlUtil::GetAttribute(section, "region", region) ? skin_.FindBitmap(region) : nullptr;
        if (!image)
            return;
        if (!skin_.CheckGeometry(section))
            continue;
        if (!panel.AddBackgroundSection(image, Int(*section, "x"), Int(*section, "y"), Int(*section, "dx"),
                                        Int(*section, "dy"), Int(*section, "w")))
            skin_.ReportError("Panel Background too large", &region);
    }
}

void PanelBuilder::ReadPanelControls(const XmlElement& element, Panel& panel)
{
    for (const XmlNode* child = element.GetFirstChild(); child; child = child->GetNextSibling())
        if (const XmlElement* childElement = AsElement(child))
            Place(BuildControl(*childElement, panel, nullptr, -1), *childElement, panel, nullptr, -1);
}

void PanelBuilder::Place(Control* control, const XmlElement& element, Panel& panel, const String* tabName,
                         int pageIndex)
{
    if (!control)
        return;
    String name;
    if (XmlUtil::GetAttribute(&element, "name", name))
        control->SetName(name);
    DataItem* item = ResolveDataRef(element, panel);
    if (tabName)
        panel.AddControlToPage(*tabName, pageIndex, control, item);
    else
        panel.AddControl(control, item);
}

DataItem* PanelBuilder::ResolveDataRef(const XmlElement& element, Panel& panel)
{
    String name;
    if (!XmlUtil::GetAttribute(&element, "data", name))
        return nullptr;
    DataItem* item = panel.FindDataItem(name);
    if (!item)
        skin_.ReportError("Bogus Skin Data Ref.", &name);
    return item;
}

Control* PanelBuilder::BuildControl(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex)
{
    // Every element's numbers pass here before they become a control, a run or a border.
    if (!skin_.CheckGeometry(&element))
        return nullptr;
    Control* control = nullptr;
    for (const Kind& kind : kKinds)
        if (element.Name().CompareLiteral(kind.element) == 0)
        {
            control = (this->*kind.read)(element, panel, tabName, pageIndex);
            break;
        }
    if (!control)
        return nullptr;
    const String tooltip = TextOf(element, "tooltip", "tooltipId");
    if (tooltip.Length())
        control->SetTooltip(tooltip);
    String help;
    if (XmlUtil::GetAttribute(&element, "help", help))
        control->SetHelp(help);
    return control;
}

String PanelBuilder::TextOf(const XmlElement& element, const char* textName, const char* idName)
{
    String text;
    if (XmlUtil::GetAttribute(&element, textName, text))
        return text;
    String id;
    if (XmlUtil::GetAttribute(&element, idName, id))
        if (const String* found = skin_.FindString(id))
            text.Assign(*found);
    return text;
}

void PanelBuilder::ApplyResponseFunction(const XmlElement& element, FrameIndexControl& control)
{
    String name;
    if (!XmlUtil::GetAttribute(&element, "responsefunction", name))
        return;
    if (ResponseFunction* function = skin_.FindResponseFunction(name))
        control.SetResponseFunction(function);
}

int PanelBuilder::ReadLabel(const XmlElement& element, int editable, Label& label)
{
    skin_.ReadFontAttribute(&element, "font", label.font);
    if (!ReadPosition(element, label.x, label.y) || !label.font)
        return 0;
    // The in-place editor is a system edit box: a glyph-strip font cannot be given to it.
    if (editable)
        skin_.ReadFontAttribute(&element, "editFont", label.editFont);
    if (label.editFont && label.editFont->GetKind() != FontInterface::KindGdi)
        label.editFont = nullptr;
    label.colour = Colour(element, "textcol");
    label.disabledColour = Colour(element, "textcolDisabled");
    label.width = Int(element, "w");
    label.alignment = Skin::ParseAlignment(&element, "align");
    // The slices count only with a background to cut them from.
    label.background = skin_.ReadOptionalImageAttribute(&element, "background");
    if (label.background)
    {
        label.left = Int(element, "leftSeg");
        label.middle = Int(element, "midSeg");
        label.right = Int(element, "rightSeg");
    }
    return 1;
}

Control* PanelBuilder::ReadText(const XmlElement& element, Panel&, const String*, int)
{
    Label label;
    if (!ReadLabel(element, 1, label))
        return nullptr;
    auto control = std::make_unique<TextControl>();
    const int setUp =
        control->Setup(label.x, label.y, Name(element), TextOf(element, "text", "textId"), label.font, label.editFont,
                       label.colour, label.disabledColour, label.width, label.alignment, label.background, label.left,
                       label.middle, label.right, IntOr(element, "border", 0), 0);
    return Keep(control, setUp);
}

Control* PanelBuilder::ReadUrlText(const XmlElement& element, Panel&, const String*, int)
{
    Label label;
    if (!ReadLabel(element, 0, label))
        return nullptr;
    auto control = std::make_unique<UrlTextControl>();
    const int setUp = control->Setup(label.x, label.y, Name(element), TextOf(element, "text", "textId"), label.font,
                                     label.colour, label.disabledColour, label.width, label.alignment, label.background,
                                     label.left, label.middle, label.right, IntOr(element, "border", 0));
    return Keep(control, setUp);
}

Control* PanelBuilder::ReadImage(const XmlElement& element, Panel&, const String*, int)
{
    int x, y;
    SkinBitmap* image = skin_.ReadOptionalImageAttribute(&element, "image");
    if (!ReadPosition(element, x, y) || !image)
        return nullptr;
    auto control = std::make_unique<BitmapControl>();
    return Keep(control, control->Setup(x, y, Name(element), image));
}

Control* PanelBuilder::ReadNumericDisplay(const XmlElement& element, Panel&, const String*, int)
{
    Label label;
    if (!ReadLabel(element, 1, label))
        return nullptr;
    auto control = std::make_unique<NumericDisplay>();
    const int setUp = control->Setup(label.x, label.y, Name(element), label.font, label.editFont, label.colour,
                                     label.disabledColour, Int(element, "decimalPlaces"), label.width, label.alignment,
                                     label.background, label.left, label.middle, label.right);
    return Keep(control, setUp);
}

// command_button and toggle_button differ only in use: a button bound to an item toggles,
// one without fires on release.
Control* PanelBuilder::ReadButton(const XmlElement& element, Panel&, const String*, int)
{
    int x, y;
    if (!ReadPosition(element, x, y))
        return nullptr;
    const String name = Name(element);
    const String text = TextOf(element, "text", "textId");
    FontInterface* font = nullptr;
    uint32_t colours[5] = {};
    const int hasFont = text.Length() && Has(element, "font");
    if (hasFont)
    {
        skin_.ReadFontAttribute(&element, "font", font);
        const char* names[5] = {"textColUp", "textColDown", "textColDisabled", "textColMouseOver", "textColFocus"};
        for (int i = 0; i < 5; ++i)
            colours[i] = Colour(element, names[i]);
    }
    SkinBitmap* icon = skin_.ReadOptionalImageAttribute(&element, "iconstates");
    SkinBitmap* image = skin_.ReadOptionalImageAttribute(&element, "bgallstates");
    if (!image)
        return nullptr;
    auto button = std::make_unique<Button>();
    const String none;
    int setUp;
    if (Has(element, "leftSeg"))
        setUp = button->SetupSegmented(x, y, name, Int(element, "w"), image, Int(element, "leftSeg"),
                                       Int(element, "midSeg"), Int(element, "rightSeg"), icon, hasFont ? text : none,
                                       font, colours[0], colours[1], colours[2], colours[3], colours[4], nullptr);
    else if (text.Length())
        setUp = button->SetupWithText(x, y, name, image, icon, text, font, colours[0], colours[1], colours[2],
                                      colours[3], colours[4], nullptr);
    else
        setUp = button->Setup(x, y, name, image, icon, nullptr);
    return Keep(button, setUp);
}

Control* PanelBuilder::ReadRotary(const XmlElement& element, Panel& panel, const String*, int)
{
    int x, y;
    SkinBitmap* images = skin_.ReadOptionalImageAttribute(&element, "images");
    if (!ReadPosition(element, x, y) || !images || !Has(element, "frameCount"))
        return nullptr;
    auto rotary = std::make_unique<RotaryControl>();
    if (!rotary->Setup(x, y, Name(element), images, skin_.ReadOptionalImageAttribute(&element, "imagesActive"),
                       skin_.ReadOptionalImageAttribute(&element, "imagesDisabled"), Int(element, "frameCount"),
                       IntOr(element, "frameWidth", 0), BoundItem(element, panel)))
        return nullptr;
    SkinBitmap* track = skin_.ReadOptionalImageAttribute(&element, "bgImage");
    SkinBitmap* thumb = skin_.ReadOptionalImageAttribute(&element, "knobImage");
    if (track && thumb)
        rotary->SetPopup(IsHorizontal(element), track, thumb, Int(element, "runnerLength"),
                         Int(element, "runnerStartOffset"), IntOr(element, "knobSideOffset", 0));
    ApplyResponseFunction(element, *rotary);
    return rotary.release();
}

Control* PanelBuilder::ReadSliderBar(const XmlElement& element, Panel& panel, const String*, int)
{
    int x, y;
    if (!ReadPosition(element, x, y))
        return nullptr;
    auto bar = std::make_unique<SliderBar>();
    if (!bar->Setup(x, y, Name(element), IsHorizontal(element), skin_.ReadOptionalImageAttribute(&element, "bgImage"),
                    skin_.ReadOptionalImageAttribute(&element, "valImage"),
                    skin_.ReadOptionalImageAttribute(&element, "valImageActive"),
                    skin_.ReadOptionalImageAttribute(&element, "valImageDisabled"),
                    skin_.ReadOptionalImageAttribute(&element, "bgImageDisabled"), BoundItem(element, panel)))
        return nullptr;
    ApplyResponseFunction(element, *bar);
    return bar.release();
}

Control* PanelBuilder::ReadSlider(const XmlElement& element, Panel& panel, const String*, int)
{
    int x, y;
    if (!ReadPosition(element, x, y))
        return nullptr;
    auto slider = std::make_unique<Slider>();
    if (!slider->Setup(x, y, Name(element), IsHorizontal(element),
                       skin_.ReadOptionalImageAttribute(&element, "bgImage"),
                       skin_.ReadOptionalImageAttribute(&element, "knobImage"),
                       skin_.ReadOptionalImageAttribute(&element, "knobImageActive"),
                       skin_.ReadOptionalImageAttribute(&element, "knobImageDisabled"), Int(element, "runnerLength"),
                       Int(element, "runnerStartOffset"), IntOr(element, "knobSideOffset", 0),
                       IntOr(element, "knobMultiStateCount", 1), BoundItem(element, panel)))
        return nullptr;
    ApplyResponseFunction(element, *slider);
    return slider.release();
}

Control* PanelBuilder::ReadPeakMeter(const XmlElement& element, Panel& panel, const String*, int)
{
    int x, y;
    if (!ReadPosition(element, x, y))
        return nullptr;
    String inverted;
    XmlUtil::GetAttribute(&element, "inverted", inverted);
    auto meter = std::make_unique<PeakMeter>();
    if (!meter->Setup(x, y, Name(element), IsHorizontal(element), inverted.CompareLiteral("yes") == 0 ? 1 : 0,
                      skin_.ReadOptionalImageAttribute(&element, "ledsUnlit"),
                      skin_.ReadOptionalImageAttribute(&element, "ledsLit"),
                      skin_.ReadOptionalImageAttribute(&element, "ledsDisabled"), IntOr(element, "ledThickness", 1),
                      IntOr(element, "ledSpacing", 0),
                      static_cast<uint32_t>(IntOr(element, "stickyPeakHoldDurn", 2000)),
                      static_cast<uint32_t>(IntOr(element, "peakMeterDecayInterval", 10)), BoundItem(element, panel)))
        return nullptr;
    ApplyResponseFunction(element, *meter);
    return meter.release();
}

Control* PanelBuilder::ReadComboBox(const XmlElement& element, Panel&, const String*, int)
{
    int x, y;
    SkinBitmap* image = skin_.ReadOptionalImageAttribute(&element, "bgimages");
    FontInterface* font = nullptr;
    skin_.ReadFontAttribute(&element, "font", font);
    String styleName;
    PopupMenuStyle* popupStyle =
        XmlUtil::GetAttribute(&element, "popupstyle", styleName) ? skin_.FindPopupMenuStyle(styleName) : nullptr;
    if (!ReadPosition(element, x, y) || !image || !font || !popupStyle)
        return nullptr;
    // The popup's own scroll bar, when its style asks for one, is a vertical bar.
    const ScrollbarStyle* scrollStyle = nullptr;
    if (popupStyle->scrollbar)
    {
        String scrollName;
        if (scrollName.AppendAnsi(popupStyle->scrollbarStyle))
            scrollStyle = skin_.FindScrollbarStyle(&scrollName, 1);
    }
    auto combo = std::make_unique<ComboBox>();
    const int setUp =
        combo->Setup(x, y, Name(element), Int(element, "w"), image, Colour(element, "textcol"),
                     Colour(element, "textcolDisabled"), font, popupStyle, scrollStyle, IntOr(element, "leftSeg", 8),
                     IntOr(element, "midSeg", 16), IntOr(element, "rightSeg", 32));
    return Keep(combo, setUp);
}

Control* PanelBuilder::ReadScrollbar(const XmlElement& element, Panel& panel, const String*, int)
{
    int x, y;
    String value;
    const int vertical = XmlUtil::GetAttribute(&element, "orientation", value) && value.CompareLiteral("vert") == 0;
    String styleName;
    const int named = XmlUtil::GetAttribute(&element, "style", styleName);
    ScrollbarStyle* style = named ? skin_.FindScrollbarStyle(&styleName, vertical) : nullptr;
    if (!ReadPosition(element, x, y) || !style)
        return nullptr;
    // Only a hosted view scrolls. It was built before the bar (it is found among the controls
    // already made), so the panel deletes it first, and a bar going never calls its client.
    ScrollClient* client = nullptr;
    String target;
    if (XmlUtil::GetAttribute(&element, "target", target))
        if (Control* control = panel.FindControl(target))
            if (control->GetType() == Control::TypeViewHost)
                client = dynamic_cast<ScrollClient*>(static_cast<ViewHostControl*>(control)->GetView());
    auto bar = std::make_unique<Scrollbar>();
    return Keep(bar,
                bar->Setup(x, y, Name(element), style, IntOr(element, "length", 0), IntOr(element, "id", 0), client));
}

Control* PanelBuilder::ReadView(const XmlElement& element, Panel&, const String*, int)
{
    int x, y, width, height;
    if (!ReadPosition(element, x, y) || !ReadSize(element, width, height))
        return nullptr;
    const String name = Name(element);
    const int isTree = element.Name().CompareLiteral("tree_view") == 0;
    const int kind = isTree ? SkinViewFactory::KindTreeView : SkinViewFactory::KindIconView;
    SkinViewFactory* factory = skin_.ViewFactory();
    std::unique_ptr<Window> view(factory ? factory->CreateView(name, kind) : nullptr);
    if (!view)
        view.reset(isTree ? static_cast<Window*>(new TreeView()) : new ListBox());
    int setUp = 0;
    if (isTree)
    {
        TreeViewStyle style;
        style.itemHeight = IntOr(element, "itemHeight", 16);
        style.indent = IntOr(element, "itemIndent", 16);
        style.iconWidth = IntOr(element, "iconWidth", 8);
        style.bgColor = Colour(element, "bgColor");
        style.fontColor = Colour(element, "fontColor");
        style.parentFontColor = Colour(element, "parentFontColor");
        style.selectedFontColor = Colour(element, "selectedFontColor");
        style.selectedBgColor = Colour(element, "selectedBgColor");
        style.cursorColor = Colour(element, "cursorColor");
        style.openIcon = skin_.ReadOptionalImageAttribute(&element, "openIcon");
        style.closeIcon = skin_.ReadOptionalImageAttribute(&element, "closeIcon");
        style.leafIcon = skin_.ReadOptionalImageAttribute(&element, "leafIcon");
        skin_.ReadFontAttribute(&element, "font", style.font);
        skin_.ReadFontAttribute(&element, "parentFont", style.parentFont);
        // A factory's view of the wrong class is refused, not taken for a tree.
        auto* tree = dynamic_cast<TreeView*>(view.get());
        setUp = tree && tree->SetStyle(style);
    }
    else
    {
        ListBoxStyle style;
        style.singleSelect = IsYes(element, "singleSelect");
        style.showIconText = IsYes(element, "showIconText");
        style.cellWidth = IntOr(element, "itemExtentWidth", 32);
        style.cellHeight = IntOr(element, "itemExtentHeight", 48);
        style.horzSpacing = IntOr(element, "horzSpacing", 8);
        style.vertSpacing = IntOr(element, "vertSpacing", 8);
        style.iconToTextSpacing = IntOr(element, "iconToTextSpacing", 0);
        style.bgColor = Colour(element, "bgColor");
        style.cursorColour = Colour(element, "cursorCol");
        style.textColour = Colour(element, "textCol");
        style.selectedTextColour = Colour(element, "textColSel");
        style.selectedTextBackground = Colour(element, "textColBgSel");
        style.defaultIcon = skin_.ReadOptionalImageAttribute(&element, "defaultIcon");
        skin_.ReadFontAttribute(&element, "font", style.font);
        auto* list = dynamic_cast<ListBox*>(view.get());
        setUp = list && list->SetStyle(style);
    }
    if (!setUp)
        return nullptr;
    if (factory)
        factory->ViewCreated(view.get());
    auto host = std::make_unique<ViewHostControl>();
    return Keep(host, host->Setup(name, x, y, width, height, view.release(), IsYes(element, "border")));
}

Control* PanelBuilder::ReadRegion(const XmlElement& element, Panel&, const String*, int)
{
    int x, y, width, height;
    if (!ReadPosition(element, x, y) || !ReadSize(element, width, height))
        return nullptr;
    auto region = std::make_unique<RegionControl>();
    return Keep(region, region->Setup(Name(element), x, y, width, height, IntOr(element, "id", 0)));
}

Control* PanelBuilder::ReadBorder(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex)
{
    int x, y, width, height;
    if (ReadPosition(element, x, y) && ReadSize(element, width, height))
        panel.AddBorder(skin_.ReadOptionalImageAttribute(&element, "borderImages"), x, y, width, height, tabName,
                        pageIndex);
    return nullptr;
}

Control* PanelBuilder::ReadRadioGroup(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex)
{
    // The logic goes with its last button, but only once the group is built: a member the
    // page refuses must not take it along while others are still to join. One that no button
    // joined would live for ever.
    auto* logic = new RadioGroupLogic();
    DataItem* item = ResolveDataRef(element, panel);
    logic->Bind(item, 0);
    for (const XmlNode* child = element.GetFirstChild(); child; child = child->GetNextSibling())
    {
        const XmlElement* childElement = AsElement(child);
        if (!childElement)
            continue;
        Control* control = BuildControl(*childElement, panel, tabName, pageIndex);
        // A combo box shares the button's type code: only real buttons join.
        if (auto* button = dynamic_cast<Button*>(control))
            logic->Add(button);
        Place(control, *childElement, panel, tabName, pageIndex);
    }
    if (logic->MemberCount() == 0)
        delete logic;
    else
        logic->Bind(item, 1);
    return nullptr;
}

Control* PanelBuilder::ReadPageTab(const XmlElement& element, Panel& panel, const String*, int)
{
    int x, y, width, height;
    if (!ReadPosition(element, x, y) || !ReadSize(element, width, height))
        return nullptr;
    const String tabName = Name(element);
    FontInterface* font = nullptr;
    skin_.ReadFontAttribute(&element, "font", font);
    const uint32_t textColour = Colour(element, "textcol");
    // Without its tab the pages would only make controls to throw away.
    if (!panel.AddPageTab(tabName, skin_.ReadOptionalImageAttribute(&element, "tabButImages"),
                          skin_.ReadOptionalImageAttribute(&element, "pageBorderImages"), font, textColour, textColour,
                          IntOr(element, "leftSeg", 0), IntOr(element, "midSeg", 0), IntOr(element, "rightSeg", 0), x,
                          y, width, height))
        return nullptr;
    for (const XmlNode* child = element.GetFirstChild(); child; child = child->GetNextSibling())
    {
        const XmlElement* page = AsElement(child);
        if (!page || page->Name().CompareLiteral("page") != 0)
            continue;
        const int index = panel.AddTabPage(tabName, Name(*page), TextOf(*page, "tabtitle", "tabtitleId"));
        for (const XmlNode* pageChild = page->GetFirstChild(); pageChild; pageChild = pageChild->GetNextSibling())
            if (const XmlElement* pageElement = AsElement(pageChild))
                Place(BuildControl(*pageElement, panel, &tabName, index), *pageElement, panel, &tabName, index);
    }
    return nullptr;
}
