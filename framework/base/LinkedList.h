#pragma once

#include "framework/base/Object.h"

// A doubly linked list between two sentinels. Values are not owned: erasing a node never
// destroys its value.
class LinkedList : public Object
{
public:
    struct Node
    {
        Object* value; // borrowed
        Node* next;
        Node* prev;
    };

    LinkedList();
    ~LinkedList() override;
    LinkedList(const LinkedList&) = delete;
    LinkedList& operator=(const LinkedList&) = delete;

    Node* Begin() const { return head_.next; }
    Node* End() const { return const_cast<Node*>(&tail_); }
    int Count() const { return count_; }

    int PushBack(Object* value);
    int PushFront(Object* value);
    Node* InsertBefore(Node* position, Object* value); // End() when allocation fails
    void PopBack();
    void PopFront();
    Node* Erase(Node* node);                              // the following node
    Node* EraseRange(Node* first, Node* last);            // last
    Node* Find(Node* from, const Object* argument) const; // End() when no value matches

protected:
    // What to store for a value; the base stores it unchanged.
    virtual Object* MakeValue(Object* value);
    // Returns a node's memory to the heap.
    virtual void FreeNode(Node* node);
    // 0 when stored matches argument; the base matches by identity.
    virtual int Match(const Object* stored, const Object* argument) const;

private:
    Node head_;
    Node tail_;
    int count_ = 0;
};
