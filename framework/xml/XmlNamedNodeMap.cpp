#include "framework/xml/XmlNamedNodeMap.h"

#include <new>

#include "framework/xml/XmlAttribute.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlText.h"

XmlNamedNodeMap::XmlNamedNodeMap(XmlElement* owner) : owner_(owner) {}

XmlNamedNodeMap::~XmlNamedNodeMap()
{
    items_.DeleteValues(items_.Begin(), items_.End());
}

int XmlNamedNodeMap::GetLength() const
{
    return static_cast<int>(items_.Count());
}

XmlAttribute* XmlNamedNodeMap::GetNamedItem(const char16_t* name) const
{
    auto found = items_.Find(name);
    return found == items_.End() ? nullptr : static_cast<XmlAttribute*>(found->entry->value);
}

XmlAttribute* XmlNamedNodeMap::Item(int index) const
{
    if (index < 0)
        return nullptr;
    auto it = items_.Begin();
    for (; index > 0 && it != items_.End(); --index)
        it = it->Next();
    return it == items_.End() ? nullptr : static_cast<XmlAttribute*>(it->entry->value);
}

XmlAttribute* XmlNamedNodeMap::SetAttribute(const char16_t* name, const StringRef& value)
{
    if (XmlAttribute* existing = GetNamedItem(name))
        return existing->SetValue(value) ? existing : nullptr;
    XmlDocument* document = owner_->GetOwnerDocument();
    XmlAttribute* attribute = new (std::nothrow) XmlAttribute(document);
    if (!attribute)
        return nullptr;
    if (!attribute->SetNodeName(name) || !attribute->SetValue(value) || !SetNamedItem(attribute))
    {
        delete attribute;
        return nullptr;
    }
    return attribute;
}

XmlAttribute* XmlNamedNodeMap::SetNamedItem(XmlAttribute* attribute)
{
    if (!attribute)
        return nullptr;
    // Only a map gives an attribute its parent, so the parent tells where it is stored (its
    // name may have changed since).
    if (attribute->GetParentNode())
        return attribute->GetParentNode() == owner_ ? attribute : nullptr;
    auto found = items_.Find(attribute->GetNodeName());
    if (found != items_.End())
    {
        delete found->entry->value;
        items_.EraseNode(found);
    }
    if (!items_.Insert(attribute->GetNodeName(), attribute).inserted)
        return nullptr;
    attribute->parentNode_ = owner_;
    attribute->AdoptInto(owner_->GetOwnerDocument());
    return attribute;
}

void XmlNamedNodeMap::AdoptInto(XmlDocument* document)
{
    for (auto it = items_.Begin(); it != items_.End(); it = it->Next())
        static_cast<XmlNode*>(it->entry->value)->AdoptInto(document);
}
