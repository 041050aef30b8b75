#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/tests/XmlTestSupport.h"

namespace
{

struct LoadCase
{
    const char* input;
    int result;
    const char* tree; // what the document then holds
};

void CheckLoads(const std::vector<LoadCase>& cases)
{
    for (const LoadCase& t : cases)
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        EXPECT_EQ(LoadBytes(doc, Bytes(t.input)), t.result) << t.input;
        EXPECT_EQ(Describe(doc.GetFirstChild()), t.tree) << t.input;
    }
}

TEST(XmlParser, AcceptsTheSubset)
{
    CheckLoads({
        {"<a/>", 1, "a"},
        {"<a  / >", 0, ""},
        {"<a   />", 1, "a"},
        {"<a></a   >", 1, "a"},
        {"<?xml version=\"1.0\"?>\n<a>\n  text  \n</a>\n", 1, "a(\"text\")"},
        {"<a>one\n  two \r\n</a>", 1, "a(\"one\\u000A  two\")"},
        {"<a b=\" 1 \" c=\"x\ny\"/>", 1, "a[b=1 c=x\\u000Ay]"},
        {"<a b=\"1\"c=\"2\" b=\"3\"/>", 1, "a[b=3 c=2]"},
        {"<a b = \"1\" >x</a>", 1, "a[b=1](\"x\")"},
        {"<a>&amp;&#65;</a>", 1, "a(\"&amp;&#65;\")"},
        {"<a><!-- c --><b/><!DOCTYPE x></a>", 1, "a(b)"},
        {"<a><!-- x > y --></a>", 1, "a(\"y -->\")"},
        {"<a><![CDATA[ <x> ]]></a>", 1, "a(< <x> >)"},
        {"<a><![CDATA[]]]]><![CDATA[a]b]]c]]]></a>", 1, "a(<]]>,<a]b]]c]>)"},
        {"<a><![CDATA[x]]></a>", 1, "a(<x>)"},
        {"<a1 B_2=\"\"/>", 1, "a1[B_2=]"},
        {"<a/><b/>top", 0, "a,b"},
        {"<a/>top<b/>", 1, "a,\"top\",b"},
        {"<!-- only a comment -->", 1, ""},
    });
}

TEST(XmlParser, RefusesWhatTheSubsetLacks)
{
    CheckLoads({
        {"", 0, ""},
        {"<", 0, ""},
        {"   \n ", 0, ""},
        {"<a b='1'/>", 0, ""},
        {"<a b=1/>", 0, ""},
        {"<a b/>", 0, ""},
        {"<a =\"1\"/>", 0, ""},
        {"<a b=\"1/>", 0, ""},
        {"<a/ >", 0, ""},
        {"<_a/>", 0, ""},
        {"<1a/>", 0, ""},
        {"<a-b/>", 0, ""},
        {"<a.b/>", 0, ""},
        {"<a:b/>", 0, ""},
        {"<a b.c=\"1\"/>", 0, ""},
        {"<a></b>", 0, ""},
        {"<a></A>", 0, ""},
        {"<a>", 0, ""},
        {"<a>text", 0, ""},
        {"<a><b></a>", 0, ""},
        {"<a></>", 0, ""},
        {"<a><![CDAT[x]]></a>", 0, ""},
        {"<a><![CDATA[x]]</a>", 0, ""},
        {"<a><!-- never closed", 0, ""},
        {"<?xml", 0, ""},
        {"<a/><b", 0, "a"},
        // A stray end tag at top level fails the load instead of dropping the rest.
        {"</a>", 0, ""},
        {"<a/></b><c/>", 0, "a"},
        {"<a/></a>", 0, "a"},
    });
}

TEST(XmlParser, TakesTheEncodingFromTheByteOrderMark)
{
    // The same document in each encoding; single byte reads 0xE9 as the sign-extended unit.
    std::string ascii = "<a k=\"v\">x\xC3\xA9</a>";
    std::vector<uint8_t> utf16le = {0xFF, 0xFE}, utf16be = {0xFE, 0xFF};
    std::u16string units = u"<a k=\"v\">x\u00E9</a>";
    for (char16_t u : units)
    {
        utf16le.insert(utf16le.end(), {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)});
        utf16be.insert(utf16be.end(), {static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u)});
    }
    struct
    {
        std::vector<uint8_t> bytes;
        int encoding;
        const char* tree;
    } cases[] = {
        {Bytes("\xEF\xBB\xBF" + ascii), XmlDocument::UTF8, "a[k=v](\"x\\u00E9\")"},
        {utf16le, XmlDocument::UTF16LE, "a[k=v](\"x\\u00E9\")"},
        {utf16be, XmlDocument::UTF16BE, "a[k=v](\"x\\u00E9\")"},
        {Bytes(ascii), XmlDocument::SINGLE_BYTE, "a[k=v](\"x\\uFFC3\\uFFA9\")"},
        {Bytes("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>"), XmlDocument::SINGLE_BYTE, "a"},
    };
    for (const auto& t : cases)
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        EXPECT_TRUE(LoadBytes(doc, t.bytes)) << t.tree;
        EXPECT_EQ(doc.GetEncoding(), t.encoding) << t.tree;
        EXPECT_EQ(Describe(doc.GetFirstChild()), t.tree);
    }
}

TEST(XmlParser, RefusesBrokenByteOrderMarks)
{
    const std::vector<std::vector<uint8_t>> inputs = {
        {},           {'<'},  {0xFF},       {0xFF, 0x00, '<', 0, 'a', 0},           {0xFE},
        {0xFE, 0x00}, {0xEF}, {0xEF, 0xBB}, {0xEF, 0xBB, 0x00, '<', 'a', '/', '>'}, {0xEF, 0x00, 0xBF},
    };
    for (const auto& bytes : inputs)
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        EXPECT_FALSE(LoadBytes(doc, bytes)) << bytes.size();
    }
}

std::string Nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<e>";
    for (int i = 0; i < depth; ++i)
        text += "</e>";
    return text;
}

TEST(XmlParser, LimitsTheNestingDepth)
{
    struct
    {
        int depth;
        int result;
    } cases[] = {{XmlNode::kMaxDepth, 1}, {XmlNode::kMaxDepth + 1, 0}, {200000, 0}};
    for (const auto& t : cases)
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        EXPECT_EQ(LoadBytes(doc, Bytes(Nested(t.depth))), t.result) << t.depth;
    }
}

// A document of exactly n nodes whose last node is spelled by last (itself lastNodes nodes);
// the others are empty elements, the cheapest nodes to make.
std::string NodesEndingWith(int n, const std::string& last, int lastNodes)
{
    std::string text = "<r>";
    for (int i = 1 + lastNodes; i < n; ++i)
        text += "<e/>";
    return text + last + "</r>";
}

// Every kind of node counts: one more than the cap fails when the last is of that kind.
TEST(XmlParser, LimitsTheNodeCount)
{
    struct
    {
        const char* what;
        const char* last;
        int lastNodes;
    } kinds[] = {
        {"element", "<e/>", 1}, {"attribute", "<e a=\"\"/>", 2}, {"text", "t", 1}, {"CDATA", "<![CDATA[]]>", 1}};
    for (const auto& kind : kinds)
    {
        SCOPED_TRACE(kind.what);
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        EXPECT_EQ(LoadBytes(doc, Bytes(NodesEndingWith(XmlNode::kMaxNodes + 1, kind.last, kind.lastNodes))), 0);
    }
    XmlDocument atTheCap;
    ASSERT_TRUE(atTheCap.Init());
    EXPECT_EQ(LoadBytes(atTheCap, Bytes(NodesEndingWith(XmlNode::kMaxNodes, "<e a=\"\"/>", 2))), 1);
}

// Attributes are stored and written in name order, whatever their number: each insert and the
// save take the map's order, never a walk from its start.
TEST(XmlParser, ManyAttributesOnOneElementLoadAndSaveWhole)
{
    const int count = 20000;
    std::string text = "<r";
    for (int i = count; i > 0; --i)
        text += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
    text += "/>";
    XmlDocument doc;
    ASSERT_TRUE(doc.Init());
    ASSERT_EQ(LoadBytes(doc, Bytes(text)), 1);
    XmlNamedNodeMap* attributes = doc.GetFirstChild()->GetAttributes();
    ASSERT_EQ(attributes->GetLength(), count);
    EXPECT_EQ(Narrow(attributes->GetNamedItem(u"a4711")->GetNodeValue()), "4711");
    MemoryWriter writer;
    ASSERT_EQ(doc.Save(writer), 1);
    XmlDocument again;
    ASSERT_TRUE(again.Init());
    ASSERT_EQ(LoadBytes(again, writer.bytes), 1);
    EXPECT_EQ(again.GetFirstChild()->GetAttributes()->GetLength(), count);
}

TEST(XmlParser, KeepsTheNodesReadBeforeAFailure)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.Init());
    EXPECT_FALSE(LoadBytes(doc, Bytes("<a x=\"1\"/>text<b><c/></b><d><e></d>")));
    EXPECT_EQ(Describe(doc.GetFirstChild()), "a[x=1],\"text\",b(c)");
}

} // namespace
