#include "framework/platform/Timer.h"

#include "framework/platform/TimerImpl.h"

Timer::Timer() : impl_(new TimerImpl()) {}

Timer::~Timer()
{
    delete impl_;
}

int Timer::Attach(TimerListener* listener, uint32_t period, int32_t argument)
{
    return impl_->Attach(listener, period, argument);
}

uint32_t Timer::Start(uint32_t period)
{
    return impl_->Start(period);
}

void Timer::Stop()
{
    impl_->Stop();
}

int Timer::IsRunning() const
{
    return impl_->IsRunning();
}

uintptr_t Timer::StartTicker(void* window)
{
    return TimerImpl::StartTicker(window);
}

uintptr_t Timer::StartTicker()
{
    return TimerImpl::StartTicker();
}

int Timer::StopTicker()
{
    return TimerImpl::StopTicker();
}

int Timer::IsTickerRunning()
{
    return TimerImpl::IsTickerRunning();
}

int Timer::IsFiring()
{
    return TimerImpl::IsFiring();
}

uint32_t Timer::Now()
{
    return TimerImpl::Now();
}
