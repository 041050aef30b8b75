#pragma once
#include "framework/base/String.h"
#include "mixer/engine/VarnServices.h"

// The texts of string ids: the loaded skin's string table in the program (the skin's
// FindStringById), a table of their own in tests. Null for an id the table lacks.
class StringTable
{
public:
    virtual const String* FindStringById(const char* id) = 0;

protected:
    ~StringTable() = default;
};

// The display names of ports and channels, for the views and for the COM clients. The names
// are composed from string ids and numbers; which connector a port index means depends on the
// hardware's features and on the sample rate, both read from the mixer model at every call.
//
// Common arguments: name and category receive the texts (either may be null); shortForm asks
// for the short labels (ids with "_ABBREV", without the +In/+Out word, the L/R letters of
// L/R-style names and the bracketed suffix); single names one channel of a pair, the right
// one when right is set. A missing text gives "?????" or the builder's English fallback.
class PortNames
{
public:
    // mixer: borrowed, may be null (then every feature is off and the rate is 44.1 kHz).
    PortNames(IVarnMixer* mixer, StringTable& strings) : mixer_(mixer), strings_(strings) {}

    // 1 when the port is named; 0 when its index has no name here (category untouched).
    int GetInputName(IVarnInput* input, String* name, String* category, int shortForm, int single, int right);
    // The name is first set to "Test Output", which stays when the label text is missing.
    int GetOutputName(IVarnOutput* output, String* name, String* category, int shortForm, int single, int right);
    // What the input feeds: "-" when unassigned, a strip, aux or the main bus, or the plug-in.
    void GetStripName(IVarnInput* input, String* name, int shortForm);
    // What feeds the output: bus part "-" insert part, "-" without a source.
    void GetInsertName(IVarnOutput* output, String* name, int shortForm);
    // A strip, aux or the main mix followed by a blank, and with withSide another blank and
    // the L or R text.
    void GetMainMixName(IVarnInsertChain* bus, String* name, int withSide, int right);

private:
    struct Context;
    struct Label;
    Context ReadContext();
    const String* Find(const char* id) { return strings_.FindStringById(id); }
    // Appends the id's text, or "?????" when the table lacks it.
    void AppendOrMissing(String& out, const char* id);
    int SetCategory(String* category, const char* id);
    // The "IDS_L" or "IDS_R" text; nothing when the table lacks it.
    void AppendSide(String& out, bool right);
    void Compose(const Label& label, String& name, int shortForm, int single, int right, const char* word, bool output);
    // The id's text (with "_ABBREV" in the short form), else the English fallback.
    void AppendLabel(String& out, const char* id, const char* fallback, int shortForm);
    // "Strip n", "Aux n" or the main bus's label.
    void AppendBus(String& out, IVarnInsertChain* bus, int shortForm, const char* mainId, const char* mainFallback);

    IVarnMixer* mixer_; // borrowed
    StringTable& strings_;
};
