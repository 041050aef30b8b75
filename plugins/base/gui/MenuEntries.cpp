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
        m_entries.push_back(std::move(entry));
    }
    else
    {
        m_entries.insert(m_entries.begin() + index, std::move(entry));
        if (m_current >= index)
        {
            ++m_current;
        }
    }
    if (m_current < 0)
    {
        m_current = 0;
    }
    return true;
}

void MenuEntries::Remove(int32_t index)
{
    if (index < 0 || index >= Count())
    {
        return;
    }
    m_entries.erase(m_entries.begin() + index);
    if (m_entries.empty())
    {
        m_current = -1;
    }
    else if (m_current >= index && m_current > 0)
    {
        --m_current;
    }
}

void MenuEntries::RemoveAll()
{
    m_entries.clear();
    m_current = -1;
}

bool MenuEntries::SetCurrent(int32_t index)
{
    if (index < 0 || index >= Count() || IsSeparator(m_entries[static_cast<size_t>(index)]))
    {
        return false;
    }
    m_current = index;
    return true;
}

const std::string& MenuEntries::Get(int32_t index) const
{
    static const std::string kNone;
    return index >= 0 && index < Count() ? m_entries[static_cast<size_t>(index)] : kNone;
}
