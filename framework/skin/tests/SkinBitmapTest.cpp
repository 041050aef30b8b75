#include "framework/platform/graphics/Bitmap.h"
#include "framework/platform/graphics/Region.h"
#include "framework/skin/Skin.h"
#include "framework/skin/SkinBitmap.h"
#include "framework/skin/tests/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace skintest;

namespace
{
constexpr uint32_t kGrey = 0x444444;

// Draws the image transparently onto grey and checks every pixel: key-coloured pixels leave
// the grey, the others are the image's own.
void ExpectKeyedDraw(SkinBitmap& image, const PixelSource& source, uint32_t key)
{
    Bitmap target;
    ASSERT_EQ(target.Create(image.Width(), image.Height(), 24), 1);
    target.FillRect(0, 0, image.Width(), image.Height(), RGB(0x44, 0x44, 0x44));
    ASSERT_EQ(image.DrawWhole(target, 0, 0, 0), 1);
    for (int y = 0; y < image.Height(); ++y)
        for (int x = 0; x < image.Width(); ++x)
        {
            const uint32_t expected = source(x, y) == key ? kGrey : source(x, y);
            EXPECT_EQ(target.GetPixel(x, y) & 0xFFFFFF, expected) << x << "," << y;
        }
}

TEST(SkinImages, CompositePiecesWithKeyPointTransparency)
{
    FixtureSkin folder;
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);
    SkinBitmap* keyed = skin.FindBitmap(Text("keyed"));
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(keyed->Width(), 4);
    EXPECT_EQ(keyed->Height(), 4);
    EXPECT_EQ(keyed->IsTransparent(), 1);
    int kx, ky;
    keyed->GetKeyPoint(kx, ky);
    EXPECT_EQ(kx, 4); // composite coordinates
    EXPECT_EQ(ky, 0);
    ExpectKeyedDraw(
        *keyed, [](int x, int y) { return CompositePixel(x + 4, y); }, kMagenta);

    SkinBitmap* solid = skin.FindBitmap(Text("solid"));
    ASSERT_NE(solid, nullptr);
    EXPECT_EQ(solid->IsTransparent(), 0);

    // The shape of the keyed piece: everything but its four corners.
    Region shape;
    ASSERT_EQ(keyed->MakeRegion(shape), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(shape.Contains(x, y), !((x == 0 || x == 3) && (y == 0 || y == 3))) << x << "," << y;
    Region box;
    ASSERT_EQ(solid->MakeRegion(box), 1);
    int bx, by, bw, bh;
    box.GetBox(bx, by, bw, bh);
    EXPECT_EQ(std::vector<int>({bx, by, bw, bh}), std::vector<int>({0, 0, 4, 4}));
}

TEST(SkinImages, CacheHitsAndUncachedFailures)
{
    FixtureSkin folder;
    // A file of the name in images does not help a composite skin: only regions count.
    folder.MakeImagesFolder();
    WriteBitmap(folder / "images" / "loose.bmp", 2, 2, [](int, int) { return kSolid; });
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);
    SkinBitmap* first = skin.FindBitmap(Text("solid"));
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(skin.FindBitmap(Text("solid")), first);
    EXPECT_EQ(skin.FindBitmap(Text("loose")), nullptr);
    EXPECT_EQ(skin.FindBitmap(Text("loose")), nullptr);
    EXPECT_EQ(skin.FindBitmap(Text("Solid")), nullptr);
    EXPECT_EQ(skin.reports, std::vector<std::string>({"Skin region in composite bitmap not found. [loose]",
                                                      "Skin region in composite bitmap not found. [loose]",
                                                      "Skin region in composite bitmap not found. [Solid]"}));
}

TEST(SkinImages, SingleFileSkinTakesKeyPointsFromItsRegions)
{
    FixtureSkin folder;
    folder.Remove("composite.bmp");
    folder.MakeImagesFolder();
    const PixelSource button = [](int x, int y) { return (x + y) % 3 == 0 ? 0x00FF00u : 0x0000C0u + x; };
    WriteBitmap(folder / "images" / "button.bmp", 6, 7, button);
    WriteBitmap(folder / "images" / "plain.bmp", 3, 3, button);
    folder.Write("regions.xml", "<regions><region name=\"button\" tx=\"3\" ty=\"0\"/>"
                                "<region name=\"half\" tx=\"3\"/></regions>");
    WriteBitmap(folder / "images" / "half.bmp", 3, 3, button);
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);

    SkinBitmap* keyed = skin.FindBitmap(Text("button"));
    ASSERT_NE(keyed, nullptr);
    EXPECT_EQ(keyed->IsTransparent(), 1);
    EXPECT_EQ(keyed->Width(), 6);
    EXPECT_EQ(keyed->Height(), 7);
    ExpectKeyedDraw(*keyed, button, button(3, 0));

    SkinBitmap* plain = skin.FindBitmap(Text("plain"));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->IsTransparent(), 0);
    SkinBitmap* half = skin.FindBitmap(Text("half"));
    ASSERT_NE(half, nullptr);
    EXPECT_EQ(half->IsTransparent(), 0);

    EXPECT_EQ(skin.FindBitmap(Text("absent")), nullptr);
    EXPECT_EQ(skin.reports, std::vector<std::string>({"Skin bitmap not found. [absent]"}));
}

// Skin files are edited by hand: geometry that reaches outside the bitmap is refused rather
// than read out of bounds.
TEST(SkinImages, RegionsOutsideTheirBitmapAreRefused)
{
    FixtureSkin folder;
    folder.Write("regions.xml", "<regions>"
                                "<region name=\"noWidth\" x=\"0\" y=\"0\" h=\"4\"/>"
                                "<region name=\"noHeight\" x=\"0\" y=\"0\" w=\"4\"/>"
                                "<region name=\"wide\" x=\"12\" y=\"0\" w=\"8\" h=\"4\"/>"
                                "<region name=\"low\" x=\"0\" y=\"6\" w=\"4\" h=\"4\"/>"
                                "<region name=\"huge\" x=\"2\" y=\"2\" w=\"4294967295\" h=\"2\"/>"
                                "<region name=\"keyOutside\" x=\"0\" y=\"0\" w=\"4\" h=\"4\" tx=\"6\" ty=\"1\"/>"
                                "<region name=\"keyFar\" x=\"0\" y=\"0\" w=\"4\" h=\"4\" tx=\"900\" ty=\"900\"/>"
                                "<region name=\"edge\" x=\"12\" y=\"4\" w=\"4\" h=\"4\" tx=\"15\" ty=\"7\"/>"
                                "</regions>");
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);
    for (const char* name : {"noWidth", "noHeight", "wide", "low", "huge", "keyOutside", "keyFar"})
        EXPECT_EQ(skin.FindBitmap(Text(name)), nullptr) << name;
    EXPECT_EQ(skin.reports.size(), 7u);
    EXPECT_EQ(skin.reports[0], "Skin bitmap not found. [noWidth]");
    SkinBitmap* edge = skin.FindBitmap(Text("edge"));
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ(edge->IsTransparent(), 1);

    FixtureSkin files;
    files.Remove("composite.bmp");
    files.MakeImagesFolder();
    WriteBitmap(files / "images" / "small.bmp", 3, 3, [](int, int) { return kSolid; });
    files.Write("regions.xml", "<regions><region name=\"small\" tx=\"3\" ty=\"0\"/></regions>");
    RecordingSkin fileSkin;
    ASSERT_EQ(fileSkin.Load(files.Path(), nullptr), 1);
    EXPECT_EQ(fileSkin.FindBitmap(Text("small")), nullptr);
    EXPECT_EQ(fileSkin.reports, std::vector<std::string>({"Skin bitmap not found. [small]"}));
}

// A key colour is a Windows colour value (red in the low byte); the DIB holds blue there.
TEST(SkinImages, KeyColourMatchesPixelsOfThatColour)
{
    constexpr uint32_t kRed = 0xFF0000; // as pixels hold it
    constexpr uint32_t kBlue = 0x0000FF;
    const PixelSource source = [](int x, int y) { return x == y ? kRed : (x + y == 3 ? kBlue : 0x00FF00u); };
    auto dib = std::make_unique<Bitmap>();
    ASSERT_EQ(dib->Create(4, 4, 24), 1);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            dib->SetPixel(x, y, source(x, y));
    SkinBitmap image;
    ASSERT_EQ(image.AttachDib(dib.release()), 1);
    image.SetTransparentColour(RGB(0xFF, 0x00, 0x00));
    ExpectKeyedDraw(image, source, kRed);
    image.SetTransparentColour(RGB(0x00, 0xFF, 0x00));
    ExpectKeyedDraw(image, source, 0x00FF00);

    // Opaque drawing copies every pixel.
    Bitmap target;
    ASSERT_EQ(target.Create(4, 4, 24), 1);
    ASSERT_EQ(image.DrawWhole(target, 0, 0, 1), 1);
    EXPECT_EQ(target.GetPixel(1, 1) & 0xFFFFFF, kRed);
    EXPECT_EQ(target.GetPixel(0, 1) & 0xFFFFFF, 0x00FF00u);
}

TEST(SkinImages, CopyPieceMakesAnOwnedOpaqueImage)
{
    FixtureSkin folder;
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);
    SkinBitmap* keyed = skin.FindBitmap(Text("keyed"));
    ASSERT_NE(keyed, nullptr);
    SkinBitmap copy;
    ASSERT_EQ(copy.CopyPiece(*keyed, 1, 0, 3, 2), 1);
    EXPECT_EQ(copy.Width(), 3);
    EXPECT_EQ(copy.Height(), 2);
    EXPECT_EQ(copy.IsTransparent(), 0);
    ASSERT_NE(copy.GetDib(), nullptr);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(copy.GetDib()->GetPixel(x, y) & 0xFFFFFF, CompositePixel(x + 5, y)) << x << "," << y;
}
} // namespace

namespace
{
TEST(SkinImages, DrawingPastAPieceDrawsNothingOfItsNeighbours)
{
    FixtureSkin folder;
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);
    SkinBitmap* solid = skin.FindBitmap(Text("solid")); // (0, 0, 4, 4); "keyed" lies right of it
    ASSERT_NE(solid, nullptr);
    Bitmap target;
    ASSERT_EQ(target.Create(12, 8, 24), 1);
    target.FillRect(0, 0, 12, 8, RGB(0x44, 0x44, 0x44));
    // Eight wide and tall from (-2, -2): only the piece's own 4 x 4 pixels land, at (2, 2).
    ASSERT_EQ(solid->Draw(target, -2, -2, 8, 8, 0, 0, 1), 1);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 12; ++x)
        {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            EXPECT_EQ(target.GetPixel(x, y) & 0xFFFFFF, inside ? kSolid : kGrey) << x << "," << y;
        }
}

TEST(SkinImages, KeyPixelOfPiecesAndColourKeyedImages)
{
    FixtureSkin folder;
    RecordingSkin skin;
    ASSERT_EQ(skin.Load(folder.Path(), nullptr), 1);
    uint32_t pixel = 0;
    EXPECT_EQ(skin.FindBitmap(Text("solid"))->GetKeyPixel(pixel), 0) << "an opaque image has no key";
    ASSERT_EQ(skin.FindBitmap(Text("keyed"))->GetKeyPixel(pixel), 1);
    EXPECT_EQ(pixel & 0xFFFFFF, kMagenta) << "the pixel at the key point, in composite coordinates";
    SkinBitmap* strip = skin.FindBitmap(Text("strip"));
    strip->SetTransparentColour(RGB(0x01, 0x02, 0x03));
    ASSERT_EQ(strip->GetKeyPixel(pixel), 1);
    EXPECT_EQ(pixel, 0x010203u) << "a colour value turned into the DIB's byte order";
}
} // namespace
