#include <gtest/gtest.h>

#include <string>

#include "mixer/dialogs/SessionRules.h"

using namespace SessionRules;

namespace
{
std::string Narrow(const std::u16string& text)
{
    return std::string(text.begin(), text.end());
}
} // namespace

TEST(SessionRulesTest, LoadCodesGiveTheirMessageAndWhetherTheSessionLoaded)
{
    const struct
    {
        int code;
        bool adequate;
        const char* message;
        bool loaded;
    } cases[] = {
        {4, true, "IDM_SESSION_LOAD_FILE_VER_NEWER", false},
        {3, true, "IDM_SESSION_LOAD_FILE_VER_OLDER", true},
        {0, true, "IDM_SESSION_LOAD_FILE_INVALID", false},
        {6, true, "IDM_SESSION_INVALID_SAMPLERATE", false},
        {2, false, "IDM_PARTIAL_HARDWARE", true},
        {1, true, nullptr, true},
        {1, false, "IDM_SESSION_LOAD_HARDWARE_INADEQUATE", true},
        {5, true, nullptr, true},
    };
    for (const auto& c : cases)
    {
        const LoadReport report = ReportLoad(c.code, c.adequate);
        EXPECT_EQ(report.loaded, c.loaded) << c.code;
        EXPECT_EQ(std::string(report.messageId ? report.messageId : "none"),
                  std::string(c.message ? c.message : "none"))
            << c.code << " adequate " << c.adequate;
    }
}

TEST(SessionRulesTest, ARateChangeOpensOnlyFilesOfTheCardsFamily)
{
    const struct
    {
        int file, hardware;
        bool accepted;
    } cases[] = {
        {0, 1, true}, {1, 1, true},  {2, 1, false}, {4, 1, false}, {4, 2, true},   {3, 5, true},
        {5, 3, true}, {3, 2, false}, {6, 1, false}, {6, 6, false}, {-1, 0, false}, {9, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcceptsFileRate(c.file, c.hardware), c.accepted) << c.file << " on " << c.hardware;
}

TEST(SessionRulesTest, TheSaveQuestionNamesTheSessionUpToItsFirstDot)
{
    SavePrompt named = MakeSavePrompt(u"Live.Set.session");
    EXPECT_EQ(Narrow(named.text), "\"Live\" has been modified. Save ?");
    EXPECT_EQ(named.kind, 5);
    SavePrompt plain = MakeSavePrompt(u"Mix");
    EXPECT_EQ(Narrow(plain.text), "\"Mix\" has been modified. Save ?");
    SavePrompt none = MakeSavePrompt(nullptr);
    EXPECT_EQ(Narrow(none.text), "This session has been modified. Save ?");
    EXPECT_EQ(none.kind, 4);
}

TEST(SessionRulesTest, NamesAndPathsOfSessionFiles)
{
    EXPECT_TRUE(NeedsSaveAs(u""));
    EXPECT_TRUE(NeedsSaveAs(u"UNTITLED.SESSION"));
    EXPECT_TRUE(NeedsSaveAs(u"Untitled.session"));
    EXPECT_FALSE(NeedsSaveAs(u"Untitled"));
    EXPECT_FALSE(NeedsSaveAs(u"Untitled.session2"));

    EXPECT_EQ(Narrow(WithSessionExtension(u"c:\\s\\Mix")), "c:\\s\\Mix.session");
    EXPECT_EQ(Narrow(WithSessionExtension(u"c:\\s\\Mix.SESSION")), "c:\\s\\Mix.SESSION");
    EXPECT_EQ(Narrow(WithSessionExtension(u"c:\\s\\Mix.session.txt")), "c:\\s\\Mix.session.txt.session");
    EXPECT_EQ(Narrow(WithSessionExtension(u"")), ".session");

    EXPECT_EQ(Narrow(FolderOf(u"c:\\My Sessions\\Mix.session")), "c:\\My Sessions\\");
    EXPECT_EQ(Narrow(FolderOf(u"Mix.session")), "");
    EXPECT_EQ(Narrow(FileNameOf(u"c:\\My Sessions\\Mix.session")), "Mix.session");

    EXPECT_EQ(Narrow(NewSessionPath(u"c:\\S\\", u"Mix")), "c:\\S\\Mix.session");
    EXPECT_EQ(Narrow(NewSessionPath(u"c:\\S", u"Mix")), "c:\\S\\Mix.session");
    EXPECT_EQ(Narrow(NewSessionPath(u"c:\\S\\Old.session", u"Mix")), "c:\\S\\Mix.session");
    EXPECT_EQ(Narrow(NewSessionPath(u"c:\\v1.2\\S", u"Mix")), "c:\\v1.2\\S\\Mix.session");
}
