#include "framework/base/IntDictionary.h"
#include "framework/base/StringDictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace
{
// A value that reports its destruction.
class Tracked : public Object
{
public:
    Tracked(int id, int* destroyed) : id(id), destroyed_(destroyed) {}
    ~Tracked() override { ++*destroyed_; }

    int id;

private:
    int* destroyed_; // borrowed
};

using Node = SortedMap::Node;

// Checks the red-black rules and the header links; answers the black height.
int CheckSubtree(const Node* node, const Node* parent, int* count)
{
    // The shared nil node is the only child without an entry; nothing may write to it.
    if (node->entry == nullptr)
    {
        EXPECT_EQ(node->colour, SortedMap::kBlack);
        EXPECT_EQ(node->parent, nullptr);
        EXPECT_EQ(node->left, nullptr);
        EXPECT_EQ(node->right, nullptr);
        return 1;
    }
    ++*count;
    EXPECT_EQ(node->parent, parent);
    if (node->colour == SortedMap::kRed)
    {
        EXPECT_EQ(node->left->colour, SortedMap::kBlack);
        EXPECT_EQ(node->right->colour, SortedMap::kBlack);
    }
    int left = CheckSubtree(node->left, node, count);
    int right = CheckSubtree(node->right, node, count);
    EXPECT_EQ(left, right);
    return left + (node->colour == SortedMap::kBlack ? 1 : 0);
}

void CheckTree(const IntDictionary& map, const std::map<int32_t, int>& model)
{
    const Node* header = map.End();
    const Node* root = header->parent;
    int count = 0;
    if (root->entry != nullptr)
    {
        EXPECT_EQ(root->colour, SortedMap::kBlack);
    }
    CheckSubtree(root, header, &count);
    ASSERT_EQ(count, static_cast<int>(model.size()));
    ASSERT_EQ(map.Count(), model.size());

    // In order forwards and backwards, against the model.
    auto it = model.begin();
    for (Node* n = map.Begin(); n != map.End(); n = n->Next(), ++it)
    {
        ASSERT_NE(it, model.end());
        EXPECT_EQ(IntDictionary::KeyOf(n), it->first);
        EXPECT_EQ(static_cast<Tracked*>(n->entry->value)->id, it->second);
    }
    EXPECT_EQ(it, model.end());
    auto rit = model.rbegin();
    for (Node* n = map.End()->Prev(); n != map.End(); n = n->Prev(), ++rit)
    {
        ASSERT_NE(rit, model.rend());
        EXPECT_EQ(IntDictionary::KeyOf(n), rit->first);
    }
    EXPECT_EQ(rit, model.rend());
    if (model.empty())
    {
        EXPECT_EQ(map.Begin(), map.End());
        EXPECT_EQ(header->right, header);
    }
}

std::u16string KeyText(const Node* node)
{
    const String& key = StringDictionary::KeyOf(node);
    return std::u16string(key.Text(), static_cast<size_t>(key.Length()));
}
} // namespace

TEST(SortedMap, RandomInsertsAndErasesKeepTheTreeBalancedAndOrdered)
{
    std::mt19937 random(12345);
    int destroyed = 0;
    std::vector<std::unique_ptr<Tracked>> values;
    IntDictionary map;
    std::map<int32_t, int> model;
    for (int round = 0; round < 4000; ++round)
    {
        int32_t key = static_cast<int32_t>(random() % 300) - 150;
        int op = static_cast<int>(random() % 3);
        if (op < 2)
        {
            values.push_back(std::make_unique<Tracked>(round, &destroyed));
            SortedMap::InsertResult r = map.Insert(key, values.back().get());
            ASSERT_NE(r.node, map.End());
            EXPECT_EQ(IntDictionary::KeyOf(r.node), key);
            bool fresh = model.emplace(key, round).second;
            EXPECT_EQ(r.inserted, fresh ? 1 : 0);
        }
        else if (random() % 2 == 0)
        {
            EXPECT_EQ(map.Remove(key), model.erase(key) == 1 ? 1 : 0);
        }
        else
        {
            Node* n = map.Find(key);
            auto it = model.find(key);
            ASSERT_EQ(n == map.End(), it == model.end());
            if (n != map.End())
            {
                // EraseNode answers the in-order successor.
                auto next = std::next(it);
                Node* after = map.EraseNode(n);
                model.erase(it);
                if (next == model.end())
                {
                    EXPECT_EQ(after, map.End());
                }
                else
                {
                    EXPECT_EQ(IntDictionary::KeyOf(after), next->first);
                }
            }
        }
        if (round % 50 == 0)
            CheckTree(map, model);
    }
    CheckTree(map, model);

    // Erasing a middle range goes node by node and keeps the rest balanced.
    Node* first = map.Begin()->Next()->Next();
    Node* last = first;
    for (int i = 0; i < 20 && last != map.End(); ++i)
        last = last->Next();
    int32_t lastKey = last == map.End() ? INT_MAX : IntDictionary::KeyOf(last);
    EXPECT_EQ(map.EraseRange(first, last), last);
    model.erase(std::next(model.begin(), 2), last == map.End() ? model.end() : model.find(lastKey));
    CheckTree(map, model);
    EXPECT_EQ(destroyed, 0); // maps never destroy values on their own
}

TEST(SortedMap, InsertingAPresentKeyKeepsTheExistingValue)
{
    int destroyed = 0;
    Tracked first(1, &destroyed);
    Tracked second(2, &destroyed);
    StringDictionary map;
    SortedMap::InsertResult a = map.Insert(u"key", &first);
    ASSERT_EQ(a.inserted, 1);
    SortedMap::InsertResult b = map.Insert(u"key", &second);
    EXPECT_EQ(b.inserted, 0);
    EXPECT_EQ(b.node, a.node);
    EXPECT_EQ(b.node->entry->value, &first);
    EXPECT_EQ(map.Count(), 1u);
}

TEST(SortedMap, EmptyMapAnswers)
{
    StringDictionary map;
    EXPECT_EQ(map.Find(u"x"), map.End());
    EXPECT_EQ(map.Remove(u"x"), 0);
    EXPECT_EQ(map.Begin(), map.End());
    EXPECT_EQ(map.End()->Prev(), map.End());
    EXPECT_EQ(map.End()->Next(), map.End());
    EXPECT_EQ(map.EraseNode(map.End()), map.End());
    EXPECT_EQ(map.EraseRange(map.Begin(), map.End()), map.End());

    map.Insert(u"x", nullptr);
    EXPECT_EQ(map.Remove(u"y"), 0);
    EXPECT_EQ(map.Remove(u"x"), 1);
    EXPECT_EQ(map.Count(), 0u);
    EXPECT_EQ(map.Begin(), map.End());
}

TEST(SortedMap, ClearingTheWholeMapLeavesItEmptyAndUsable)
{
    IntDictionary map;
    for (int32_t k = 0; k < 100; ++k)
        map.Insert(k * 7 % 101, nullptr);
    EXPECT_EQ(map.EraseRange(map.Begin(), map.End()), map.End());
    EXPECT_EQ(map.Count(), 0u);
    EXPECT_EQ(map.Begin(), map.End());
    EXPECT_EQ(map.Find(7), map.End());
    map.Insert(3, nullptr);
    map.Insert(1, nullptr);
    EXPECT_EQ(IntDictionary::KeyOf(map.Begin()), 1);
    EXPECT_EQ(IntDictionary::KeyOf(map.End()->Prev()), 3);
}

TEST(SortedMap, DeleteValuesDestroysTheValuesOfTheRange)
{
    int destroyed = 0;
    IntDictionary map;
    for (int32_t k = 0; k < 10; ++k)
        map.Insert(k, new Tracked(k, &destroyed));
    // The part 3..6 first, then the rest.
    Node* from = map.Find(3);
    Node* to = map.Find(7);
    map.DeleteValues(from, to);
    EXPECT_EQ(destroyed, 4);
    EXPECT_EQ(map.Count(), 6u);
    EXPECT_EQ(map.Find(5), map.End());
    EXPECT_EQ(IntDictionary::KeyOf(map.Find(2)->Next()), 7);
    map.DeleteValues(map.Begin(), map.End());
    EXPECT_EQ(destroyed, 10);
    EXPECT_EQ(map.Count(), 0u);
}

TEST(SortedMap, AMapMadeAfterTheLastOneWasDestroyedWorks)
{
    // No other map lives here, so the shared nil node dies with the first map and the
    // second one makes a fresh one (a use after free would show under the sanitizers).
    for (int i = 0; i < 3; ++i)
    {
        IntDictionary map;
        for (int32_t k = 0; k < 50; ++k)
            map.Insert(k, nullptr);
        for (int32_t k = 0; k < 50; k += 2)
            EXPECT_EQ(map.Remove(k), 1);
        EXPECT_EQ(map.Count(), 25u);
        EXPECT_NE(map.Find(49), map.End());
    }
}

TEST(SortedMap, MapsOnSeveralThreadsShareTheNilNodeSafely)
{
    // Plug-in instances may be made and dropped on different threads.
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
    {
        threads.emplace_back([t] {
            for (int round = 0; round < 200; ++round)
            {
                IntDictionary map;
                for (int32_t k = 0; k < 20; ++k)
                    map.Insert((k * 13 + t) % 23, nullptr);
                for (int32_t k = 0; k < 23; k += 3)
                    map.Remove(k);
                EXPECT_EQ(map.Find(100), map.End());
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
}

TEST(SortedMap, AnEntryThatCannotBeMadeInsertsNothing)
{
    class Refusing : public IntDictionary
    {
    protected:
        SortedMap::Entry* MakeEntry(const void*, Object*) override { return nullptr; }
    };
    Refusing map;
    SortedMap::InsertResult r = map.Insert(4, nullptr);
    EXPECT_EQ(r.node, map.End());
    EXPECT_EQ(r.inserted, 0);
    EXPECT_EQ(map.Count(), 0u);
    EXPECT_EQ(map.Begin(), map.End());
}

TEST(IntDictionary, OrdersKeysFarApart)
{
    // A subtraction would overflow for keys 2^31 or more apart and misplace them.
    const int32_t keys[] = {0, INT_MAX, INT_MIN, -1, 1, INT_MIN + 1, INT_MAX - 1, 1 << 30, -(1 << 30)};
    IntDictionary map;
    for (int32_t k : keys)
        ASSERT_EQ(map.Insert(k, nullptr).inserted, 1);
    std::vector<int32_t> order;
    for (Node* n = map.Begin(); n != map.End(); n = n->Next())
        order.push_back(IntDictionary::KeyOf(n));
    std::vector<int32_t> sorted(std::begin(keys), std::end(keys));
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(order, sorted);
    for (int32_t k : keys)
    {
        Node* n = map.Find(k);
        ASSERT_NE(n, map.End());
        EXPECT_EQ(IntDictionary::KeyOf(n), k);
    }
    EXPECT_EQ(map.Find(2), map.End());
}

TEST(StringDictionary, OrdersByStringCompareWithTheEmptyKeyFirst)
{
    const char16_t* keys[] = {u"b", u"a", u"", u"ab", u"B", u"\u00E9", u"aa"};
    StringDictionary map;
    for (const char16_t* k : keys)
        ASSERT_EQ(map.Insert(k, nullptr).inserted, 1);
    EXPECT_EQ(map.Insert(u"", nullptr).inserted, 0);
    EXPECT_EQ(map.Insert(nullptr, nullptr).inserted, 0); // null is the empty key

    std::vector<std::u16string> order;
    for (Node* n = map.Begin(); n != map.End(); n = n->Next())
        order.push_back(KeyText(n));
    const std::vector<std::u16string> expected = {u"", u"B", u"a", u"aa", u"ab", u"b", u"\u00E9"};
    EXPECT_EQ(order, expected);

    // Every key is found, the empty one included and whatever its neighbours.
    for (const char16_t* k : keys)
    {
        Node* n = map.Find(k);
        ASSERT_NE(n, map.End());
        EXPECT_EQ(KeyText(n), k);
    }
    EXPECT_EQ(map.Find(u"c"), map.End());
    EXPECT_EQ(map.Find(u"A"), map.End());
}

TEST(StringDictionary, EmptyKeyAndOneOtherKey)
{
    struct Case
    {
        const char16_t* first;
        const char16_t* second;
    };
    const Case cases[] = {{u"", u"a"}, {u"a", u""}};
    for (const Case& c : cases)
    {
        StringDictionary map;
        map.Insert(c.first, nullptr);
        map.Insert(c.second, nullptr);
        ASSERT_EQ(map.Count(), 2u);
        EXPECT_NE(map.Find(u"a"), map.End());
        EXPECT_NE(map.Find(u""), map.End());
        EXPECT_EQ(map.Remove(u""), 1);
        EXPECT_NE(map.Find(u"a"), map.End());
        EXPECT_EQ(map.Find(u""), map.End());
    }
}

TEST(StringDictionary, KeepsItsOwnCopyOfTheKey)
{
    char16_t key[] = u"name";
    StringDictionary map;
    map.Insert(key, nullptr);
    key[0] = u'g';
    EXPECT_NE(map.Find(u"name"), map.End());
    EXPECT_EQ(map.Find(u"game"), map.End());
}
