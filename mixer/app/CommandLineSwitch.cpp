#include "mixer/app/CommandLineSwitch.h"

namespace
{
char Fold(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsIgnoringCase(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b)
    {
        if (Fold(*a) != Fold(*b))
            return false;
    }
    return *a == *b;
}

// Calls visit(candidate) for each candidate until it answers true; answers that candidate.
template <class Visit>
const char* FindCandidate(const char* line, Visit visit)
{
    for (const char* at = line; at && *at; ++at)
    {
        if ((*at == '-' || *at == '/') && visit(at + 1))
            return at + 1;
    }
    return nullptr;
}
} // namespace

int CountSwitch(const char* commandLine, const char* word)
{
    int count = 0;
    FindCandidate(commandLine, [&](const char* candidate) {
        if (EqualsIgnoringCase(candidate, word))
            ++count;
        return false;
    });
    return count;
}

RegistrationSwitch FindRegistrationSwitch(const char* commandLine)
{
    RegistrationSwitch found = RegistrationSwitch::None;
    FindCandidate(commandLine, [&](const char* candidate) {
        if (EqualsIgnoringCase(candidate, "UnregServer"))
            found = RegistrationSwitch::Unregister;
        else if (EqualsIgnoringCase(candidate, "RegServer"))
            found = RegistrationSwitch::Register;
        return found != RegistrationSwitch::None;
    });
    return found;
}
