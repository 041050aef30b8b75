#include "mixer/views/CorePresetList.h"

#include "mixer/engine/VarnServices.h"

void CorePresetList::Read(IVarnFxLibrary& library, IVarnEffect& effect, const String& userMark)
{
    texts.clear();
    selected = 0;
    VarnEffectId id{};
    if (!effect.GetCoreEffectId(&id))
        return;
    char16_t current[256] = {};
    effect.GetPresetName(current, 256);
    current[255] = 0;
    const int count = library.GetCorePresetCount(&id);
    for (int k = 0; k < count; ++k)
    {
        VarnCorePresetRecord record{};
        library.GetCorePreset(&id, k, &record);
        record.name[127] = 0;
        String name;
        name.AssignWide(record.name);
        if (name.Compare(current) == 0)
            selected = k;
        String text;
        text.AssignAscii(k < 10 ? "00" : k < 100 ? "0" : "");
        text.AppendInt(record.number);
        text.AppendAscii(" - ");
        text.AppendWide(name.Text());
        if (!record.isFactory)
        {
            text.AppendAscii(" ");
            text.AppendWide(userMark.Text());
        }
        texts.push_back(std::move(text));
    }
}
