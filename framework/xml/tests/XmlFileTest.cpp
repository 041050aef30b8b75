// The skin loader's way in: a file opened with FileStream, loaded through XmlLoader; and a
// document saved to a file and read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/base/FileStream.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlLoader.h"
#include "framework/xml/tests/XmlTestSupport.h"
#include "tests/support/ScratchFolder.h"

namespace
{

class XmlFile : public ::testing::Test
{
protected:
    std::u16string Path(const char* name) const
    {
        std::string path = (folder_ / name).string();
        return std::u16string(path.begin(), path.end());
    }

    // The file loaded the way the skin loader does it; null when it does not load.
    XmlDocument* LoadFile(const std::u16string& path)
    {
        FileStream stream(0);
        XmlLoader loader;
        if (!stream.OpenRead(path.c_str()) || !loader.CreateDocument())
            return nullptr;
        int loaded = loader.Load(stream);
        stream.Close();
        return loaded ? loader.Detach() : nullptr;
    }

    ScratchFolder folder_{"kiv-xml-file-test"};
};

TEST_F(XmlFile, LoadsSavesAndReloadsThroughFileStreams)
{
    std::string layout = "\xFF\xFE";
    for (char c : std::string("<layout>\r\n\t<panel name=\"main\" w=\"640\">Main panel</panel>\r\n</layout>\r\n"))
    {
        layout += c;
        layout += '\0';
    }
    std::ofstream((folder_ / "layout.xml").string(), std::ios::binary) << layout;
    XmlDocument* doc = LoadFile(Path("layout.xml"));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetEncoding(), XmlDocument::UTF16LE);
    EXPECT_EQ(Describe(doc->GetFirstChild()), "layout(panel[name=main w=640](\"Main panel\"))");

    FileStream out(0);
    ASSERT_TRUE(out.Open(Path("saved.xml").c_str(), u"wb"));
    EXPECT_TRUE(doc->Save(out));
    EXPECT_TRUE(out.Close());
    XmlDocument* back = LoadFile(Path("saved.xml"));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->GetEncoding(), XmlDocument::UTF16LE);
    EXPECT_EQ(Describe(back->GetFirstChild()), Describe(doc->GetFirstChild()));
    doc->Release();
    back->Release();

    EXPECT_EQ(LoadFile(Path("missing.xml")), nullptr);
}

} // namespace
