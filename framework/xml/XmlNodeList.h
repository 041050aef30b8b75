#pragma once
// The children of a node. The list owns them: destroying it destroys every child. The
// nodes' parent and sibling links mirror the list.
#include "framework/base/LinkedList.h"
#include "framework/base/Object.h"

class XmlNode;

class XmlNodeList : public Object
{
public:
    explicit XmlNodeList(XmlNode* owner);
    ~XmlNodeList() override;

    int GetLength() const;
    XmlNode* Item(int index) const; // null when index is outside the list
    XmlNode* GetFirst() const;
    XmlNode* GetLast() const;
    // A null reference appends. A node still in a list (this one or another) is taken out of
    // it first; nothing changes when the insertion fails.
    int InsertBefore(XmlNode* newNode, XmlNode* refNode);
    int Append(XmlNode* newNode);
    // A removed node that is not destroyed keeps its old sibling links but no parent.
    int Remove(XmlNode* node, int destroy);
    int HasNodes() const;
    void SetOwner(XmlNode* owner) { owner_ = owner; }
    int Move(XmlNode* node, int index);

private:
    LinkedList::Node* FindEntry(const XmlNode* node) const;
    int Accepts(const XmlNode* node) const;
    int Place(XmlNode* node, LinkedList::Node* position);
    void Unlink(XmlNode* node, LinkedList::Node* entry);

    XmlNode* owner_; // borrowed: the owner holds this list
    LinkedList nodes_;
};
