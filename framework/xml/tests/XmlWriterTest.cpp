#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlCData.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlText.h"
#include "framework/xml/tests/XmlTestSupport.h"

namespace
{

std::string Saved(XmlDocument& doc, int* result = nullptr)
{
    MemoryWriter writer;
    int ok = doc.Save(writer);
    if (result)
        *result = ok;
    return std::string(writer.bytes.begin(), writer.bytes.end());
}

const char kUtf8Declaration[] = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";

TEST(XmlWriter, WritesOneLinePerTagAndTextIndentedWithTabs)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.Init());
    ASSERT_TRUE(LoadBytes(doc, Bytes("\xEF\xBB\xBF<a>text</a>")));
    int result = 0;
    EXPECT_EQ(Saved(doc, &result), std::string(kUtf8Declaration) + "<a>\n\t\ttext\n</a>\n");
    EXPECT_TRUE(result);

    XmlDocument nested;
    ASSERT_TRUE(nested.Init());
    ASSERT_TRUE(LoadBytes(nested, Bytes("\xEF\xBB\xBF<b z=\"1\" y=\"\"><c><![CDATA[<&>]]></c><d/></b>")));
    EXPECT_EQ(Saved(nested, &result), std::string(kUtf8Declaration) + "<b y=\"\" z=\"1\">\n"
                                                                      "\t<c>\n\t\t\t<![CDATA[<&>]]>\n\t</c>\n"
                                                                      "\t<d/>\n"
                                                                      "</b>\n");
    EXPECT_TRUE(result);
}

TEST(XmlWriter, MarksAndDeclaresEachEncoding)
{
    struct
    {
        int encoding;
        std::string mark;
        const char* name;
        int unitBytes;
    } cases[] = {
        {XmlDocument::SINGLE_BYTE, "", "windows-1252", 1},
        {XmlDocument::UTF16LE, "\xFF\xFE", "UTF-16", 2},
        {XmlDocument::UTF16BE, "\xFE\xFF", "UTF-16", 2},
        {XmlDocument::UTF8, "\xEF\xBB\xBF", "UTF-8", 1},
    };
    for (const auto& t : cases)
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        ASSERT_TRUE(doc.SetEncoding(t.encoding));
        int result = 0;
        std::string bytes = Saved(doc, &result);
        EXPECT_TRUE(result);
        std::string declaration = std::string("<?xml version=\"1.0\" encoding=\"") + t.name + "\"?>\n";
        std::string expected = t.mark;
        for (char c : declaration)
        {
            if (t.encoding == XmlDocument::UTF16BE)
                expected += '\0';
            expected += c;
            if (t.encoding == XmlDocument::UTF16LE)
                expected += '\0';
        }
        EXPECT_EQ(bytes, expected) << t.name;
    }
}

TEST(XmlWriter, RefusesTextThatWouldNotReadBack)
{
    struct Case
    {
        const char* what;
        void (*build)(XmlDocument& doc, XmlElement* root);
        int result;
    } cases[] = {
        {"quote in a value", [](XmlDocument&, XmlElement* e) { e->SetAttribute(u"k", u"say \"hi\""); }, 0},
        {"'<' in text", [](XmlDocument& d, XmlElement* e) { e->AppendChild(d.CreateTextNode(u"a < b")); }, 0},
        {"']]>' in CDATA",
         [](XmlDocument& d, XmlElement* e) {
             XmlCData* c = new XmlCData(&d);
             c->Init();
             c->SetNodeValue(u"x]]>y");
             e->AppendChild(c);
         },
         0},
        {"bad element name", [](XmlDocument& d, XmlElement* e) { e->AppendChild(d.CreateElement(u"a b")); }, 0},
        {"empty element name", [](XmlDocument& d, XmlElement* e) { e->AppendChild(d.CreateElement(u"")); }, 0},
        {"bad attribute name", [](XmlDocument&, XmlElement* e) { e->SetAttribute(u"_k", u"v"); }, 0},
        {"text last at top level", [](XmlDocument& d, XmlElement*) { d.AppendChild(d.CreateTextNode(u"t")); }, 0},
        {"a node below text",
         [](XmlDocument& d, XmlElement* e) {
             XmlText* t = d.CreateTextNode(u"t");
             e->AppendChild(t);
             t->AppendChild(d.CreateElement(u"lost"));
         },
         0},
        {"text first at top level", [](XmlDocument& d, XmlElement* e) { d.InsertBefore(d.CreateTextNode(u"t"), e); },
         1},
        // What the reader takes back as it is.
        {"'&' and '>' in text", [](XmlDocument& d, XmlElement* e) { e->AppendChild(d.CreateTextNode(u"a & b > c")); },
         1},
        {"'<', '&' and '\\'' in a value", [](XmlDocument&, XmlElement* e) { e->SetAttribute(u"k", u"<&'>"); }, 1},
        {"']]' in CDATA",
         [](XmlDocument& d, XmlElement* e) {
             XmlCData* c = new XmlCData(&d);
             c->Init();
             c->SetNodeValue(u"]]x]>");
             e->AppendChild(c);
         },
         1},
    };
    for (const Case& t : cases)
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        XmlElement* root = doc.CreateElement(u"root");
        ASSERT_TRUE(doc.AppendChild(root));
        t.build(doc, root);
        MemoryWriter writer;
        EXPECT_EQ(doc.Save(writer), t.result) << t.what;
        if (t.result)
        {
            XmlDocument back;
            ASSERT_TRUE(back.Init());
            EXPECT_TRUE(LoadBytes(back, writer.bytes)) << t.what;
            EXPECT_EQ(Describe(back.GetFirstChild()), Describe(doc.GetFirstChild())) << t.what;
        }
    }
}

TEST(XmlWriter, RefusesZeroUnitsThatTextWritingWouldDrop)
{
    using namespace std::string_literals;
    for (const std::string& bytes : {"<a>x\0y</a>"s, "<a k=\"x\0y\"/>"s, "<a><![CDATA[x\0y]]></a>"s})
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        ASSERT_TRUE(LoadBytes(doc, Bytes(bytes))) << bytes;
        MemoryWriter writer;
        EXPECT_FALSE(doc.Save(writer)) << bytes;
    }
}

TEST(XmlWriter, RefusesTreesDeeperThanTheReaderTakes)
{
    for (int depth : {XmlNode::kMaxDepth, XmlNode::kMaxDepth + 1})
    {
        XmlDocument doc;
        ASSERT_TRUE(doc.Init());
        XmlNode* parent = &doc;
        for (int i = 0; i < depth; ++i)
        {
            XmlElement* child = doc.CreateElement(u"e");
            ASSERT_TRUE(parent->AppendChild(child));
            parent = child;
        }
        MemoryWriter writer;
        EXPECT_EQ(doc.Save(writer), depth <= XmlNode::kMaxDepth) << depth;
    }
}

// Counts Close calls; can refuse writes past a limit.
class RecordingWriter : public MemoryWriter
{
public:
    using MemoryWriter::MemoryWriter;
    int Close() override { return ++closed; }
    int closed = 0;
};

TEST(XmlWriter, StopsPastTheSizeLimit)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.Init());
    XmlElement* root = doc.CreateElement(u"root");
    ASSERT_TRUE(doc.AppendChild(root));
    std::u16string line(1000, u'x');
    // Each text line is 1003 bytes: the limit is checked before each node.
    for (int i = 0; i < 1990; ++i)
        ASSERT_TRUE(root->AppendChild(doc.CreateTextNode(line.c_str())));
    RecordingWriter below;
    EXPECT_TRUE(doc.Save(below));
    EXPECT_EQ(below.closed, 0);

    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(root->AppendChild(doc.CreateTextNode(line.c_str())));
    RecordingWriter writer;
    EXPECT_FALSE(doc.Save(writer));
    EXPECT_EQ(writer.closed, 1);
    EXPECT_GT(writer.bytes.size(), 2000000u);
    EXPECT_LT(writer.bytes.size(), 2002000u);
}

TEST(XmlWriter, FailsWhenAWriteFails)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.Init());
    ASSERT_TRUE(LoadBytes(doc, Bytes("\xEF\xBB\xBF<a k=\"v\"><b>text</b></a>")));
    size_t full = Saved(doc).size();
    for (size_t limit = 0; limit < full; ++limit)
    {
        MemoryWriter writer(limit);
        EXPECT_FALSE(doc.Save(writer)) << limit;
    }
    MemoryWriter writer(full);
    EXPECT_TRUE(doc.Save(writer));
}

TEST(XmlWriter, NodeSaveWritesTheNodeAndTheSiblingsAfterIt)
{
    XmlDocument doc;
    ASSERT_TRUE(doc.Init());
    ASSERT_TRUE(LoadBytes(doc, Bytes("<r><a/><b>t</b></r>")));
    MemoryWriter writer;
    ASSERT_TRUE(doc.GetFirstChild()->GetFirstChild()->Save(writer));
    EXPECT_EQ(std::string(writer.bytes.begin(), writer.bytes.end()), "<a/>\n<b>\n\t\tt\n</b>\n");
}

} // namespace
