#pragma once
#include <string>

// The rules of the session commands that need no window: what a load result means, which
// files a rate change accepts, the save question's text and the names and folders of session
// files. Texts are UTF-16 as the engine gives them.
namespace SessionRules
{
// What the engine's answer to a load or a new session means to the user: the message to show
// (null: none) and whether the session was loaded. adequate is the mixer model's own answer
// whether the card is enough for the session.
struct LoadReport
{
    const char* messageId;
    bool loaded;
};
LoadReport ReportLoad(int code, bool adequate);

// Whether a session file of fileRate may be opened while the card runs at hardwareRate: both
// in one family (44.1/48, 88.2/96, 176.4/192 kHz); the unknown code 6 never.
bool AcceptsFileRate(int fileRate, int hardwareRate);

// The save question: kind 5 (Save, Save As, No) for a named session, 4 (Save As, No) for
// one without a name, whose text then says "This session".
struct SavePrompt
{
    std::u16string text;
    int kind;
};
SavePrompt MakeSavePrompt(const char16_t* sessionName);
// Answers of the save question.
enum PromptAnswer
{
    kAnswerDontSave = 0,
    kAnswerSaveAs = 2,
    kAnswerSave = 3
};

// A session without a name, or named "Untitled.session" in any case, is saved under a new name.
bool NeedsSaveAs(const std::u16string& sessionName);
// The chosen save path with ".session" appended unless it ends so (ASCII case ignored).
std::u16string WithSessionExtension(const std::u16string& path);
// The folder of a path: up to and including its last backslash; empty without one.
std::u16string FolderOf(const std::u16string& path);
// The file name of a path: after its last backslash.
std::u16string FileNameOf(const std::u16string& path);
// The new session's path from the dialog's folder and name: a folder that ends in a file name
// (a '.' after its last backslash) loses it, another gets a backslash.
std::u16string NewSessionPath(std::u16string folder, const std::u16string& name);
} // namespace SessionRules
