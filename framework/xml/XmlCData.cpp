#include "framework/xml/XmlCData.h"

XmlCData::XmlCData(XmlDocument* ownerDocument) : XmlNode(CDATA_SECTION_NODE, ownerDocument) {}

int XmlCData::AppendData(const char16_t* text)
{
    return MutableValue().AppendWide(text);
}
