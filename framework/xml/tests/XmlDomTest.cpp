#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlCData.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlLoader.h"
#include "framework/xml/XmlNamedNodeMap.h"
#include "framework/xml/XmlNodeList.h"
#include "framework/xml/XmlText.h"
#include "framework/xml/XmlUtil.h"
#include "framework/xml/tests/XmlTestSupport.h"

namespace
{

class XmlDom : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(doc_.Init()); }

    // An element of doc with children named by the letters of names.
    XmlElement* Parent(const char16_t* name, const char16_t* children)
    {
        XmlElement* parent = doc_.CreateElement(name);
        for (; *children; ++children)
        {
            char16_t childName[2] = {*children, 0};
            parent->AppendChild(doc_.CreateElement(childName));
        }
        return parent;
    }

    // The parent's children, read forwards and backwards through the sibling links, and the
    // list's own order; all three must agree.
    std::string Children(XmlNode* parent)
    {
        std::string forward, backward, listed;
        for (XmlNode* c = parent->GetFirstChild(); c; c = c->GetNextSibling())
        {
            forward += Narrow(c->GetNodeName());
            EXPECT_EQ(c->GetParentNode(), parent);
        }
        for (XmlNode* c = parent->GetLastChild(); c; c = c->GetPreviousSibling())
            backward.insert(0, Narrow(c->GetNodeName()));
        XmlNodeList* list = parent->GetChildNodes();
        for (int i = 0; list && i < list->GetLength(); ++i)
            listed += Narrow(list->Item(i)->GetNodeName());
        EXPECT_EQ(forward, backward);
        EXPECT_EQ(forward, listed);
        return forward;
    }

    XmlDocument doc_;
};

TEST_F(XmlDom, FreshNodesHaveNoChildrenAndFixedNames)
{
    XmlElement* element = doc_.CreateElement(u"a");
    XmlText* text = doc_.CreateTextNode(u"t");
    XmlCData cdata(&doc_);
    ASSERT_TRUE(cdata.Init());
    EXPECT_EQ(element->GetFirstChild(), nullptr);
    EXPECT_EQ(element->GetLastChild(), nullptr);
    EXPECT_EQ(element->GetChildNodes(), nullptr);
    EXPECT_FALSE(element->HasChildNodes());
    EXPECT_EQ(element->GetOwnerDocument(), &doc_);
    EXPECT_EQ(element->GetParentNode(), nullptr);
    EXPECT_EQ(Narrow(text->GetNodeName()), "#text");
    EXPECT_EQ(Narrow(cdata.GetNodeName()), "#cdata-section");
    EXPECT_EQ(Narrow(doc_.GetNodeName()), "#document");
    EXPECT_EQ(element->GetNodeType(), 1);
    EXPECT_EQ(text->GetNodeType(), 3);
    EXPECT_EQ(cdata.GetNodeType(), 4);
    EXPECT_EQ(doc_.GetNodeType(), 9);
    EXPECT_EQ(doc_.GetOwnerDocument(), &doc_);
    delete element;
    delete text;
}

TEST_F(XmlDom, AppendAndInsertKeepSiblingsParentAndListInStep)
{
    XmlElement* parent = Parent(u"p", u"ac");
    XmlElement* b = doc_.CreateElement(u"b");
    ASSERT_TRUE(parent->InsertBefore(b, parent->GetLastChild()));
    EXPECT_EQ(Children(parent), "abc");
    ASSERT_TRUE(parent->InsertBefore(doc_.CreateElement(u"z"), parent->GetFirstChild()));
    ASSERT_TRUE(parent->InsertBefore(doc_.CreateElement(u"d"), nullptr));
    EXPECT_EQ(Children(parent), "zabcd");
    EXPECT_EQ(parent->GetChildNodes()->Item(5), nullptr);
    EXPECT_TRUE(parent->HasChildNodes());
    delete parent;
}

TEST_F(XmlDom, RemoveWithoutDestroyKeepsTheNodeAndItsOldSiblingLinks)
{
    XmlElement* parent = Parent(u"p", u"abc");
    XmlNode* a = parent->GetFirstChild();
    XmlNode* b = a->GetNextSibling();
    XmlNode* c = b->GetNextSibling();
    ASSERT_TRUE(parent->RemoveChild(b, 0));
    EXPECT_EQ(Children(parent), "ac");
    EXPECT_EQ(b->GetPreviousSibling(), a);
    EXPECT_EQ(b->GetNextSibling(), c);
    EXPECT_EQ(b->GetParentNode(), nullptr);
    EXPECT_FALSE(parent->RemoveChild(b, 1)); // no longer a child
    // The removed node can be placed again after its old parent is gone.
    delete parent;
    XmlElement* other = Parent(u"q", u"x");
    ASSERT_TRUE(other->AppendChild(b));
    EXPECT_EQ(Children(other), "xb");
    EXPECT_EQ(b->GetNextSibling(), nullptr);
    ASSERT_TRUE(other->RemoveChild(other->GetFirstChild(), 1));
    EXPECT_EQ(Children(other), "b");
    delete other;
}

TEST_F(XmlDom, MoveChildToEveryIndex)
{
    struct Case
    {
        char16_t node;
        int index;
        int result;
        const char* order;
    } cases[] = {
        {'a', 0, 1, "abcd"}, {'a', 1, 1, "bacd"}, {'a', 3, 1, "bcda"}, {'d', 0, 1, "dabc"},
        {'c', 1, 1, "acbd"}, {'b', 2, 1, "acbd"}, {'b', 4, 0, "abcd"}, {'b', -1, 0, "abcd"},
    };
    for (const Case& t : cases)
    {
        XmlElement* parent = Parent(u"p", u"abcd");
        XmlNode* node = XmlUtil::FindChild(parent, std::string(1, static_cast<char>(t.node)).c_str(), 0);
        EXPECT_EQ(parent->MoveChild(node, t.index), t.result) << static_cast<char>(t.node) << t.index;
        EXPECT_EQ(Children(parent), t.order) << static_cast<char>(t.node) << t.index;
        delete parent;
    }
}

TEST_F(XmlDom, ANodeAppendedToASecondParentLeavesTheFirst)
{
    XmlElement* first = Parent(u"p", u"abc");
    XmlElement* second = Parent(u"q", u"x");
    XmlNode* b = first->GetChildNodes()->Item(1);
    ASSERT_TRUE(second->AppendChild(b));
    EXPECT_EQ(Children(first), "ac");
    EXPECT_EQ(Children(second), "xb");
    XmlNode* a = first->GetFirstChild();
    ASSERT_TRUE(second->InsertBefore(a, second->GetFirstChild()));
    EXPECT_EQ(Children(first), "c");
    EXPECT_EQ(Children(second), "axb");
    // Appending to the same parent moves the node to the end.
    ASSERT_TRUE(second->AppendChild(a));
    EXPECT_EQ(Children(second), "xba");
    ASSERT_TRUE(second->InsertBefore(a, a));
    EXPECT_EQ(Children(second), "xba");
    delete first; // each node is freed exactly once (the sanitizer build checks)
    delete second;
}

TEST_F(XmlDom, RefusedInsertionsChangeNothing)
{
    XmlElement* first = Parent(u"p", u"ab");
    XmlElement* second = Parent(u"q", u"xy");
    XmlElement* loose = doc_.CreateElement(u"n");
    // The reference is another parent's child.
    EXPECT_FALSE(first->InsertBefore(loose, second->GetFirstChild()));
    EXPECT_FALSE(loose->InsertBefore(first->GetFirstChild(), second->GetFirstChild()));
    // No child list yet, so the reference cannot be a child.
    EXPECT_FALSE(loose->InsertBefore(second->GetLastChild(), first->GetFirstChild()));
    EXPECT_EQ(Children(first), "ab");
    EXPECT_EQ(Children(second), "xy");
    EXPECT_EQ(loose->GetParentNode(), nullptr);
    // A node below itself, attribute and document nodes as children.
    XmlNode* a = first->GetFirstChild();
    ASSERT_TRUE(a->AppendChild(loose));
    EXPECT_FALSE(loose->AppendChild(first));
    EXPECT_FALSE(loose->AppendChild(loose));
    EXPECT_FALSE(a->InsertBefore(first, loose));
    XmlAttribute* attribute = doc_.CreateAttribute(u"k");
    EXPECT_FALSE(first->AppendChild(attribute));
    EXPECT_FALSE(first->AppendChild(&doc_));
    EXPECT_FALSE(first->AppendChild(nullptr));
    EXPECT_EQ(Children(first), "ab");
    EXPECT_EQ(Children(a), "n");
    delete attribute;
    delete first;
    delete second;
}

TEST_F(XmlDom, NodesTakenFromAnotherDocumentFollowTheirNewDocument)
{
    XmlDocument* other = new XmlDocument();
    ASSERT_TRUE(other->Init());
    XmlElement* moved = other->CreateElement(u"m");
    ASSERT_TRUE(moved->SetAttribute(u"k", u"v"));
    ASSERT_TRUE(moved->AppendChild(other->CreateTextNode(u"t")));
    ASSERT_TRUE(other->AppendChild(moved));
    ASSERT_TRUE(doc_.AppendChild(moved));
    other->Release();
    EXPECT_EQ(moved->GetOwnerDocument(), &doc_);
    EXPECT_EQ(moved->GetFirstChild()->GetOwnerDocument(), &doc_);
    EXPECT_EQ(moved->GetAttributeNode(u"k")->GetOwnerDocument(), &doc_);
    EXPECT_EQ(moved->GetAttributeNode(u"k")->GetFirstChild()->GetOwnerDocument(), &doc_);
}

TEST_F(XmlDom, AttributesAreUniqueByNameAndKeptInNameOrder)
{
    XmlElement* element = doc_.CreateElement(u"e");
    ASSERT_TRUE(element->SetAttribute(u"b", u"1"));
    ASSERT_TRUE(element->SetAttribute(u"a", u"2"));
    ASSERT_TRUE(element->SetAttribute(u"b", u"3"));
    XmlNamedNodeMap* map = element->GetAttributes();
    ASSERT_EQ(map->GetLength(), 2);
    EXPECT_EQ(Narrow(map->Item(0)->GetNodeName()), "a");
    EXPECT_EQ(Narrow(map->Item(1)->GetNodeName()), "b");
    EXPECT_EQ(map->Item(2), nullptr);
    EXPECT_EQ(Narrow(element->GetAttribute(u"b")), "3");
    EXPECT_EQ(element->GetAttribute(u"c"), nullptr);
    XmlAttribute* b = element->GetAttributeNode(u"b");
    EXPECT_EQ(b->GetParentNode(), element);
    EXPECT_EQ(b->GetFirstChild()->GetNodeType(), XmlNode::TEXT_NODE);
    delete element;
}

TEST_F(XmlDom, SetNamedItemStoresReplacesAndRefuses)
{
    XmlElement* element = doc_.CreateElement(u"e");
    XmlAttribute* first = doc_.CreateAttribute(u"k");
    ASSERT_TRUE(first->SetValue(u"1"));
    EXPECT_EQ(element->SetAttributeNode(first), first);
    // Storing the stored node again keeps it alive and stored.
    EXPECT_EQ(element->SetAttributeNode(first), first);
    EXPECT_EQ(Narrow(element->GetAttribute(u"k")), "1");
    // Also after a rename: it is found by identity, not by its new name.
    ASSERT_TRUE(first->SetNodeName(u"renamed"));
    EXPECT_EQ(element->SetAttributeNode(first), first);
    ASSERT_TRUE(first->SetNodeName(u"k"));
    // Another node of the same name replaces (and destroys) the first.
    XmlAttribute* second = doc_.CreateAttribute(u"k");
    ASSERT_TRUE(second->SetValue(u"2"));
    EXPECT_EQ(element->SetAttributeNode(second), second);
    EXPECT_EQ(element->GetAttributes()->GetLength(), 1);
    EXPECT_EQ(Narrow(element->GetAttribute(u"k")), "2");
    // A node stored in another element stays there.
    XmlElement* other = doc_.CreateElement(u"o");
    EXPECT_EQ(other->SetAttributeNode(second), nullptr);
    EXPECT_EQ(other->GetAttributeNode(u"k"), nullptr);
    delete other;
    delete element;
}

TEST_F(XmlDom, SplitTextPutsTheTailRightAfterTheNode)
{
    XmlElement* parent = Parent(u"p", u"z");
    XmlText* text = doc_.CreateTextNode(u"hello");
    ASSERT_TRUE(parent->InsertBefore(text, parent->GetFirstChild()));
    XmlText* tail = text->SplitText(2);
    ASSERT_NE(tail, nullptr);
    EXPECT_EQ(Describe(parent->GetFirstChild()), "\"he\",\"llo\",z");
    EXPECT_EQ(text->GetLength(), 2);
    EXPECT_EQ(text->SplitText(2), nullptr);
    EXPECT_EQ(text->SplitText(-1), nullptr);
    ASSERT_TRUE(tail->AppendData(u"!"));
    EXPECT_EQ(Narrow(tail->GetNodeValue()), "llo!");
    delete parent;
}

TEST_F(XmlDom, GetElementsByTagNameWalksThePreOrder)
{
    ASSERT_TRUE(LoadBytes(doc_, Bytes("<r n=\"0\"><a n=\"1\"><r n=\"2\"/></a><r n=\"3\"><r n=\"4\"/></r></r>")));
    std::vector<XmlNode*> found;
    doc_.GetElementsByTagName(doc_.GetFirstChild(), u"r", found);
    std::string order;
    for (XmlNode* node : found)
        order += Narrow(static_cast<XmlElement*>(node)->GetAttribute(u"n"));
    EXPECT_EQ(order, "0234");
}

TEST_F(XmlDom, XmlUtilReadsAttributesAndFindsChildren)
{
    ASSERT_TRUE(LoadBytes(
        doc_, Bytes("<skin i=\"12\" e=\"\" x=\"12ab3\" r=\"3.05\" n=\"-.5\"><REGION/>t<region/><b/></skin>")));
    const XmlElement* skin = static_cast<XmlElement*>(doc_.GetFirstChild());
    struct
    {
        const char* name;
        int asInt;
        float asReal;
    } cases[] = {{"i", 12, 12.0f}, {"e", -1, 0.0f},  {"absent", -1, 0.0f},
                 {"x", -1, 0.0f},  {"r", -1, 3.05f}, {"n", -1, -0.5f}};
    for (const auto& t : cases)
    {
        EXPECT_EQ(XmlUtil::GetAttributeInt(skin, t.name), t.asInt) << t.name;
        EXPECT_FLOAT_EQ(XmlUtil::GetAttributeReal(skin, t.name), t.asReal) << t.name;
    }
    String out;
    ASSERT_TRUE(out.AssignAscii("kept"));
    EXPECT_FALSE(XmlUtil::GetAttribute(skin, "absent", out));
    EXPECT_EQ(Narrow(out.Text()), "kept");
    EXPECT_TRUE(XmlUtil::GetAttribute(skin, "r", out));
    EXPECT_EQ(Narrow(out.Text()), "3.05");

    XmlNode* upper = skin->GetFirstChild();
    EXPECT_EQ(XmlUtil::FindChild(skin, "region", 1), upper);
    EXPECT_EQ(XmlUtil::FindChild(skin, "region", 0), upper->GetNextSibling()->GetNextSibling());
    EXPECT_EQ(XmlUtil::FindChild(skin, "#text", 0), upper->GetNextSibling());
    EXPECT_EQ(XmlUtil::FindChild(skin, "c", 1), nullptr);
    std::vector<XmlNode*> found;
    EXPECT_FALSE(XmlUtil::GetChildrenByName(skin, "Region", found));
    EXPECT_TRUE(XmlUtil::GetChildrenByName(skin, "region", found));
    EXPECT_TRUE(XmlUtil::GetChildrenByName(skin, "b", found));
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(Narrow(found[1]->GetNodeName()), "b");
}

// A value is read whole or not at all: absent (-1, 0.0) rather than a part of it.
TEST_F(XmlDom, XmlUtilReadsNumbersWholeOrNotAtAll)
{
    struct
    {
        const char* value;
        int asInt;
        float asReal;
    } cases[] = {
        {"0", 0, 0.0f},
        {"007", 7, 7.0f},
        {"2147483647", 2147483647, 2147483647.0f},
        {"2147483648", -1, 2147483648.0f},
        {"99999999999999999999", -1, 1e20f},
        {"-10", -1, -10.0f},
        {"+10", -1, 10.0f},
        {"0x10", -1, 0.0f},
        {"1e10", -1, 0.0f},
        {"12ab3", -1, 0.0f},
        {"1 2", -1, 0.0f},
        {"5.", -1, 5.0f},
        {".25", -1, 0.25f},
        {"-", -1, 0.0f},
        {".", -1, 0.0f},
        {"1.2.3", -1, 0.0f},
        {"0.66666666667", -1, 0.6666667f},
        {"1000000000000000000000000000000000000000", -1, 0.0f},
    };
    for (const auto& t : cases)
    {
        XmlDocument numbers;
        ASSERT_TRUE(numbers.Init());
        ASSERT_TRUE(LoadBytes(numbers, Bytes(std::string("<n v=\"") + t.value + "\"/>")));
        const XmlElement* element = static_cast<XmlElement*>(numbers.GetFirstChild());
        EXPECT_EQ(XmlUtil::GetAttributeInt(element, "v"), t.asInt) << t.value;
        EXPECT_FLOAT_EQ(XmlUtil::GetAttributeReal(element, "v"), t.asReal) << t.value;
    }
}

// Grants a set number of string buffers and refuses the rest.
class RationedHeap : public StringHeap
{
public:
    explicit RationedHeap(int grants) : grants_(grants) {}
    char16_t* Allocate(int units) override { return grants_-- > 0 ? StringHeap::Allocate(units) : nullptr; }

private:
    int grants_;
};

TEST_F(XmlDom, XmlUtilReportsAValueItCouldNotCopy)
{
    ASSERT_TRUE(LoadBytes(doc_, Bytes("<skin r=\"3.05\"/>")));
    const XmlElement* skin = static_cast<XmlElement*>(doc_.GetFirstChild());
    String out;
    RationedHeap heap(1); // enough for the name looked up, not for the value
    StringHeap* previous = StringHeap::Install(&heap);
    int result = XmlUtil::GetAttribute(skin, "r", out);
    StringHeap::Install(previous);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out.Length(), 0);
}

TEST_F(XmlDom, SetEncodingMakesTheCodecOfItsKind)
{
    EXPECT_EQ(doc_.GetEncoding(), XmlDocument::UTF8);
    EXPECT_NE(doc_.GetCodec(), nullptr);
    EXPECT_TRUE(doc_.SetEncoding(XmlDocument::UTF16BE));
    EXPECT_EQ(doc_.GetEncoding(), XmlDocument::UTF16BE);
    EXPECT_FALSE(doc_.SetEncoding(4));
    EXPECT_EQ(doc_.GetCodec(), nullptr);
    MemoryWriter writer;
    EXPECT_FALSE(doc_.Save(writer));
    EXPECT_TRUE(doc_.SetEncoding(XmlDocument::SINGLE_BYTE));
    EXPECT_NE(doc_.GetCodec(), nullptr);
}

TEST(XmlLoaderTest, HoldsOneDocumentUntilDetached)
{
    XmlLoader* loader = new XmlLoader();
    EXPECT_EQ(loader->GetDocument(), nullptr);
    std::vector<uint8_t> bytes = Bytes("<a/>");
    MemoryReader reader(bytes);
    EXPECT_FALSE(loader->Load(reader));
    ASSERT_TRUE(loader->CreateDocument());
    ASSERT_TRUE(loader->CreateDocument()); // the first one is destroyed
    ASSERT_TRUE(loader->Load(reader));
    XmlDocument* doc = loader->Detach();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(loader->GetDocument(), nullptr);
    EXPECT_EQ(Describe(doc->GetFirstChild()), "a");
    ASSERT_TRUE(loader->CreateDocument());
    loader->Release(); // destroys the document it still holds
    doc->Release();
}

} // namespace
