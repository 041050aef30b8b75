#pragma once
// A text display whose click opens a pop-up list of entries to choose from.

#include "plugins/base/gui/MenuEntries.h"
#include "plugins/base/gui/ParamDisplay.h"

class OptionMenu : public ParamDisplay
{
public:
    // The list bitmap, when given, is the background while the list is open; both bitmaps are
    // remembered.
    OptionMenu(const Rect& size, ControlListener* listener, int32_t tag, PluginBitmap* background = nullptr,
               PluginBitmap* listBitmap = nullptr, int32_t style = 0);
    ~OptionMenu() override;

    void Draw(DrawContext* context) override;
    void MouseDown(DrawContext* context, const Point& where) override;

    // False when 128 entries exist; index -1 appends.
    bool AddEntry(const char* text, int32_t index = -1);
    void RemoveEntry(int32_t index);
    void RemoveAllEntries();
    // The current index (-1 when none); copies its text (at most 256 bytes) when asked.
    int32_t GetCurrent(char* text = nullptr) const;
    // False for an index out of range or a separator; else chosen and redrawn at the next idle.
    bool SetCurrent(int32_t index);
    // False for an index out of range; the text takes at most 256 bytes.
    bool GetEntry(int32_t index, char* text) const;
    int32_t GetNbEntries() const { return entries_.Count(); }

private:
    // Shows the list as a pop-up menu; the chosen index, or -1.
    int32_t ChooseEntry();
    void Chosen();

    MenuEntries entries_;
    PluginBitmap* listBitmap_; // remembered, may be null
};
