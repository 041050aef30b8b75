#pragma once
// A parsed XML file: the root of the tree, the node factory and the text codec that reads and
// writes it.
#include <vector>

#include "framework/xml/XmlNode.h"

class ByteReader;
class TextCodec;
class XmlAttribute;
class XmlElement;
class XmlText;

class XmlDocument : public XmlNode
{
public:
    // Encoding numbers: the text codec kinds.
    enum Encoding
    {
        SINGLE_BYTE = 0,
        UTF16LE = 1,
        UTF16BE = 2,
        UTF8 = 3
    };

    XmlDocument();
    ~XmlDocument() override;

    int Init() override; // also makes the UTF-8 codec

    // Fills the document from the reader; 1 when the whole input parsed. Nodes read before a
    // failure stay in the document.
    int Load(ByteReader& reader);
    // Byte-order mark, declaration and the tree; 0 when a write failed, the output grew past
    // its limit or the tree holds text that would not read back as it is.
    int Save(ByteWriter& writer) override;

    // New unlinked nodes of this document; null on failure.
    XmlElement* CreateElement(const char16_t* name);
    XmlText* CreateTextNode(const char16_t* text);
    XmlAttribute* CreateAttribute(const char16_t* name);
    // Every element named name in start's subtree (start included), in document order.
    void GetElementsByTagName(XmlNode* start, const char16_t* name, std::vector<XmlNode*>& out);
    void Release() { delete this; }

    int SetEncoding(int encoding);
    int GetEncoding() const { return encoding_; }
    TextCodec* GetCodec() const { return codec_; }

private:
    TextCodec* codec_ = nullptr;
    int encoding_ = UTF8;
};
