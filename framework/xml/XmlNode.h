#pragma once
// The node interface of the XML tree: a document, elements, attributes, text and CDATA
// sections, named and numbered as in the W3C DOM.
#include <cstdint>

#include "framework/base/Object.h"
#include "framework/base/String.h"
#include "framework/base/StringRef.h"

class ByteWriter;
class XmlDocument;
class XmlNamedNodeMap;
class XmlNodeList;

class XmlNode : public Object
{
public:
    enum NodeType : uint16_t
    {
        ELEMENT_NODE = 1,
        ATTRIBUTE_NODE = 2,
        TEXT_NODE = 3,
        CDATA_SECTION_NODE = 4,
        DOCUMENT_NODE = 9,
    };

    // Deeper trees are neither loaded nor saved: the parser and the writer recurse once per
    // level.
    static const int kMaxDepth = 256;
    // Nor are documents of more nodes (elements, attributes, text and CDATA sections). A node
    // takes a few hundred bytes of memory and can be spelled in four or five, so without a cap
    // a file of some megabytes exhausts the 32-bit address space. A skin file holds a few
    // thousand nodes.
    static const int kMaxNodes = 200000;

    ~XmlNode() override;

    // Gives text, CDATA and document nodes their fixed names; 0 on allocation failure. Every
    // node is initialised once after it is made.
    virtual int Init();

    // The names the parser reads: A-Z, a-z, 0-9 and '_', not starting with a digit or '_'.
    static int IsValidName(const String& name);

    const char16_t* GetNodeName() const;
    int SetNodeName(const char16_t* text);
    virtual const char16_t* GetNodeValue() const;
    int SetNodeValue(const StringRef& text);
    uint16_t GetNodeType() const { return nodeType_; }
    XmlNodeList* GetChildNodes() const { return childNodes_; }
    XmlNamedNodeMap* GetAttributes() const { return attributes_; }
    XmlDocument* GetOwnerDocument() const { return ownerDocument_; }
    XmlNode* GetParentNode() const { return parentNode_; }
    XmlNode* GetFirstChild() const;
    XmlNode* GetLastChild() const;
    XmlNode* GetPreviousSibling() const { return previousSibling_; }
    XmlNode* GetNextSibling() const { return nextSibling_; }

    // A new child is first taken out of the list it is in. A reference that is not a child of
    // this node, a child that is this node or one of its ancestors, and attribute or document
    // nodes as children are refused (0).
    int InsertBefore(XmlNode* newChild, XmlNode* refChild);
    int AppendChild(XmlNode* newChild);
    int RemoveChild(XmlNode* child, int destroy);
    int MoveChild(XmlNode* child, int index);
    int HasChildNodes() const;

    // Writes this node and the siblings that follow it; 0 when a write failed, the size limit
    // was hit or a node holds text that would not read back.
    virtual int Save(ByteWriter& writer);

    // The name and value as the node holds them.
    const String& Name() const { return name_; }
    const String& Value() const { return value_; }

protected:
    String& MutableName() { return name_; }
    String& MutableValue() { return value_; }

    XmlNode(uint16_t nodeType, XmlDocument* ownerDocument);

    XmlNamedNodeMap* attributes_ = nullptr; // made by the first attribute of an element

private:
    friend class XmlNodeList;
    friend class XmlNamedNodeMap;
    friend class XmlParser;

    int EnsureChildNodes();
    void AdoptInto(XmlDocument* document);

    String name_;
    String value_;
    uint16_t nodeType_;
    XmlNodeList* childNodes_ = nullptr;
    XmlNode* parentNode_ = nullptr;
    XmlNode* previousSibling_ = nullptr;
    XmlNode* nextSibling_ = nullptr;
    XmlDocument* ownerDocument_;
};
