// Drives every text codec over arbitrary bytes and checks what must hold for any input:
// the read operations see the same unit stream ReadChar gives, push-back returns units
// unchanged, and what a codec writes reads back as the units written.

#include "framework/base/String.h"
#include "framework/base/TextCodec.h"
#include "framework/base/tests/MemoryStreams.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{

using Bytes = std::vector<uint8_t>;

#define FUZZ_CHECK(condition)                                                                                          \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!(condition))                                                                                              \
        {                                                                                                              \
            fprintf(stderr, "%s:%d: check failed: %s (codec %d)\n", __FILE__, __LINE__, #condition, kind);             \
            abort();                                                                                                   \
        }                                                                                                              \
    } while (0)

bool IsSpace(char16_t unit)
{
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n';
}

bool HasEncodedSurrogate(const Bytes& input)
{
    for (size_t i = 0; i + 1 < input.size(); ++i)
    {
        if (input[i] == 0xED && input[i + 1] >= 0xA0 && input[i + 1] <= 0xBF)
            return true;
    }
    return false;
}

// The units written one by one with WriteChar (false when the codec refused one).
bool WriteEachUnit(TextCodec& codec, const std::u16string& units, Bytes* out)
{
    MemoryWriter writer;
    for (char16_t unit : units)
    {
        if (!codec.WriteChar(writer, unit))
            return false;
    }
    *out = writer.bytes;
    return true;
}

// WriteWide for the runs between zero units, WriteChar for the zeros.
bool WriteRuns(TextCodec& codec, const std::u16string& units, Bytes* out)
{
    MemoryWriter writer;
    for (size_t start = 0;;)
    {
        size_t zero = units.find(u'\0', start);
        std::u16string run = units.substr(start, zero == std::u16string::npos ? zero : zero - start);
        if (!codec.WriteWide(writer, run.c_str()))
            return false;
        if (zero == std::u16string::npos)
            break;
        if (!codec.WriteChar(writer, 0))
            return false;
        start = zero + 1;
    }
    *out = writer.bytes;
    return true;
}

void CheckWriting(int kind, TextCodec& codec, const Bytes& input, const std::u16string& units)
{
    Bytes each, runs;
    FUZZ_CHECK(WriteEachUnit(codec, units, &each));
    FUZZ_CHECK(WriteRuns(codec, units, &runs));
    FUZZ_CHECK(ReadAll(codec, each) == units);
    FUZZ_CHECK(ReadAll(codec, runs) == units);
    switch (kind)
    {
    case TextCodec::kSingleByte:
        // Every byte reads as a unit that writes back as that byte.
        FUZZ_CHECK(each == input && runs == input);
        break;
    case TextCodec::kUtf16LE:
    case TextCodec::kUtf16BE:
        FUZZ_CHECK(each == Bytes(input.begin(), input.begin() + input.size() / 2 * 2));
        FUZZ_CHECK(runs == each);
        break;
    case TextCodec::kUtf8:
        // Input that read without a replacement is well-formed up to a cut-off tail, and the
        // writer gives back those very bytes, unless it held surrogate halves in their 3-byte
        // form (read as units, written back as 4-byte characters when they pair up).
        if (units.find(u'\xFFFD') == std::u16string::npos && !HasEncodedSurrogate(input))
        {
            FUZZ_CHECK(runs.size() <= input.size() && input.size() - runs.size() < 4);
            FUZZ_CHECK(std::equal(runs.begin(), runs.end(), input.begin()));
        }
        break;
    default:
        break;
    }
}

void CheckReadUntil(int kind, TextCodec& codec, const Bytes& input, const std::u16string& units, char16_t stop)
{
    MemoryReader reader(input);
    std::u16string joined;
    for (bool first = true;; first = false)
    {
        String piece;
        int found = codec.ReadUntil(reader, piece, stop);
        if (!first)
            joined += stop;
        joined += Text(piece);
        if (!found)
            break;
    }
    FUZZ_CHECK(joined == units);
}

void CheckReadLine(int kind, TextCodec& codec, const Bytes& input, const std::u16string& units)
{
    // Lines as the rule gives them: CR LF ends a line, a CR before anything else is dropped
    // and the unit after it kept.
    std::vector<std::u16string> expected(1);
    for (size_t i = 0; i < units.size(); ++i)
    {
        if (units[i] != u'\r')
        {
            expected.back() += units[i];
        }
        else if (i + 1 < units.size())
        {
            ++i;
            if (units[i] == u'\n')
                expected.emplace_back();
            else
                expected.back() += units[i];
        }
    }
    MemoryReader reader(input);
    std::vector<std::u16string> lines;
    for (;;)
    {
        String line;
        int ended = codec.ReadLine(reader, line);
        lines.push_back(Text(line));
        if (!ended)
            break;
    }
    FUZZ_CHECK(lines == expected);
}

// Walks the input as a tokenizer would: skip space, then a number or one unit. Every
// SkipSpace and ReadUnsigned pushes back the unit that stopped it.
void CheckTokenWalk(int kind, TextCodec& codec, const Bytes& input, const std::u16string& units)
{
    MemoryReader reader(input);
    size_t i = 0;
    for (;;)
    {
        while (i < units.size() && IsSpace(units[i]))
            ++i;
        int skipped = codec.SkipSpace(reader);
        FUZZ_CHECK(skipped == (i < units.size()));
        if (!skipped)
            break;
        if (codec.IsDigit(units[i]))
        {
            uint32_t expected = 0;
            for (; i < units.size() && codec.IsDigit(units[i]); ++i)
                expected = expected * 10 + (units[i] - u'0');
            unsigned int value = 0;
            FUZZ_CHECK(codec.ReadUnsigned(reader, &value));
            FUZZ_CHECK(value == expected);
        }
        else
        {
            char16_t unit = 0;
            FUZZ_CHECK(codec.ReadChar(reader, &unit));
            FUZZ_CHECK(unit == units[i]);
            ++i;
        }
    }
    char16_t unit;
    FUZZ_CHECK(!codec.ReadChar(reader, &unit));
}

void CheckSkipUntil(int kind, TextCodec& codec, const Bytes& input, const std::u16string& units)
{
    MemoryReader reader(input);
    size_t found = 0;
    while (codec.SkipUntil(reader, u'>'))
        ++found;
    size_t expected = 0;
    for (char16_t unit : units)
        expected += unit == u'>';
    FUZZ_CHECK(found == expected);
}

void CheckCopyAll(int kind, TextCodec& codec, const Bytes& input)
{
    MemoryReader reader(input);
    MemoryWriter writer;
    FUZZ_CHECK(codec.CopyAll(reader, writer) == 1);
    FUZZ_CHECK(writer.bytes == input);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const Bytes input(data, data + size);
    for (int kind = TextCodec::kSingleByte; kind <= TextCodec::kUtf8; ++kind)
    {
        std::unique_ptr<TextCodec> codec(TextCodec::Create(kind));
        const std::u16string units = ReadAll(*codec, input);
        CheckWriting(kind, *codec, input, units);
        CheckReadUntil(kind, *codec, input, units, u'<');
        CheckReadUntil(kind, *codec, input, units, units.empty() ? u'"' : units[0]);
        CheckReadLine(kind, *codec, input, units);
        CheckTokenWalk(kind, *codec, input, units);
        CheckSkipUntil(kind, *codec, input, units);
        CheckCopyAll(kind, *codec, input);
    }
    return 0;
}
