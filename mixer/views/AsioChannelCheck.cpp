#include "mixer/views/AsioChannelCheck.h"

#include "framework/dialogs/SkinDialogs.h"
#include "framework/platform/RegistryKey.h"
#include "mixer/dialogs/WarningDialogs.h"
#include "mixer/engine/EngineVocabulary.h"
#include "mixer/names/ViewSettings.h"
#include "mixer/views/MainWindowLink.h"

AsioChannelCounts CountAsioChannels(IVarnHardware* system, IVarnInsertChain* chain, const int* indices, int count)
{
    AsioChannelCounts counts;
    IVarnInputList* inputs = system ? system->GetInputList() : nullptr;
    IVarnItemList* items = system ? system->GetItemList() : nullptr;
    int asio = 0;
    for (int kind : {InputKind::kHost, InputKind::kAsioChannel})
    {
        for (int i = 0; inputs; ++i)
        {
            IVarnInput* input = inputs->GetInput(kind, i);
            if (!input)
                break;
            counts.playbackNow += input->GetAsioIndex(&asio) && input->IsAssigned() ? 1 : 0;
        }
    }
    for (int i = 0; items; ++i)
    {
        IVarnOutput* port = items->GetPort(OutputKind::kAsio, i);
        if (!port)
        {
            // An odd channel count leaves one item missing inside the list: go on to its end.
            if (i < items->GetCount(OutputKind::kAsio))
                continue;
            break;
        }
        counts.recordNow += port->GetSource() || port->GetType() != 2 ? 1 : 0;
    }
    counts.playbackAfter = counts.playbackNow;
    counts.recordAfter = counts.recordNow;
    for (int i = 0; chain && indices && i < count; ++i)
    {
        IVarnInsert* insert = chain->GetInsert(indices[i]);
        const int kind = insert ? insert->GetKind() : -1;
        if (kind != InsertKind::kAsioSendReturn && kind != InsertKind::kSend)
            continue;
        IVarnInput* back = insert->GetInputPort();
        if (back && back->GetAsioIndex(&asio))
            --counts.playbackAfter;
        IVarnOutput* send = insert->GetOutputPort();
        if (send && send->GetKind() == OutputKind::kAsio)
            --counts.recordAfter;
    }
    return counts;
}

int WarnNoAsio(const AsioChannelCounts& counts, MainWindowLink& link, Window* owner)
{
    const bool playLost = counts.playbackNow > 0 && counts.playbackAfter <= 0;
    const bool recordLost = counts.recordNow > 0 && counts.recordAfter <= 0;
    if (!playLost && !recordLost)
        return 1;
    if (!link.GetSettings().ReadBool(ViewSettings::kShowNoAsioWarning, 1))
        return 1;
    NoAsioWarningDialog warning;
    warning.Init();
    const char* name = playLost && recordLost ? "recplayzero" : playLost ? "playzero" : "reczero";
    return SkinDialogs(link.GetSkin()).ShowDialogPanel(name, &warning, owner) == 0 ? 0 : 1;
}
