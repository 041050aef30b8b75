#pragma once
// Reading helpers of the skin loader; names are 8-bit literals.
#include <vector>

#include "framework/base/String.h"

class XmlElement;
class XmlNode;

namespace XmlUtil
{

// 1 and the value in out when the element has the attribute; else 0 with out untouched
// (or, when the value could not be copied, empty).
int GetAttribute(const XmlElement* element, const char* name, String& out);
// Unsigned decimal; -1 when the attribute is absent or empty, and when its value is not
// an unsigned decimal number up to INT_MAX ("-10", "0x10", "1e10", "2147483648"): a value
// read in part would be a wrong value, absent keeps the reader's default.
int GetAttributeInt(const XmlElement* element, const char* name);
// Optional sign, integer part, fraction (either may be missing, not both); 0.0 when the
// attribute is absent or empty, or when its value is no such number or lies beyond a float.
float GetAttributeReal(const XmlElement* element, const char* name);
// The number rules of the two readers above, for values read elsewhere.
int ParseInt(const String& text);
float ParseReal(const String& text);
// The first child of any type with that node name (ASCII case folded when ignoreCase is set).
XmlNode* FindChild(const XmlNode* node, const char* name, int ignoreCase);
// Appends every child with that node name; 1 when out is then non-empty.
int GetChildrenByName(const XmlNode* node, const char* name, std::vector<XmlNode*>& out);

} // namespace XmlUtil
