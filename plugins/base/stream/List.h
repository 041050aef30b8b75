// Intrusive singly and doubly linked lists. Nodes are linked, never copied; a list deletes
// the nodes still in it when it goes.
#pragma once

#include "plugins/base/platform/PlatformBase.h"

#include <cstdint>

class LinkBase
{
public:
    LinkBase() = default;
    virtual ~LinkBase() = default;
    LinkBase(const LinkBase&) = delete;
    LinkBase& operator=(const LinkBase&) = delete;

    LinkBase* Next() const { return next_; }

private:
    friend class ListBase;
    LinkBase* next_ = nullptr;
};

class ListNode : public LinkBase
{
public:
    ListNode* Previous() const { return previous_; }

private:
    friend class DoubleList;
    ListNode* previous_ = nullptr;
};

class ListBase
{
public:
    ListBase() = default;
    // Deletes every node still linked, head first.
    virtual ~ListBase();
    ListBase(const ListBase&) = delete;
    ListBase& operator=(const ListBase&) = delete;

    // The node linked just before the given one; null for the head or a node not in the list.
    virtual LinkBase* FindPrevious(LinkBase* node);

    LinkBase* Append(LinkBase* node);
    // Answers the new count. A node that is not in this list is left alone and the count
    // answered unchanged.
    int32_t Unlink(LinkBase* node);

    int32_t Count() const { return count_; }
    LinkBase* Head() const { return head_; }
    LinkBase* Tail() const { return tail_; }

private:
    int32_t count_ = 0;
    LinkBase* head_ = nullptr;
    LinkBase* tail_ = nullptr;
};

// A list of ListNodes: removal in constant time through the previous link.
class DoubleList : public ListBase
{
public:
    LinkBase* FindPrevious(LinkBase* node) override;

    ListNode* Append(ListNode* node);
    // The node must be in this list or in none; one in no list is left alone.
    int32_t Unlink(ListNode* node);

    ListNode* Head() const { return static_cast<ListNode*>(ListBase::Head()); }
    ListNode* Tail() const { return static_cast<ListNode*>(ListBase::Tail()); }
};

// A DoubleList whose single operations are atomic with respect to every other user of the
// same lock. Moving a node between lists takes two operations and needs the caller's own
// lock around both.
class List : public DoubleList
{
public:
    // The lock is borrowed and may be null (no locking).
    explicit List(PlatformLock* lock) : lock_(lock) {}

    void PushBack(ListNode* node);
    void Remove(ListNode* node);

private:
    PlatformLock* lock_; // borrowed from the owner of the list
};
