#pragma once
// An attribute of an element. Its value lives in a text child.
#include "framework/xml/XmlNode.h"

class XmlAttribute : public XmlNode
{
public:
    explicit XmlAttribute(XmlDocument* ownerDocument);

    // The value of the text child; empty without one.
    const char16_t* GetNodeValue() const override;
    // Puts the value into the text child, making it when missing.
    int SetValue(const StringRef& value);
};
