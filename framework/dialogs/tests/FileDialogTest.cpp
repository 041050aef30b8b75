#include "framework/platform/files/ChooserSeam.h"
#include "framework/dialogs/OpenFileDialog.h"
#include "framework/dialogs/SaveFileDialog.h"
#include "framework/platform/files/Shell.h"
#include "framework/windows/Window.h"

#include <commdlg.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Answers every chooser with a fixed path (or a cancel) and keeps what was asked.
class RecordingChooser : public ChooserSeam
{
public:
    RecordingChooser() { previous_ = Install(this); }
    ~RecordingChooser() override { Install(previous_); }
    int Answer(const Request& request, std::string& path) override
    {
        requests.push_back(request);
        if (cancel)
            return 0;
        path = answer;
        return 1;
    }
    std::vector<Request> requests;
    std::string answer;
    bool cancel = false;

private:
    ChooserSeam* previous_;
};

std::string Ansi(const String& s)
{
    std::string out;
    for (int i = 0; i < s.Length(); ++i)
        out += s.CharAt(i);
    return out;
}

TEST(FileDialogs, OpenAsksWithItsTextsAndGivesThePath)
{
    RecordingChooser chooser;
    chooser.answer = "C:\\Sessions\\live.kvs";
    OpenFileDialog dialog;
    const StringRef folder(u"C:\\Sessions");
    const StringRef title(u"Open session");
    ASSERT_EQ(dialog.Init(&folder, nullptr, &title), 1);
    const char filter[] = "Sessions\0*.kvs\0All files\0*.*\0";
    ASSERT_EQ(dialog.Run(nullptr, filter), 1);
    EXPECT_EQ(Ansi(dialog.GetPath()), "C:\\Sessions\\live.kvs");
    ASSERT_EQ(chooser.requests.size(), 1u);
    const ChooserSeam::Request& asked = chooser.requests[0];
    EXPECT_EQ(asked.kind, ChooserSeam::OpenFile);
    EXPECT_EQ(asked.owner, nullptr);
    EXPECT_EQ(asked.initialDirectory, "C:\\Sessions");
    EXPECT_EQ(asked.fileName, "");
    EXPECT_EQ(asked.title, "Open session");
    EXPECT_EQ(asked.filter, std::string(filter, sizeof(filter)));
    EXPECT_EQ(asked.flags,
              static_cast<DWORD>(OFN_ENABLESIZING | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY));

    chooser.cancel = true;
    EXPECT_EQ(dialog.Run(nullptr, filter), 0);
    EXPECT_EQ(dialog.GetPath().Length(), 0);
}

TEST(FileDialogs, SaveTakesTheDefaultExtension)
{
    RecordingChooser chooser;
    chooser.answer = "D:\\out.fxb";
    SaveFileDialog dialog;
    const StringRef name(u"bank");
    const StringRef extension(u"fxb");
    ASSERT_EQ(dialog.Init(nullptr, &name, nullptr, &extension), 1);
    Window owner;
    ASSERT_EQ(owner.Create(nullptr, WS_POPUP, 0, 0, 10, 10, nullptr, 0, 0), 1);
    ASSERT_EQ(dialog.Run(&owner, nullptr), 1);
    EXPECT_EQ(Ansi(dialog.GetPath()), "D:\\out.fxb");
    const ChooserSeam::Request& asked = chooser.requests.at(0);
    EXPECT_EQ(asked.owner, owner.GetHandle());
    EXPECT_EQ(asked.kind, ChooserSeam::SaveFile);
    EXPECT_EQ(asked.fileName, "bank");
    EXPECT_EQ(asked.defaultExtension, "fxb");
    EXPECT_EQ(asked.title, "");
    EXPECT_EQ(asked.flags, static_cast<DWORD>(OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT));
}

TEST(FileDialogs, TextsThatDoNotFitAreRefused)
{
    RecordingChooser chooser;
    SaveFileDialog dialog;
    const std::u16string longTitle(100, u't');
    const StringRef title(longTitle.c_str());
    const StringRef name(u"kept");
    EXPECT_EQ(dialog.Init(nullptr, &name, &title, nullptr), 0);
    chooser.answer = "x";
    ASSERT_EQ(dialog.Run(nullptr, nullptr), 1);
    EXPECT_EQ(chooser.requests.at(0).title, "");
    EXPECT_EQ(chooser.requests.at(0).fileName, "kept");
}

TEST(FileDialogs, FolderChooser)
{
    RecordingChooser chooser;
    chooser.answer = "C:\\Effect Presets";
    String folder;
    ASSERT_EQ(Shell::BrowseForFolder(u"Choose a folder", folder, nullptr, nullptr), 1);
    EXPECT_EQ(Ansi(folder), "C:\\Effect Presets");
    EXPECT_EQ(chooser.requests.at(0).kind, ChooserSeam::Folder);
    EXPECT_EQ(chooser.requests.at(0).title, "Choose a folder");
    chooser.cancel = true;
    EXPECT_EQ(Shell::BrowseForFolder(u"Choose a folder", folder, nullptr, nullptr), 0);
    EXPECT_EQ(folder.Length(), 0);
}
} // namespace
