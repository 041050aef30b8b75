// Writing a document: byte-order mark, declaration, then one line per tag, text or CDATA
// section, indented with tabs. Nothing is escaped, because the reader decodes nothing: text
// that the reader would not give back (a '"' in an attribute value, a '<' in text, "]]>" in
// CDATA, a zero unit, a name it does not accept, text last at top level, a node below text)
// fails the save instead of writing a file that misreads.
#include "framework/base/ByteWriter.h"
#include "framework/base/TextCodec.h"
#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlNamedNodeMap.h"
#include "framework/xml/XmlNode.h"

namespace
{

// Output past this size fails the save.
const long long kMaxOutputBytes = 2000000;

class NodeWriter
{
public:
    NodeWriter(ByteWriter& writer, TextCodec& codec) : writer_(writer), codec_(codec) {}

    int Char(char16_t c) { return codec_.WriteChar(writer_, c); }
    int Ascii(const char* text) { return codec_.WriteAscii(writer_, text); }
    int Text(const String& text) { return text.Length() == 0 || codec_.WriteWide(writer_, text.Text()); }

    // Text is written up to its first zero unit, so one inside it would be lost.
    static int Writable(const String& text, const char* forbidden)
    {
        return text.Find(0, 0) < 0 && text.FindAscii(forbidden, 0) < 0;
    }

    int Tabs(int count)
    {
        for (; count > 0; --count)
        {
            if (!Char('\t'))
                return 0;
        }
        return 1;
    }

    int Attribute(XmlNode* attribute)
    {
        XmlNode* text = attribute->GetFirstChild();
        const String& value = text ? text->Value() : attribute->Value();
        return XmlNode::IsValidName(attribute->Name()) && Writable(value, "\"") && Char(' ') &&
               Text(attribute->Name()) && Ascii("=\"") && Text(value) && Char('"');
    }

    int Element(XmlNode* element, int depth)
    {
        if (depth >= XmlNode::kMaxDepth || !XmlNode::IsValidName(element->Name()))
            return 0;
        if (!Tabs(depth) || !Char('<') || !Text(element->Name()))
            return 0;
        XmlNamedNodeMap* attributes = element->GetAttributes();
        if (attributes && !attributes->ForEach([this](XmlNode* attribute) { return Attribute(attribute); }))
            return 0;
        if (!element->HasChildNodes())
            return Ascii("/>\n");
        return Ascii(">\n") && Siblings(element->GetFirstChild(), depth + 1) && Tabs(depth) && Ascii("</") &&
               Text(element->Name()) && Ascii(">\n");
    }

    int Siblings(XmlNode* node, int depth)
    {
        for (; node; node = node->GetNextSibling())
        {
            if (writer_.Size() > kMaxOutputBytes)
            {
                writer_.Close();
                return 0;
            }
            // Text and CDATA are written without children, so a child of one would be lost.
            int ok = 1;
            switch (node->GetNodeType())
            {
            case XmlNode::ELEMENT_NODE:
                ok = Element(node, depth);
                break;
            case XmlNode::TEXT_NODE:
                ok = !node->HasChildNodes() && Writable(node->Value(), "<") && Tabs(depth + 1) && Text(node->Value()) &&
                     Char('\n');
                break;
            case XmlNode::CDATA_SECTION_NODE:
                ok = !node->HasChildNodes() && Writable(node->Value(), "]]>") && Tabs(depth + 1) &&
                     Ascii("<![CDATA[") && Text(node->Value()) && Ascii("]]>\n");
                break;
            default:
                break;
            }
            if (!ok)
                return 0;
        }
        return 1;
    }

private:
    ByteWriter& writer_;
    TextCodec& codec_;
};

} // namespace

int XmlNode::Save(ByteWriter& writer)
{
    TextCodec* codec = ownerDocument_->GetCodec();
    return codec && NodeWriter(writer, *codec).Siblings(this, 0);
}

int XmlDocument::Save(ByteWriter& writer)
{
    // The reader takes top-level text only when markup follows it.
    XmlNode* last = GetLastChild();
    if (!GetCodec() || (last && last->GetNodeType() == TEXT_NODE))
        return 0;
    static const unsigned char kMarks[][3] = {{0, 0, 0}, {0xFF, 0xFE, 0}, {0xFE, 0xFF, 0}, {0xEF, 0xBB, 0xBF}};
    static const int kMarkLengths[] = {0, 2, 2, 3};
    static const char* const kDeclarations[] = {
        "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n",
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n",
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n",
    };
    int encoding = GetEncoding();
    int written = 0;
    if (kMarkLengths[encoding] > 0 && !writer.Write(kMarks[encoding], kMarkLengths[encoding], &written))
        return 0;
    NodeWriter out(writer, *GetCodec());
    return out.Ascii(kDeclarations[encoding]) && out.Siblings(GetFirstChild(), 0);
}
