#pragma once

#include "framework/base/String.h"

class DataItem;
class ResponseFunction;

// The text of a numeric display and what typing into it stores, apart from windows.
namespace NumericText
{
// What a numeric display shows: "-" without a numeric item; an integer item's value text
// when it asks for it; else the value (through the response function's map when there is
// one) with the given number of decimals. Returns 0 when the text cannot be built.
int DisplayText(const DataItem* item, int decimals, const ResponseFunction* response, String& out);

// The text the in-place editor opens with: an integer item's value with the display's
// decimals, else the text the control shows.
int EditorText(const DataItem* item, int decimals, const String& shown, String& out);

// Stores typed text in an integer or real item: parsed as a real number, through the
// response function's inverse when there is one. The item refuses what it does not accept;
// other items are left alone.
void StoreEntry(DataItem* item, const String& text, const ResponseFunction* response, int update);
}
