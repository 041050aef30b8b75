#include "mixer/views/MainMeterItem.h"

#include "mixer/engine/VarnServices.h"
#include "framework/controls/ValueSetters.h"

void MainMeterItem::Poll()
{
    IVarnMainMix* mix = source_.GetMainMix();
    if (!mix)
        return;
    const float level = mix->GetMeterLevel(channel_);
    if (clip_ && level > threshold_)
    {
        clip_->value = 1;
        clip_->RefreshControls(nullptr);
        clip_->NotifyOwner(clip_->value);
    }
    ShowItemLevel(this, level, 1);
}
