#pragma once
// The attributes of an element, unique by name and kept in name order. The map owns its
// attribute nodes.
#include "framework/base/Object.h"
#include "framework/base/StringDictionary.h"
#include "framework/base/StringRef.h"
#include "framework/xml/XmlAttribute.h"

class XmlDocument;
class XmlElement;

class XmlNamedNodeMap : public Object
{
public:
    explicit XmlNamedNodeMap(XmlElement* owner);
    ~XmlNamedNodeMap() override;

    int GetLength() const;
    XmlAttribute* GetNamedItem(const char16_t* name) const;
    XmlAttribute* Item(int index) const; // in name order; null when index is outside the map
    // Calls visit(attribute) in name order while it answers non-zero; 0 when it stopped early.
    template <class Visit>
    int ForEach(Visit visit) const
    {
        for (auto it = items_.Begin(); it != items_.End(); it = it->Next())
        {
            if (!visit(static_cast<XmlAttribute*>(it->entry->value)))
                return 0;
        }
        return 1;
    }
    // Sets the value of the attribute of that name, making it when missing; null on failure.
    XmlAttribute* SetAttribute(const char16_t* name, const StringRef& value);
    // Stores an attribute node, destroying another one of the same name. Storing a node that
    // is already stored changes nothing; a node stored in another element's map is refused.
    XmlAttribute* SetNamedItem(XmlAttribute* attribute);
    void SetOwner(XmlElement* owner) { owner_ = owner; }

private:
    friend class XmlNode;

    void AdoptInto(XmlDocument* document);

    XmlElement* owner_; // borrowed: the owner holds this map
    StringDictionary items_;
};
