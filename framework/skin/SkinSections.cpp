// The attribute conventions every skin reader follows, and the sections of layout.xml that
// a skin reads when it loads.
#include "framework/skin/Skin.h"

#include "framework/platform/graphics/BitmapFont.h"
#include "framework/platform/graphics/Font.h"
#include "framework/skin/ResponseFunction.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlUtil.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace
{
struct NamedColour
{
    const char* name;
    const char* value;
};

const NamedColour kNamedColours[] = {
    {"aqua", "#00ffff"},   {"black", "#000000"},  {"blue", "#0000ff"},  {"fuchsia", "#ff00ff"}, {"gray", "#808080"},
    {"grey", "#808080"},   {"green", "#008000"},  {"lime", "#00ff00"},  {"maroon", "#800000"},  {"navy", "#000080"},
    {"olive", "#808000"},  {"purple", "#800080"}, {"red", "#ff0000"},   {"silver", "#c0c0c0"},  {"teal", "#008080"},
    {"yellow", "#ffff00"}, {"white", "#ffffff"},  {"brown", "#a52a2a"},
};

const char* const kFramePieceNames[FramePieceCount] = {"topLeft",     "topMid",  "topRight", "centerLeft", "centerMid",
                                                       "centerRight", "botLeft", "botMid",   "botRight"};

// The attributes of panels, controls, backgrounds, dialog panels and styles whose numbers
// become pixels; frame pieces add their _x, _y, _w and _h.
const char* const kGeometryAttributes[] = {"x",
                                           "y",
                                           "w",
                                           "h",
                                           "dx",
                                           "dy",
                                           "length",
                                           "leftSeg",
                                           "midSeg",
                                           "rightSeg",
                                           "frameWidth",
                                           "runnerLength",
                                           "runnerStartOffset",
                                           "knobSideOffset",
                                           "ledThickness",
                                           "ledSpacing",
                                           "itemHeight",
                                           "itemIndent",
                                           "iconWidth",
                                           "itemExtentWidth",
                                           "itemExtentHeight",
                                           "horzSpacing",
                                           "vertSpacing",
                                           "iconToTextSpacing",
                                           "textAreaHeight",
                                           "itemVertSpacing",
                                           "decBg",
                                           "barBg",
                                           "incBg",
                                           "decBut",
                                           "incBut",
                                           "barBegin",
                                           "barMid",
                                           "barEnd",
                                           "butTopSpacing",
                                           "butRightSpacing",
                                           "interButSpacing",
                                           "titleTopSpacing",
                                           "titleLeftSpacing",
                                           "titleRightSpacing",
                                           "leftLogoOffset",
                                           "topLogoOffset",
                                           "sessionNameXOffset",
                                           "sessionNameYOffset",
                                           "titleTopOffset",
                                           "titleSideOffset",
                                           "sysButTopOffset",
                                           "helpButRightOffset",
                                           "exitButRightOffset",
                                           "okx",
                                           "oky",
                                           "cancelx",
                                           "cancely",
                                           "yesx",
                                           "yesy",
                                           "nox",
                                           "noy"};
const char* const kPieceSuffixes[] = {"_x", "_y", "_w", "_h"};

const int kDefaultFontSize = 10;
// Sizes are clamped to what a screen can show; far larger ones overflow the pixel height.
const int kMaxFontSize = 1000;

// A digit outside 0-9, a-f counts as 0 (the text is lower-cased before).
int HexDigit(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return 0;
}

const XmlElement* AsElement(const XmlNode* node)
{
    return node && node->GetNodeType() == XmlNode::ELEMENT_NODE ? static_cast<const XmlElement*>(node) : nullptr;
}

// Calls read(element) for every child element of the section with that name.
template <typename Read>
void ForEachChild(const XmlNode* root, const char* section, const char* name, Read read)
{
    const XmlNode* sectionNode = XmlUtil::FindChild(root, section, 0);
    for (const XmlNode* child = sectionNode ? sectionNode->GetFirstChild() : nullptr; child;
         child = child->GetNextSibling())
    {
        const XmlElement* element = AsElement(child);
        if (element && element->Name().CompareLiteral(name) == 0)
            read(element);
    }
}

// The first definition of a name stays; a later one is dropped.
void Store(StringDictionary& table, const XmlElement* element, std::unique_ptr<Object> value)
{
    String name;
    XmlUtil::GetAttribute(element, "name", name);
    if (table.Insert(name.Text(), value.get()).inserted)
        value.release();
}

int FontFamily(const XmlElement* element)
{
    String family;
    if (XmlUtil::GetAttribute(element, "family", family))
    {
        if (family.CompareLiteral("courier_new") == 0)
            return Font::FamilyCourierNew;
        if (family.CompareLiteral("times_roman") == 0)
            return Font::FamilyTimesNewRoman;
    }
    return Font::FamilyArial;
}

int FontStyle(const XmlElement* element)
{
    String style;
    if (!XmlUtil::GetAttribute(element, "style", style))
        return 0;
    int bits = 0;
    if (style.FindAscii("bold") >= 0)
        bits |= Font::StyleBold;
    if (style.FindAscii("italic") >= 0)
        bits |= Font::StyleItalic;
    if (style.FindAscii("underline") >= 0)
        bits |= Font::StyleUnderline;
    if (style.FindAscii("strikeout") >= 0)
        bits |= Font::StyleStrikeout;
    return bits;
}

// A bitmap font keeps its own copy of the glyph strip: a skin image may be a piece of the
// composite, and the font draws from the strip's origin.
class SkinBitmapFont : public BitmapFont
{
public:
    int Setup(SkinBitmap* image, int firstCharacter, int count)
    {
        if (image && !strip_.CopyPiece(*image, 0, 0, image->Width(), image->Height()))
            return 0;
        return BitmapFont::Setup(image ? strip_.GetDib() : nullptr, firstCharacter, count);
    }

private:
    SkinBitmap strip_;
};
} // namespace

uint32_t Skin::ParseColour(const String& text)
{
    String colour;
    if (!colour.Assign(text))
        return 0;
    colour.MakeLower();
    if (colour.WideCharAt(0) != u'#')
    {
        const char* value = "#000000";
        for (const NamedColour& named : kNamedColours)
            if (colour.CompareLiteral(named.name) == 0)
                value = named.value;
        if (!colour.AssignAscii(value))
            return 0;
    }
    if (colour.Length() != 7)
        return 0;
    uint32_t result = 0;
    for (int i = 0; i < 3; ++i)
    {
        const uint32_t byte = HexDigit(colour.WideCharAt(1 + 2 * i)) * 16 + HexDigit(colour.WideCharAt(2 + 2 * i));
        result |= byte << (8 * i);
    }
    return result;
}

uint32_t Skin::ReadColourAttribute(const XmlElement* element, const char* name)
{
    String text;
    return XmlUtil::GetAttribute(element, name, text) ? ParseColour(text) : 0;
}

int Skin::ParseAlignment(const XmlElement* element, const char* name)
{
    String text;
    if (!XmlUtil::GetAttribute(element, name, text))
        return 0;
    text.MakeLower();
    if (text.CompareLiteral("center") == 0)
        return 1;
    if (text.CompareLiteral("right") == 0)
        return 2;
    return 0;
}

int Skin::CheckGeometry(const XmlElement* element)
{
    auto fits = [&](const char* name) {
        // Integers are unsigned decimals: only the upper end can be passed.
        if (XmlUtil::GetAttributeInt(element, name) <= kMaxGeometry)
            return true;
        String where;
        where.Assign(element->Name());
        where.AppendAscii(" ");
        where.AppendAscii(name);
        ReportError("Skin value out of range.", &where);
        return false;
    };
    for (const char* name : kGeometryAttributes)
        if (!fits(name))
            return 0;
    for (const char* piece : kFramePieceNames)
        for (const char* suffix : kPieceSuffixes)
        {
            char name[32];
            std::strcpy(name, piece);
            std::strcat(name, suffix);
            if (!fits(name))
                return 0;
        }
    return 1;
}

SkinBitmap* Skin::ReadOptionalImageAttribute(const XmlElement* element, const char* name)
{
    String text;
    if (!XmlUtil::GetAttribute(element, name, text) || text.Length() == 0)
        return nullptr;
    return FindBitmap(text);
}

void Skin::ReadFontAttribute(const XmlElement* element, const char* name, FontInterface*& font)
{
    String text;
    if (XmlUtil::GetAttribute(element, name, text))
        font = FindFont(text);
}

void Skin::ReadFrameImages(const XmlElement* element, SkinBitmap* (&frame)[FramePieceCount])
{
    for (int piece = 0; piece < FramePieceCount; ++piece)
        frame[piece] = ReadOptionalImageAttribute(element, kFramePieceNames[piece]);
}

template <typename Make>
FontInterface* Skin::ShareFont(const FontKey& key, const String& name, Make make)
{
    const auto found = fontsByKey_.find(key);
    if (found != fontsByKey_.end())
        return found->second.get();
    if (fontsByKey_.size() >= static_cast<size_t>(kMaxFonts))
    {
        ReportError("Skin Font limit reached.", &name);
        return nullptr;
    }
    std::unique_ptr<FontInterface> font = make();
    FontInterface* made = font.get();
    if (font)
        fontsByKey_.emplace(key, std::move(font));
    return made;
}

void Skin::ReadFonts(const XmlNode* root)
{
    const XmlNode* section = XmlUtil::FindChild(root, "fonts", 0);
    for (const XmlNode* child = section ? section->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
    {
        const XmlElement* element = AsElement(child);
        if (!element)
            continue;
        String name;
        XmlUtil::GetAttribute(element, "name", name);
        // The first definition of a name stays: a later one makes no font.
        if (fonts_.Find(name.Text()) != fonts_.End())
            continue;
        FontInterface* font = nullptr;
        if (element->Name().CompareLiteral("font") == 0)
        {
            int size = XmlUtil::GetAttributeInt(element, "size");
            // Without a size the font would be a pixel high.
            if (size == -1)
                size = kDefaultFontSize;
            size = std::max(1, std::min(size, kMaxFontSize));
            const int family = FontFamily(element);
            const int style = FontStyle(element);
            font = ShareFont(FontKey{FontInterface::KindGdi, nullptr, family, style, size}, name,
                             [&]() -> std::unique_ptr<FontInterface> {
                                 auto made = std::make_unique<Font>();
                                 if (!made->Create(family, style, size))
                                     return nullptr;
                                 return made;
                             });
        }
        else if (element->Name().CompareLiteral("bitmapfont") == 0)
        {
            String imageName;
            XmlUtil::GetAttribute(element, "charImages", imageName);
            SkinBitmap* image = FindBitmap(imageName);
            const int first = XmlUtil::GetAttributeInt(element, "firstChar");
            const int count = XmlUtil::GetAttributeInt(element, "numChars");
            font = ShareFont(FontKey{FontInterface::KindBitmap, image, first, count, 0}, name,
                             [&]() -> std::unique_ptr<FontInterface> {
                                 auto made = std::make_unique<SkinBitmapFont>();
                                 if (!made->Setup(image, first, count))
                                     return nullptr;
                                 return made;
                             });
        }
        if (font)
            fonts_.Insert(name.Text(), font);
    }
}

void Skin::ReadTooltipStyle(const XmlNode* root)
{
    const XmlElement* element = AsElement(XmlUtil::FindChild(root, "tooltipstyle", 0));
    if (!element || !CheckGeometry(element))
        return;
    ReadFontAttribute(element, "font", tooltipStyle_.font);
    tooltipStyle_.images = ReadOptionalImageAttribute(element, "images");
    tooltipStyle_.textColour = ReadColourAttribute(element, "textcol");
    tooltipStyle_.leftSeg = XmlUtil::GetAttributeInt(element, "leftSeg");
    tooltipStyle_.midSeg = XmlUtil::GetAttributeInt(element, "midSeg");
    tooltipStyle_.rightSeg = XmlUtil::GetAttributeInt(element, "rightSeg");
    tooltipStyle_.textAreaHeight = XmlUtil::GetAttributeInt(element, "textAreaHeight");
}

void Skin::ReadPopupMenuStyles(const XmlNode* root)
{
    ForEachChild(root, "popupmenus", "style", [this](const XmlElement* element) {
        if (!CheckGeometry(element))
            return;
        auto style = std::make_unique<PopupMenuStyle>();
        ReadFrameImages(element, style->frame);
        style->separator = ReadOptionalImageAttribute(element, "seperator");
        style->tickIcon = ReadOptionalImageAttribute(element, "tickIcon");
        style->subMenuIcon = ReadOptionalImageAttribute(element, "subMenuIcon");
        style->topBanner = ReadOptionalImageAttribute(element, "topBanner");
        style->vertBanner = ReadOptionalImageAttribute(element, "vertBanner");
        ReadFontAttribute(element, "font", style->font);
        style->normalColour = ReadColourAttribute(element, "fontColNormal");
        style->selectedColour = ReadColourAttribute(element, "fontColSelected");
        style->disabledColour = ReadColourAttribute(element, "fontColDisabled");
        style->selectionColour = ReadColourAttribute(element, "selectedCol");
        style->itemVertSpacing = XmlUtil::GetAttributeInt(element, "itemVertSpacing");
        style->scrollbar = XmlUtil::GetAttributeInt(element, "scrollbar");
        String scrollbarStyle;
        XmlUtil::GetAttribute(element, "scrollbarStyle", scrollbarStyle);
        // Longer names are cut to what the record holds.
        scrollbarStyle.CopyToAscii(style->scrollbarStyle, sizeof style->scrollbarStyle);
        Store(popupMenuStyles_, element, std::move(style));
    });
}

void Skin::ReadFrameStyles(const XmlNode* root)
{
    ForEachChild(root, "framewindows", "style", [this](const XmlElement* element) {
        if (!CheckGeometry(element))
            return;
        auto style = std::make_unique<FrameStyle>();
        ReadFrameImages(element, style->frame);
        style->leftLogoOffset = XmlUtil::GetAttributeInt(element, "leftLogoOffset");
        style->topLogoOffset = XmlUtil::GetAttributeInt(element, "topLogoOffset");
        Store(frameStyles_, element, std::move(style));
    });
    ForEachChild(root, "framewindows", "style2", [this](const XmlElement* element) {
        if (!CheckGeometry(element))
            return;
        auto style = std::make_unique<FrameStyle2>();
        style->frameComposite = ReadOptionalImageAttribute(element, "frameComposite");
        for (int piece = 0; piece < FramePieceCount; ++piece)
        {
            char name[32];
            const char* pieceName = kFramePieceNames[piece];
            auto read = [&](const char* suffix) {
                std::strcpy(name, pieceName);
                std::strcat(name, suffix);
                return XmlUtil::GetAttributeInt(element, name);
            };
            const int x = read("_x"), y = read("_y"), w = read("_w"), h = read("_h");
            style->pieces[piece] = Rect{x, y, x + w, y + h};
        }
        style->closeButton = ReadOptionalImageAttribute(element, "closeButton");
        style->minimizeButton = ReadOptionalImageAttribute(element, "minimizeButton");
        style->maximizeButton = ReadOptionalImageAttribute(element, "maximizeButton");
        style->helpButton = ReadOptionalImageAttribute(element, "helpButton");
        style->butTopSpacing = XmlUtil::GetAttributeInt(element, "butTopSpacing");
        style->butRightSpacing = XmlUtil::GetAttributeInt(element, "butRightSpacing");
        style->interButSpacing = XmlUtil::GetAttributeInt(element, "interButSpacing");
        ReadFontAttribute(element, "titleFont", style->titleFont);
        style->titleColour = ReadColourAttribute(element, "titleColor");
        style->titleTopSpacing = XmlUtil::GetAttributeInt(element, "titleTopSpacing");
        style->titleLeftSpacing = XmlUtil::GetAttributeInt(element, "titleLeftSpacing");
        style->titleRightSpacing = XmlUtil::GetAttributeInt(element, "titleRightSpacing");
        style->leftLogoOffset = XmlUtil::GetAttributeInt(element, "leftLogoOffset");
        style->topLogoOffset = XmlUtil::GetAttributeInt(element, "topLogoOffset");
        style->sessionNameXOffset = XmlUtil::GetAttributeInt(element, "sessionNameXOffset");
        style->sessionNameYOffset = XmlUtil::GetAttributeInt(element, "sessionNameYOffset");
        Store(frameStyles_, element, std::move(style));
    });
}

void Skin::ReadScrollbarStyles(const XmlNode* root)
{
    for (const int vertical : {0, 1})
    {
        ForEachChild(root, "scrollbarstyles", vertical ? "vertstyle" : "horzstyle",
                     [this, vertical](const XmlElement* element) {
                         if (!CheckGeometry(element))
                             return;
                         auto style = std::make_unique<ScrollbarStyle>();
                         style->vertical = vertical;
                         style->images = ReadOptionalImageAttribute(element, "images");
                         style->decBg = XmlUtil::GetAttributeInt(element, "decBg");
                         style->barBg = XmlUtil::GetAttributeInt(element, "barBg");
                         style->incBg = XmlUtil::GetAttributeInt(element, "incBg");
                         style->decBut = XmlUtil::GetAttributeInt(element, "decBut");
                         style->incBut = XmlUtil::GetAttributeInt(element, "incBut");
                         style->barBegin = XmlUtil::GetAttributeInt(element, "barBegin");
                         style->barMid = XmlUtil::GetAttributeInt(element, "barMid");
                         style->barEnd = XmlUtil::GetAttributeInt(element, "barEnd");
                         Store(vertical ? vertScrollbars_ : horzScrollbars_, element, std::move(style));
                     });
    }
}

void Skin::ReadDialogStyle(const XmlElement* element, DialogStyle& style)
{
    ReadFrameImages(element, style.frame);
    style.exitButton = ReadOptionalImageAttribute(element, "sysExitButton");
    style.helpButton = ReadOptionalImageAttribute(element, "sysHelpButton");
    style.buttonImages = ReadOptionalImageAttribute(element, "buttonImages");
    style.leftSeg = XmlUtil::GetAttributeInt(element, "leftSeg");
    style.midSeg = XmlUtil::GetAttributeInt(element, "midSeg");
    style.rightSeg = XmlUtil::GetAttributeInt(element, "rightSeg");
    style.tickIcon = ReadOptionalImageAttribute(element, "tickIcon");
    style.crossIcon = ReadOptionalImageAttribute(element, "crossIcon");
    ReadFontAttribute(element, "buttonFont", style.buttonFont);
    ReadFontAttribute(element, "titleFont", style.titleFont);
    style.titleTopOffset = XmlUtil::GetAttributeInt(element, "titleTopOffset");
    style.titleSideOffset = XmlUtil::GetAttributeInt(element, "titleSideOffset");
    style.sysButTopOffset = XmlUtil::GetAttributeInt(element, "sysButTopOffset");
    style.helpButRightOffset = XmlUtil::GetAttributeInt(element, "helpButRightOffset");
    style.exitButRightOffset = XmlUtil::GetAttributeInt(element, "exitButRightOffset");
    style.titleAlignment = ParseAlignment(element, "titleAlignment");
    style.titleColour = ReadColourAttribute(element, "titleFontCol");
    style.normalColour = ReadColourAttribute(element, "fontColNormal");
    style.selectedColour = ReadColourAttribute(element, "fontColSelected");
    style.disabledColour = ReadColourAttribute(element, "fontColDisabled");
    // The captions come from strings.xml when it has them; their absence is no failure.
    const struct
    {
        String* caption;
        const char16_t* id;
        const char* fallback;
    } captions[] = {{&style.yes, u"IDS_YES", "Yes"},
                    {&style.no, u"IDS_NO", "No"},
                    {&style.ok, u"IDS_OK", "OK"},
                    {&style.cancel, u"IDS_CANCEL", "Cancel"}};
    for (const auto& caption : captions)
    {
        StringDictionary::Node* node = strings_.Find(caption.id);
        if (node == strings_.End() || !caption.caption->Assign(*static_cast<const String*>(node->entry->value)))
            caption.caption->AssignAscii(caption.fallback);
    }
}

void Skin::ReadMessageBoxStyle(const XmlNode* root)
{
    const XmlNode* section = XmlUtil::FindChild(root, "messageboxes", 0);
    const XmlElement* element = AsElement(XmlUtil::FindChild(section, "globalstyle", 0));
    // An earlier load's style stays, as every first definition does.
    if (!element || messageBoxStyle_ || !CheckGeometry(element))
        return;
    messageBoxStyle_ = std::make_unique<DialogStyle>();
    ReadDialogStyle(element, *messageBoxStyle_);
}

void Skin::ReadDialogStyles(const XmlNode* root)
{
    ForEachChild(root, "dialogpanels", "style", [this](const XmlElement* element) {
        if (!CheckGeometry(element))
            return;
        auto style = std::make_unique<DialogStyle>();
        ReadDialogStyle(element, *style);
        Store(dialogStyles_, element, std::move(style));
    });
}

void Skin::ReadResponseFunctions(const XmlNode* root)
{
    ForEachChild(root, "responsefunctions", "responsefunction", [this](const XmlElement* element) {
        std::vector<ResponseFunction::Entry> entries;
        for (const XmlNode* child = element->GetFirstChild(); child; child = child->GetNextSibling())
        {
            const XmlElement* entry = AsElement(child);
            if (entry && entry->Name().CompareLiteral("entry") == 0)
                entries.emplace_back(XmlUtil::GetAttributeReal(entry, "normVal"),
                                     XmlUtil::GetAttributeReal(entry, "transVal"));
        }
        Store(responseFunctions_, element, std::make_unique<ResponseFunction>(std::move(entries)));
    });
}
