#pragma once

#include "framework/base/String.h"

#include <cstdint>

class Control;
class DataItem;
class FontInterface;
class FrameIndexControl;
class Panel;
class Skin;
class SkinBitmap;
class XmlElement;

// Builds panels from a skin's layout: the background sections of a panel element and one
// control per child element, each bound by name to a data item the panel registered. The
// skin sits below the controls, so building them lives here, above both, in a class that
// takes the skin: the skin itself has no (virtual) operations for panels, dialog panels,
// message boxes or frame windows that a derived skin could override.
//
// Elements and their attributes follow the skin's conventions (integers -1 when absent,
// colours black, images and fonts by name). An element that lacks what it needs makes no
// control and the rest of the panel is built; every failure is silent and goes to the skin's
// report. The skin must outlive the builder. User-interface thread only.
class PanelBuilder
{
public:
    explicit PanelBuilder(Skin& skin) : skin_(skin) {}

    // Empties the panel, then gives it the background of the layout's panel of that name
    // (backgroundName null: its first background) and its controls, and names it; refresh
    // composes the background at once. 0 when the skin has no such panel (the panel stays
    // empty).
    int BuildPanel(const char* name, Panel& panel, int refresh, const char* backgroundName);
    // Reads the background of the panel's own element again; the controls stay. redraw shows
    // it at once. 0 for a panel without a name or one the skin does not have.
    int RebuildPanelBackground(Panel& panel, const char* backgroundName, int redraw);
    // A visual state: the background of that name of the panel's own element in place of the
    // panel's. 0 with the look kept when the element has no background of that name (where
    // RebuildPanelBackground would leave the panel blank).
    int ApplyPanelState(Panel& panel, const char* stateName, int redraw);

    // The element's background sections (backgroundName as above) in place of the panel's.
    void ReadPanelBackground(const XmlElement& element, Panel& panel, const char* backgroundName);
    // One control per child element of a panel or dialog panel element, added to the panel
    // in the order of the elements and bound to the data item its data attribute names.
    void ReadPanelControls(const XmlElement& element, Panel& panel);
    // The control one element makes, with its tooltip and help; null for elements that make
    // none of their own (backgrounds, borders, page tabs and radio groups add theirs to the
    // panel themselves). tabName (with pageIndex) is set while a page's children are read.
    Control* BuildControl(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    // The panel's data item that the element's data attribute names; null without the
    // attribute, and (reported) when the panel has no such item.
    DataItem* ResolveDataRef(const XmlElement& element, Panel& panel);

private:
    using Reader = Control* (PanelBuilder::*)(const XmlElement&, Panel&, const String*, int);
    struct Kind
    {
        const char* element;
        Reader read;
    };
    static const Kind kKinds[];

    Control* ReadText(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadUrlText(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadImage(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadNumericDisplay(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadButton(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadRotary(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadSliderBar(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadSlider(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadPeakMeter(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadComboBox(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadScrollbar(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadView(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadRegion(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadBorder(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadRadioGroup(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    Control* ReadPageTab(const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);

    // What text, link and number elements share; a link has no edit font.
    struct Label
    {
        int x = -1;
        int y = -1;
        FontInterface* font = nullptr;
        FontInterface* editFont = nullptr;
        uint32_t colour = 0;
        uint32_t disabledColour = 0;
        int width = -1;
        int alignment = 0;
        SkinBitmap* background = nullptr;
        int left = -1;
        int middle = -1;
        int right = -1;
    };
    // 0 without a position or a font found.
    int ReadLabel(const XmlElement& element, int editable, Label& label);
    // Names the control after the element and adds it with the element's data item, to the
    // page when tabName is set, else to the panel.
    void Place(Control* control, const XmlElement& element, Panel& panel, const String* tabName, int pageIndex);
    // The text attribute, else the skin's string of textId (or another pair of names); empty
    // without either.
    String TextOf(const XmlElement& element, const char* textName, const char* idName);
    // The response function the element names, for the multi-state controls.
    void ApplyResponseFunction(const XmlElement& element, FrameIndexControl& control);

    Skin& skin_;
};
