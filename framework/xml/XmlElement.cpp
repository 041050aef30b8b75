#include "framework/xml/XmlElement.h"

#include <new>

#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlNamedNodeMap.h"

XmlElement::XmlElement(XmlDocument* ownerDocument) : XmlNode(ELEMENT_NODE, ownerDocument) {}

int XmlElement::EnsureAttributes()
{
    if (!attributes_)
        attributes_ = new (std::nothrow) XmlNamedNodeMap(this);
    return attributes_ != nullptr;
}

const char16_t* XmlElement::GetAttribute(const char16_t* name) const
{
    XmlAttribute* attribute = GetAttributeNode(name);
    return attribute ? attribute->GetNodeValue() : nullptr;
}

int XmlElement::SetAttribute(const char16_t* name, const StringRef& value)
{
    return EnsureAttributes() && attributes_->SetAttribute(name, value);
}

XmlAttribute* XmlElement::GetAttributeNode(const char16_t* name) const
{
    return attributes_ ? attributes_->GetNamedItem(name) : nullptr;
}

XmlAttribute* XmlElement::SetAttributeNode(XmlAttribute* attribute)
{
    return EnsureAttributes() ? attributes_->SetNamedItem(attribute) : nullptr;
}
