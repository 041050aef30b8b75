#pragma once

#include "framework/base/Object.h"

// A red-black tree whose order and entries are given by the concrete map (KeyCompare,
// MakeEntry, DestroyNode). Maps own their entries, not the values: owners destroy values
// with DeleteValues before they drop the map.
//
// Every map of the process shares one black nil node, made by the first map constructed
// and freed when the last live map goes; no operation writes to it.
class SortedMap : public Object
{
public:
    // A key with a pointer to its value. Concrete maps derive their entries from it.
    class Entry : public Object
    {
    public:
        Object* value = nullptr; // not owned by the entry
    };

    // A tree node; it also serves as the iterator (Next, Prev; End() is the header).
    class Node
    {
    public:
        virtual ~Node();
        Node* Next() const; // in-order successor; End() after the last node
        Node* Prev() const; // in-order predecessor; from End() the last node

        Entry* entry = nullptr; // null only in the header
        Node* parent = nullptr;
        Node* left = nullptr;
        Node* right = nullptr;
        int colour = 0; // 0 red, 1 black
    };
    using Iterator = Node;

    enum
    {
        kRed = 0,
        kBlack = 1
    };

    struct InsertResult
    {
        Node* node;   // the new or existing node; End() when the entry could not be made
        int inserted; // 1 when the key was new and its entry linked in
    };

    SortedMap();
    ~SortedMap() override;
    SortedMap(const SortedMap&) = delete;
    SortedMap& operator=(const SortedMap&) = delete;

    Node* Begin() const { return header_->left; }
    Node* End() const { return header_; }
    unsigned Count() const { return count_; }

    Node* EraseNode(Node* node);               // the successor of node
    Node* EraseRange(Node* first, Node* last); // last
    void DeleteValues(Node* first, Node* last);

protected:
    // Keys travel as the concrete map's key type behind a pointer; the concrete maps offer
    // typed Find, Insert and Remove that forward here.
    Node* Find(const void* key) const;
    InsertResult Insert(const void* key, Object* value);
    int Remove(const void* key);

    // Below 0, 0 or above 0 as the entry's key is below, equal to or above key.
    virtual int KeyCompare(const Entry* entry, const void* key) const = 0;
    // A new entry for key and value, or null.
    virtual Entry* MakeEntry(const void* key, Object* value) = 0;
    // Destroys a node unlinked from the tree; the base frees the node only.
    virtual void DestroyNode(Node* node);

private:
    Node* Root() const { return header_->parent; }
    void DestroySubtree(Node* node);
    void RotateLeft(Node* x);
    void RotateRight(Node* x);
    void InsertFixup(Node* x);
    void Unlink(Node* z);

    Node* header_; // owned
    unsigned count_ = 0;

    static Node* nil_;         // shared by all maps; guarded by the live-map lock
    static unsigned liveMaps_; // guarded by the live-map lock
};
