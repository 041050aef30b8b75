// Reading an XML file into a document: encoding by byte-order mark, then one pass over the
// units through the document's codec. The grammar is the subset the skin files use: elements,
// double-quoted attributes, text and CDATA; declarations, processing instructions and comments
// are skipped; no reference is decoded.
#include <new>

#include "framework/base/ByteReader.h"
#include "framework/base/TextCodec.h"
#include "framework/xml/XmlCData.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlText.h"

class XmlParser
{
public:
    // How a run of children ended.
    enum Result
    {
        FAILED,
        AT_END,
        END_TAG
    };

    XmlParser(XmlDocument* document, ByteReader& reader, TextCodec& codec)
        : document_(document), reader_(reader), codec_(codec)
    {
    }

    // depth: the number of elements that enclose the children (0 at top level).
    Result ParseChildren(XmlNode* node, int depth)
    {
        char16_t u;
        if (!ReadNonSpace(u))
            return reader_.HasError() || depth == 0 ? FAILED : AT_END;
        for (;;)
        {
            if (u != '<' && !ParseText(node, u))
                return FAILED;
            if (!Read(u))
                return FAILED;
            if (u == '/')
                return END_TAG;
            if (u == '?')
            {
                if (!SkipPast('>'))
                    return FAILED;
            }
            else if (u == '!')
            {
                if (!ParseDeclarationOrCData(node))
                    return FAILED;
            }
            else if (!ParseChildElement(node, u, depth + 1))
            {
                return FAILED;
            }
            if (!ReadNonSpace(u))
                return reader_.HasError() ? FAILED : AT_END;
        }
    }

private:
    int Read(char16_t& u) { return codec_.ReadChar(reader_, &u); }

    // Called before each node is made; 0 once the document would hold too many.
    int CountNode() { return ++nodes_ <= XmlNode::kMaxNodes; }

    int ReadNonSpace(char16_t& u)
    {
        do
        {
            if (!Read(u))
                return 0;
        } while (codec_.IsSpace(u));
        return 1;
    }

    int SkipPast(char16_t stop)
    {
        char16_t u;
        do
        {
            if (!Read(u))
                return 0;
        } while (u != stop);
        return 1;
    }

    // The text starts with first and runs up to the next '<', which is consumed.
    int ParseText(XmlNode* node, char16_t first)
    {
        if (!CountNode())
            return 0;
        XmlText* text = new (std::nothrow) XmlText(document_);
        if (!text || !text->Init())
        {
            delete text;
            return 0;
        }
        String& value = text->MutableValue();
        int ok = value.AppendChar(first);
        for (char16_t u; ok;)
        {
            ok = Read(u);
            if (!ok || u == '<')
                break;
            ok = value.AppendChar(u);
        }
        value.TrimRight();
        if (!ok || !node->AppendChild(text))
        {
            delete text;
            return 0;
        }
        return 1;
    }

    // After "<!": a CDATA section, or a declaration or comment that runs to the next '>'.
    int ParseDeclarationOrCData(XmlNode* node)
    {
        char16_t u;
        if (!Read(u))
            return 0;
        if (u != '[')
            return u == '>' || SkipPast('>');
        for (const char* expected = "CDATA["; *expected; ++expected)
        {
            if (!Read(u) || u != static_cast<char16_t>(*expected))
                return 0;
        }
        if (!CountNode())
            return 0;
        XmlCData* cdata = new (std::nothrow) XmlCData(document_);
        if (!cdata || !cdata->Init() || !ReadCDataContent(cdata->MutableValue()) || !node->AppendChild(cdata))
        {
            delete cdata;
            return 0;
        }
        return 1;
    }

    // Up to the first "]]>"; brackets that do not end the section stay in the value.
    int ReadCDataContent(String& value)
    {
        int brackets = 0;
        for (char16_t u;;)
        {
            if (!Read(u))
                return 0;
            if (u == ']')
            {
                if (brackets == 2 && !value.AppendChar(']'))
                    return 0;
                if (brackets < 2)
                    ++brackets;
            }
            else if (u == '>' && brackets == 2)
            {
                return 1;
            }
            else
            {
                for (; brackets > 0; --brackets)
                {
                    if (!value.AppendChar(']'))
                        return 0;
                }
                if (!value.AppendChar(u))
                    return 0;
            }
        }
    }

    int ParseChildElement(XmlNode* node, char16_t first, int depth)
    {
        if (depth > XmlNode::kMaxDepth || !CountNode())
            return 0;
        XmlElement* element = new (std::nothrow) XmlElement(document_);
        if (!element || !ParseElement(element, first, depth) || !node->AppendChild(element))
        {
            delete element;
            return 0;
        }
        return 1;
    }

    // Name units up to '/', '>', '=' or '"' (which becomes current) or up to white space,
    // after which the next other unit becomes current.
    int ReadName(char16_t first, String& name, char16_t& current)
    {
        for (char16_t u = first;;)
        {
            if (u == '/' || u == '>' || u == '=' || u == '"')
            {
                current = u;
                return name.Length() > 0;
            }
            if (codec_.IsSpace(u))
                return ReadNonSpace(current);
            if (!name.AppendChar(u) || !Read(u))
                return 0;
        }
    }

    int ParseElement(XmlElement* element, char16_t first, int depth)
    {
        String& name = element->MutableName();
        char16_t u;
        if (!ReadName(first, name, u) || !XmlNode::IsValidName(name))
            return 0;
        if (u != '/' && u != '>' && !ParseAttributes(element, u))
            return 0;
        if (u == '/')
            return Read(u) && u == '>';
        if (ParseChildren(element, depth) != END_TAG)
            return 0;
        String endName;
        return Read(u) && ReadName(u, endName, u) && u == '>' && name.Compare(endName.Text()) == 0;
    }

    // current starts the first attribute name; on return it is the '/' or '>' that ends them.
    int ParseAttributes(XmlElement* element, char16_t& current)
    {
        // Reused for every attribute: the map copies what it keeps.
        String name;
        String value;
        for (;;)
        {
            name.Clear();
            value.Clear();
            char16_t u;
            if (!ReadName(current, name, u) || !XmlNode::IsValidName(name) || u != '=')
                return 0;
            if (!ReadNonSpace(u) || u != '"')
                return 0;
            for (;;)
            {
                if (!Read(u))
                    return 0;
                if (u == '"')
                    break;
                if (!value.AppendChar(u))
                    return 0;
            }
            value.TrimLeft();
            value.TrimRight();
            if (!CountNode() || !element->SetAttribute(name.Text(), value))
                return 0;
            if (!ReadNonSpace(current))
                return 0;
            if (current == '/' || current == '>')
                return 1;
        }
    }

    XmlDocument* document_; // borrowed
    ByteReader& reader_;
    TextCodec& codec_; // the document's
    int nodes_ = 0;
};

int XmlDocument::Load(ByteReader& reader)
{
    unsigned char mark[3];
    int count = 0;
    if (!reader.Read(mark, 2, &count))
        return 0;
    int encoding = SINGLE_BYTE;
    if (mark[0] == 0xFF)
    {
        if (mark[1] != 0xFE)
            return 0;
        encoding = UTF16LE;
    }
    else if (mark[0] == 0xFE)
    {
        if (mark[1] != 0xFF)
            return 0;
        encoding = UTF16BE;
    }
    else if (mark[0] == 0xEF)
    {
        if (mark[1] != 0xBB || !reader.Read(mark + 2, 1, &count) || mark[2] != 0xBF)
            return 0;
        encoding = UTF8;
    }
    else if (!reader.Unread(mark, 2))
    {
        return 0;
    }
    if (!SetEncoding(encoding))
        return 0;
    // A stray end tag at top level is an error, not the end of the document.
    return XmlParser(this, reader, *GetCodec()).ParseChildren(this, 0) == XmlParser::AT_END;
}
