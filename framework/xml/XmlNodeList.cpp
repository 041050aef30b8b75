#include "framework/xml/XmlNodeList.h"

#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlNode.h"

namespace
{

// The sentinels hold no value.
XmlNode* NodeOf(const LinkedList::Node* entry)
{
    return static_cast<XmlNode*>(entry->value);
}

} // namespace

XmlNodeList::XmlNodeList(XmlNode* owner) : owner_(owner) {}

XmlNodeList::~XmlNodeList()
{
    while (nodes_.Begin() != nodes_.End())
    {
        XmlNode* node = NodeOf(nodes_.Begin());
        nodes_.PopFront();
        delete node;
    }
}

int XmlNodeList::GetLength() const
{
    return nodes_.Count();
}

XmlNode* XmlNodeList::Item(int index) const
{
    if (index < 0)
        return nullptr;
    LinkedList::Node* entry = nodes_.Begin();
    for (; index > 0 && entry != nodes_.End(); --index)
        entry = entry->next;
    return NodeOf(entry);
}

XmlNode* XmlNodeList::GetFirst() const
{
    return NodeOf(nodes_.Begin());
}

XmlNode* XmlNodeList::GetLast() const
{
    return NodeOf(nodes_.End()->prev);
}

LinkedList::Node* XmlNodeList::FindEntry(const XmlNode* node) const
{
    LinkedList::Node* entry = nodes_.Find(nodes_.Begin(), node);
    return entry == nodes_.End() ? nullptr : entry;
}

int XmlNodeList::Accepts(const XmlNode* node) const
{
    if (!node || node->GetNodeType() == XmlNode::ATTRIBUTE_NODE || node->GetNodeType() == XmlNode::DOCUMENT_NODE)
        return 0;
    // A node placed below itself would make a cycle that is destroyed twice.
    for (const XmlNode* up = owner_; up; up = up->parentNode_)
    {
        if (up == node)
            return 0;
    }
    return 1;
}

int XmlNodeList::Place(XmlNode* node, LinkedList::Node* position)
{
    if (!Accepts(node))
        return 0;
    XmlNodeList* oldList = node->parentNode_ ? node->parentNode_->childNodes_ : nullptr;
    LinkedList::Node* oldEntry = oldList ? oldList->FindEntry(node) : nullptr;
    if (oldEntry == position)
        return 1; // before itself: already there
    // The new entry is made before the old one goes, so a failed allocation changes nothing.
    LinkedList::Node* entry = nodes_.InsertBefore(position, node);
    if (entry == nodes_.End())
        return 0;
    if (oldEntry)
        oldList->Unlink(node, oldEntry);
    node->parentNode_ = owner_;
    node->AdoptInto(owner_->GetOwnerDocument());
    node->previousSibling_ = NodeOf(entry->prev);
    node->nextSibling_ = NodeOf(entry->next);
    if (node->previousSibling_)
        node->previousSibling_->nextSibling_ = node;
    if (node->nextSibling_)
        node->nextSibling_->previousSibling_ = node;
    return 1;
}

void XmlNodeList::Unlink(XmlNode* node, LinkedList::Node* entry)
{
    XmlNode* previous = NodeOf(entry->prev);
    XmlNode* next = NodeOf(entry->next);
    if (previous)
        previous->nextSibling_ = next;
    if (next)
        next->previousSibling_ = previous;
    nodes_.Erase(entry);
    // The parent is cleared so that a later insertion does not look for the node in a list
    // that may be gone by then.
    node->parentNode_ = nullptr;
}

int XmlNodeList::InsertBefore(XmlNode* newNode, XmlNode* refNode)
{
    if (!refNode)
        return Append(newNode);
    LinkedList::Node* position = FindEntry(refNode);
    if (!position)
        return 0;
    return Place(newNode, position);
}

int XmlNodeList::Append(XmlNode* newNode)
{
    return Place(newNode, nodes_.End());
}

int XmlNodeList::Remove(XmlNode* node, int destroy)
{
    LinkedList::Node* entry = node ? FindEntry(node) : nullptr;
    if (!entry)
        return 0;
    Unlink(node, entry);
    if (destroy)
        delete node;
    return 1;
}

int XmlNodeList::HasNodes() const
{
    return nodes_.Begin() != nodes_.End();
}

int XmlNodeList::Move(XmlNode* node, int index)
{
    LinkedList::Node* entry = node ? FindEntry(node) : nullptr;
    if (!entry || index < 0 || index >= GetLength())
        return 0;
    // The position is counted in the list without the node.
    LinkedList::Node* position = nodes_.Begin();
    for (int i = 0; position != nodes_.End(); position = position->next)
    {
        if (position == entry)
            continue;
        if (i++ == index)
            break;
    }
    if (position == entry->next)
        return 1; // already at that index
    return Place(node, position);
}
