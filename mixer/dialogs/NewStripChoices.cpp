#include "mixer/dialogs/NewStripChoices.h"

#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/PortNames.h"

namespace
{
// In use: a missing source counts as free.
bool IsFree(IVarnInput* input)
{
    return !input || !input->IsAssigned();
}

int ByRate(int rate, int low, int middle, int high)
{
    if (rate == 0 || rate == 1)
        return low;
    if (rate == 2 || rate == 4)
        return middle;
    return high;
}

} // namespace

int MonoPairIndex(const PhysicalFeatures& f, int k, int stereoCount)
{
    if (k >= 4)
        return (k - 4) / 2;
    if (!f.f9)
    {
        if (!f.f4 && !f.f2)
            return stereoCount - 1;
        return k <= 1 ? ByRate(f.rate, 8, 6, 3) : ByRate(f.rate, 9, 7, 4);
    }
    if (k <= 1 && f.f10)
        return stereoCount - 1;
    const int pair = (k - 4) / 2; // truncated toward zero: channel 3 names pair 0
    return pair;
}

PhysicalFeatures ReadPhysicalFeatures(IVarnHardware* system, IVarnMixer* mixer)
{
    PhysicalFeatures f = {};
    if (system)
    {
        f.f1 = system->HasFeature(HardwareFeature::kDock) != 0;
        f.f2 = system->HasFeature(HardwareFeature::kIoCard) != 0;
        f.f4 = system->HasFeature(HardwareFeature::kSmallBox) != 0;
        f.f9 = system->HasFeature(HardwareFeature::kSecondModel) != 0;
        f.f10 = system->HasFeature(HardwareFeature::kSecondModelSync) != 0;
        f.f11 = system->HasFeature(HardwareFeature::kThirdModel) != 0;
    }
    f.f9 = f.f9 || (f.f10 && f.f11);
    f.rate = mixer ? mixer->GetRateCode() : 0;
    return f;
}

namespace
{

void AppendUse(String& text, PortNames& names, IVarnInput* source, bool onlyNamed)
{
    String strip;
    names.GetStripName(source, &strip, 0);
    if (onlyNamed && strip.Length() == 0)
        return;
    text.AppendAscii(" [");
    text.Append(strip);
    text.AppendAscii("]");
}

// "second name first name" of a physical input, with its strip when in use.
void PhysicalText(String& text, PortNames& names, IVarnInput* source)
{
    String first, second;
    if (source)
        names.GetInputName(source, &first, &second, 1, 0, 0);
    text.Append(second);
    text.AppendAscii(" ");
    text.Append(first);
    if (source && !IsFree(source))
        AppendUse(text, names, source, true);
}

void AppendAsioFrom(String& text, StringTable& strings)
{
    if (const String* from = strings.FindStringById("IDS_ASIO_FROM"))
        text.Append(*from);
    text.AppendAscii(" OUT ");
}

// The first free entry's position, or -1.
int FirstFree(const std::vector<NewStripEntry>& entries)
{
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].free)
            return static_cast<int>(i);
    return -1;
}
} // namespace

int StereoListIndex(const PhysicalFeatures& f, int i, int stereoCount)
{
    if (f.f4)
    {
        if (i == 1 && (f.rate == 0 || f.rate == 1))
            return 9;
        if (i == 1 && (f.rate == 2 || f.rate == 4))
            return 7;
        if (i == 0 && (f.rate == 3 || f.rate == 5))
            return 4;
        return i;
    }
    if (f.f2 && !f.f1 && i == stereoCount - 1)
        return ByRate(f.rate, 9, 7, 4);
    return i;
}

int MonoListIndex(const PhysicalFeatures& f, int i)
{
    if (f.f4)
        return i > 1 && f.f9 && f.f10 ? i + 4 : i + 2;
    if (f.f2)
    {
        if (!f.f1 && !f.f9)
            return i + 2;
        return i > 1 && f.f9 && f.f10 ? i + 2 : i;
    }
    if (!f.f1 && !f.f9)
        return i + 4;
    if (i > 1 && ((f.f1 && !f.f9) || (f.f9 && f.f10)))
        return i + 2;
    return i;
}

NewStripLists BuildNewStripLists(IVarnHardware* system, IVarnMixer* mixer, StringTable& strings)
{
    NewStripLists lists;
    IVarnInputList* inputs = system ? system->GetInputList() : nullptr;
    if (!inputs)
        return lists;
    PortNames names(mixer, strings);
    const PhysicalFeatures f = ReadPhysicalFeatures(system, mixer);

    const int stereo = inputs->GetCount(InputKind::kStereoPhysical);
    const int mono = inputs->GetCount(InputKind::kMonoPhysical);
    if (f.f9 && !f.f10)
    {
        lists.physicalDisabled = true;
        NewStripEntry disabled;
        disabled.text.AssignAscii("Disabled");
        disabled.free = 0;
        lists.physical.push_back(std::move(disabled));
    }
    else
    {
        lists.stereoCount = stereo;
        for (int i = 0; i < stereo; ++i)
        {
            const int k = StereoListIndex(f, i, stereo);
            IVarnInput* source = inputs->GetInput(InputKind::kStereoPhysical, k);
            NewStripEntry entry;
            entry.value = k;
            int left = 2 * k + 4, right = 2 * k + 5;
            if (i == stereo - 1 && (f.f4 || f.f2))
                left = 2, right = 3;
            else if (i == stereo - 1 && (f.f1 || f.f9))
                left = 0, right = 1;
            // An entry whose own input the card lacks cannot be taken.
            entry.free = source && IsFree(source) && IsFree(inputs->GetInput(InputKind::kMonoPhysical, left)) &&
                         IsFree(inputs->GetInput(InputKind::kMonoPhysical, right));
            PhysicalText(entry.text, names, source);
            lists.physical.push_back(std::move(entry));
        }
        for (int i = 0; i < mono; ++i)
        {
            const int k = MonoListIndex(f, i);
            IVarnInput* source = inputs->GetInput(InputKind::kMonoPhysical, k);
            const int pair = MonoPairIndex(f, k, stereo);
            NewStripEntry entry;
            entry.value = k;
            entry.free =
                source && IsFree(source) && (pair < 0 || IsFree(inputs->GetInput(InputKind::kStereoPhysical, pair)));
            PhysicalText(entry.text, names, source);
            lists.physical.push_back(std::move(entry));
        }
        lists.physicalChoice = FirstFree(lists.physical);
    }

    // ASIO: the pairs, then their channels. A channel an odd count lacks counts as free; an
    // entry whose own source is missing cannot be taken.
    const int pairs = inputs->GetSetSize(InputKind::kSubAsioPair);
    lists.asioPairs = pairs;
    for (int j = 0; j < pairs; ++j)
    {
        NewStripEntry entry;
        AppendAsioFrom(entry.text, strings);
        entry.text.AppendInt(2 * j + 1);
        entry.text.AppendAscii(2 * j + 1 < 10 ? " / " : "/");
        entry.text.AppendInt(2 * j + 2);
        IVarnInput* source = inputs->GetHostSource(InputKind::kSubAsioPair, j);
        entry.free = source && IsFree(source) && IsFree(inputs->GetHostSource(InputKind::kSubAsioChannel, 2 * j)) &&
                     IsFree(inputs->GetHostSource(InputKind::kSubAsioChannel, 2 * j + 1));
        if (source && !IsFree(source))
            AppendUse(entry.text, names, source, false);
        entry.value = j;
        lists.asio.push_back(std::move(entry));
    }
    for (int i = 0; i < 2 * pairs; ++i)
    {
        NewStripEntry entry;
        AppendAsioFrom(entry.text, strings);
        entry.text.AppendInt(i + 1);
        IVarnInput* source = inputs->GetHostSource(InputKind::kSubAsioChannel, i);
        entry.free = source && IsFree(source) && IsFree(inputs->GetHostSource(InputKind::kSubAsioPair, i / 2));
        if (source && !IsFree(source))
            AppendUse(entry.text, names, source, false);
        entry.value = i;
        lists.asio.push_back(std::move(entry));
    }
    lists.asioChoice = FirstFree(lists.asio);

    lists.fxSends = inputs->GetSetSize(InputKind::kSubMidiFxSend);
    const int waves = inputs->GetSetSize(InputKind::kSubWave);
    for (int i = 0; i < waves; ++i)
    {
        NewStripEntry entry;
        entry.text.AppendAscii("WAVE ");
        entry.text.AppendInt(2 * i + 1);
        entry.text.AppendAscii(" / ");
        entry.text.AppendInt(2 * i + 2);
        IVarnInput* source = inputs->GetHostSource(InputKind::kSubWave, i);
        entry.free = source && IsFree(source);
        if (source && !IsFree(source))
            AppendUse(entry.text, names, source, false);
        entry.value = 0;
        lists.os.push_back(std::move(entry));
    }
    lists.osChoice = FirstFree(lists.os);
    return lists;
}

NewStripChoice ChooseNewStrip(const NewStripLists& lists, int physicalOrHost, int hostSrc, int physicalPosition,
                              int asioPosition, int fxSend, int osPosition, int preFader)
{
    NewStripChoice choice;
    choice.preFader = preFader;
    if (physicalOrHost == 0)
    {
        choice.sourceKind =
            physicalPosition < lists.stereoCount ? InputKind::kStereoPhysical : InputKind::kMonoPhysical;
        choice.subKind = 5;
        const bool selected = physicalPosition >= 0 && physicalPosition < static_cast<int>(lists.physical.size()) &&
                              !lists.physicalDisabled;
        choice.choice = selected ? lists.physical[physicalPosition].value : -1;
        return choice;
    }
    choice.sourceKind = hostSrc == 0 && asioPosition >= lists.asioPairs ? InputKind::kAsioChannel : InputKind::kHost;
    if (choice.sourceKind == InputKind::kAsioChannel)
        choice.subKind = InputKind::kSubAsioChannel;
    else
    {
        const int subKinds[] = {InputKind::kSubAsioPair, InputKind::kSubWave, InputKind::kSubSynth,
                                InputKind::kSubMidiFxSend};
        choice.subKind = hostSrc >= 0 && hostSrc <= 3 ? subKinds[hostSrc] : 5;
    }
    if (choice.subKind == InputKind::kSubAsioPair || choice.subKind == InputKind::kSubAsioChannel)
        choice.choice = asioPosition >= 0 && asioPosition < static_cast<int>(lists.asio.size())
                            ? lists.asio[asioPosition].value
                            : -1;
    else if (choice.subKind == InputKind::kSubMidiFxSend)
        choice.choice = fxSend;
    else if (choice.subKind == InputKind::kSubWave)
        choice.choice = osPosition;
    else
        choice.choice = 0;
    return choice;
}

NewStripResult CreateChosenStrip(IVarnHardware* system, const NewStripChoice& choice, const std::function<void()>& busy,
                                 const std::function<void()>& done)
{
    NewStripResult result;
    IVarnInputList* inputs = system ? system->GetInputList() : nullptr;
    IVarnStripList* list = system ? system->GetStripList() : nullptr;
    // No choice makes nothing, host sources included.
    if (!inputs || !list || choice.choice < 0)
        return result;
    IVarnStrip* made = nullptr;
    int status = 1;
    auto create = [&](IVarnInput* source, bool stereo) {
        if (busy)
            busy();
        result.made = (stereo ? list->CreateStereoStrip(source, choice.preFader, &made, &status, 1)
                              : list->CreateMonoStrip(source, choice.preFader, &made, &status, 1)) != 0;
        if (done)
            done();
        result.status = status;
    };
    if (choice.sourceKind == InputKind::kMonoPhysical || choice.sourceKind == InputKind::kStereoPhysical)
    {
        IVarnInput* source = inputs->GetInput(choice.sourceKind, choice.choice);
        if (source && !source->IsAssigned())
            create(source, choice.sourceKind == InputKind::kStereoPhysical);
        return result;
    }
    const int flag =
        choice.subKind == InputKind::kSubMidiFxSend || choice.subKind == InputKind::kSubAsioChannel ? 0 : 1;
    IVarnInput* set = inputs->GetSourceSet(flag);
    if (set && set->Select(choice.subKind, choice.choice, 1))
        create(set, flag == 1);
    else
        result.status = 2;
    return result;
}
