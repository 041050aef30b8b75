#include "framework/xml/XmlNode.h"

#include <new>

#include "framework/xml/XmlNamedNodeMap.h"
#include "framework/xml/XmlNodeList.h"

XmlNode::XmlNode(uint16_t nodeType, XmlDocument* ownerDocument) : nodeType_(nodeType), ownerDocument_(ownerDocument) {}

int XmlNode::Init()
{
    switch (nodeType_)
    {
    case TEXT_NODE:
        return name_.AssignAscii("#text");
    case CDATA_SECTION_NODE:
        return name_.AssignAscii("#cdata-section");
    case DOCUMENT_NODE:
        return name_.AssignAscii("#document");
    default:
        return 1;
    }
}

int XmlNode::IsValidName(const String& name)
{
    int length = name.Length();
    if (length == 0)
        return 0;
    for (int i = 0; i < length; ++i)
    {
        char16_t c = name.WideCharAt(i);
        bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        bool digitOrUnderscore = (c >= '0' && c <= '9') || c == '_';
        if (!letter && (i == 0 || !digitOrUnderscore))
            return 0;
    }
    return 1;
}

XmlNode::~XmlNode()
{
    delete childNodes_;
    delete attributes_;
}

const char16_t* XmlNode::GetNodeName() const
{
    return name_.Text();
}

int XmlNode::SetNodeName(const char16_t* text)
{
    return name_.AssignWide(text);
}

const char16_t* XmlNode::GetNodeValue() const
{
    return value_.Text();
}

int XmlNode::SetNodeValue(const StringRef& text)
{
    return value_.Assign(text);
}

XmlNode* XmlNode::GetFirstChild() const
{
    return childNodes_ ? childNodes_->GetFirst() : nullptr;
}

XmlNode* XmlNode::GetLastChild() const
{
    return childNodes_ ? childNodes_->GetLast() : nullptr;
}

int XmlNode::EnsureChildNodes()
{
    if (!childNodes_)
        childNodes_ = new (std::nothrow) XmlNodeList(this);
    return childNodes_ != nullptr;
}

int XmlNode::InsertBefore(XmlNode* newChild, XmlNode* refChild)
{
    return EnsureChildNodes() && childNodes_->InsertBefore(newChild, refChild);
}

int XmlNode::AppendChild(XmlNode* newChild)
{
    return EnsureChildNodes() && childNodes_->Append(newChild);
}

int XmlNode::RemoveChild(XmlNode* child, int destroy)
{
    return childNodes_ && childNodes_->Remove(child, destroy);
}

int XmlNode::MoveChild(XmlNode* child, int index)
{
    return childNodes_ && childNodes_->Move(child, index);
}

int XmlNode::HasChildNodes() const
{
    return childNodes_ && childNodes_->HasNodes();
}

void XmlNode::AdoptInto(XmlDocument* document)
{
    if (ownerDocument_ == document)
        return;
    // Nodes taken from another document must not keep pointing at it: it may go first.
    ownerDocument_ = document;
    for (XmlNode* child = GetFirstChild(); child; child = child->nextSibling_)
        child->AdoptInto(document);
    if (attributes_)
        attributes_->AdoptInto(document);
}
