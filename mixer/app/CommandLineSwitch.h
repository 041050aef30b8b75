#pragma once

// The start-up switches of the command line: a candidate is the text after a '-' or '/' up to
// the end of the whole line (program path included), so a word matches only when it ends the
// line; case is ignored.
int CountSwitch(const char* commandLine, const char* word);

enum class RegistrationSwitch
{
    None,
    Register,
    Unregister
};

// The first candidate that is "UnregServer" or "RegServer".
RegistrationSwitch FindRegistrationSwitch(const char* commandLine);
