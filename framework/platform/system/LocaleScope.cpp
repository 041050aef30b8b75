#include "framework/platform/system/LocaleScope.h"

LocaleScope::LocaleScope(uint32_t codePage, LCID language)
    : codePage_(codePage), language_(language), kept_(GetThreadLocale()), set_(kept_)
{
    if (!IsValidLocale(language, LCID_INSTALLED))
        return;
    if (SetThreadLocale(language))
        set_ = language;
    else
        SetThreadLocale(kept_);
}

LocaleScope::~LocaleScope()
{
    SetThreadLocale(kept_);
}
