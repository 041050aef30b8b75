#include "mixer/names/PortNames.h"

#include <string>

#include "mixer/engine/EngineVocabulary.h"

namespace
{
enum RateClass
{
    BaseRate,   // 44.1, 48 kHz
    DoubleRate, // 96, 88.2 kHz
    QuadRate    // 192, 176.4 kHz
};

enum NumberStyle
{
    PairNumbers, // 2p+1 / 2p+2
    LeftRight,   // L/R
    Numbered,    // p+1 L / p+1 R
    NoNumbers
};

const char* const kMissing = "?????";

// Both channels of a pair joined by the separator, or with single only the left or the right
// one; one(isRight) appends a channel.
template <class One>
void AppendPair(String& out, int single, int right, const char* separator, One one)
{
    if (!single || !right)
        one(false);
    if (!single)
        out.AppendAscii(separator);
    if (!single || right)
        one(true);
}

// Numbers first and first + 1 under the single/right flags.
void AppendNumbers(String& out, int first, int single, int right, const char* separator)
{
    AppendPair(out, single, right, separator, [&](bool isRight) { out.AppendInt(first + (isRight ? 1 : 0)); });
}

// "OUT 1 / 2", but "OUT 11/12": the pair joins with blanks only while its first number has
// one digit.
void AppendAsioNumbers(String& out, int first, int single, int right)
{
    AppendNumbers(out, first, single, right, first < 10 ? " / " : "/");
}

int PortIndexOrZero(int (VARN_CALL IVarnInput::*getter)(int*), IVarnInput* input)
{
    int value = 0;
    return (input->*getter)(&value) ? value : 0;
}
} // namespace

struct PortNames::Context
{
    RateClass rate = BaseRate;
    // The hardware features that name the ports.
    bool dock = false, ioCard = false, smallBox = false, secondModelSync = false, thirdModel = false;
    bool t = false; // the interface box of the later models
    int m = -1;     // "Tebro192KettermMode": 0, 1 or 2
};

struct PortNames::Label
{
    const char* label;
    bool plusWord = false; // a blank and the "IDS_IN" / "IDS_OUT" text
    NumberStyle style = PairNumbers;
    int p = 0;
    const char* suffix = nullptr;
    int shortForm = -1; // -1 as the caller asks, else forced on (1) or off (0)
};

PortNames::Context PortNames::ReadContext()
{
    Context context;
    IVarnHardware* hardware = mixer_ ? mixer_->GetHardware() : nullptr;
    int code = mixer_ ? mixer_->GetRateCode() : 0;
    if (code == 2 || code == 4)
        context.rate = DoubleRate;
    else if (code == 3 || code == 5)
        context.rate = QuadRate;
    if (!hardware)
        return context;
    context.dock = hardware->HasFeature(HardwareFeature::kDock) != 0;
    context.ioCard = hardware->HasFeature(HardwareFeature::kIoCard) != 0;
    context.smallBox = hardware->HasFeature(HardwareFeature::kSmallBox) != 0;
    context.secondModelSync = hardware->HasFeature(HardwareFeature::kSecondModelSync) != 0;
    context.thirdModel = hardware->HasFeature(HardwareFeature::kThirdModel) != 0;
    context.t =
        hardware->HasFeature(HardwareFeature::kSecondModel) != 0 || (context.secondModelSync && context.thirdModel);
    if (IVarnSettings* settings = hardware->GetSettings())
        settings->GetValue("Tebro192KettermMode", &context.m);
    return context;
}

void PortNames::AppendOrMissing(String& out, const char* id)
{
    const String* text = id ? Find(id) : nullptr;
    if (text)
        out.Append(*text);
    else
        out.AppendAscii(kMissing);
}

void PortNames::AppendSide(String& out, bool right)
{
    if (const String* text = Find(right ? "IDS_R" : "IDS_L"))
        out.Append(*text);
}

int PortNames::SetCategory(String* category, const char* id)
{
    if (category)
    {
        category->Clear();
        AppendOrMissing(*category, id);
    }
    return 1;
}

void PortNames::Compose(const Label& label, String& name, int shortForm, int single, int right, const char* word,
                        bool output)
{
    int isShort = label.shortForm >= 0 ? label.shortForm : shortForm;
    if (const String* text = Find(label.label))
        name.Assign(*text);
    if (!isShort && label.plusWord)
    {
        name.AppendAscii(" ");
        if (const String* text = Find(word))
            name.Append(*text);
    }
    name.AppendAscii(" ");
    auto appendSide = [&](bool isRight) { AppendSide(name, isRight); };
    switch (label.style)
    {
    case PairNumbers:
        AppendNumbers(name, 2 * label.p + 1, single, right, " / ");
        break;
    case LeftRight:
        if (!isShort)
            AppendPair(name, single, right, "/", appendSide);
        break;
    case Numbered:
        if (output && isShort)
            name.AppendInt(label.p + 1);
        else
            AppendPair(name, single, right, " / ", [&](bool isRight) {
                name.AppendInt(label.p + 1);
                appendSide(isRight);
            });
        break;
    case NoNumbers:
        break;
    }
    if (!isShort && label.suffix)
    {
        name.AppendAscii("(");
        if (const String* text = Find(label.suffix))
            name.Append(*text);
        name.AppendAscii(")");
    }
}

int PortNames::GetInputName(IVarnInput* input, String* name, String* category, int shortForm, int single, int right)
{
    if (!input)
        return 0;
    Context c = ReadContext();
    String scratch;
    String& out = name ? *name : scratch;
    int n = input->GetIndex();
    switch (input->GetKind())
    {
    case InputKind::kMonoPhysical: {
        std::string id = "IDS_MONO_PHYS_INPUT_";
        if (c.t && c.secondModelSync)
            id += "TEBRO_";
        if (c.thirdModel && !c.secondModelSync && c.rate == QuadRate)
            id += "PILVO3_";
        if (c.rate == DoubleRate)
            id += "96_";
        else if (c.rate == QuadRate)
            id += "192_";
        id += std::to_string(n + 1);
        if (c.rate == QuadRate && c.t && c.secondModelSync && n > 5 && n < 10 && c.m >= 0 && c.m <= 2)
            id += "ABC"[c.m];
        if (shortForm)
            id += "_ABBREV";
        out.Clear();
        AppendOrMissing(out, id.c_str());

        const char* card = c.smallBox ? "IDS_PCICARD" : "IDS_IOCARD";
        if (c.t && c.secondModelSync)
            return SetCategory(category, "IDS_HOLBRIN");
        if (n < 2)
            return SetCategory(category, "IDS_HOLBRIN");
        if (n < 4)
            return SetCategory(category, card);
        if (c.rate == QuadRate)
        {
            if (n < 6)
                return SetCategory(category, "IDS_PCICARD");
            if (n < 10 && !c.thirdModel)
                return SetCategory(category, "IDS_HOLBRIN");
            if ((n == 6 || n == 7) && c.thirdModel && !c.secondModelSync)
                return SetCategory(category, "IDS_PCICARD");
            return 0;
        }
        int pciEnd = c.rate == BaseRate ? 14 : 10;
        if (n < pciEnd)
            return SetCategory(category, "IDS_PCICARD");
        if (n < pciEnd + 6)
            return SetCategory(category, "IDS_HOLBRIN");
        return 0;
    }
    case InputKind::kStereoPhysical: {
        Label l{"IDS_IN"};
        const Label mic{"IDS_MIC_STEREO", true, NoNumbers};
        // The last port of each rate: the table gives it only the +In word and L/R letters.
        const Label open{"IDS_IN", true, LeftRight};
        if (c.rate == BaseRate)
        {
            if (n == 0)
                l = {"IDS_SPDIF", true, LeftRight};
            else if (n >= 1 && n <= 4)
                l = {"IDS_ADAT", true, PairNumbers, n - 1};
            else if (n == 5 || n == 6)
                l = {"IDS_IN", false, Numbered, n - 5, c.t && n == 6 ? "IDS_PHONO" : nullptr};
            else if (n == 7)
                l = c.t ? mic : Label{"IDS_IN", false, Numbered, 2, "IDS_PHONO"};
            else if (n == 8)
                l = mic;
            else if (n == 9)
                l = open;
        }
        else if (c.rate == DoubleRate)
        {
            bool tf10 = c.t && c.secondModelSync;
            if (n == 0)
                l = {"IDS_SPDIF", true, LeftRight};
            else if (n == 1 || n == 2)
                l = {"IDS_ADAT", true, PairNumbers, n - 1};
            else if (n == 3)
                l = {"IDS_IN", false, Numbered, tf10 ? 0 : 1};
            else if (n == 4)
                l = {"IDS_IN", false, Numbered, tf10 ? 1 : 2, "IDS_PHONO"};
            else if (n == 5)
                l = c.t ? mic : Label{"IDS_IN", false, Numbered, 0};
            else if (n == 6)
                l = mic;
            else if (n == 7)
                l = open;
        }
        else if (c.t)
        {
            if (n == 0)
                l = {"IDS_IN", false, Numbered, 0};
            else if (n == 1 && (c.m == 0 || c.m == 2))
                l = {"IDS_IN", false, Numbered, 1, "IDS_PHONO"};
            else if (n == 1 && c.m == 1)
                l = {"IDS_SPDIF", false, LeftRight, 0, nullptr, 1};
            else if (n == 2 && c.m == 0)
                l = {"IDS_SPDIF", false, LeftRight, 0, nullptr, 1};
            else if (n == 2 && (c.m == 1 || c.m == 2))
                l = {"IDS_ADAT", false, PairNumbers, 0, nullptr, 1};
            else if (n == 3)
                l = mic;
        }
        else
        {
            if (n == 0)
                l = {"IDS_ADAT", true, PairNumbers, 0};
            else if (n == 1)
                l = c.thirdModel ? Label{"IDS_SPDIF", false, LeftRight} : Label{"IDS_IN", false, Numbered, 0};
            else if (n == 2)
                l = {"IDS_IN", false, Numbered, 2, "IDS_PHONO"};
            else if (n == 3)
                l = mic;
            else if (n == 4)
                l = open;
        }
        Compose(l, out, shortForm, single, right, "IDS_IN", false);

        const char* card = c.smallBox ? "IDS_PCICARD" : "IDS_IOCARD";
        if (c.t)
            return SetCategory(category, "IDS_HOLBRIN");
        if (c.rate == BaseRate)
        {
            if (n < 5)
                return SetCategory(category, "IDS_PCICARD");
            if (n <= 8)
                return SetCategory(category, "IDS_HOLBRIN");
            return n == 9 ? SetCategory(category, card) : 0;
        }
        if (c.rate == DoubleRate)
        {
            if (n < 3)
                return SetCategory(category, "IDS_PCICARD");
            return SetCategory(category, n == 7 ? card : "IDS_HOLBRIN");
        }
        switch (n)
        {
        case 0:
            return SetCategory(category, "IDS_PCICARD");
        case 1:
            return SetCategory(category, c.thirdModel ? "IDS_PCICARD" : "IDS_HOLBRIN");
        case 2:
            // With the third model the table names no card here: the category shows the missing text.
            return SetCategory(category, c.thirdModel ? nullptr : "IDS_HOLBRIN");
        case 3:
            return SetCategory(category, "IDS_HOLBRIN");
        case 4:
            return SetCategory(category, card);
        default:
            return SetCategory(category, nullptr);
        }
    }
    case InputKind::kHost: {
        int subKind = -1;
        input->GetSubKind(&subKind);
        switch (subKind)
        {
        case InputKind::kSubAsioPair:
            out.AssignAscii("OUT ");
            AppendAsioNumbers(out, 2 * PortIndexOrZero(&IVarnInput::GetAsioIndex, input) + 1, single, right);
            return SetCategory(category, "IDS_ASIO_FROM");
        case InputKind::kSubWave: {
            out.Clear();
            AppendNumbers(out, 2 * PortIndexOrZero(&IVarnInput::GetWavePair, input) + 1, single, right, " / ");
            return SetCategory(category, "IDS_WAVE");
        }
        case InputKind::kSubSynth:
            out.Clear();
            return SetCategory(category, "IDS_SYNTH");
        case InputKind::kSubMidiFxSend: {
            std::string id =
                "IDS_MIDIFX_SEND_INPUT_" + std::to_string(PortIndexOrZero(&IVarnInput::GetMidiFxSend, input) + 1);
            if (shortForm)
                id += "_ABBREV";
            out.Clear();
            AppendOrMissing(out, id.c_str());
            return SetCategory(category, "IDS_GEN_MIDI");
        }
        default:
            return 0;
        }
    }
    case InputKind::kAsioChannel: {
        int subKind = -1;
        input->GetSubKind(&subKind);
        if (subKind != InputKind::kSubAsioChannel)
            return 0;
        out.AssignAscii("OUT ");
        out.AppendInt(PortIndexOrZero(&IVarnInput::GetAsioIndex, input) + 1);
        return SetCategory(category, "IDS_ASIO_FROM");
    }
    default:
        return 0;
    }
}

int PortNames::GetOutputName(IVarnOutput* output, String* name, String* category, int shortForm, int single, int right)
{
    String scratch;
    String& out = name ? *name : scratch;
    out.AssignAscii("Test Output");
    if (!output)
        return 0;
    Context c = ReadContext();
    bool singleChannel = output->IsSingleChannel() != 0;
    int channel = singleChannel ? output->GetChannel() : 0;
    switch (output->GetKind())
    {
    case OutputKind::kWave: {
        const String* wave = Find("IDS_WAVE");
        if (!wave)
            out.AssignAscii(kMissing);
        else
        {
            out.Assign(*wave);
            out.AppendAscii(" ");
            AppendPair(out, single, right, " / ", [&](bool isRight) { AppendSide(out, isRight); });
        }
        if (category)
            SetCategory(category, "IDS_HOST");
        return 1;
    }
    case OutputKind::kAsio: {
        const String* to = Find("IDS_ASIO_TO");
        if (!to)
            out.AssignAscii(kMissing);
        else
        {
            out.Assign(*to);
            out.AppendAscii(" IN ");
            if (singleChannel)
                out.AppendInt(channel + 1);
            else
                AppendAsioNumbers(out, 2 * output->GetIndex() + 1, single, right);
        }
        if (category)
            SetCategory(category, "IDS_HOST");
        return 1;
    }
    case OutputKind::kPhysical:
        break;
    default:
        return 1;
    }

    // A single-channel output names its own channel of the pair.
    int n = singleChannel ? channel / 2 : output->GetIndex();
    if (singleChannel)
    {
        single = 1;
        right = channel & 1;
    }
    Label l{"IDS_OUT"};
    const Label spdif{"IDS_SPDIF", false, LeftRight};
    const Label lineOut{"IDS_HEADPHONE_LINEOUT", false, Numbered, 0};
    const Label monitor{"IDS_OUT", false, Numbered, 3, "IDS_MONITOR"};
    if (c.rate == BaseRate || (c.rate == DoubleRate && !c.dock && !c.secondModelSync))
    {
        if (n == 0)
        {
            if (c.t && c.secondModelSync)
                l = lineOut;
            else if (c.t)
                l = {"IDS_HEADPHONE", false, LeftRight};
            else if (c.smallBox)
                l = {"IDS_OUT", false, LeftRight, 0, nullptr, 0};
        }
        else if (n == 1 || n == 10)
            l = spdif;
        else if (n >= 2 && n <= 5)
            l = {"IDS_ADAT", true, PairNumbers, n - 2};
        else if (n >= 6 && n <= 8)
            l = {"IDS_OUT", false, Numbered, c.secondModelSync ? n - 5 : n - 6};
        else if (n == 9)
            l = c.secondModelSync ? spdif : monitor;
        else if (n == 11)
            l = {"IDS_HEADPHONE", false, LeftRight};
    }
    else if (c.rate == DoubleRate)
    {
        if (n == 0)
            l = c.secondModelSync ? lineOut : monitor;
        else if (n == 1 || n == 7)
            l = spdif;
        else if (n == 2 || n == 3)
            l = {"IDS_ADAT", false, PairNumbers, n - 2};
        else if (n >= 4 && n <= 6)
            l = {"IDS_OUT", false, Numbered, c.secondModelSync ? n - 3 : n - 4};
    }
    else if (c.dock)
    {
        if (n == 0)
            l = monitor;
        else if (n == 1)
            l = {"IDS_ADAT"};
        else if (n == 2 || n == 3)
            l = {"IDS_OUT", false, Numbered, n - 2};
    }
    else if (c.ioCard || (!c.smallBox && !c.t))
    {
        if (n == 1)
            l = {"IDS_ADAT"};
        else if (n == 2 && c.thirdModel)
            l = spdif;
    }
    else if (c.smallBox)
    {
        if (n == 0)
            l = {"IDS_OUT", false, LeftRight, 0, nullptr, 0};
    }
    else if (!c.secondModelSync)
    {
        if (n == 0)
            l = {"IDS_HEADPHONE", false, LeftRight};
    }
    else
    {
        if (n == 0)
            l = lineOut;
        else if (n == 1)
            l = {"IDS_OUT", false, Numbered, 1};
        else if (n == 2 && (c.m == 0 || c.m == 2))
            l = {"IDS_OUT", false, Numbered, 2};
        else if (n == 2 && c.m == 1)
            l = spdif;
        else if (n == 3 && c.m == 0)
            l = spdif;
        else if (n == 3 && (c.m == 1 || c.m == 2))
            l = {"IDS_ADAT"};
    }
    Compose(l, out, shortForm, single, right, "IDS_OUT", true);

    if (!category)
        return 1;
    const char* firstPort = c.smallBox           ? "IDS_PCICARD"
                            : !c.t               ? "IDS_IOCARD"
                            : !c.secondModelSync ? "IDS_CBCARD"
                                                 : "IDS_Ketterm1";
    const char* card = c.secondModelSync ? "IDS_HOLBRIN" : "IDS_PCICARD";
    bool boxOnly = c.dock && !c.t; // the models whose first port sits on the interface box
    if (c.rate == BaseRate)
    {
        if (n == 0)
            return SetCategory(category, firstPort);
        if (n <= 5)
            return SetCategory(category, card);
        return n <= 11 ? SetCategory(category, "IDS_HOLBRIN") : 0;
    }
    int last = c.rate == DoubleRate ? 7 : 3;
    if (boxOnly)
    {
        if (n == 0)
            return SetCategory(category, "IDS_HOLBRIN");
        if (n <= (c.rate == DoubleRate ? 3 : 1))
            return SetCategory(category, "IDS_PCICARD");
        return n <= last ? SetCategory(category, "IDS_HOLBRIN") : 0;
    }
    if (n == 0)
        return SetCategory(category, firstPort);
    if (n <= 3)
        return SetCategory(category, card);
    int lastBox = c.rate == DoubleRate ? 6 : 7;
    return n <= lastBox && c.secondModelSync ? SetCategory(category, "IDS_HOLBRIN") : 0;
}

void PortNames::AppendLabel(String& out, const char* id, const char* fallback, int shortForm)
{
    std::string key = id;
    if (shortForm)
        key += "_ABBREV";
    if (const String* text = Find(key.c_str()))
        out.Append(*text);
    else
        out.AppendAscii(fallback);
}

void PortNames::AppendBus(String& out, IVarnInsertChain* bus, int shortForm, const char* mainId,
                          const char* mainFallback)
{
    switch (bus->GetBusType())
    {
    case 0:
        AppendLabel(out, "IDS_STRIP", "Strip", shortForm);
        if (IVarnStrip* strip = bus->GetStrip())
        {
            out.AppendAscii(" ");
            out.AppendInt(strip->GetIndex() + 1);
        }
        break;
    case 1:
        AppendLabel(out, "IDS_AUX", "Aux", shortForm);
        if (IVarnAux* aux = bus->GetAux())
        {
            out.AppendAscii(" ");
            out.AppendInt(aux->GetIndex() + 1);
        }
        break;
    case 2:
        AppendLabel(out, mainId, mainFallback, shortForm);
        break;
    }
}

void PortNames::GetStripName(IVarnInput* input, String* name, int shortForm)
{
    if (!name || !input)
        return;
    if (!input->IsAssigned())
    {
        name->AssignAscii("-");
        return;
    }
    IVarnInsert* destination = input->GetDestination();
    IVarnInsertChain* bus = destination ? destination->GetChain() : nullptr;
    if (bus)
    {
        name->Clear();
        AppendBus(*name, bus, shortForm, "IDS_MIX", "Main");
        return;
    }
    if (IVarnStrip* strip = input->GetStrip())
    {
        name->Clear();
        AppendLabel(*name, "IDS_STRIP", "Strip", shortForm);
        name->AppendAscii(" ");
        name->AppendInt(strip->GetIndex() + 1);
        return;
    }
    if (input->IsTakenByPlugin())
    {
        name->Clear();
        if (const String* text = Find("IDS_VSTPPI"))
            name->Append(*text);
    }
}

void PortNames::GetInsertName(IVarnOutput* output, String* name, int shortForm)
{
    if (!name || !output)
        return;
    // The output's own source, else for a physical pair the two channels' entries of the
    // routing table.
    IVarnInsertChain* bus = output->GetSource();
    IVarnInsert* insert = output->GetInsert();
    IVarnOutput* sides[2] = {};
    if (!bus && output->GetKind() == OutputKind::kPhysical && !output->IsSingleChannel())
    {
        if (IVarnRoutingTable* table = output->GetRoutingTable())
        {
            int first = table->GetBase(2) + 2 * output->GetIndex();
            sides[0] = table->GetEntry(2, first);
            sides[1] = table->GetEntry(2, first + 1);
        }
    }
    IVarnInsertChain* sideBus[2] = {};
    IVarnInsert* sideInsert[2] = {};
    for (int i = 0; i < 2; ++i)
    {
        sideBus[i] = sides[i] ? sides[i]->GetSource() : nullptr;
        sideInsert[i] = sideBus[i] ? sides[i]->GetInsert() : nullptr;
    }
    if (!bus && sideBus[0] && !(sideBus[1] && sideBus[0]->GetBusType() == 0 && sideBus[1]->GetBusType() == 0))
    {
        bus = sideBus[0];
        insert = sideInsert[0];
    }
    if (!bus && !sideBus[1])
    {
        name->AssignAscii("-");
        return;
    }
    if (bus && !insert && output->IsTakenByPlugin())
    {
        name->Clear();
        if (const String* text = Find("IDS_VSTPPI"))
            name->Append(*text);
        return;
    }

    String busPart, insertPart;
    AppendLabel(insertPart, "IDS_INSERT", "Insert", shortForm);
    auto number = [](IVarnInsertChain* chain) {
        IVarnStrip* strip = chain ? chain->GetStrip() : nullptr;
        return strip ? strip->GetIndex() + 1 : 0;
    };
    auto position = [](IVarnInsert* slot) { return slot ? slot->GetPosition() + 1 : 0; };
    if (bus)
    {
        AppendBus(busPart, bus, shortForm, "IDS_MIX", "Main");
        if (insert)
        {
            insertPart.AppendAscii(" ");
            insertPart.AppendInt(position(insert));
        }
    }
    else if (sideBus[0])
    {
        // A pair fed from two strips.
        AppendLabel(busPart, "IDS_STRIP", "Strip", shortForm);
        busPart.AppendAscii(" ");
        busPart.AppendInt(number(sideBus[0]));
        busPart.AppendAscii("/");
        busPart.AppendInt(number(sideBus[1]));
        insertPart.AppendAscii(" ");
        insertPart.AppendInt(position(sideInsert[0]));
        insertPart.AppendAscii("/");
        insertPart.AppendInt(position(sideInsert[1]));
    }
    else
    {
        // Only the right channel is fed.
        busPart.AssignAscii("Strip ");
        busPart.AppendInt(number(sideBus[1]));
        insertPart.AppendInt(position(sideInsert[1]));
    }
    name->Assign(busPart);
    name->AppendAscii("-");
    name->Append(insertPart);
}

void PortNames::GetMainMixName(IVarnInsertChain* bus, String* name, int withSide, int right)
{
    if (!name || !bus)
        return;
    int type = bus->GetBusType();
    if (type < 0 || type > 2)
        return;
    name->Clear();
    AppendBus(*name, bus, 0, "IDS_MAIN_MIX", "Main Mix");
    name->AppendAscii(" ");
    if (!withSide)
        return;
    name->AppendAscii(" ");
    AppendSide(*name, right != 0);
}
