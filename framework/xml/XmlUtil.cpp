#include "framework/xml/XmlUtil.h"

#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlElement.h"

namespace XmlUtil {

namespace {

const XmlAttribute* FindAttribute(const XmlElement* element, const char* name)
{
    String wideName;
    if (!element || !wideName.AssignAscii(name))
        return nullptr;
    return element->GetAttributeNode(wideName.Text());
}

}  // namespace

int GetAttribute(const XmlElement* element, const char* name, String& out)
{
    const XmlAttribute* attribute = FindAttribute(element, name);
    if (!attribute)
        return 0;
    return out.AssignWide(attribute->GetNodeValue());
}

int GetAttributeInt(const XmlElement* element, const char* name)
{
    String value;
    if (!GetAttribute(element, name, value) || value.Length() == 0)
        return -1;
    return static_cast<int>(value.ToUnsigned());
}

float GetAttributeReal(const XmlElement* element, const char* name)
{
    String value;
    if (!GetAttribute(element, name, value) || value.Length() == 0)
        return 0.0f;
    return value.ParseReal();
}

XmlNode* FindChild(const XmlNode* node, const char* name, int ignoreCase)
{
    for (XmlNode* child = node ? node->GetFirstChild() : nullptr; child; child = child->GetNextSibling()) {
        const String& childName = child->Name();
        if ((ignoreCase ? childName.CompareNoCaseAscii(name) : childName.CompareLiteral(name)) == 0)
            return child;
    }
    return nullptr;
}

int GetChildrenByName(const XmlNode* node, const char* name, std::vector<XmlNode*>& out)
{
    for (XmlNode* child = node ? node->GetFirstChild() : nullptr; child; child = child->GetNextSibling()) {
        if (child->Name().CompareLiteral(name) == 0)
            out.push_back(child);
    }
    return !out.empty();
}

}  // namespace XmlUtil
