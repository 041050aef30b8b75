// The skin's popup menus, built beside the menu so that the skin needs no part of the
// controls.
#include "framework/controls/PopupMenu.h"
#include "framework/skin/Skin.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlNode.h"
#include "framework/xml/XmlUtil.h"

#include <memory>

namespace
{
int IsYes(const XmlElement* element, const char* name)
{
    String value;
    return XmlUtil::GetAttribute(element, name, value) && value.CompareLiteral("yes") == 0 ? 1 : 0;
}

// The text of textId when it names a string, else text, else "UNDEFINED".
String ItemText(Skin& skin, const XmlElement* element)
{
    String text;
    String id;
    if (XmlUtil::GetAttribute(element, "textId", id))
        if (const String* found = skin.FindString(id))
        {
            text.Assign(*found);
            return text;
        }
    if (!XmlUtil::GetAttribute(element, "text", text))
        text.AssignAscii("UNDEFINED");
    return text;
}
} // namespace

PopupMenu* Skin::CreatePopupMenu(const char* name)
{
    String wide;
    if (!wide.AppendAnsi(name ? name : ""))
        return nullptr;
    return CreatePopupMenu(wide);
}

PopupMenu* Skin::CreatePopupMenu(const String& name)
{
    if (!FirstPopupMenuStyle())
        return nullptr;
    const XmlElement* definition = FindDefinition("popupmenus", "menu", name);
    if (!definition)
        return nullptr;
    auto menu = std::make_unique<PopupMenu>();
    menu->SetSkin(this);
    PopupMenuStyle* style = nullptr;
    String styleName;
    if (XmlUtil::GetAttribute(definition, "style", styleName))
        style = FindPopupMenuStyle(styleName);
    if (!style)
        style = FirstPopupMenuStyle();
    if (!menu->SetStyle(style, -1, nullptr))
        return nullptr;
    for (const XmlNode* child = definition->GetFirstChild(); child; child = child->GetNextSibling())
    {
        if (child->GetNodeType() != XmlNode::ELEMENT_NODE)
            continue;
        const auto* element = static_cast<const XmlElement*>(child);
        const int commandId = XmlUtil::GetAttributeInt(element, "commandId");
        if (element->Name().CompareLiteral("item") == 0)
        {
            SkinBitmap* icon = ReadOptionalImageAttribute(element, "icon");
            menu->AddItem(ItemText(*this, element), commandId, IsYes(element, "disabled"), IsYes(element, "checked"),
                          icon);
        }
        else if (element->Name().CompareLiteral("seperator") == 0)
        {
            menu->AddSeparator();
        }
        else if (element->Name().CompareLiteral("submenu") == 0)
        {
            String submenuName;
            String id;
            const String* found = XmlUtil::GetAttribute(element, "menuname", id) ? FindString(id) : nullptr;
            if (found)
                submenuName.Assign(*found);
            else
                submenuName.AssignAscii("UNDEFINED");
            menu->AddSubmenu(ItemText(*this, element), commandId, IsYes(element, "disabled"), submenuName);
        }
    }
    return menu.release();
}
