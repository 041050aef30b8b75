#pragma once
// Shared by the XML tests: documents loaded from and saved to memory, and readable trees.
#include <string>
#include <vector>

#include "framework/base/tests/MemoryStreams.h"
#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlNamedNodeMap.h"
#include "framework/xml/XmlNode.h"

inline std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// Loads bytes into doc; the load's result.
inline int LoadBytes(XmlDocument& doc, const std::vector<uint8_t>& bytes)
{
    MemoryReader reader(bytes);
    return doc.Load(reader);
}

// The units of a UTF-16 text as an ASCII string, other units as \uXXXX.
inline std::string Narrow(const char16_t* text)
{
    std::string out;
    static const char kHex[] = "0123456789ABCDEF";
    for (; text && *text; ++text)
    {
        char16_t c = *text;
        if (c >= 0x20 && c < 0x7F)
        {
            out += static_cast<char>(c);
        }
        else
        {
            out += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHex[(c >> shift) & 0xF];
        }
    }
    return out;
}

// A tree as one line: elements as name[attributes](children), text as "text", CDATA as <text>.
inline std::string Describe(const XmlNode* node)
{
    std::string out;
    for (; node; node = node->GetNextSibling())
    {
        switch (node->GetNodeType())
        {
        case XmlNode::ELEMENT_NODE: {
            out += Narrow(node->GetNodeName());
            XmlNamedNodeMap* attributes = node->GetAttributes();
            if (attributes && attributes->GetLength() > 0)
            {
                out += "[";
                for (int i = 0; i < attributes->GetLength(); ++i)
                {
                    XmlNode* attribute = attributes->Item(i);
                    out += (i ? " " : "") + Narrow(attribute->GetNodeName()) + "=" + Narrow(attribute->GetNodeValue());
                }
                out += "]";
            }
            if (node->HasChildNodes())
                out += "(" + Describe(node->GetFirstChild()) + ")";
            break;
        }
        case XmlNode::TEXT_NODE:
            out += "\"" + Narrow(node->GetNodeValue()) + "\"";
            break;
        case XmlNode::CDATA_SECTION_NODE:
            out += "<" + Narrow(node->GetNodeValue()) + ">";
            break;
        default:
            out += "?";
        }
        if (node->GetNextSibling())
            out += ",";
    }
    return out;
}
