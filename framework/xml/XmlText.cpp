#include "framework/xml/XmlText.h"

#include <new>

XmlText::XmlText(XmlDocument* ownerDocument) : XmlNode(TEXT_NODE, ownerDocument) {}

int XmlText::AppendData(const char16_t* text)
{
    return MutableValue().AppendWide(text);
}

XmlText* XmlText::SplitText(int offset)
{
    if (offset < 0 || offset >= GetLength())
        return nullptr;
    XmlText* tail = new (std::nothrow) XmlText(GetOwnerDocument());
    if (!tail || !tail->Init())
    {
        delete tail;
        return nullptr;
    }
    // The tail is linked before this node's text is cut, so a failure leaves the text whole.
    String rest;
    int ok = rest.Mid(Value(), offset, GetLength() - offset) && tail->SetNodeValue(rest);
    if (ok && GetParentNode())
        ok = GetParentNode()->InsertBefore(tail, GetNextSibling());
    if (!ok)
    {
        delete tail;
        return nullptr;
    }
    MutableValue().Erase(offset, GetLength() - offset);
    return tail;
}
