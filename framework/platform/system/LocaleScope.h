#pragma once

#include "framework/platform/Win32Api.h"

#include <cstdint>

// Sets the thread locale to a language for the scope's lifetime, when that language is
// installed; the locale found on entry comes back on destruction.
class LocaleScope
{
public:
    LocaleScope(uint32_t codePage, LCID language);
    ~LocaleScope();
    LocaleScope(const LocaleScope&) = delete;
    LocaleScope& operator=(const LocaleScope&) = delete;

    uint32_t CodePage() const { return codePage_; }
    LCID Language() const { return language_; }
    LCID Set() const { return set_; }

private:
    uint32_t codePage_;
    LCID language_;
    LCID kept_; // found on entry
    LCID set_;  // in force inside the scope
};
