#include "framework/base/FileStream.h"

#include "framework/base/TextCodec.h"
#include "tests/support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace
{

std::u16string Widen(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A scratch folder with one file of known content.
class FileStreamTest : public testing::Test
{
protected:
    void SetUp() override
    {
        path_ = Widen((folder_ / "data.bin").string());
        std::ofstream((folder_ / "data.bin").string(), std::ios::binary) << content_;
    }

    std::u16string FilePath(const char* name) const { return Widen((folder_ / name).string()); }

    std::vector<uint8_t> ReadBytes(FileStream& stream, int count, int expectResult)
    {
        std::vector<uint8_t> out(count);
        int got = -1;
        EXPECT_EQ(expectResult, stream.Read(out.data(), count, &got));
        out.resize(got);
        return out;
    }

    const std::string content_ = "0123456789";
    ScratchFolder folder_{"kiv-filestream"};
    std::u16string path_;
};

TEST_F(FileStreamTest, ClosedStreamFailsSoftlyAndRecordsTheError)
{
    struct Case
    {
        const char* name;
        std::function<long(FileStream&)> call;
        long result;
    };
    uint8_t byte = 0;
    const Case cases[] = {
        {"Read", [&](FileStream& s) { return s.Read(&byte, 1, nullptr); }, 0},
        {"Write", [&](FileStream& s) { return s.Write(&byte, 1, nullptr); }, 0},
        {"Skip", [](FileStream& s) { return s.Skip(4); }, 0},
        // Bytes pushed back now would come first out of the next file opened.
        {"Unread", [&](FileStream& s) { return s.Unread(&byte, 1); }, 0},
        {"BytesLeft", [](FileStream& s) { return s.BytesLeft(); }, 0},
        {"Flush", [](FileStream& s) { return s.Flush(); }, 0},
        {"Size", [](FileStream& s) { return s.Size(); }, 0},
    };
    for (const Case& c : cases)
    {
        FileStream stream(0);
        EXPECT_EQ(c.result, c.call(stream)) << c.name;
        EXPECT_EQ(kStreamErrorFail, stream.GetError()) << c.name;
    }
    FileStream stream(0);
    EXPECT_EQ(1, stream.AtEnd());
    EXPECT_EQ(1, stream.HasError());
    EXPECT_EQ(1, stream.Close());
}

TEST_F(FileStreamTest, OpensReadsAndCloses)
{
    FileStream stream(0);
    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    EXPECT_EQ(kStreamErrorNone, stream.GetError());
    EXPECT_EQ(path_, std::u16string(stream.GetPath().Text()));
    EXPECT_EQ(10, stream.Size());
    EXPECT_EQ(10, stream.BytesLeft());
    EXPECT_EQ(Bytes("0123"), ReadBytes(stream, 4, 1));
    EXPECT_EQ(0, stream.AtEnd());
    EXPECT_EQ(6, stream.BytesLeft());
    // A short read delivers what there is, answers 0 and sets the end flag.
    EXPECT_EQ(Bytes("456789"), ReadBytes(stream, 8, 0));
    EXPECT_EQ(1, stream.AtEnd());
    EXPECT_EQ(0, stream.HasError());
    EXPECT_EQ(0, stream.BytesLeft());
    EXPECT_EQ(1, stream.Close());
    EXPECT_EQ(0, stream.GetPath().Length());
    EXPECT_EQ(1, stream.AtEnd());
}

TEST_F(FileStreamTest, OpenFailures)
{
    FileStream stream(0);
    EXPECT_EQ(0, stream.OpenRead(FilePath("missing.bin").c_str()));
    EXPECT_EQ(kStreamErrorFail, stream.GetError());
    EXPECT_EQ(0, stream.GetPath().Length());
    EXPECT_EQ(0, stream.OpenRead(nullptr));
    EXPECT_EQ(0, stream.Open(path_.c_str(), nullptr));

    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    // A second open leaves the first file in place.
    std::ofstream((folder_ / "other.bin").string(), std::ios::binary) << "xy";
    EXPECT_EQ(0, stream.OpenRead(FilePath("other.bin").c_str()));
    EXPECT_EQ(path_, std::u16string(stream.GetPath().Text()));
    EXPECT_EQ(Bytes("01"), ReadBytes(stream, 2, 1));
}

TEST_F(FileStreamTest, PushedBackBytesComeFirst)
{
    FileStream stream(0);
    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    EXPECT_EQ(Bytes("012"), ReadBytes(stream, 3, 1));
    const uint8_t back[] = {'a', 'b', 'c'};
    ASSERT_EQ(1, stream.Unread(back, 3));
    EXPECT_EQ(10, stream.BytesLeft());
    EXPECT_EQ(Bytes("abc"), ReadBytes(stream, 3, 1));
    ASSERT_EQ(1, stream.Unread(back, 2));
    EXPECT_EQ(Bytes("ab345"), ReadBytes(stream, 5, 1));
}

TEST_F(FileStreamTest, AtEndIgnoresPushedBackBytesButBytesLeftCountsThem)
{
    FileStream stream(0);
    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    ReadBytes(stream, 11, 0);
    ASSERT_EQ(1, stream.AtEnd());
    const uint8_t back[] = {'x', 'y'};
    ASSERT_EQ(1, stream.Unread(back, 2));
    EXPECT_EQ(1, stream.AtEnd());
    EXPECT_EQ(2, stream.BytesLeft());
    EXPECT_EQ(Bytes("xy"), ReadBytes(stream, 2, 1));
}

TEST_F(FileStreamTest, UnreadRefusesMoreThanThePushBackHolds)
{
    FileStream stream(0);
    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    std::vector<uint8_t> bytes(257, 'z');
    EXPECT_EQ(0, stream.Unread(bytes.data(), 257));
    EXPECT_EQ(10, stream.BytesLeft());
    EXPECT_EQ(1, stream.Unread(bytes.data(), 256));
    EXPECT_EQ(0, stream.Unread(bytes.data(), 1));
}

TEST_F(FileStreamTest, SkipTakesPushedBackBytesThenTheFileClampedToWhatIsLeft)
{
    FileStream stream(0);
    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    const uint8_t back[] = {'a', 'b'};
    stream.Unread(back, 2);
    EXPECT_EQ(1, stream.Skip(1));
    EXPECT_EQ(3, stream.Skip(3));
    EXPECT_EQ(Bytes("2"), ReadBytes(stream, 1, 1));
    EXPECT_EQ(7, stream.Skip(100));
    EXPECT_EQ(0, stream.BytesLeft());
    EXPECT_EQ(0, stream.Skip(1));
    EXPECT_EQ(0, stream.Skip(-1));
    EXPECT_EQ(kStreamErrorNone, stream.GetError());
}

TEST_F(FileStreamTest, NegativeCountsAreRefused)
{
    FileStream stream(0);
    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    uint8_t byte = 0;
    EXPECT_EQ(0, stream.Read(&byte, -1, nullptr));
    EXPECT_EQ(0, stream.Unread(&byte, -1));
    EXPECT_EQ(10, stream.BytesLeft());
}

TEST_F(FileStreamTest, WritesAndMeasuresTheFile)
{
    std::u16string out = FilePath("out.bin");
    FileStream stream(0);
    ASSERT_EQ(1, stream.Open(out.c_str(), u"wb"));
    EXPECT_EQ(0, stream.Size());
    int written = -1;
    EXPECT_EQ(1, stream.Write("hello", 5, &written));
    EXPECT_EQ(5, written);
    EXPECT_EQ(1, stream.Flush());
    EXPECT_EQ(5, stream.Size());
    EXPECT_EQ(0, stream.Write("x", -1, nullptr));
    EXPECT_EQ(1, stream.Close());

    ASSERT_EQ(1, stream.OpenRead(out.c_str()));
    EXPECT_EQ(Bytes("hello"), ReadBytes(stream, 5, 1));
}

TEST_F(FileStreamTest, PushBackDoesNotOutliveTheFile)
{
    FileStream stream(0);
    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    const uint8_t back[] = {'q'};
    stream.Unread(back, 1);
    stream.Close();
    ASSERT_EQ(1, stream.OpenRead(path_.c_str()));
    EXPECT_EQ(10, stream.BytesLeft());
    EXPECT_EQ(Bytes("0"), ReadBytes(stream, 1, 1));
}

// Under the sanitizers a stream that is not destroyed leaks and one destroyed twice fails.
TEST_F(FileStreamTest, DeleteOnCloseDestroysTheStreamOnce)
{
    FileStream* stream = new FileStream(1);
    ASSERT_EQ(1, stream->OpenRead(path_.c_str()));
    EXPECT_EQ(1, stream->Close());

    // Destroyed while open: closes the file without destroying itself again.
    FileStream* open = new FileStream(1);
    ASSERT_EQ(1, open->OpenRead(path_.c_str()));
    delete open;
}

// The codecs' push-back (the low half of a pair, the unit after white space) goes through
// the stream's push-back buffer.
TEST_F(FileStreamTest, Utf8TextThroughTheFile)
{
    std::u16string out = FilePath("text.xml");
    Utf8Codec codec;
    FileStream writer(0);
    ASSERT_EQ(1, writer.Open(out.c_str(), u"wb"));
    EXPECT_EQ(1, codec.WriteWide(writer, u" \t\xD83C\xDFB5 <name>caf\x00E9"));
    EXPECT_EQ(1, writer.Write("\xC3", 1, nullptr)); // cut off after the lead byte
    EXPECT_EQ(1, writer.Close());

    FileStream reader(0);
    ASSERT_EQ(1, reader.OpenRead(out.c_str()));
    EXPECT_EQ(1, codec.SkipSpace(reader));
    char16_t unit = 0;
    ASSERT_EQ(1, codec.ReadChar(reader, &unit));
    EXPECT_EQ(0xD83C, unit);
    EXPECT_EQ(1, codec.UnreadChar(reader, unit)); // the high half goes back over the low one
    ASSERT_EQ(1, codec.ReadChar(reader, &unit));
    EXPECT_EQ(0xD83C, unit);
    ASSERT_EQ(1, codec.ReadChar(reader, &unit));
    EXPECT_EQ(0xDFB5, unit);
    EXPECT_EQ(1, codec.SkipSpace(reader));
    EXPECT_EQ(1, codec.SkipUntil(reader, u'<'));
    String name;
    EXPECT_EQ(1, codec.ReadUntil(reader, name, u'>'));
    EXPECT_EQ(u"name", std::u16string(name.Text()));
    String rest;
    EXPECT_EQ(1, codec.ReadCount(reader, rest, 4));
    EXPECT_EQ(u"caf\x00E9", std::u16string(rest.Text()));
    EXPECT_EQ(0, codec.ReadChar(reader, &unit));
    EXPECT_EQ(1, reader.AtEnd());
    EXPECT_EQ(0, reader.HasError());
}

#ifndef _WIN32
// Writes to a full device land in the C runtime's buffer; the loss shows at flush or close.
TEST_F(FileStreamTest, FlushAndCloseReportLostWrites)
{
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    FileStream stream(0);
    ASSERT_EQ(1, stream.Open(u"/dev/full", u"wb"));
    EXPECT_EQ(1, stream.Write("abc", 3, nullptr));
    EXPECT_EQ(0, stream.Flush());
    EXPECT_EQ(kStreamErrorFail, stream.GetError());

    stream.Close(); // whether the C runtime kept the unflushed bytes is its own business
    ASSERT_EQ(1, stream.Open(u"/dev/full", u"wb"));
    stream.SetError(kStreamErrorNone);
    EXPECT_EQ(1, stream.Write("abc", 3, nullptr));
    EXPECT_EQ(0, stream.Close());
    EXPECT_EQ(kStreamErrorFail, stream.GetError());
}
#endif

} // namespace
