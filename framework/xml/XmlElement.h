#pragma once
// An element: a name, attributes in name order and children.
#include "framework/xml/XmlNode.h"

class XmlAttribute;

class XmlElement : public XmlNode
{
public:
    explicit XmlElement(XmlDocument* ownerDocument);

    const char16_t* GetAttribute(const char16_t* name) const; // null when absent
    int SetAttribute(const char16_t* name, const StringRef& value);
    XmlAttribute* GetAttributeNode(const char16_t* name) const;
    XmlAttribute* SetAttributeNode(XmlAttribute* attribute);

private:
    int EnsureAttributes();
};
