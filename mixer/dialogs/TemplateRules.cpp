#include "mixer/dialogs/TemplateRules.h"

namespace TemplateRules
{
namespace
{
bool Contains(const std::u16string& text, const char* literal)
{
    return text.find(std::u16string(literal, literal + std::char_traits<char>::length(literal))) !=
           std::u16string::npos;
}

std::u16string Wide(const char* literal)
{
    return std::u16string(literal, literal + std::char_traits<char>::length(literal));
}

char16_t Fold(char16_t unit)
{
    return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool HasDefault(const std::u16string& text)
{
    std::u16string folded = text;
    for (char16_t& unit : folded)
        unit = Fold(unit);
    return Contains(folded, "default");
}

std::u16string Trimmed(const std::u16string& text)
{
    const char16_t* blanks = u" \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::u16string::npos)
        return std::u16string();
    const size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}
} // namespace

bool ListedText(const std::u16string& name, int rateCode, const Hardware& h, bool oldDriver, std::u16string& text)
{
    const bool t1 = h.Has(1) || !h.Has(0);
    const bool t2 = h.Has(2) || !h.Has(0);
    const bool s = h.Has(5) || h.Has(6);
    if (s && oldDriver && (rateCode == 3 || rateCode == 5))
        return false;
    if ((!t2 && Contains(name, "Pavren")) || (!t1 && Contains(name, "Rastol")))
        return false;
    if (Contains(name, "Ostik") && !(!h.Has(9) && !t2 && !t1 && !s && !(h.Has(10) && h.Has(11))))
        return false;
    if (Contains(name, "Sevrin") && !s)
        return false;
    if (Contains(name, "Vondi") && !(h.Has(9) && !h.Has(10)))
        return false;
    if (Contains(name, "Quellin") && !h.Has(10))
        return false;

    static const char* const rateTags[] = {"(44.1)", "(48)", "(96)", "(192)", "(88.2)", "(176.4)"};
    if (rateCode >= 0 && rateCode <= 5)
    {
        const std::u16string tag = Wide(rateTags[rateCode]);
        const size_t at = name.find(tag);
        if (at != std::u16string::npos)
        {
            text = Trimmed(name.substr(at + tag.size()));
            return true;
        }
    }
    if ((Contains(name, "(SevrinR)") && !h.Has(6)) || (Contains(name, "(Sevrin)") && !h.Has(5)))
        return false;
    const char* modelTag = nullptr;
    if (h.Has(10) && (h.Has(9) || h.Has(11)))
        modelTag = "(Quellin)";
    else if (h.Has(5))
        modelTag = "(Sevrin)";
    else if (h.Has(6))
        modelTag = "(SevrinR)";
    else if (h.Has(0))
        modelTag = t1 ? "(Rastol)" : t2 ? "(Pavren)" : "(Ostik)";
    std::u16string listed = name;
    if (modelTag)
    {
        const std::u16string tag = Wide(modelTag);
        const size_t at = name.find(tag);
        if (at != std::u16string::npos)
        {
            const size_t from = at > 0 ? at - 1 : 0;
            listed = name.substr(0, from) + name.substr(at + tag.size());
        }
    }
    text = Trimmed(listed);
    return true;
}

bool GoesBefore(const std::u16string& added, const std::u16string& existing)
{
    const bool addedDefault = HasDefault(added), existingDefault = HasDefault(existing);
    if (addedDefault != existingDefault)
        return addedDefault;
    for (size_t i = 0; i < existing.size(); ++i)
    {
        const char16_t unit = i < added.size() ? added[i] : 0;
        if (unit != existing[i])
            return unit < existing[i];
    }
    return false;
}

int PageOfRate(int rateCode)
{
    static const int pages[] = {0, 1, 3, 5, 2, 4};
    return rateCode >= 0 && rateCode <= 5 ? pages[rateCode] : -1;
}

int RateOfPage(int page)
{
    static const int rates[] = {0, 1, 4, 2, 5, 3};
    return page >= 0 && page <= 5 ? rates[page] : -1;
}
} // namespace TemplateRules
