#include "framework/skin/Skin.h"

#include "framework/base/FileStream.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/FontInterface.h"
#include "framework/skin/ResponseFunction.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlLoader.h"
#include "framework/xml/XmlUtil.h"

namespace
{
Skin* gCurrentSkin = nullptr; // user-interface thread only

void Empty(StringDictionary& table)
{
    table.DeleteValues(table.Begin(), table.End());
    table.EraseRange(table.Begin(), table.End());
}

const XmlElement* AsElement(const XmlNode* node)
{
    return node && node->GetNodeType() == XmlNode::ELEMENT_NODE ? static_cast<const XmlElement*>(node) : nullptr;
}
} // namespace

Skin::Skin() = default;

Skin::~Skin()
{
    Clear();
    // Controls and menus reach the current skin through this pointer; it must not outlive us.
    if (gCurrentSkin == this)
        gCurrentSkin = nullptr;
}

Skin* Skin::Current()
{
    return gCurrentSkin;
}

void Skin::Clear()
{
    composite_.reset();
    retiredComposites_.clear();
    SetLayout(nullptr);
    for (StringDictionary* table : {&regions_, &strings_, &popupMenuStyles_, &frameStyles_, &horzScrollbars_,
                                    &vertScrollbars_, &bitmaps_, &dialogStyles_, &responseFunctions_})
        Empty(*table);
    fonts_.EraseRange(fonts_.Begin(), fonts_.End());
    fontsByKey_.clear();
    messageBoxStyle_.reset();
    tooltipStyle_ = TooltipStyle();
}

void Skin::SetLayout(XmlDocument* document)
{
    if (layout_)
        layout_->Release();
    layout_ = document;
    cachedPanelName_.Clear();
    cachedPanelElement_ = nullptr;
}

int Skin::Reload(const String& folder, SkinViewFactory* factory)
{
    Clear();
    return Load(folder, factory);
}

int Skin::Load(const String& folder, SkinViewFactory* factory)
{
    gCurrentSkin = this;
    loaded_ = 0;
    factory_ = factory;
    if (!folder_.Assign(folder) || !FileSystem::DirectoryExists(folder_))
        return 0;
    const int composite = LoadComposite();
    if (composite < 0 || !LoadRegions(composite))
        return 0;
    LoadStrings();
    if (!LoadLayout())
        return 0;
    loaded_ = 1;
    return 1;
}

String Skin::Path(const char* name) const
{
    String path;
    if (path.Assign(folder_) && path.AppendAsciiChar('\\') && path.AppendAscii(name))
        return path;
    path.Clear();
    return path;
}

XmlDocument* Skin::ParseFile(const char* name) const
{
    const String path = Path(name);
    FileStream stream(0);
    XmlLoader loader;
    // The stream closes itself when it goes.
    if (path.Length() == 0 || !stream.OpenRead(path.Text()) || stream.BytesLeft() > kMaxXmlFileBytes ||
        !loader.CreateDocument())
        return nullptr;
    const int parsed = loader.Load(stream);
    stream.Close();
    return parsed ? loader.Detach() : nullptr;
}

// 1 with a composite from this folder, 0 with an images folder instead, -1 on failure.
int Skin::LoadComposite()
{
    const String path = Path("composite.bmp");
    if (path.Length() == 0)
        return -1;
    if (!FileSystem::FileExists(path))
        return FileSystem::DirectoryExists(Path("images")) ? 0 : -1;
    auto bitmap = std::make_unique<Bitmap>();
    if (!bitmap->LoadFile(path))
        return -1;
    // Images cut from an earlier load's composite stay in the cache.
    if (composite_)
        retiredComposites_.push_back(std::move(composite_));
    composite_ = std::move(bitmap);
    return 1;
}

int Skin::LoadRegions(int haveComposite)
{
    if (haveComposite && !FileSystem::FileExists(Path("regions.xml")))
        return 0;
    XmlDocument* document = ParseFile("regions.xml");
    if (!document)
    {
        ReportError("Corrupt/incorrect regions file!", nullptr);
        return 0;
    }
    const XmlNode* root = document->GetFirstChild();
    if (!AsElement(root) || root->Name().CompareLiteral("regions") != 0)
    {
        document->Release();
        return 0;
    }
    for (const XmlNode* child = root->GetFirstChild(); child; child = child->GetNextSibling())
    {
        const XmlElement* element = AsElement(child);
        String name;
        if (!element || element->Name().CompareLiteral("region") != 0 ||
            !XmlUtil::GetAttribute(element, "name", name) || name.Length() == 0)
            continue;
        auto* region = new SkinRegion();
        region->x = XmlUtil::GetAttributeInt(element, "x");
        region->y = XmlUtil::GetAttributeInt(element, "y");
        region->width = XmlUtil::GetAttributeInt(element, "w");
        region->height = XmlUtil::GetAttributeInt(element, "h");
        region->keyX = XmlUtil::GetAttributeInt(element, "tx");
        region->keyY = XmlUtil::GetAttributeInt(element, "ty");
        region->hasKey = region->keyX != -1 && region->keyY != -1;
        if (!regions_.Insert(name.Text(), region).inserted)
            delete region;
    }
    document->Release();
    return 1;
}

void Skin::LoadStrings()
{
    if (!FileSystem::FileExists(Path("strings.xml")))
        return;
    XmlDocument* document = ParseFile("strings.xml");
    if (!document)
    {
        ReportError("Corrupt/incorrect strings file!", nullptr);
        return;
    }
    const XmlNode* root = document->GetFirstChild();
    if (AsElement(root) && root->Name().CompareLiteral("stringtable") == 0)
    {
        for (const XmlNode* child = root->GetFirstChild(); child; child = child->GetNextSibling())
        {
            const XmlElement* element = AsElement(child);
            String id;
            auto value = std::make_unique<String>();
            if (!element || element->Name().CompareLiteral("string") != 0 ||
                !XmlUtil::GetAttribute(element, "id", id) || !XmlUtil::GetAttribute(element, "value", *value))
                continue;
            if (strings_.Insert(id.Text(), value.get()).inserted)
                value.release();
        }
    }
    document->Release();
}

int Skin::LoadLayout()
{
    if (!FileSystem::FileExists(Path("layout.xml")))
        return 0;
    XmlDocument* document = ParseFile("layout.xml");
    if (!document)
    {
        ReportError("Corrupt/incorrect layout file!", nullptr);
        return 0;
    }
    SetLayout(document);
    const XmlNode* root = document->GetFirstChild();
    if (!root)
        return 0;
    ReadFonts(root);
    ReadTooltipStyle(root);
    ReadPopupMenuStyles(root);
    ReadFrameStyles(root);
    ReadScrollbarStyles(root);
    ReadMessageBoxStyle(root);
    ReadDialogStyles(root);
    ReadResponseFunctions(root);
    return 1;
}

void Skin::ReportError(const char* message, const String* name)
{
    String text;
    if (text.AppendAscii(message) && text.AppendAscii(" [") && (!name || text.Append(*name)) &&
        text.AppendAsciiChar(']'))
        Report(text);
}

void Skin::Report(const String&) {}

Object* Skin::Lookup(const StringDictionary& table, const String& name, const char* message)
{
    StringDictionary::Node* node = table.Find(name.Text());
    if (node == table.End())
    {
        ReportError(message, &name);
        return nullptr;
    }
    return node->entry->value;
}

const String* Skin::FindString(const String& id)
{
    return static_cast<const String*>(Lookup(strings_, id, "Skin Text String not found."));
}

const String* Skin::FindStringById(const char* id)
{
    String wide;
    if (!wide.AssignAscii(id))
        return nullptr;
    return FindString(wide);
}

FontInterface* Skin::FindFont(const String& name)
{
    return static_cast<FontInterface*>(Lookup(fonts_, name, "Skin Font not found."));
}

PopupMenuStyle* Skin::FindPopupMenuStyle(const String& name)
{
    return static_cast<PopupMenuStyle*>(Lookup(popupMenuStyles_, name, "Skin Popup Menu Style not found."));
}

PopupMenuStyle* Skin::FirstPopupMenuStyle() const
{
    return popupMenuStyles_.Count() ? static_cast<PopupMenuStyle*>(popupMenuStyles_.Begin()->entry->value) : nullptr;
}

FrameStyle* Skin::FindFrameStyle(const String& name)
{
    auto* style = static_cast<FrameStyleBase*>(Lookup(frameStyles_, name, "Skin Frame Window Style not found."));
    return style && style->kind == FrameStyleBase::KindFrameStyle ? static_cast<FrameStyle*>(style) : nullptr;
}

FrameStyle2* Skin::FindFrameStyle2(const String& name)
{
    auto* style = static_cast<FrameStyleBase*>(Lookup(frameStyles_, name, "Skin Frame Window Style not found."));
    return style && style->kind == FrameStyleBase::KindFrameStyle2 ? static_cast<FrameStyle2*>(style) : nullptr;
}

ScrollbarStyle* Skin::FindScrollbarStyle(const String* name, int vertical)
{
    if (!name)
        return nullptr;
    return static_cast<ScrollbarStyle*>(
        Lookup(vertical ? vertScrollbars_ : horzScrollbars_, *name, "Skin Scrollbar Style not found."));
}

DialogStyle* Skin::FindDialogStyle(const String& name)
{
    return static_cast<DialogStyle*>(Lookup(dialogStyles_, name, "Skin Dialog Window Style not found."));
}

DialogStyle* Skin::FirstDialogStyle() const
{
    return dialogStyles_.Count() ? static_cast<DialogStyle*>(dialogStyles_.Begin()->entry->value) : nullptr;
}

ResponseFunction* Skin::FindResponseFunction(const String& name)
{
    return static_cast<ResponseFunction*>(Lookup(responseFunctions_, name, "Response Function not found."));
}

int Skin::FindRegion(const String& name, int& x, int& y, int& width, int& height, int& keyX, int& keyY) const
{
    StringDictionary::Node* node = regions_.Find(name.Text());
    if (node == regions_.End())
    {
        x = y = width = height = keyX = keyY = -1;
        return 0;
    }
    const auto* region = static_cast<const SkinRegion*>(node->entry->value);
    x = region->x;
    y = region->y;
    width = region->width;
    height = region->height;
    keyX = region->hasKey ? region->keyX : -1;
    keyY = region->hasKey ? region->keyY : -1;
    return 1;
}

SkinBitmap* Skin::FindBitmap(const String& name)
{
    StringDictionary::Node* cached = bitmaps_.Find(name.Text());
    if (cached != bitmaps_.End())
        return static_cast<SkinBitmap*>(cached->entry->value);
    auto image = std::make_unique<SkinBitmap>();
    int x, y, width, height, keyX, keyY;
    const int hasRegion = FindRegion(name, x, y, width, height, keyX, keyY);
    if (composite_)
    {
        if (!hasRegion)
        {
            ReportError("Skin region in composite bitmap not found.", &name);
            return nullptr;
        }
        if (!image->CutFromComposite(composite_.get(), x, y, width, height, keyX, keyY))
        {
            ReportError("Skin bitmap not found.", &name);
            return nullptr;
        }
    }
    else
    {
        String path;
        const int pathMade =
            path.Assign(folder_) && path.AppendAscii("\\images\\") && path.Append(name) && path.AppendAscii(".bmp");
        if (!pathMade || !(hasRegion ? image->LoadFileKeyed(path, keyX, keyY) : image->LoadFile(path)))
        {
            ReportError("Skin bitmap not found.", &name);
            return nullptr;
        }
    }
    if (!bitmaps_.Insert(name.Text(), image.get()).inserted)
        return nullptr;
    return image.release();
}

const XmlElement* Skin::FindLayoutSection(const char* section) const
{
    return layout_ ? AsElement(XmlUtil::FindChild(layout_->GetFirstChild(), section, 0)) : nullptr;
}

const XmlElement* Skin::FindDefinition(const char* section, const char* element, const String& name) const
{
    const XmlElement* parent = FindLayoutSection(section);
    for (const XmlNode* child = parent ? parent->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
    {
        const XmlElement* candidate = AsElement(child);
        String candidateName;
        if (candidate && candidate->Name().CompareLiteral(element) == 0 &&
            XmlUtil::GetAttribute(candidate, "name", candidateName) && candidateName.Compare(name.Text()) == 0)
            return candidate;
    }
    return nullptr;
}

const XmlElement* Skin::FindPanelElement(const String& name)
{
    if (cachedPanelElement_ && cachedPanelName_.Compare(name.Text()) == 0)
        return cachedPanelElement_;
    const XmlElement* element = FindDefinition("panels", "panel", name);
    if (element)
    {
        cachedPanelElement_ = nullptr;
        if (cachedPanelName_.Assign(name))
            cachedPanelElement_ = element;
    }
    return element;
}

int Skin::FindMiscParam(const char* name, String& value)
{
    String wideName;
    if (!wideName.AssignAscii(name))
        return 0;
    const XmlElement* section = FindLayoutSection("miscparams");
    for (const XmlNode* child = section ? section->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
    {
        const XmlElement* element = AsElement(child);
        String paramName;
        if (!element || element->Name().CompareLiteral("param") != 0 ||
            !XmlUtil::GetAttribute(element, "name", paramName) || paramName.Compare(wideName.Text()) != 0)
            continue;
        if (XmlUtil::GetAttribute(element, "value", value))
            return 1;
        ReportError("Skin Miscellaneous Parameter found but value not defined.", &wideName);
        return 0;
    }
    ReportError("Skin Miscellaneous Parameter not found.", &wideName);
    return 0;
}

int Skin::GetMiscParamInt(const char* name, int& value)
{
    String text;
    if (!FindMiscParam(name, text))
        return 0;
    // A value that is no number leaves the caller's default.
    const int number = XmlUtil::ParseInt(text);
    if (number < 0)
        return 0;
    value = number;
    return 1;
}

int Skin::GetMiscParamFlag(const char* name)
{
    String text;
    return FindMiscParam(name, text) && text.CompareLiteral("yes") == 0;
}

int Skin::GetMiscParamColour(const char* name, uint32_t& colour)
{
    String text;
    if (!FindMiscParam(name, text))
        return 0;
    colour = ParseColour(text);
    return 1;
}

const TooltipStyle* Skin::GetTooltipStyle() const
{
    return tooltipStyle_.images ? &tooltipStyle_ : nullptr;
}
