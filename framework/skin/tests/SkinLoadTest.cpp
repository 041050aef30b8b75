#include "framework/platform/graphics/Bitmap.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/tests/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace skintest;

namespace
{
struct LoadCase
{
    const char* what;
    std::function<void(FixtureSkin&)> change;
    int loaded;
    std::vector<std::string> reports;
};

// A skin file of the size cap plus one byte: sound XML padded with a comment.
std::string Oversized(const std::string& root)
{
    std::string text = "<" + root + "/><!--";
    text.resize(static_cast<size_t>(Skin::kMaxXmlFileBytes) - 2, ' ');
    return text + "-->";
}

void CutComposite(FixtureSkin& s, uintmax_t bytes)
{
    std::filesystem::resize_file(s / "composite.bmp", bytes);
}

TEST(SkinLoad, FailureTable)
{
    const LoadCase cases[] = {
        {"complete skin", [](FixtureSkin&) {}, 1, {}},
        {"no composite and no images folder", [](FixtureSkin& s) { s.Remove("composite.bmp"); }, 0, {}},
        {"composite unreadable", [](FixtureSkin& s) { s.Write("composite.bmp", "BM not a bitmap"); }, 0, {}},
        // The composite's headers claim 16 x 8 pixels of 24 bits: 54 + 8 rows of 48 bytes.
        {"composite cut to its headers", [](FixtureSkin& s) { CutComposite(s, 54); }, 0, {}},
        {"composite one byte short", [](FixtureSkin& s) { CutComposite(s, 54 + 8 * 48 - 1); }, 0, {}},
        {"composite claiming 64 x 64 pixels in 54 bytes",
         [](FixtureSkin& s) {
             WriteBitmap(s / "composite.bmp", 64, 64, CompositePixel);
             CutComposite(s, 54);
         },
         0,
         {}},
        {"composite without regions.xml", [](FixtureSkin& s) { s.Remove("regions.xml"); }, 0, {}},
        {"images folder without regions.xml",
         [](FixtureSkin& s) {
             s.Remove("composite.bmp");
             s.MakeImagesFolder();
             s.Remove("regions.xml");
         },
         0,
         {"Corrupt/incorrect regions file! []"}},
        {"images folder with regions.xml",
         [](FixtureSkin& s) {
             s.Remove("composite.bmp");
             s.MakeImagesFolder();
         },
         1,
         {}},
        {"regions.xml malformed",
         [](FixtureSkin& s) { s.Write("regions.xml", "<regions><region"); },
         0,
         {"Corrupt/incorrect regions file! []"}},
        {"regions.xml root otherwise named", [](FixtureSkin& s) { s.Write("regions.xml", "<areas/>"); }, 0, {}},
        {"strings.xml malformed",
         [](FixtureSkin& s) { s.Write("strings.xml", "<stringtable"); },
         1,
         {"Corrupt/incorrect strings file! []"}},
        {"no strings.xml", [](FixtureSkin& s) { s.Remove("strings.xml"); }, 1, {}},
        {"layout.xml missing", [](FixtureSkin& s) { s.Remove("layout.xml"); }, 0, {}},
        {"layout.xml malformed",
         [](FixtureSkin& s) { s.Write("layout.xml", "<layout><fonts>"); },
         0,
         {"Corrupt/incorrect layout file! []"}},
        {"layout.xml root of any name", [](FixtureSkin& s) { s.Write("layout.xml", "<anything/>"); }, 1, {}},
        {"regions.xml above the size cap",
         [](FixtureSkin& s) { s.Write("regions.xml", Oversized("regions")); },
         0,
         {"Corrupt/incorrect regions file! []"}},
        {"strings.xml above the size cap",
         [](FixtureSkin& s) { s.Write("strings.xml", Oversized("stringtable")); },
         1,
         {"Corrupt/incorrect strings file! []"}},
        {"layout.xml above the size cap",
         [](FixtureSkin& s) { s.Write("layout.xml", Oversized("layout")); },
         0,
         {"Corrupt/incorrect layout file! []"}},
        {"layout.xml at the size cap",
         [](FixtureSkin& s) {
             std::string text = Oversized("layout");
             text.erase(text.size() - 4, 1);
             s.Write("layout.xml", text);
         },
         1,
         {}},
        {"layout.xml with only a declaration",
         [](FixtureSkin& s) { s.Write("layout.xml", "<?xml version=\"1.0\"?>"); },
         0,
         {}},
    };
    for (const LoadCase& c : cases)
    {
        SCOPED_TRACE(c.what);
        FixtureSkin folder;
        c.change(folder);
        RecordingSkin skin;
        EXPECT_EQ(skin.Load(folder.Path(), nullptr), c.loaded);
        EXPECT_EQ(skin.IsLoaded(), c.loaded);
        EXPECT_EQ(skin.reports, c.reports);
    }
}

// Without a composite every image is a file of its own, checked as the composite is.
TEST(SkinLoad, DamagedImageFilesAreNotFound)
{
    FixtureSkin folder;
    folder.Remove("composite.bmp");
    folder.MakeImagesFolder();
    WriteBitmap(folder / "images/whole.bmp", 4, 4, CompositePixel);
    WriteBitmap(folder / "images/cut.bmp", 4, 4, CompositePixel);
    std::filesystem::resize_file(folder / "images/cut.bmp", 60);
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);
    EXPECT_NE(skin.FindBitmap(Text("whole")), nullptr);
    EXPECT_EQ(skin.FindBitmap(Text("cut")), nullptr);
    EXPECT_EQ(skin.reports, std::vector<std::string>({"Skin bitmap not found. [cut]"}));
}

TEST(SkinLoad, MissingFolderFailsSilently)
{
    FixtureSkin folder;
    String missing = folder.Path();
    missing.AppendAscii("\\nowhere");
    RecordingSkin skin;
    EXPECT_EQ(skin.Load(missing, nullptr), 0);
    EXPECT_TRUE(skin.reports.empty());
}

TEST(SkinLoad, SkipsNamelessAndForeignEntriesAndKeepsFirstDefinitions)
{
    FixtureSkin folder;
    folder.Write("regions.xml", "<regions>"
                                "<region name=\"a\" x=\"1\" y=\"2\" w=\"3\" h=\"4\"/>"
                                "<region name=\"a\" x=\"9\" y=\"9\" w=\"9\" h=\"9\"/>"
                                "<region x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                                "<region name=\"\" x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                                "<area name=\"b\" x=\"0\" y=\"0\" w=\"1\" h=\"1\"/>"
                                "</regions>");
    folder.Write("strings.xml", "<stringtable>"
                                "<string id=\"S\" value=\"first\"/><string id=\"S\" value=\"second\"/>"
                                "<string id=\"E\" value=\"\"/><string id=\"N\"/><string value=\"x\"/>"
                                "</stringtable>");
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);

    int x, y, w, h, kx, ky;
    ASSERT_EQ(skin.FindRegion(Text("a"), x, y, w, h, kx, ky), 1);
    EXPECT_EQ(std::vector<int>({x, y, w, h, kx, ky}), std::vector<int>({1, 2, 3, 4, -1, -1}));
    EXPECT_EQ(skin.FindRegion(Text(""), x, y, w, h, kx, ky), 0);
    EXPECT_EQ(skin.FindRegion(Text("b"), x, y, w, h, kx, ky), 0);
    EXPECT_EQ(std::vector<int>({x, y, w, h, kx, ky}), std::vector<int>(6, -1));

    ASSERT_NE(skin.FindStringById("S"), nullptr);
    EXPECT_EQ(Narrow(*skin.FindStringById("S")), "first");
    ASSERT_NE(skin.FindStringById("E"), nullptr);
    EXPECT_EQ(skin.FindStringById("E")->Length(), 0);
    EXPECT_TRUE(skin.reports.empty());
    EXPECT_EQ(skin.FindStringById("N"), nullptr);
    EXPECT_EQ(skin.FindString(Text("s")), nullptr); // look-ups are case-sensitive
    EXPECT_EQ(skin.reports,
              std::vector<std::string>({"Skin Text String not found. [N]", "Skin Text String not found. [s]"}));
}

TEST(SkinLoad, EmptyStringTableLoads)
{
    FixtureSkin folder;
    folder.Write("strings.xml", "<stringtable></stringtable>");
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);
    EXPECT_EQ(skin.FindStringById("IDS_HELLO"), nullptr);
}

TEST(SkinLoad, SecondLoadAddsAndKeepsEarlierEntries)
{
    FixtureSkin first;
    FixtureSkin second;
    second.Write("strings.xml", "<stringtable><string id=\"IDS_HELLO\" value=\"Hi\"/>"
                                "<string id=\"IDS_MORE\" value=\"More\"/></stringtable>");
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(first.Path(), nullptr), 1);
    SkinBitmap* solid = skin.FindBitmap(Text("solid"));
    ASSERT_NE(solid, nullptr);
    ASSERT_EQ(skin.Load(second.Path(), nullptr), 1);
    EXPECT_EQ(Narrow(*skin.FindStringById("IDS_HELLO")), "Hello");
    EXPECT_EQ(Narrow(*skin.FindStringById("IDS_MORE")), "More");
    // The cached image still cuts from the first composite, which the skin keeps.
    EXPECT_EQ(skin.FindBitmap(Text("solid")), solid);
    ASSERT_NE(solid->GetDib(), nullptr);
    EXPECT_EQ(solid->GetDib()->GetPixel(0, 0) & 0xFFFFFF, kSolid);
}

TEST(SkinLoad, ReloadEmptiesTheSkinFirst)
{
    FixtureSkin good;
    FixtureSkin broken;
    broken.Remove("layout.xml");
    broken.Write("strings.xml", "<stringtable><string id=\"IDS_OTHER\" value=\"x\"/></stringtable>");
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(good.Path(), nullptr), 1);
    ASSERT_NE(skin.FindBitmap(Text("solid")), nullptr);
    EXPECT_EQ(skin.Reload(broken.Path(), nullptr), 0);
    EXPECT_EQ(skin.IsLoaded(), 0);
    // Only what the failed load read before it stopped.
    EXPECT_EQ(skin.FindStringById("IDS_HELLO"), nullptr);
    EXPECT_NE(skin.FindStringById("IDS_OTHER"), nullptr);
    EXPECT_EQ(skin.FindFont(Text("Normal")), nullptr);
    EXPECT_EQ(skin.Reload(good.Path(), nullptr), 1);
    EXPECT_NE(skin.FindFont(Text("Normal")), nullptr);
}

TEST(SkinLoad, CurrentSkinIsTheLastLoadStartedAndNeverDangles)
{
    FixtureSkin folder;
    FixtureSkin broken;
    broken.Remove("layout.xml");
    Skin launcher;
    ASSERT_EQ(launcher.Load(folder.Path(), nullptr), 1);
    EXPECT_EQ(Skin::Current(), &launcher);
    {
        Skin failed;
        EXPECT_EQ(failed.Load(broken.Path(), nullptr), 0);
        EXPECT_EQ(Skin::Current(), &failed);
    }
    // The failed skin is gone: the pointer must not lead to it.
    EXPECT_EQ(Skin::Current(), nullptr);
    {
        Skin other;
        EXPECT_EQ(launcher.Reload(folder.Path(), nullptr), 1);
    }
    // Destroying a skin that is not current leaves the current one alone.
    EXPECT_EQ(Skin::Current(), &launcher);
}
} // namespace
