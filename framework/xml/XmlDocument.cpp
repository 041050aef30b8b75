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

namespace {

template <class Node>
Node* Made(Node* node, const char16_t* text, int (XmlNode::*set)(const char16_t*))
{
    if (node && !(node->Init() && (node->*set)(text))) {
        delete node;
        return nullptr;
    }
    return node;
}

}  // namespace

XmlElement* XmlDocument::CreateElement(const char16_t* name)
{
    return Made(new (std::nothrow) XmlElement(this), name, &XmlNode::SetNodeName);
}

XmlText* XmlDocument::CreateTextNode(const char16_t* text)
{
    return Made(new (std::nothrow) XmlText(this), text, &XmlNode::SetNodeValue);
}

XmlAttribute* XmlDocument::CreateAttribute(const char16_t* name)
{
    return Made(new (std::nothrow) XmlAttribute(this), name, &XmlNode::SetNodeName);
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
