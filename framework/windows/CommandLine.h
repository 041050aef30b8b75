#pragma once
#include <string>

// What the command-line rule does with what it finds (the registry and the file system in
// the program, a recorder in tests).
class CommandLineActions
{
public:
    virtual int FileExists(const std::string& path) = 0;
    // Sets the one-shot launch flag; 1 when it could be stored.
    virtual int SetLaunchFlag() = 0;
    // Hands a session path to the instance that will run; 1 when stored.
    virtual int StoreCommandLineOpen(const std::string& text) = 0;

protected:
    ~CommandLineActions() = default;
};

// After each '-', '/' or blank the whole rest of the line is a candidate: "LaunchMixer"
// (any case) sets the launch flag; the path of an existing file (one pair of quotes
// removed for the test, kept in what is stored) is handed on. Answers 1 when something was
// stored; sessionStored becomes 1 for a session path.
int HandleCommandLine(const char* line, CommandLineActions& actions, int& sessionStored);
