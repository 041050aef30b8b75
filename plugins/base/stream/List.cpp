#include "plugins/base/stream/List.h"

ListBase::~ListBase()
{
    LinkBase* node = head_;
    while (node)
    {
        LinkBase* next = node->next_;
        delete node;
        node = next;
    }
}

LinkBase* ListBase::FindPrevious(LinkBase* node)
{
    for (LinkBase* link = head_; link; link = link->next_)
    {
        if (link->next_ == node)
            return link;
    }
    return nullptr;
}

LinkBase* ListBase::Append(LinkBase* node)
{
    node->next_ = nullptr;
    if (tail_)
        tail_->next_ = node;
    else
        head_ = node;
    tail_ = node;
    ++count_;
    return node;
}

int32_t ListBase::Unlink(LinkBase* node)
{
    LinkBase* previous = node ? FindPrevious(node) : nullptr;
    if (!previous && (!node || head_ != node))
        return count_;
    if (previous)
        previous->next_ = node->next_;
    else
        head_ = node->next_;
    if (tail_ == node)
        tail_ = previous;
    node->next_ = nullptr;
    return --count_;
}

LinkBase* DoubleList::FindPrevious(LinkBase* node)
{
    return static_cast<ListNode*>(node)->previous_;
}

ListNode* DoubleList::Append(ListNode* node)
{
    node->previous_ = Tail();
    ListBase::Append(node);
    return node;
}

int32_t DoubleList::Unlink(ListNode* node)
{
    if (!node || (!node->previous_ && ListBase::Head() != node))
        return Count();
    if (auto* next = static_cast<ListNode*>(node->Next()))
        next->previous_ = node->previous_;
    int32_t count = ListBase::Unlink(node);
    node->previous_ = nullptr;
    return count;
}

void List::PushBack(ListNode* node)
{
    const PlatformLockGuard guard(*ThePlatform(), lock_);
    Append(node);
}

void List::Remove(ListNode* node)
{
    const PlatformLockGuard guard(*ThePlatform(), lock_);
    Unlink(node);
}
