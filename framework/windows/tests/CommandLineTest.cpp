#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "framework/windows/CommandLine.h"

namespace
{

struct Recorder : CommandLineActions
{
    std::set<std::string> files;
    bool keyPresent = true;
    bool storeWorks = true;
    int launchFlags = 0;
    std::vector<std::string> asked;
    std::vector<std::string> stored;

    int FileExists(const std::string& path) override
    {
        asked.push_back(path);
        return files.count(path) ? 1 : 0;
    }
    int SetLaunchFlag() override
    {
        if (!keyPresent)
            return 0;
        ++launchFlags;
        return 1;
    }
    int StoreCommandLineOpen(const std::string& text) override
    {
        if (!storeWorks)
            return 0;
        stored.push_back(text);
        return 1;
    }
};

const char kSession[] = "C:\\My Sessions\\Live Set.session";

TEST(CommandLine, LaunchMixerAsTheLastWordInAnyCase)
{
    struct Case
    {
        const char* line;
        int launches;
    };
    const Case cases[] = {
        {"KivCorvanDSP.exe LaunchMixer", 1},
        {"KivCorvanDSP.exe launchmixer", 1},
        {"KivCorvanDSP.exe -LAUNCHMIXER", 1},
        {"KivCorvanDSP.exe /LaunchMiXer", 1},
        {"\"C:\\Program Files\\Kiv Corvan\\KivCorvanDSP.exe\" LaunchMixer", 1},
        {"KivCorvanDSP.exe LaunchMixer now", 0},
        {"KivCorvanDSP.exe LaunchMixer ", 0},
        {"KivCorvanDSP.exe XLaunchMixer", 0},
        {"LaunchMixer", 0},
        {"", 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        Recorder r;
        int session = -1;
        EXPECT_EQ(HandleCommandLine(c.line, r, session), c.launches);
        EXPECT_EQ(r.launchFlags, c.launches);
        EXPECT_EQ(session, 0);
        EXPECT_TRUE(r.stored.empty());
    }
}

TEST(CommandLine, LaunchMixerWithoutTheViewKeyStoresNothing)
{
    Recorder r;
    r.keyPresent = false;
    int session = 0;
    EXPECT_EQ(HandleCommandLine("KivCorvanDSP.exe LaunchMixer", r, session), 0);
}

TEST(CommandLine, SessionPathsQuotedAndUnquoted)
{
    struct Case
    {
        std::string line;
        std::string stored;
    };
    const std::string quoted = std::string("\"") + kSession + "\"";
    const Case cases[] = {
        {std::string("KivCorvanDSP.exe ") + quoted, quoted},
        {std::string("KivCorvanDSP.exe ") + kSession, kSession},
        {std::string("\"C:\\Program Files\\Kiv\\KivCorvanDSP.exe\" ") + quoted, quoted},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.line);
        Recorder r;
        r.files.insert(kSession);
        int session = 0;
        EXPECT_EQ(HandleCommandLine(c.line.c_str(), r, session), 1);
        EXPECT_EQ(session, 1);
        EXPECT_EQ(r.stored, std::vector<std::string>{c.stored});
        EXPECT_EQ(r.asked.back(), kSession) << "quotes are removed for the existence test";
    }
}

TEST(CommandLine, CandidatesInsideAProgramPathWithBlanksFailFirst)
{
    Recorder r;
    r.files.insert(kSession);
    int session = 0;
    const std::string line = std::string("\"C:\\Program Files\\Kiv\\KivCorvanDSP.exe\" ") + kSession;
    EXPECT_EQ(HandleCommandLine(line.c_str(), r, session), 1);
    ASSERT_GE(r.asked.size(), 2u);
    EXPECT_EQ(r.asked.front(), std::string("Files\\Kiv\\KivCorvanDSP.exe\" ") + kSession);
    EXPECT_EQ(r.stored, std::vector<std::string>{kSession});
}

TEST(CommandLine, MissingFilesAndFailedStoresKeepScanning)
{
    Recorder r;
    int session = 0;
    EXPECT_EQ(HandleCommandLine("KivCorvanDSP.exe C:\\nowhere.session", r, session), 0);
    EXPECT_EQ(session, 0);
    EXPECT_EQ(r.asked.size(), 1u);

    Recorder failing;
    failing.files.insert("a b");
    failing.files.insert("b");
    failing.storeWorks = false;
    EXPECT_EQ(HandleCommandLine("x a b", failing, session), 0);
    EXPECT_EQ(failing.asked, (std::vector<std::string>{"a b", "b"}));
}

} // namespace
