#pragma once
// A CDATA section ("#cdata-section").
#include "framework/xml/XmlNode.h"

class XmlCData : public XmlNode
{
public:
    explicit XmlCData(XmlDocument* ownerDocument);

    int GetLength() const { return Value().Length(); }
    int AppendData(const char16_t* text);
};
