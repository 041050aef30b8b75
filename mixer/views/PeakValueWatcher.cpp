#include "mixer/views/PeakValueWatcher.h"

#include <algorithm>
#include <memory>

#include "mixer/engine/VarnServices.h"
#include "framework/controls/ValueSetters.h"

namespace
{
std::unique_ptr<PeakValueWatchers>& List()
{
    static std::unique_ptr<PeakValueWatchers> list;
    return list;
}
} // namespace

PeakValueWatchers* PeakValueWatchers::Get()
{
    return List().get();
}

int PeakValueWatchers::PositionOf(const PeakValueWatcher* watcher) const
{
    const auto at = std::find(watchers_.begin(), watchers_.end(), watcher);
    return at == watchers_.end() ? -1 : static_cast<int>(at - watchers_.begin());
}

int PeakValueWatchers::FirstOf(const IVarnEffect* effect, int parameterIndex) const
{
    for (size_t i = 0; i < watchers_.size(); ++i)
        if (watchers_[i]->GetEffect() == effect && watchers_[i]->GetParameterIndex() == parameterIndex)
            return static_cast<int>(i);
    return -1;
}

float PeakValueWatchers::CurrentAt(int position) const
{
    return position >= 0 && position < static_cast<int>(watchers_.size()) ? watchers_[position]->GetCurrent() : 0.0f;
}

PeakValueWatcher::PeakValueWatcher(IVarnEffect* effect, int parameterIndex)
    : effect_(effect), parameterIndex_(parameterIndex)
{
    if (!List())
        List() = std::make_unique<PeakValueWatchers>();
    List()->watchers_.push_back(this);
}

PeakValueWatcher::~PeakValueWatcher()
{
    StopPolling();
    auto& watchers = List()->watchers_;
    watchers.erase(std::remove(watchers.begin(), watchers.end(), this), watchers.end());
    if (watchers.empty())
        List().reset();
}

void PeakValueWatcher::Poll()
{
    current_ = minimum;
    // A parameter past the effect's count (the right meter of a one-parameter effect) shows
    // the minimum and reads nothing.
    if (!effect_ || parameterIndex_ < 0 || parameterIndex_ >= effect_->GetParameterCount())
    {
        ShowItemLevel(this, current_, 0);
        return;
    }
    const PeakValueWatchers* list = PeakValueWatchers::Get();
    const int self = list->PositionOf(this);
    const int first = list->FirstOf(effect_, parameterIndex_);
    if (self < 0 || first < 0)
        return;
    current_ = first < self ? list->CurrentAt(first) : effect_->GetRealValue(parameterIndex_, 0);
    ShowItemLevel(this, current_, 0);
}
