#include "plugins/base/gui/MenuEntries.h"

bool MenuEntries::Add(const char* text, int32_t index)
{
    if (Count() >= kMaxEntries)
    {
        return false;
    }
    std::string entry = text ? std::string(text).substr(0, kMaxText) : std::string();
    if (index < 0 || index >= Count())
    {
        entries_.push_back(std::move(entry));
    }
    else
    {
        entries_.insert(entries_.begin() + index, std::move(entry));
        if (current_ >= index)
        {
            ++current_;
        }
    }
    if (current_ < 0)
    {
        current_ = 0;
    }
    return true;
}

void MenuEntries::Remove(int32_t index)
{
    if (index < 0 || index >= Count())
    {
        return;
    }
    entries_.erase(entries_.begin() + index);
    if (entries_.empty())
    {
        current_ = -1;
    }
    else if (current_ >= index && current_ > 0)
    {
        --current_;
    }
}

void MenuEntries::RemoveAll()
{
    entries_.clear();
    current_ = -1;
}

bool MenuEntries::SetCurrent(int32_t index)
{
    if (index < 0 || index >= Count() || IsSeparator(entries_[static_cast<size_t>(index)]))
    {
        return false;
    }
    current_ = index;
    return true;
}

const std::string& MenuEntries::Get(int32_t index) const
{
    static const std::string kNone;
    return index >= 0 && index < Count() ? entries_[static_cast<size_t>(index)] : kNone;
}
