#include "framework/xml/XmlAttribute.h"

#include <new>

#include "framework/xml/XmlText.h"

XmlAttribute::XmlAttribute(XmlDocument* ownerDocument) : XmlNode(ATTRIBUTE_NODE, ownerDocument) {}

const char16_t* XmlAttribute::GetNodeValue() const
{
    XmlNode* text = GetFirstChild();
    return text ? text->GetNodeValue() : Value().Text();
}

int XmlAttribute::SetValue(const StringRef& value)
{
    if (XmlNode* text = GetFirstChild())
        return text->SetNodeValue(value);
    XmlText* text = new (std::nothrow) XmlText(GetOwnerDocument());
    if (!text)
        return 0;
    if (!text->Init() || !text->SetNodeValue(value) || !AppendChild(text))
    {
        delete text;
        return 0;
    }
    return 1;
}
