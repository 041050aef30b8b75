#pragma once
#include <string>

// The new session dialog's rules that need no window: which engine templates the installed
// hardware gets, under which text, in which order and on which page.
namespace TemplateRules
{
// The hardware's feature tests the rules ask (IVarnHardware::HasFeature 0-6, 9-11).
struct Hardware
{
    bool f[12] = {};
    bool Has(int feature) const { return feature >= 0 && feature < 12 && f[feature]; }
};

// The text a template of rateCode named name is listed under on hardware, or false when the
// template is not for this hardware. oldDriver is the program-wide old-driver mark.
bool ListedText(const std::u16string& name, int rateCode, const Hardware& hardware, bool oldDriver,
                std::u16string& text);

// Whether a new entry goes before an existing one: one whose text holds "default" (ASCII
// case folded) before any without; else by UTF-16 units over the existing text's length.
bool GoesBefore(const std::u16string& added, const std::u16string& existing);

// The rate pages: 0 44.1, 1 48, 2 88.2, 3 96, 4 176.4, 5 192 kHz; -1 outside.
int PageOfRate(int rateCode);
int RateOfPage(int page);
} // namespace TemplateRules
