#include "framework/xml/XmlDocument.h"

#include <new>

#include "framework/base/TextCodec.h"
#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlText.h"

XmlDocument::XmlDocument() : XmlNode(DOCUMENT_NODE, this) {}

int XmlDocument::Init()
{
    return XmlNode::Init() && SetEncoding(UTF8);
}

XmlDocument::~XmlDocument()
{
    delete codec_;
}

int XmlDocument::SetEncoding(int encoding)
{
    if (encoding == encoding_ && codec_)
        return 1;
    delete codec_;
    codec_ = nullptr;
    encoding_ = encoding;
    if (encoding < SINGLE_BYTE || encoding > UTF8)
        return 0;
    codec_ = TextCodec::Create(encoding);
    return codec_ != nullptr;
}

namespace
{

// The node when it was made, initialised and given its text (ok), else null.
template <class Node>
Node* Made(Node* node, int ok)
{
    if (!ok)
    {
        delete node;
        return nullptr;
    }
    return node;
}

} // namespace

XmlElement* XmlDocument::CreateElement(const char16_t* name)
{
    XmlElement* element = new (std::nothrow) XmlElement(this);
    return Made(element, element && element->Init() && element->SetNodeName(name));
}

XmlText* XmlDocument::CreateTextNode(const char16_t* text)
{
    XmlText* node = new (std::nothrow) XmlText(this);
    return Made(node, node && node->Init() && node->SetNodeValue(text));
}

XmlAttribute* XmlDocument::CreateAttribute(const char16_t* name)
{
    XmlAttribute* attribute = new (std::nothrow) XmlAttribute(this);
    return Made(attribute, attribute && attribute->Init() && attribute->SetNodeName(name));
}

void XmlDocument::GetElementsByTagName(XmlNode* start, const char16_t* name, std::vector<XmlNode*>& out)
{
    if (!start)
        return;
    if (start->GetNodeType() == ELEMENT_NODE && start->Name().Compare(name) == 0)
        out.push_back(start);
    for (XmlNode* child = start->GetFirstChild(); child; child = child->GetNextSibling())
        GetElementsByTagName(child, name, out);
}
