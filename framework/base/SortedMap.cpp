#include "framework/base/SortedMap.h"

#include <mutex>
#include <new>
#include <utility>

SortedMap::Node* SortedMap::nil_ = nullptr;
unsigned SortedMap::liveMaps_ = 0;

namespace
{
// Maps may be made on different threads (plug-ins); only the shared nil node's birth and
// death need the lock, since no map writes to it.
std::mutex& LiveMapLock()
{
    static std::mutex lock;
    return lock;
}
} // namespace

SortedMap::Node::~Node() = default;

// The header is the only node without an entry; climbing to it means there is no
// successor (or predecessor) in the tree.
SortedMap::Node* SortedMap::Node::Next() const
{
    if (entry == nullptr)
        return const_cast<Node*>(this);
    const Node* x = this;
    if (x->right != nil_)
    {
        x = x->right;
        while (x->left != nil_)
            x = x->left;
        return const_cast<Node*>(x);
    }
    Node* y = x->parent;
    while (y->entry != nullptr && x == y->right)
    {
        x = y;
        y = y->parent;
    }
    return y;
}

SortedMap::Node* SortedMap::Node::Prev() const
{
    if (entry == nullptr)
        return right;
    const Node* x = this;
    if (x->left != nil_)
    {
        x = x->left;
        while (x->right != nil_)
            x = x->right;
        return const_cast<Node*>(x);
    }
    Node* y = x->parent;
    while (y->entry != nullptr && x == y->left)
    {
        x = y;
        y = y->parent;
    }
    return y;
}

SortedMap::SortedMap()
{
    {
        std::lock_guard<std::mutex> guard(LiveMapLock());
        if (nil_ == nullptr)
        {
            nil_ = new Node;
            nil_->colour = kBlack;
        }
        ++liveMaps_;
    }
    header_ = new Node;
    header_->colour = kRed;
    header_->parent = nil_;
    header_->left = header_;
    header_->right = header_;
}

SortedMap::~SortedMap()
{
    // Concrete maps clear themselves first, while their DestroyNode is still theirs.
    EraseRange(Begin(), End());
    delete header_;
    std::lock_guard<std::mutex> guard(LiveMapLock());
    if (--liveMaps_ == 0)
    {
        delete nil_;
        nil_ = nullptr;
    }
}

void SortedMap::DestroyNode(Node* node)
{
    delete node;
}

SortedMap::Node* SortedMap::Find(const void* key) const
{
    Node* candidate = header_;
    for (Node* x = Root(); x != nil_;)
    {
        if (KeyCompare(x->entry, key) >= 0)
        {
            candidate = x;
            x = x->left;
        }
        else
        {
            x = x->right;
        }
    }
    if (candidate != header_ && KeyCompare(candidate->entry, key) == 0)
        return candidate;
    return header_;
}

SortedMap::InsertResult SortedMap::Insert(const void* key, Object* value)
{
    Node* parent = header_;
    bool left = true;
    for (Node* x = Root(); x != nil_;)
    {
        parent = x;
        left = KeyCompare(x->entry, key) > 0;
        x = left ? x->left : x->right;
    }
    // The nearest node not above the key decides whether the key is present.
    Node* candidate = parent;
    if (left)
        candidate = parent == Begin() ? nullptr : parent->Prev();
    if (candidate != nullptr && KeyCompare(candidate->entry, key) >= 0)
        return {candidate, 0};

    Entry* entry = MakeEntry(key, value);
    if (entry == nullptr)
        return {header_, 0};
    Node* z = new (std::nothrow) Node;
    if (z == nullptr)
    {
        delete entry;
        return {header_, 0};
    }
    z->entry = entry;
    z->parent = parent;
    z->left = nil_;
    z->right = nil_;
    z->colour = kRed;
    if (left)
    {
        parent->left = z; // for the header this is the leftmost link
        if (parent == header_)
        {
            header_->parent = z;
            header_->right = z;
        }
        else if (parent == header_->left)
        {
            header_->left = z;
        }
    }
    else
    {
        parent->right = z;
        if (parent == header_->right)
            header_->right = z;
    }
    InsertFixup(z);
    ++count_;
    return {z, 1};
}

int SortedMap::Remove(const void* key)
{
    Node* node = Find(key);
    if (node == header_)
        return 0;
    EraseNode(node);
    return 1;
}

SortedMap::Node* SortedMap::EraseNode(Node* node)
{
    if (node == nullptr || node == header_)
        return header_;
    Node* next = node->Next();
    Unlink(node);
    DestroyNode(node);
    --count_;
    return next;
}

SortedMap::Node* SortedMap::EraseRange(Node* first, Node* last)
{
    if (first == Begin() && last == End() && count_ > 0)
    {
        // Whole-map clear: no rebalancing on the way.
        DestroySubtree(Root());
        header_->parent = nil_;
        header_->left = header_;
        header_->right = header_;
        count_ = 0;
        return last;
    }
    while (first != last && first != header_)
        first = EraseNode(first);
    return last;
}

void SortedMap::DeleteValues(Node* first, Node* last)
{
    for (Node* node = first; node != last && node != header_; node = node->Next())
    {
        delete node->entry->value;
        node->entry->value = nullptr;
    }
    EraseRange(first, last);
}

// Recursion on the right only; a balanced tree keeps it shallow.
void SortedMap::DestroySubtree(Node* node)
{
    while (node != nil_)
    {
        DestroySubtree(node->right);
        Node* left = node->left;
        DestroyNode(node);
        node = left;
    }
}

void SortedMap::RotateLeft(Node* x)
{
    Node* y = x->right;
    x->right = y->left;
    if (y->left != nil_)
        y->left->parent = x;
    y->parent = x->parent;
    if (x == Root())
        header_->parent = y;
    else if (x == x->parent->left)
        x->parent->left = y;
    else
        x->parent->right = y;
    y->left = x;
    x->parent = y;
}

void SortedMap::RotateRight(Node* x)
{
    Node* y = x->left;
    x->left = y->right;
    if (y->right != nil_)
        y->right->parent = x;
    y->parent = x->parent;
    if (x == Root())
        header_->parent = y;
    else if (x == x->parent->right)
        x->parent->right = y;
    else
        x->parent->left = y;
    y->right = x;
    x->parent = y;
}

void SortedMap::InsertFixup(Node* x)
{
    while (x != Root() && x->parent->colour == kRed)
    {
        Node* grand = x->parent->parent;
        if (x->parent == grand->left)
        {
            Node* uncle = grand->right;
            if (uncle->colour == kRed)
            {
                x->parent->colour = kBlack;
                uncle->colour = kBlack;
                grand->colour = kRed;
                x = grand;
            }
            else
            {
                if (x == x->parent->right)
                {
                    x = x->parent;
                    RotateLeft(x);
                }
                x->parent->colour = kBlack;
                grand->colour = kRed;
                RotateRight(grand);
            }
        }
        else
        {
            Node* uncle = grand->left;
            if (uncle->colour == kRed)
            {
                x->parent->colour = kBlack;
                uncle->colour = kBlack;
                grand->colour = kRed;
                x = grand;
            }
            else
            {
                if (x == x->parent->left)
                {
                    x = x->parent;
                    RotateRight(x);
                }
                x->parent->colour = kBlack;
                grand->colour = kRed;
                RotateLeft(grand);
            }
        }
    }
    Root()->colour = kBlack;
}

// Red-black deletion that tracks the parent of the spliced position itself, so the shared
// nil node is never written.
void SortedMap::Unlink(Node* z)
{
    Node* y = z;
    Node* x;
    Node* xParent;
    if (y->left == nil_)
    {
        x = y->right;
    }
    else if (y->right == nil_)
    {
        x = y->left;
    }
    else
    {
        y = y->right;
        while (y->left != nil_)
            y = y->left;
        x = y->right;
    }
    if (y != z)
    {
        // z has two children: its successor y takes its place.
        z->left->parent = y;
        y->left = z->left;
        if (y != z->right)
        {
            xParent = y->parent;
            if (x != nil_)
                x->parent = y->parent;
            y->parent->left = x;
            y->right = z->right;
            z->right->parent = y;
        }
        else
        {
            xParent = y;
        }
        if (Root() == z)
            header_->parent = y;
        else if (z->parent->left == z)
            z->parent->left = y;
        else
            z->parent->right = y;
        y->parent = z->parent;
        std::swap(y->colour, z->colour);
        y = z;
    }
    else
    {
        xParent = y->parent;
        if (x != nil_)
            x->parent = y->parent;
        if (Root() == z)
            header_->parent = x;
        else if (z->parent->left == z)
            z->parent->left = x;
        else
            z->parent->right = x;
        if (header_->left == z)
        {
            if (z->right == nil_)
            {
                header_->left = z->parent;
            }
            else
            {
                Node* m = x;
                while (m->left != nil_)
                    m = m->left;
                header_->left = m;
            }
        }
        if (header_->right == z)
        {
            if (z->left == nil_)
            {
                header_->right = z->parent;
            }
            else
            {
                Node* m = x;
                while (m->right != nil_)
                    m = m->right;
                header_->right = m;
            }
        }
    }
    if (y->colour == kRed)
        return;
    while (x != Root() && x->colour == kBlack)
    {
        if (x == xParent->left)
        {
            Node* w = xParent->right;
            if (w->colour == kRed)
            {
                w->colour = kBlack;
                xParent->colour = kRed;
                RotateLeft(xParent);
                w = xParent->right;
            }
            if (w->left->colour == kBlack && w->right->colour == kBlack)
            {
                w->colour = kRed;
                x = xParent;
                xParent = xParent->parent;
            }
            else
            {
                if (w->right->colour == kBlack)
                {
                    w->left->colour = kBlack;
                    w->colour = kRed;
                    RotateRight(w);
                    w = xParent->right;
                }
                w->colour = xParent->colour;
                xParent->colour = kBlack;
                w->right->colour = kBlack;
                RotateLeft(xParent);
                break;
            }
        }
        else
        {
            Node* w = xParent->left;
            if (w->colour == kRed)
            {
                w->colour = kBlack;
                xParent->colour = kRed;
                RotateRight(xParent);
                w = xParent->left;
            }
            if (w->right->colour == kBlack && w->left->colour == kBlack)
            {
                w->colour = kRed;
                x = xParent;
                xParent = xParent->parent;
            }
            else
            {
                if (w->left->colour == kBlack)
                {
                    w->right->colour = kBlack;
                    w->colour = kRed;
                    RotateLeft(w);
                    w = xParent->left;
                }
                w->colour = xParent->colour;
                xParent->colour = kBlack;
                w->left->colour = kBlack;
                RotateRight(xParent);
                break;
            }
        }
    }
    if (x != nil_)
        x->colour = kBlack;
}
