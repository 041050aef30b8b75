#include "standins/engine/StandinSync.h"

#include <algorithm>

namespace
{
std::string Shown(const char16_t* text)
{
    std::string shown;
    for (; *text; ++text)
        shown += *text >= 0x20 && *text < 0x7F ? static_cast<char>(*text) : '?';
    return shown;
}
} // namespace

int StandinSync::Note(const std::string& entry)
{
    if (log)
        log("Sync " + entry);
    return 1;
}

int VARN_CALL StandinSync::StartStriping()
{
    return Note("StartStriping");
}

int VARN_CALL StandinSync::StopStriping()
{
    return Note("StopStriping");
}

int VARN_CALL StandinSync::TerminationOn()
{
    return Note("TerminationOn");
}

int VARN_CALL StandinSync::TerminationOff()
{
    return Note("TerminationOff");
}

int VARN_CALL StandinSync::Attach()
{
    return Note("Attach");
}

int VARN_CALL StandinSync::Reset(int flags)
{
    return Note("Reset " + std::to_string(flags));
}

int VARN_CALL StandinSync::SetOutputLevel(int level)
{
    if (level < 0 || level > 1)
        return 0;
    return Note("SetOutputLevel " + std::to_string(level));
}

int VARN_CALL StandinSync::SetRawParameter(int parameter, int count, const std::uint8_t* bytes, int notify)
{
    if (parameter < 0 || count < 1 || count > kMaxRawBytes || !bytes)
        return 0;
    std::string entry = "SetRawParameter " + std::to_string(parameter);
    for (int i = 0; i < count; ++i)
        entry += " " + std::to_string(bytes[i]);
    return Note(entry + " notify " + std::to_string(notify));
}

int VARN_CALL StandinSync::SetValue(const char* name, int value, int, int)
{
    if (!name || !*name)
        return 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        values_[name] = value;
    }
    return Note("SetValue " + std::string(name) + "=" + std::to_string(value));
}

int VARN_CALL StandinSync::GetValue(const char* name, int* value)
{
    if (!name || !value)
        return 0;
    std::lock_guard<std::mutex> guard(lock_);
    auto found = values_.find(name);
    if (found == values_.end())
        return 0;
    *value = found->second;
    return 1;
}

int VARN_CALL StandinSync::SetText(const char* name, const char16_t* text, int, int)
{
    if (!name || !*name || !text)
        return 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        texts_[name] = text;
    }
    return Note("SetText " + std::string(name) + "=" + Shown(text));
}

int VARN_CALL StandinSync::GetText(const char* name, char16_t* buffer, int capacity)
{
    if (!name || !buffer || capacity < 1)
        return 0;
    std::lock_guard<std::mutex> guard(lock_);
    auto found = texts_.find(name);
    if (found == texts_.end() || static_cast<int>(found->second.size()) >= capacity)
        return 0;
    std::copy(found->second.begin(), found->second.end(), buffer);
    buffer[found->second.size()] = 0;
    return 1;
}
