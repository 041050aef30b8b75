#pragma once

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/base/StringDictionary.h"
#include "framework/platform/graphics/BitmapPixels.h"
#include "framework/skin/SkinRecords.h"

#include <cstdint>
#include <map>
#include <memory>
#include <tuple>
#include <vector>

class Bitmap;
class FontInterface;
class PopupMenu;
class ResponseFunction;
class SkinBitmap;
class SkinViewFactory;
class XmlDocument;
class XmlElement;
class XmlNode;

// A loaded skin folder: composite.bmp (or an images folder with one file per image),
// regions.xml, strings.xml (optional) and layout.xml. Everything is looked up by name
// (case-sensitive); a name defined twice keeps its first definition. Failures are silent:
// callers see null or 0, and the text goes to Report, which shows it nowhere.
// Every record, text and image handed out stays valid until Reload or destruction.
class Skin : public Object
{
public:
    // Skin files larger than this are refused before they are parsed. The skins we ship are
    // at most about 120 KB (the composite; their XML files 12 KB); this leaves room for skins
    // many times their size, while the parsed document of a file at the cap stays a small
    // share of the 32-bit address space.
    static const long kMaxXmlFileBytes = 4L * 1024 * 1024;
    // Distinct fonts a skin makes (fonts of equal family, style and size, or equal glyph strip
    // and characters, are one). Each is a GDI object, of which a process has 10,000.
    static const int kMaxFonts = 256;

    Skin();
    ~Skin() override;
    Skin(const Skin&) = delete;
    Skin& operator=(const Skin&) = delete;

    // The skin whose Load started last; null once that skin is destroyed.
    static Skin* Current();

    // Adds the folder's definitions to what the skin holds; 1 when every needed step passed.
    virtual int Load(const String& folder, SkinViewFactory* factory);
    // Empties the skin, then loads the folder.
    virtual int Reload(const String& folder, SkinViewFactory* factory);
    virtual int IsLoaded() const { return loaded_; }
    // A popup menu this skin built is going away; nothing to do here.
    virtual void OnPopupMenuReleased(PopupMenu*) {}

    // The menu of that name from the layout's popup menus, its submenus built from this skin
    // when they open; owned by the caller. Null without a popup-menu style, without the
    // definition, or when the style cannot lay out a menu. Made beside the menu (controls).
    PopupMenu* CreatePopupMenu(const char* name);
    PopupMenu* CreatePopupMenu(const String& name);

    // Read access to the layout for what is built above the skin: panels, dialog panels,
    // message boxes and frame windows are made by classes of their own over the controls
    // (framework/dialogs), which take the skin; a skin has no virtual operations for them
    // that a derived skin could override. Elements stay valid until the layout goes (Load of
    // another folder, Reload, destruction).
    // The first element of that name under the layout's root; null without it.
    const XmlElement* FindLayoutSection(const char* section) const;
    // The first child element named element of that section whose name attribute equals
    // name; null without the section or such a child.
    const XmlElement* FindDefinition(const char* section, const char* element, const String& name) const;
    // The panels section's panel of that name. The last one found is remembered, by this
    // skin alone and only while its layout stays: another skin, a reload or a load of
    // another folder never answers with an element of a document it does not hold.
    const XmlElement* FindPanelElement(const String& name);

    // 1 while a dialog panel or message box this skin opened runs its modal loop, however
    // deeply they nest (a box ending inside another leaves it 1).
    int IsMessageBoxRunning() const { return modalDepth_ > 0 ? 1 : 0; }
    // Around the modal loop of a dialog the skin opened by name.
    void EnterModal() { ++modalDepth_; }
    void LeaveModal()
    {
        if (modalDepth_ > 0)
            --modalDepth_;
    }
    const String& Folder() const { return folder_; }
    SkinViewFactory* ViewFactory() const { return factory_; } // borrowed

    // Look-ups.
    const String* FindString(const String& id);
    const String* FindStringById(const char* id);
    FontInterface* FindFont(const String& name);
    PopupMenuStyle* FindPopupMenuStyle(const String& name);
    // The style whose name sorts first; null without any.
    PopupMenuStyle* FirstPopupMenuStyle() const;
    FrameStyle* FindFrameStyle(const String& name);
    FrameStyle2* FindFrameStyle2(const String& name);
    ScrollbarStyle* FindScrollbarStyle(const String* name, int vertical);
    DialogStyle* FindDialogStyle(const String& name);
    DialogStyle* FirstDialogStyle() const;
    DialogStyle* MessageBoxStyle() const { return messageBoxStyle_.get(); }
    ResponseFunction* FindResponseFunction(const String& name);
    int FindRegion(const String& name, int& x, int& y, int& width, int& height, int& keyX, int& keyY) const;
    SkinBitmap* FindBitmap(const String& name);
    int FindMiscParam(const char* name, String& value);
    int GetMiscParamInt(const char* name, int& value);
    int GetMiscParamFlag(const char* name);
    int GetMiscParamColour(const char* name, uint32_t& colour);
    // Null while the tooltip style has no images.
    const TooltipStyle* GetTooltipStyle() const;

    // Skin numbers that become pixels (positions, sizes, lengths, slice widths, offsets,
    // spacings, repeat counts) lie within kMaxGeometry, the largest bitmap's side: a larger
    // one (a hand-edited 100000 or 2147483647) could only ask for more than can ever be drawn.
    static const int kMaxGeometry = BitmapPixels::kMaxSide;
    // 1 when each geometry attribute the element has lies within kMaxGeometry; else the first
    // one past it is reported and 0, and the reader skips the element as it does one that
    // lacks what it needs.
    int CheckGeometry(const XmlElement* element);

    // Attribute conventions of every skin reader.
    static uint32_t ParseColour(const String& text);
    static uint32_t ReadColourAttribute(const XmlElement* element, const char* name);
    static int ParseAlignment(const XmlElement* element, const char* name);
    SkinBitmap* ReadOptionalImageAttribute(const XmlElement* element, const char* name);
    // Keeps font when the attribute is absent.
    void ReadFontAttribute(const XmlElement* element, const char* name, FontInterface*& font);

    // Forms "message [name]" and hands it to Report.
    void ReportError(const char* message, const String* name);

protected:
    // Where the skin's failure texts go: nowhere. Tests listen here.
    virtual void Report(const String& text);

private:
    void Clear();
    // The layout is replaced or released: forgets what was found in it.
    void SetLayout(XmlDocument* document);
    String Path(const char* name) const;
    XmlDocument* ParseFile(const char* name) const;
    int LoadComposite();
    int LoadRegions(int haveComposite);
    void LoadStrings();
    int LoadLayout();
    void ReadFonts(const XmlNode* root);
    void ReadTooltipStyle(const XmlNode* root);
    void ReadPopupMenuStyles(const XmlNode* root);
    void ReadFrameStyles(const XmlNode* root);
    void ReadScrollbarStyles(const XmlNode* root);
    void ReadMessageBoxStyle(const XmlNode* root);
    void ReadDialogStyles(const XmlNode* root);
    void ReadResponseFunctions(const XmlNode* root);
    void ReadDialogStyle(const XmlElement* element, DialogStyle& style);
    void ReadFrameImages(const XmlElement* element, SkinBitmap* (&frame)[FramePieceCount]);
    Object* Lookup(const StringDictionary& table, const String& name, const char* message);
    // (kind, glyph strip, family or first character, style or count, size)
    using FontKey = std::tuple<int, const SkinBitmap*, int, int, int>;
    template <typename Make>
    FontInterface* ShareFont(const FontKey& key, const String& name, Make make);

    String folder_;
    int loaded_ = 0;
    std::unique_ptr<Bitmap> composite_;
    // Composites of earlier loads that a later load replaced: pieces in the cache still cut
    // from them.
    std::vector<std::unique_ptr<Bitmap>> retiredComposites_;
    XmlDocument* layout_ = nullptr; // owned; released with Release
    StringDictionary regions_;      // SkinRegion
    StringDictionary strings_;      // String
    StringDictionary fonts_;        // FontInterface, borrowed from fontsByKey_
    std::map<FontKey, std::unique_ptr<FontInterface>> fontsByKey_;
    TooltipStyle tooltipStyle_;
    StringDictionary popupMenuStyles_; // PopupMenuStyle
    StringDictionary frameStyles_;     // FrameStyle or FrameStyle2
    StringDictionary horzScrollbars_;  // ScrollbarStyle
    StringDictionary vertScrollbars_;  // ScrollbarStyle
    StringDictionary bitmaps_;         // SkinBitmap
    std::unique_ptr<DialogStyle> messageBoxStyle_;
    StringDictionary dialogStyles_;      // DialogStyle
    StringDictionary responseFunctions_; // ResponseFunction
    int modalDepth_ = 0;                 // dialogs opened by name whose loop runs
    SkinViewFactory* factory_ = nullptr; // borrowed
    // The panel element found last and its name; the element belongs to layout_.
    String cachedPanelName_;
    const XmlElement* cachedPanelElement_ = nullptr;
};
