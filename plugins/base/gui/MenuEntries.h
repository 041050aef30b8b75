#pragma once
// The entry list of an option menu: at most 128 texts of up to 255 characters and the current
// index (-1 when the list is empty). "-" entries are separators and cannot be chosen.

#include <cstdint>
#include <string>
#include <vector>

class MenuEntries
{
public:
    static constexpr int32_t kMaxEntries = 128;
    static constexpr size_t kMaxText = 255;

    // Index -1 or beyond the last appends; a null text adds an empty entry. False when full.
    bool Add(const char* text, int32_t index = -1);
    void Remove(int32_t index);
    void RemoveAll();
    // False for an index out of range or a separator.
    bool SetCurrent(int32_t index);
    int32_t GetCurrent() const { return current_; }
    int32_t Count() const { return static_cast<int32_t>(entries_.size()); }
    // Empty for an index out of range.
    const std::string& Get(int32_t index) const;
    static bool IsSeparator(const std::string& text) { return text == "-"; }

private:
    std::vector<std::string> entries_;
    int32_t current_ = -1;
};
