#include "framework/base/FileStream.h"
#include "framework/base/String.h"
#include "framework/base/TextCodec.h"
#include "framework/base/tests/MemoryStreams.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{

// Every String allocation fails while the test runs.
class StreamsOutOfMemory : public testing::Test
{
protected:
    class FailingHeap : public StringHeap
    {
    public:
        char16_t* Allocate(int) override { return nullptr; }
    };

    void SetUp() override { previous_ = StringHeap::Install(&heap_); }
    void TearDown() override { StringHeap::Install(previous_); }

    FailingHeap heap_;
    StringHeap* previous_ = nullptr;
};

TEST_F(StreamsOutOfMemory, OpenReportsThatThePathCouldNotBeStored)
{
    FileStream stream(0);
    EXPECT_EQ(0, stream.OpenRead(u"layout.xml"));
    EXPECT_EQ(kStreamErrorOutOfMemory, stream.GetError());
    EXPECT_EQ(1, stream.AtEnd());
}

TEST_F(StreamsOutOfMemory, TextReadsAndNumberWritesFail)
{
    Utf8Codec codec;
    struct Case
    {
        const char* name;
        std::function<int(ByteReader&, String&)> call;
    };
    const Case cases[] = {
        {"ReadUntil", [&](ByteReader& r, String& s) { return codec.ReadUntil(r, s, u'>'); }},
        {"ReadCount", [&](ByteReader& r, String& s) { return codec.ReadCount(r, s, 2); }},
        {"ReadLine", [&](ByteReader& r, String& s) { return codec.ReadLine(r, s); }},
    };
    const char input[] = "ab>\r\n";
    for (const Case& c : cases)
    {
        MemoryReader reader(input, sizeof input - 1);
        String text;
        EXPECT_EQ(0, c.call(reader, text)) << c.name;
        EXPECT_EQ(0, text.Length()) << c.name;
    }
    MemoryWriter writer;
    EXPECT_EQ(0, codec.WriteUnsigned(writer, 42, 0));
    EXPECT_TRUE(writer.bytes.empty());
}

} // namespace
