#include "mixer/views/PolledItem.h"

int PolledItem::StartPolling(uint32_t interval)
{
    timer_.Stop();
    if (!attached_)
        attached_ = timer_.Attach(this, interval, 0);
    if (!attached_)
        return 0;
    timer_.Start(interval);
    return 1;
}

void PolledItem::OnTimerTick(int32_t)
{
    timer_.Stop();
    Poll();
    timer_.Start();
}
