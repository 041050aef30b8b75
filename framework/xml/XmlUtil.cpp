#include "framework/xml/XmlUtil.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlElement.h"

namespace XmlUtil
{

namespace
{

const XmlAttribute* FindAttribute(const XmlElement* element, const char* name)
{
    String wideName;
    if (!element || !wideName.AssignAscii(name))
        return nullptr;
    return element->GetAttributeNode(wideName.Text());
}

} // namespace

int GetAttribute(const XmlElement* element, const char* name, String& out)
{
    const XmlAttribute* attribute = FindAttribute(element, name);
    if (!attribute)
        return 0;
    return out.AssignWide(attribute->GetNodeValue());
}

int ParseInt(const String& text)
{
    if (text.Length() == 0)
        return -1;
    int64_t value = 0;
    for (int i = 0; i < text.Length(); ++i)
    {
        const char16_t u = text.WideCharAt(i);
        if (u < u'0' || u > u'9')
            return -1;
        value = value * 10 + (u - u'0');
        if (value > INT_MAX)
            return -1;
    }
    return static_cast<int>(value);
}

float ParseReal(const String& text)
{
    int i = 0;
    if (text.Length() > 0 && (text.WideCharAt(0) == u'-' || text.WideCharAt(0) == u'+'))
        ++i;
    std::string ascii = i ? std::string(1, static_cast<char>(text.WideCharAt(0))) : std::string();
    int digits = 0;
    int points = 0;
    for (; i < text.Length(); ++i)
    {
        const char16_t u = text.WideCharAt(i);
        if (u >= u'0' && u <= u'9')
            ++digits;
        else if (u == u'.' && points == 0)
            ++points;
        else
            return 0.0f;
        ascii += static_cast<char>(u);
    }
    if (digits == 0)
        return 0.0f;
    // Beyond a float the value would be infinite, or undefined when narrowed.
    const double value = std::strtod(ascii.c_str(), nullptr);
    return std::fabs(value) <= FLT_MAX ? static_cast<float>(value) : 0.0f;
}

int GetAttributeInt(const XmlElement* element, const char* name)
{
    String value;
    if (!GetAttribute(element, name, value))
        return -1;
    return ParseInt(value);
}

float GetAttributeReal(const XmlElement* element, const char* name)
{
    String value;
    if (!GetAttribute(element, name, value))
        return 0.0f;
    return ParseReal(value);
}

XmlNode* FindChild(const XmlNode* node, const char* name, int ignoreCase)
{
    for (XmlNode* child = node ? node->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
    {
        const String& childName = child->Name();
        if ((ignoreCase ? childName.CompareNoCaseAscii(name) : childName.CompareLiteral(name)) == 0)
            return child;
    }
    return nullptr;
}

int GetChildrenByName(const XmlNode* node, const char* name, std::vector<XmlNode*>& out)
{
    for (XmlNode* child = node ? node->GetFirstChild() : nullptr; child; child = child->GetNextSibling())
    {
        if (child->Name().CompareLiteral(name) == 0)
            out.push_back(child);
    }
    return !out.empty();
}

} // namespace XmlUtil
