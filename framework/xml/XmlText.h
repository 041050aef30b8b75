#pragma once
// A run of text ("#text").
#include "framework/xml/XmlNode.h"

class XmlText : public XmlNode
{
public:
    explicit XmlText(XmlDocument* ownerDocument);

    int GetLength() const { return Value().Length(); }
    int AppendData(const char16_t* text);
    // Moves the units from offset on into a new text node placed right after this one in the
    // parent (left unlinked when this node has no parent); null when offset is outside the
    // text or on failure.
    XmlText* SplitText(int offset);
};
