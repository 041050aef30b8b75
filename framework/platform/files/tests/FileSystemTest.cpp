#include "framework/platform/files/FileFind.h"
#include "framework/platform/files/FileSystem.h"
#include "framework/platform/files/Shell.h"
#include "framework/platform/files/tests/RecordingChooser.h"
#include "framework/platform/files/tests/TempFolder.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace
{
std::string Ansi(const String& s)
{
    char buffer[1024];
    return FileSystem::ToAnsi(s, buffer, sizeof(buffer)) ? std::string(buffer) : std::string("<unconvertible>");
}

TEST(FileSystem, ExistsAnswersForFilesAndFoldersAlike)
{
    TempFolder temp;
    temp.WriteFile("file.txt", "x");
    CreateDirectoryA(temp.Ansi("folder").c_str(), nullptr);
    for (const char* name : {"file.txt", "folder", "*.txt"})
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(FileSystem::FileExists(temp.Path(name)), 1);
        EXPECT_EQ(FileSystem::DirectoryExists(temp.Path(name)), 1);
    }
    EXPECT_EQ(FileSystem::FileExists(temp.Path("missing")), 0);
    EXPECT_EQ(FileSystem::DirectoryExists(temp.Path("missing")), 0);
}

TEST(FileSystem, CreateDirectoryPathMakesEveryLevel)
{
    TempFolder temp;
    EXPECT_EQ(FileSystem::CreateDirectoryPath(temp.Path("a\\b\\c\\")), 1);
    EXPECT_TRUE(temp.IsFolder("a\\b\\c"));
    EXPECT_EQ(FileSystem::CreateDirectoryPath(temp.Path("a\\b\\d")), 1);
    EXPECT_TRUE(temp.IsFolder("a\\b\\d"));
    // A file on the way counts as present; the level below it cannot be made.
    temp.WriteFile("a\\file", "x");
    EXPECT_EQ(FileSystem::CreateDirectoryPath(temp.Path("a\\file\\below")), 0);

    EXPECT_EQ(FileSystem::CreateDirectory(temp.Path("single")), 1);
    EXPECT_EQ(FileSystem::CreateDirectory(temp.Path("single")), 0);
    EXPECT_EQ(FileSystem::RemoveDirectory(temp.Path("single")), 1);
    EXPECT_FALSE(temp.Exists("single"));
}

TEST(FileSystem, RenameStaysInTheFolder)
{
    TempFolder temp;
    temp.WriteFile("old.txt", "content");
    EXPECT_EQ(FileSystem::Rename(temp.Path("old.txt"), u"new.txt"), 1);
    EXPECT_FALSE(temp.Exists("old.txt"));
    EXPECT_EQ(temp.Read("new.txt"), "content");
    EXPECT_EQ(FileSystem::Rename(u"new.txt", u"other.txt"), 0);
    EXPECT_TRUE(temp.Exists("new.txt"));
    EXPECT_EQ(FileSystem::DeleteFile(temp.Path("new.txt")), 1);
    EXPECT_FALSE(temp.Exists("new.txt"));
    EXPECT_EQ(FileSystem::DeleteFile(temp.Path("new.txt")), 0);
}

TEST(FileSystem, CopyRefusesAnExistingTarget)
{
    TempFolder temp;
    temp.WriteFile("source", "new");
    EXPECT_EQ(FileSystem::CopyFile(temp.Path("source"), temp.Path("copy")), 1);
    EXPECT_EQ(temp.Read("copy"), "new");
    temp.WriteFile("kept", "old");
    EXPECT_EQ(FileSystem::CopyFile(temp.Path("source"), temp.Path("kept")), 0);
    EXPECT_EQ(temp.Read("kept"), "old");
}

TEST(FileSystem, OverLongPathsAreRefusedNotCut)
{
    TempFolder temp;
    // A file whose path is exactly 259 bytes: the longest that fits MAX_PATH.
    const size_t room = 259 - temp.Ansi().size() - 1;
    const std::string victim(room, 'v');
    temp.WriteFile(victim, "victim");
    ASSERT_EQ(temp.Read(victim), "victim");
    // Cut to 259 bytes, this longer path would name the victim.
    const String longPath = temp.Path(victim + "-and-more");

    EXPECT_EQ(FileSystem::CopyFile(longPath, temp.Path("copy")), 0);
    EXPECT_FALSE(temp.Exists("copy"));
    EXPECT_EQ(Shell::DeleteSilently(longPath, nullptr), ERROR_FILENAME_EXCED_RANGE);
    EXPECT_EQ(FileSystem::DeleteFile(longPath), 0);
    EXPECT_EQ(FileSystem::Rename(longPath, u"renamed"), 0);
    EXPECT_EQ(FileSystem::FileExists(longPath), 0);
    EXPECT_EQ(temp.Read(victim), "victim");

    // The victim itself still works.
    EXPECT_EQ(FileSystem::CopyFile(temp.Path(victim), temp.Path("copy")), 1);
    EXPECT_EQ(Shell::DeleteSilently(u"", nullptr), ERROR_INVALID_PARAMETER);
}

TEST(FileSystem, PathAndNameChecks)
{
    struct Case
    {
        const char16_t* text;
        int path;
        int name;
    };
    for (const Case& c : {
             Case{u"", 1, 0},           Case{u"Drums", 1, 1},
             Case{u"Big Room 2", 1, 1}, Case{u"C:\\Presets\\..\\Drums", 1, 0},
             Case{u"a\\b", 1, 0},       Case{u"..", 1, 0},
             Case{u".", 1, 0},          Case{u"name.", 1, 0},
             Case{u"name ", 1, 0},      Case{u"*.fxp", 1, 0},
             Case{u"what?", 1, 0},      Case{u"C:name", 1, 0},
             Case{u"a|b", 0, 0},        Case{u"a\"b", 0, 0},
             Case{u"a\tb", 0, 0},       Case{u"CON", 1, 0},
             Case{u"nul.txt", 1, 0},    Case{u"com1", 1, 0},
             Case{u"Console", 1, 1},    Case{u".hidden", 1, 1},
             Case{u"Caf\u00E9", 1, 1},  Case{u"\u4E2D\u6587", 1, 0}, // not in the ANSI code page: would become "??"
         })
    {
        SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
        EXPECT_EQ(FileSystem::IsValidPath(c.text), c.path);
        EXPECT_EQ(FileSystem::IsValidName(c.text), c.name);
    }
    EXPECT_EQ(FileSystem::IsValidName(u"a/b"), 0);
}

std::set<std::string> All(FileFind& find, bool folders, const String& where)
{
    std::set<std::string> names;
    String name;
    int found = folders ? find.FirstSubdirectory(where, name) : find.FirstFile(where, name);
    while (found)
    {
        names.insert(Ansi(name));
        found = folders ? find.NextSubdirectory(name) : find.NextFile(name);
    }
    EXPECT_EQ(name.Length(), 0);
    return names;
}

TEST(FileFind, FilesAndSubdirectoriesApart)
{
    TempFolder temp;
    temp.WriteFile("one.txt", "1");
    temp.WriteFile("two.txt", "2");
    temp.WriteFile("three.dat", "3");
    CreateDirectoryA(temp.Ansi("sub.txt").c_str(), nullptr);
    CreateDirectoryA(temp.Ansi("other").c_str(), nullptr);
    FileFind find;
    EXPECT_EQ(All(find, false, temp.Path("*.txt")), (std::set<std::string>{"one.txt", "two.txt"}));
    EXPECT_EQ(All(find, true, temp.Path()), (std::set<std::string>{"sub.txt", "other"}));
    // Only "." and "..".
    EXPECT_EQ(All(find, true, temp.Path("other")), std::set<std::string>{});
    EXPECT_EQ(All(find, false, temp.Path("none*")), std::set<std::string>{});
    String name;
    EXPECT_EQ(find.NextFile(name), 0);
}

TEST(Shell, DeleteSilentlyRemovesATree)
{
    TempFolder temp;
    ASSERT_EQ(FileSystem::CreateDirectoryPath(temp.Path("tree\\a\\b")), 1);
    temp.WriteFile("tree\\a\\b\\leaf", "x");
    temp.WriteFile("tree\\top", "y");
    EXPECT_EQ(Shell::DeleteSilently(temp.Path("tree"), nullptr), 0);
    EXPECT_FALSE(temp.Exists("tree"));
}

TEST(Shell, CopyWithProgressCopiesIntoAFolder)
{
    TempFolder temp;
    temp.WriteFile("one", "1");
    temp.WriteFile("two", "2");
    CreateDirectoryA(temp.Ansi("target").c_str(), nullptr);
    const std::string sources = temp.Ansi("one") + '\0' + temp.Ansi("two") + '\0' + '\0';
    EXPECT_EQ(Shell::CopyWithProgress(sources.c_str(), temp.Path("target"), u"Copying to ", nullptr), 1);
    EXPECT_EQ(temp.Read("target\\one"), "1");
    EXPECT_EQ(temp.Read("target\\two"), "2");
}

TEST(Shell, ACopyCancelledInItsProgressWindowIsAFailure)
{
    // The shell answers 0 for a copy the person stopped half way; only its aborted flag tells.
    EXPECT_EQ(Shell::CopySucceeded(0, FALSE), 1);
    EXPECT_EQ(Shell::CopySucceeded(0, TRUE), 0);
    EXPECT_EQ(Shell::CopySucceeded(ERROR_CANCELLED, FALSE), 0);
    EXPECT_EQ(Shell::CopySucceeded(ERROR_ACCESS_DENIED, TRUE), 0);
}

// What the folder callback of these tests does: start on a fixed folder, show the selection
// as status text and refuse a folder without "ok" in it.
int CALLBACK MarkingCallback(HWND window, UINT message, LPARAM lParam, LPARAM)
{
    char path[MAX_PATH] = {};
    if (message == BFFM_INITIALIZED)
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>("C:\\start"));
    else if (message == BFFM_SELCHANGED && SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), path))
    {
        SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
        SendMessageA(window, BFFM_ENABLEOK, 0, std::string(path).find("ok") != std::string::npos ? 1 : 0);
    }
    return 0;
}

TEST(Shell, WithASeamTheFolderCallbackTalksToTheSeamsWindow)
{
    TempFolder temp;
    ASSERT_EQ(FileSystem::CreateDirectoryPath(temp.Path("not here")), 1);
    RecordingChooser chooser;
    chooser.answers = {temp.Ansi("not here"), ""};
    String folder;
    EXPECT_EQ(Shell::BrowseForFolder(u"Pick", folder, nullptr, &MarkingCallback), 1);
    EXPECT_EQ(Ansi(folder), temp.Ansi("not here"));
    ASSERT_EQ(chooser.sent.size(), 3u);
    EXPECT_EQ(chooser.sent[0].message, static_cast<UINT>(BFFM_SETSELECTIONA));
    EXPECT_EQ(chooser.sent[0].text, "C:\\start");
    EXPECT_EQ(chooser.sent[1].message, static_cast<UINT>(BFFM_SETSTATUSTEXTA));
    EXPECT_EQ(chooser.sent[1].text, temp.Ansi("not here"));
    EXPECT_EQ(chooser.sent[2].message, static_cast<UINT>(BFFM_ENABLEOK));
    EXPECT_EQ(chooser.sent[2].value, 0);

    // Cancelled: the callback starts, hears no selection, and nothing is chosen.
    chooser.sent.clear();
    EXPECT_EQ(Shell::BrowseForFolder(u"Pick", folder, nullptr, &MarkingCallback), 0);
    EXPECT_EQ(folder.Length(), 0);
    EXPECT_EQ(chooser.sent.size(), 1u);
    EXPECT_EQ(chooser.requests.back().title, "Pick");
}
} // namespace
