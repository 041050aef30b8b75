#include "framework/base/LinkedList.h"

#include <new>

LinkedList::LinkedList() : head_{nullptr, &tail_, nullptr}, tail_{nullptr, nullptr, &head_} {}

LinkedList::~LinkedList()
{
    EraseRange(Begin(), End());
}

Object* LinkedList::MakeValue(Object* value)
{
    return value;
}

void LinkedList::FreeNode(Node* node)
{
    delete node;
}

int LinkedList::Match(const Object* stored, const Object* argument) const
{
    // Identity; a pointer difference would not fit an int on 64-bit targets.
    return stored == argument ? 0 : 1;
}

LinkedList::Node* LinkedList::InsertBefore(Node* position, Object* value)
{
    if (position == nullptr || position == &head_)
        return End();
    Node* node = new (std::nothrow) Node{};
    if (node == nullptr)
        return End();
    node->value = MakeValue(value);
    node->next = position;
    node->prev = position->prev;
    position->prev->next = node;
    position->prev = node;
    ++count_;
    return node;
}

int LinkedList::PushBack(Object* value)
{
    return InsertBefore(&tail_, value) != End() ? 1 : 0;
}

int LinkedList::PushFront(Object* value)
{
    return InsertBefore(head_.next, value) != End() ? 1 : 0;
}

void LinkedList::PopBack()
{
    if (count_ > 0)
        Erase(tail_.prev);
}

void LinkedList::PopFront()
{
    if (count_ > 0)
        Erase(head_.next);
}

LinkedList::Node* LinkedList::Erase(Node* node)
{
    // The sentinels are not elements.
    if (node == nullptr || node == &head_ || node == &tail_)
        return End();
    Node* next = node->next;
    node->prev->next = next;
    next->prev = node->prev;
    FreeNode(node);
    --count_;
    return next;
}

LinkedList::Node* LinkedList::EraseRange(Node* first, Node* last)
{
    while (first != last && first != &tail_)
        first = Erase(first);
    return last;
}

LinkedList::Node* LinkedList::Find(Node* from, const Object* argument) const
{
    if (from == &head_)
        from = head_.next;
    for (Node* node = from; node != nullptr && node != &tail_; node = node->next)
    {
        if (Match(node->value, argument) == 0)
            return node;
    }
    return End();
}
