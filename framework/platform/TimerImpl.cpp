#include "framework/platform/TimerImpl.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

namespace
{

#ifdef _WIN32
TickerBackend::TickProc gWinProc = nullptr;

void CALLBACK Win32TickProc(HWND window, UINT, UINT_PTR id, DWORD)
{
    if (gWinProc)
        gWinProc(window, id);
}

class Win32Ticker final : public TickerBackend
{
public:
    uint32_t Now() override { return GetTickCount(); }
    uintptr_t StartTimer(void* window, uintptr_t id, uint32_t milliseconds, TickProc proc) override
    {
        gWinProc = proc;
        return SetTimer(static_cast<HWND>(window), id, milliseconds, Win32TickProc);
    }
    int StopTimer(void* window, uintptr_t id) override { return KillTimer(static_cast<HWND>(window), id) ? 1 : 0; }
};

Win32Ticker gWin32Ticker;
TickerBackend* SystemTicker()
{
    return &gWin32Ticker;
}
#else
// The portable build has no system timer; tests supply one.
TickerBackend* SystemTicker()
{
    return nullptr;
}
#endif

} // namespace

std::vector<TimerImpl*> TimerImpl::registered_;
std::vector<TimerImpl::PendingCall> TimerImpl::pending_;
void* TimerImpl::tickerWindow_ = nullptr;
uintptr_t TimerImpl::tickerId_ = TimerImpl::kTickerId;
int TimerImpl::tickerRunning_ = 0;
int TimerImpl::firing_ = 0;
TickerBackend* TimerImpl::backend_ = SystemTicker();

TimerImpl::~TimerImpl()
{
    if (!IsRegistered())
        return;
    // A call already collected for this listener in the tick in progress must not be made:
    // the listener may be going away with the timer.
    for (PendingCall& call : pending_)
        if (call.listener == listener_)
            call.listener = nullptr;
    registered_.erase(std::find(registered_.begin(), registered_.end(), this));
}

int TimerImpl::IsRegistered() const
{
    return std::find(registered_.begin(), registered_.end(), this) != registered_.end() ? 1 : 0;
}

int TimerImpl::Attach(TimerListener* listener, uint32_t period, int32_t argument)
{
    if (registered_.empty() && tickerId_ == 0)
        return 0;
    listener_ = listener;
    period_ = period;
    argument_ = argument;
    if (!IsRegistered())
        registered_.push_back(this);
    return 1;
}

uint32_t TimerImpl::Start(uint32_t period)
{
    if (running_)
        return 1;
    running_ = 1;
    last_ = backend_ ? backend_->Now() : 0;
    if (period != 0)
        period_ = period;
    return period;
}

uintptr_t TimerImpl::StartTicker(void* window)
{
    tickerWindow_ = window;
    return StartTicker();
}

uintptr_t TimerImpl::StartTicker()
{
    // Without a window the system would make a thread timer on every start, which no stop
    // can reach: they would pile up and tick many times faster than 25 ms.
    if (!backend_ || !tickerWindow_)
        return 0;
    tickerId_ = backend_->StartTimer(tickerWindow_, kTickerId, kTickMilliseconds, &TimerImpl::Tick);
    tickerRunning_ = tickerId_ != 0;
    return tickerId_;
}

int TimerImpl::StopTicker()
{
    if (!tickerWindow_)
        return 1;
    if (!backend_ || !backend_->StopTimer(tickerWindow_, tickerId_))
        return 0;
    tickerRunning_ = 0;
    return 1;
}

void TimerImpl::FireDue()
{
    // A pass inside a listener of another pass would collect the same timers again.
    if (firing_ || !backend_)
        return;
    firing_ = 1;
    const uint32_t now = backend_->Now();
    for (TimerImpl* timer : registered_)
    {
        bool due = timer->period_ == 0;
        if (!due && now - timer->last_ > timer->period_)
        {
            due = true;
            timer->last_ = now;
        }
        if (due && timer->running_)
            pending_.push_back(PendingCall{timer->listener_, timer->argument_});
    }
    for (size_t i = 0; i < pending_.size(); ++i)
    {
        const PendingCall call = pending_[i];
        if (!call.listener)
            continue;
        try
        {
            call.listener->OnTimerTick(call.argument);
        }
        catch (...)
        {
            // One failing listener must not starve the others.
        }
    }
    pending_.clear();
    firing_ = 0;
}

void TimerImpl::Tick(void* window, uintptr_t)
{
    if (!window || window != tickerWindow_)
        return;
    // The system timer runs on: stopping and starting it around every pass cost two calls
    // into the system per tick. A tick that comes while the listeners run (a modal loop
    // inside one) fires nothing, and a long pass still delays the next tick, as the system
    // never queues more than one timer message.
    FireDue();
}

uint32_t TimerImpl::Now()
{
    return backend_->Now();
}

void TimerImpl::SetBackend(TickerBackend* backend)
{
    backend_ = backend ? backend : SystemTicker();
}
