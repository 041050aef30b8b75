#include "framework/base/TextCodec.h"

#include "framework/base/String.h"
#include "framework/base/tests/MemoryStreams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

std::unique_ptr<TextCodec> Make(int kind)
{
    return std::unique_ptr<TextCodec>(TextCodec::Create(kind));
}

// WriteWide for the text between zero units, WriteChar for each zero unit.
Bytes WriteUnits(TextCodec& codec, const std::u16string& units)
{
    MemoryWriter writer;
    for (size_t start = 0;;)
    {
        size_t zero = units.find(u'\0', start);
        std::u16string piece = units.substr(start, zero == std::u16string::npos ? zero : zero - start);
        EXPECT_EQ(1, codec.WriteWide(writer, piece.c_str()));
        if (zero == std::u16string::npos)
            return writer.bytes;
        EXPECT_EQ(1, codec.WriteChar(writer, 0));
        start = zero + 1;
    }
}

const char* KindName(int kind)
{
    static const char* const names[] = {"single byte", "UTF-16LE", "UTF-16BE", "UTF-8"};
    return names[kind];
}

TEST(TextCodec, CreateMakesTheFourKinds)
{
    struct Case
    {
        int kind;
        Bytes bytes;
    };
    // The same text, "A" then U+00E9 (or the single-byte unit of 0xE9).
    const Case cases[] = {
        {TextCodec::kSingleByte, {0x41, 0xE9}},
        {TextCodec::kUtf16LE, {0x41, 0x00, 0xE9, 0x00}},
        {TextCodec::kUtf16BE, {0x00, 0x41, 0x00, 0xE9}},
        {TextCodec::kUtf8, {0x41, 0xC3, 0xA9}},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<TextCodec> codec = Make(c.kind);
        ASSERT_TRUE(codec) << KindName(c.kind);
        std::u16string expected = c.kind == TextCodec::kSingleByte ? u"A\xFFE9" : u"A\x00E9";
        EXPECT_EQ(expected, ReadAll(*codec, c.bytes)) << KindName(c.kind);
    }
    EXPECT_FALSE(Make(4));
    EXPECT_FALSE(Make(-1));
}

// Well-formed text: reading the bytes gives the units and writing the units gives the bytes.
TEST(TextCodec, ReadsAndWritesWellFormedText)
{
    struct Case
    {
        int kind;
        Bytes bytes;
        std::u16string units;
    };
    const Case cases[] = {
        {TextCodec::kSingleByte, {0x41, 0x7F, 0x00}, std::u16string(u"A\x7F\0", 3)},
        {TextCodec::kSingleByte, {0xE9, 0x80, 0xFF}, u"\xFFE9\xFF80\xFFFF"},
        {TextCodec::kUtf16LE, {0x41, 0x00, 0xAC, 0x20, 0x3C, 0xD8, 0xB5, 0xDF}, u"A\x20AC\xD83C\xDFB5"},
        {TextCodec::kUtf16BE, {0x00, 0x41, 0x20, 0xAC, 0xD8, 0x3C, 0xDF, 0xB5}, u"A\x20AC\xD83C\xDFB5"},
        {TextCodec::kUtf8, {0x41, 0x7F}, u"A\x7F"},
        {TextCodec::kUtf8, {0xC3, 0xA9, 0xC2, 0x80, 0xDF, 0xBF}, u"\x00E9\x0080\x07FF"},
        {TextCodec::kUtf8, {0xE2, 0x82, 0xAC, 0xE0, 0xA0, 0x80, 0xEF, 0xBF, 0xBF}, u"\x20AC\x0800\xFFFF"},
        // Above U+FFFF: a surrogate pair from one 4-byte sequence.
        {TextCodec::kUtf8,
         {0xF0, 0x9F, 0x8E, 0xB5, 0x41},
         u"\xD83C\xDFB5"
         u"A"},
        {TextCodec::kUtf8, {0xF0, 0x90, 0x80, 0x80, 0xF4, 0x8F, 0xBF, 0xBF}, u"\xD800\xDC00\xDBFF\xDFFF"},
        // Surrogate halves on their own keep their 3-byte form both ways.
        {TextCodec::kUtf8,
         {0xED, 0xA0, 0xBC, 0x41, 0xED, 0xBE, 0xB5},
         u"\xD83C"
         u"A"
         u"\xDFB5"},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<TextCodec> codec = Make(c.kind);
        EXPECT_EQ(c.units, ReadAll(*codec, c.bytes)) << KindName(c.kind);
        EXPECT_EQ(c.bytes, WriteUnits(*codec, c.units)) << KindName(c.kind);
    }
}

TEST(TextCodec, Utf8WritesSurrogatePairsAsOneCharacterOnlyInWriteWide)
{
    Utf8Codec codec;
    MemoryWriter wide;
    EXPECT_EQ(1, codec.WriteWide(wide, u"\xD83C\xDFB5"));
    EXPECT_EQ((Bytes{0xF0, 0x9F, 0x8E, 0xB5}), wide.bytes);

    // WriteChar sees one unit at a time: each half in its 3-byte form, which reads back the same.
    MemoryWriter single;
    EXPECT_EQ(1, codec.WriteChar(single, 0xD83C));
    EXPECT_EQ(1, codec.WriteChar(single, 0xDFB5));
    EXPECT_EQ((Bytes{0xED, 0xA0, 0xBC, 0xED, 0xBE, 0xB5}), single.bytes);
    EXPECT_EQ(u"\xD83C\xDFB5", ReadAll(codec, single.bytes));

    // Halves out of order are not a pair.
    MemoryWriter reversed;
    EXPECT_EQ(1, codec.WriteWide(reversed, u"\xDFB5\xD83C"));
    EXPECT_EQ((Bytes{0xED, 0xBE, 0xB5, 0xED, 0xA0, 0xBC}), reversed.bytes);
}

// Malformed UTF-8: U+FFFD for each maximal piece that cannot be completed; the byte that
// broke a sequence starts the next one.
TEST(TextCodec, Utf8ReadsMalformedInputAsReplacementCharacters)
{
    struct Case
    {
        const char* what;
        Bytes bytes;
        std::u16string units;
    };
    const Case cases[] = {
        {"stray continuation",
         {0x80, 0x41, 0xBF},
         u"\xFFFD"
         u"A\xFFFD"},
        {"lead not continued",
         {0xC3, 0x41},
         u"\xFFFD"
         u"A"},
        {"lead followed by lead", {0xC3, 0xC3, 0xA9}, u"\xFFFD\x00E9"},
        {"three-byte cut by ASCII",
         {0xE2, 0x82, 0x41},
         u"\xFFFD"
         u"A"},
        {"four-byte cut by ASCII",
         {0xF0, 0x9F, 0x8E, 0x41},
         u"\xFFFD"
         u"A"},
        {"overlong two-byte", {0xC0, 0xAF, 0xC1, 0xBF}, u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"overlong three-byte", {0xE0, 0x9F, 0xBF}, u"\xFFFD\xFFFD\xFFFD"},
        {"overlong four-byte", {0xF0, 0x8F, 0xBF, 0xBF}, u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"above U+10FFFF", {0xF4, 0x90, 0x80, 0x80}, u"\xFFFD\xFFFD\xFFFD\xFFFD"},
        {"unused bytes", {0xF5, 0xF8, 0xFE, 0xFF}, u"\xFFFD\xFFFD\xFFFD\xFFFD"},
    };
    Utf8Codec codec;
    for (const Case& c : cases)
        EXPECT_EQ(c.units, ReadAll(codec, c.bytes)) << c.what;
}

// Input that ends inside a character makes ReadChar fail, after the characters before it.
TEST(TextCodec, CharacterCutOffAtTheEndFailsTheRead)
{
    struct Case
    {
        int kind;
        Bytes bytes;
        std::u16string before;
    };
    const Case cases[] = {
        {TextCodec::kUtf8, {0xC3}, u""},
        {TextCodec::kUtf8, {0x41, 0xE2, 0x82}, u"A"},
        {TextCodec::kUtf8, {0xF0, 0x9F, 0x8E}, u""},
        {TextCodec::kUtf16LE, {0x41, 0x00, 0x42}, u"A"},
        {TextCodec::kUtf16BE, {0x00}, u""},
        {TextCodec::kSingleByte, {}, u""},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<TextCodec> codec = Make(c.kind);
        MemoryReader reader(c.bytes);
        EXPECT_EQ(c.before, ReadAll(*codec, reader)) << KindName(c.kind);
        EXPECT_EQ(1, reader.AtEnd()) << KindName(c.kind);
    }
}

// The single-byte codec writes exactly the units its reader can give (0x00-0x7F and
// 0xFF80-0xFFFF); any other unit fails instead of losing its high byte.
TEST(TextCodec, SingleByteWritesOnlyUnitsThatReadBack)
{
    SingleByteCodec codec;
    int writable = 0;
    for (uint32_t u = 0; u <= 0xFFFF; ++u)
    {
        char16_t unit = static_cast<char16_t>(u);
        MemoryWriter writer;
        int result = codec.WriteChar(writer, unit);
        bool expected = u < 0x80 || u >= 0xFF80;
        ASSERT_EQ(expected ? 1 : 0, result) << std::hex << u;
        if (!result)
        {
            ASSERT_TRUE(writer.bytes.empty()) << std::hex << u;
            continue;
        }
        ++writable;
        ASSERT_EQ(std::u16string(1, unit), ReadAll(codec, writer.bytes)) << std::hex << u;
    }
    EXPECT_EQ(256, writable);
}

TEST(TextCodec, SingleByteRefusesTextWithAUnitItCannotWrite)
{
    SingleByteCodec codec;
    const char16_t* const texts[] = {u"price \x20AC", u"caf\x00E9", u"\x0080",
                                     u"a\xFF7F"
                                     u"b"};
    for (const char16_t* text : texts)
    {
        MemoryWriter writer;
        EXPECT_EQ(0, codec.WriteWide(writer, text));
        EXPECT_TRUE(writer.bytes.empty());
    }
    MemoryWriter writer;
    EXPECT_EQ(1, codec.WriteWide(writer, u"ok \xFFE9"));
    EXPECT_EQ((Bytes{'o', 'k', ' ', 0xE9}), writer.bytes);

    MemoryReader reader(nullptr, 0);
    EXPECT_EQ(0, codec.UnreadChar(reader, 0x20AC));
    EXPECT_EQ(0, reader.BytesLeft());
}

TEST(TextCodec, SingleByteWritesLongTextInFull)
{
    SingleByteCodec codec;
    std::u16string text;
    for (int i = 0; i < 1000; ++i)
        text += static_cast<char16_t>(i % 2 ? u'a' + i % 26 : 0xFF80 + i % 128);
    MemoryWriter writer;
    EXPECT_EQ(1, codec.WriteWide(writer, text.c_str()));
    EXPECT_EQ(text, ReadAll(codec, writer.bytes));
}

// Every unit pushed back with UnreadChar is the next unit ReadChar gives, in every encoding.
TEST(TextCodec, UnreadCharRoundTripsEveryUnit)
{
    for (int kind = 0; kind < 4; ++kind)
    {
        std::unique_ptr<TextCodec> codec = Make(kind);
        for (uint32_t u = 0; u <= 0xFFFF; ++u)
        {
            char16_t unit = static_cast<char16_t>(u);
            if (kind == TextCodec::kSingleByte && u >= 0x80 && u < 0xFF80)
                continue;
            const uint8_t tail[] = {'z', 0};
            MemoryReader reader(tail, kind == TextCodec::kUtf16LE || kind == TextCodec::kUtf16BE ? 2 : 1);
            ASSERT_EQ(1, codec->UnreadChar(reader, unit)) << KindName(kind) << std::hex << u;
            char16_t got = 0;
            ASSERT_EQ(1, codec->ReadChar(reader, &got));
            ASSERT_EQ(unit, got) << KindName(kind) << " " << std::hex << u;
            ASSERT_EQ(1, codec->ReadChar(reader, &got));
            ASSERT_EQ(u'z', kind == TextCodec::kUtf16BE ? static_cast<char16_t>(got >> 8) : got);
        }
    }
}

// A unit pushed back in front of a pushed-back low surrogate (the parser does this after a
// run of white space) comes back first, then the rest of the pair.
TEST(TextCodec, Utf8PushBackOverAPendingLowSurrogate)
{
    Utf8Codec codec;
    const Bytes bytes = {0xF0, 0x9F, 0x8E, 0xB5, 'x'};
    MemoryReader reader(bytes);
    char16_t unit = 0;
    ASSERT_EQ(1, codec.ReadChar(reader, &unit));
    EXPECT_EQ(0xD83C, unit);
    ASSERT_EQ(1, codec.UnreadChar(reader, unit));
    EXPECT_EQ(u"\xD83C\xDFB5x", ReadAll(codec, reader));
}

TEST(TextCodec, SkipsSpaceAndBlanks)
{
    struct Case
    {
        const char* input;
        bool blankOnly;
        int result;
        std::u16string rest;
    };
    const Case cases[] = {
        {" \t\r\nab", false, 1, u"ab"},    {" \t\r\n", false, 0, u""}, {"ab", false, 1, u"ab"},
        {" \t\r\nab", true, 1, u"\r\nab"}, {"\t \t", true, 0, u""},
    };
    for (int kind = 0; kind < 4; ++kind)
    {
        std::unique_ptr<TextCodec> codec = Make(kind);
        for (const Case& c : cases)
        {
            MemoryWriter encoded;
            codec->WriteAscii(encoded, c.input);
            MemoryReader reader(encoded.bytes);
            int result = c.blankOnly ? codec->SkipBlank(reader) : codec->SkipSpace(reader);
            EXPECT_EQ(c.result, result) << KindName(kind) << " " << c.input;
            EXPECT_EQ(c.rest, ReadAll(*codec, reader)) << KindName(kind) << " " << c.input;
        }
    }
}

TEST(TextCodec, SkipUntilAndSkipLine)
{
    struct Case
    {
        const char* input;
        char16_t stop; // 0: SkipLine
        int result;
        std::u16string rest;
    };
    const Case cases[] = {
        {"abc>def", u'>', 1, u"def"}, {"abc", u'>', 0, u""},
        {"ab\r\ncd", 0, 1, u"cd"},    {"a\rxb\r\nc", 0, 1, u"c"}, // a CR alone takes the unit after it
        {"ab\ncd", 0, 0, u""},                                    // LF alone does not end a line
        {"ab\r", 0, 0, u""},
    };
    for (int kind = 0; kind < 4; ++kind)
    {
        std::unique_ptr<TextCodec> codec = Make(kind);
        for (const Case& c : cases)
        {
            MemoryWriter encoded;
            codec->WriteAscii(encoded, c.input);
            MemoryReader reader(encoded.bytes);
            int result = c.stop ? codec->SkipUntil(reader, c.stop) : codec->SkipLine(reader);
            EXPECT_EQ(c.result, result) << KindName(kind) << " " << c.input;
            EXPECT_EQ(c.rest, ReadAll(*codec, reader)) << KindName(kind) << " " << c.input;
        }
    }
}

TEST(TextCodec, ReadUntilReadCountAndReadLineAppend)
{
    enum Op
    {
        kUntil,
        kCount,
        kLine
    };
    struct Case
    {
        Op op;
        const char* input;
        int argument;
        int result;
        std::u16string text;
        std::u16string rest;
    };
    const Case cases[] = {
        {kUntil, "name=\"v\"", '=', 1, u"pre:name", u"\"v\""},
        {kUntil, "no stop", '=', 0, u"pre:no stop", u""},
        {kCount, "abcd", 3, 1, u"pre:abc", u"d"},
        {kCount, "ab", 5, 0, u"pre:ab", u""},
        {kCount, "ab", 0, 1, u"pre:", u"ab"},
        {kLine, "one\r\ntwo", 0, 1, u"pre:one", u"two"},
        {kLine, "two", 0, 0, u"pre:two", u""},
        {kLine, "a\rbc\r\nd", 0, 1, u"pre:abc", u"d"},
        {kLine, "a\nb\r\n", 0, 1, u"pre:a\nb", u""},
        {kLine, "ab\r", 0, 0, u"pre:ab", u""},
    };
    for (int kind = 0; kind < 4; ++kind)
    {
        std::unique_ptr<TextCodec> codec = Make(kind);
        for (const Case& c : cases)
        {
            MemoryWriter encoded;
            codec->WriteAscii(encoded, c.input);
            MemoryReader reader(encoded.bytes);
            String text;
            text.AssignWide(u"pre:");
            int result = c.op == kUntil   ? codec->ReadUntil(reader, text, static_cast<char16_t>(c.argument))
                         : c.op == kCount ? codec->ReadCount(reader, text, c.argument)
                                          : codec->ReadLine(reader, text);
            EXPECT_EQ(c.result, result) << KindName(kind) << " " << c.input;
            EXPECT_EQ(c.text, Text(text)) << KindName(kind) << " " << c.input;
            EXPECT_EQ(c.rest, ReadAll(*codec, reader)) << KindName(kind) << " " << c.input;
        }
    }
}

TEST(TextCodec, ReadUnsignedStopsAtTheFirstNonDigit)
{
    struct Case
    {
        const char* input;
        unsigned int value;
        std::u16string rest;
    };
    const Case cases[] = {
        {"1234x", 1234, u"x"}, {"42", 42, u""},        {"x1", 0, u"x1"},
        {"", 0, u""},          {"4294967297", 1, u""}, // wraps like the value arithmetic of String
    };
    for (int kind = 0; kind < 4; ++kind)
    {
        std::unique_ptr<TextCodec> codec = Make(kind);
        for (const Case& c : cases)
        {
            MemoryWriter encoded;
            codec->WriteAscii(encoded, c.input);
            MemoryReader reader(encoded.bytes);
            unsigned int value = 99;
            EXPECT_EQ(1, codec->ReadUnsigned(reader, &value)) << KindName(kind) << " " << c.input;
            EXPECT_EQ(c.value, value) << KindName(kind) << " " << c.input;
            EXPECT_EQ(c.rest, ReadAll(*codec, reader)) << KindName(kind) << " " << c.input;
        }
    }
}

TEST(TextCodec, WriteUnsignedPadsToTheDigitCount)
{
    Utf16LECodec codec;
    MemoryWriter writer;
    EXPECT_EQ(1, codec.WriteUnsigned(writer, 7, 3));
    EXPECT_EQ((Bytes{'0', 0, '0', 0, '7', 0}), writer.bytes);
}

TEST(TextCodec, WriteAsciiSignExtendsForUnicodeAndCopiesForSingleByte)
{
    struct Case
    {
        int kind;
        Bytes bytes;
    };
    const Case cases[] = {
        {TextCodec::kSingleByte, {'A', 0xE9}},
        {TextCodec::kUtf16LE, {'A', 0x00, 0xE9, 0xFF}},
        {TextCodec::kUtf16BE, {0x00, 'A', 0xFF, 0xE9}},
        {TextCodec::kUtf8, {'A', 0xEF, 0xBF, 0xA9}},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<TextCodec> codec = Make(c.kind);
        MemoryWriter writer;
        EXPECT_EQ(1, codec->WriteAscii(writer, "A\xE9"));
        EXPECT_EQ(c.bytes, writer.bytes) << KindName(c.kind);
        EXPECT_EQ(1, codec->WriteAscii(writer, nullptr));
        EXPECT_EQ(1, codec->WriteAscii(writer, ""));
        EXPECT_EQ(1, codec->WriteWide(writer, nullptr));
        EXPECT_EQ(1, codec->WriteWide(writer, u""));
        EXPECT_EQ(c.bytes, writer.bytes) << KindName(c.kind);
    }
}

TEST(TextCodec, NewlineAndBlankAreRawBytesInEveryEncoding)
{
    for (int kind = 0; kind < 4; ++kind)
    {
        std::unique_ptr<TextCodec> codec = Make(kind);
        MemoryWriter writer;
        EXPECT_EQ(1, codec->WriteNewline(writer));
        EXPECT_EQ(1, codec->WriteBlank(writer));
        EXPECT_EQ((Bytes{0x0D, 0x0A, 0x20}), writer.bytes) << KindName(kind);
    }
}

TEST(TextCodec, WritesStopAtTheFirstFailure)
{
    for (int kind = 0; kind < 4; ++kind)
    {
        std::unique_ptr<TextCodec> codec = Make(kind);
        MemoryWriter writer(3);
        EXPECT_EQ(0, codec->WriteWide(writer, u"abcdef")) << KindName(kind);
        EXPECT_EQ(0, codec->WriteAscii(writer, "abcdef")) << KindName(kind);
        EXPECT_EQ(0, codec->WriteNewline(writer)) << KindName(kind);
        EXPECT_EQ(3u, writer.bytes.size());
    }
}

TEST(TextCodec, CopyAllCopiesEveryByteAndAnswersAtEnd)
{
    Bytes bytes(300);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(i * 7);
    Utf8Codec codec;

    MemoryReader reader(bytes);
    MemoryWriter writer;
    EXPECT_EQ(1, codec.CopyAll(reader, writer));
    EXPECT_EQ(bytes, writer.bytes);

    MemoryReader empty(nullptr, 0);
    MemoryWriter nothing;
    EXPECT_EQ(1, codec.CopyAll(empty, nothing));
    EXPECT_TRUE(nothing.bytes.empty());

    // A writer that takes fewer bytes ends the copy before the reader's end.
    MemoryReader partial(bytes);
    MemoryWriter limited(200);
    EXPECT_EQ(0, codec.CopyAll(partial, limited));
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 200), limited.bytes);

    // Also when the reader reached its end in the block the writer did not take.
    MemoryReader shortInput(bytes.data(), 50);
    MemoryWriter tooSmall(10);
    EXPECT_EQ(0, codec.CopyAll(shortInput, tooSmall));
    EXPECT_EQ(1, shortInput.AtEnd());
}

TEST(TextCodec, ClassifiesUnits)
{
    Utf8Codec codec;
    for (uint32_t u = 0; u <= 0xFFFF; ++u)
    {
        char16_t unit = static_cast<char16_t>(u);
        ASSERT_EQ(u == ' ' || u == '\t' || u == '\r' || u == '\n', codec.IsSpace(unit) != 0) << u;
        ASSERT_EQ(u == ' ' || u == '\t', codec.IsBlank(unit) != 0) << u;
        ASSERT_EQ(u >= '0' && u <= '9', codec.IsDigit(unit) != 0) << u;
    }
}

} // namespace
