#pragma once
#include "mixer/dialogs/InsertPortChoices.h"

class Dialog;
class IntItem;
class Skin;

// What the insert dialogs do alike with a port list: a combo box of the dialog shows it (each
// item holds its entry's index: combo values are 32-bit, ports are pointers), the integer item
// bound to the box ranges over every entry and starts at the pre-selection, and a refused "OK"
// shows its message over the dialog. User-interface thread only.
namespace InsertPortForm
{
// Fills the combo box of that name, when the dialog has one, and sets the item's range and
// value; disabled greys the box (the "Disabled" lists).
void Show(Dialog& dialog, const char* comboName, IntItem* item, const InsertPortList& list, bool disabled);
// The last entry's index, the item's maximum (0 for an empty list).
int LastIndex(const InsertPortList& list);
// The entry the item selects, -1 without the item.
int Selected(const IntItem* item);
// The message box of that id over the dialog; answers 0, the refused accept.
int Refuse(Skin& skin, Dialog& dialog, const char* messageId);
} // namespace InsertPortForm
