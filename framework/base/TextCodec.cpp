#include "framework/base/TextCodec.h"

#include "framework/base/String.h"

#include <cstdint>
#include <cstring>

namespace
{

constexpr char16_t kCR = u'\r';
constexpr char16_t kLF = u'\n';
constexpr char16_t kReplacement = 0xFFFD;

int WriteBytes(ByteWriter& writer, const void* bytes, int count)
{
    return writer.Write(bytes, count, nullptr);
}

int ReadByte(ByteReader& reader, uint8_t* byte)
{
    return reader.Read(byte, 1, nullptr);
}

// The single-byte codec reads a byte b as the unit (int8_t)b, so exactly the units
// 0x00-0x7F and 0xFF80-0xFFFF have a byte that reads back as the same unit. Any other unit
// (U+00E9, U+20AC, ...) cannot be written: keeping its low byte would read back as another unit.
int ToSingleByte(char16_t unit, uint8_t* byte)
{
    if (unit >= 0x80 && unit < 0xFF80)
        return 0;
    *byte = static_cast<uint8_t>(unit);
    return 1;
}

int IsHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}
int IsLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// UTF-8 form of one unit (1 to 3 bytes); surrogate halves take the 3-byte form.
int EncodeUtf8(char16_t u, uint8_t* out)
{
    if (u < 0x80)
    {
        out[0] = static_cast<uint8_t>(u);
        return 1;
    }
    if (u < 0x800)
    {
        out[0] = static_cast<uint8_t>(0xC0 | (u >> 6));
        out[1] = static_cast<uint8_t>(0x80 | (u & 0x3F));
        return 2;
    }
    out[0] = static_cast<uint8_t>(0xE0 | (u >> 12));
    out[1] = static_cast<uint8_t>(0x80 | ((u >> 6) & 0x3F));
    out[2] = static_cast<uint8_t>(0x80 | (u & 0x3F));
    return 3;
}

} // namespace

TextCodec* TextCodec::Create(int kind)
{
    switch (kind)
    {
    case kSingleByte:
        return new SingleByteCodec;
    case kUtf16LE:
        return new Utf16LECodec;
    case kUtf16BE:
        return new Utf16BECodec;
    case kUtf8:
        return new Utf8Codec;
    default:
        return nullptr;
    }
}

int TextCodec::IsSpace(char16_t unit)
{
    return unit == u' ' || unit == u'\t' || unit == kCR || unit == kLF;
}

int TextCodec::IsBlank(char16_t unit)
{
    return unit == u' ' || unit == u'\t';
}

int TextCodec::IsDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

int TextCodec::SkipSpace(ByteReader& reader)
{
    char16_t unit;
    while (ReadChar(reader, &unit))
    {
        if (!IsSpace(unit))
            return UnreadChar(reader, unit);
    }
    return 0;
}

int TextCodec::SkipBlank(ByteReader& reader)
{
    char16_t unit;
    while (ReadChar(reader, &unit))
    {
        if (!IsBlank(unit))
            return UnreadChar(reader, unit);
    }
    return 0;
}

int TextCodec::SkipUntil(ByteReader& reader, char16_t stop)
{
    char16_t unit;
    while (ReadChar(reader, &unit))
    {
        if (unit == stop)
            return 1;
    }
    return 0;
}

int TextCodec::SkipLine(ByteReader& reader)
{
    char16_t unit;
    while (ReadChar(reader, &unit))
    {
        if (unit != kCR)
            continue;
        if (!ReadChar(reader, &unit))
            return 0;
        if (unit == kLF)
            return 1;
    }
    return 0;
}

int TextCodec::ReadUntil(ByteReader& reader, String& out, char16_t stop)
{
    char16_t unit;
    while (ReadChar(reader, &unit))
    {
        if (unit == stop)
            return 1;
        if (!out.AppendChar(unit))
            return 0;
    }
    return 0;
}

int TextCodec::ReadCount(ByteReader& reader, String& out, int count)
{
    char16_t unit;
    for (int i = 0; i < count; ++i)
    {
        if (!ReadChar(reader, &unit) || !out.AppendChar(unit))
            return 0;
    }
    return 1;
}

int TextCodec::ReadLine(ByteReader& reader, String& out)
{
    char16_t unit;
    while (ReadChar(reader, &unit))
    {
        if (unit == kCR)
        {
            if (!ReadChar(reader, &unit))
                return 0;
            if (unit == kLF)
                return 1;
        }
        if (!out.AppendChar(unit))
            return 0;
    }
    return 0;
}

int TextCodec::ReadUnsigned(ByteReader& reader, unsigned int* value)
{
    unsigned int result = 0;
    char16_t unit;
    while (ReadChar(reader, &unit))
    {
        if (!IsDigit(unit))
        {
            UnreadChar(reader, unit);
            break;
        }
        result = result * 10 + static_cast<unsigned int>(unit - u'0');
    }
    *value = result;
    return !reader.HasError();
}

int TextCodec::WriteUnsigned(ByteWriter& writer, unsigned int value, int digits)
{
    String text;
    if (!text.AssignUnsigned(value, digits))
        return 0;
    return WriteWide(writer, text.Text());
}

int TextCodec::WriteWide(ByteWriter& writer, const char16_t* text)
{
    if (!text)
        return 1;
    for (; *text; ++text)
    {
        if (!WriteChar(writer, *text))
            return 0;
    }
    return 1;
}

int TextCodec::WriteAscii(ByteWriter& writer, const char* text)
{
    if (!text)
        return 1;
    for (; *text; ++text)
    {
        if (!WriteChar(writer, static_cast<char16_t>(static_cast<int8_t>(*text))))
            return 0;
    }
    return 1;
}

int TextCodec::WriteNewline(ByteWriter& writer)
{
    return WriteBytes(writer, "\r\n", 2);
}

int TextCodec::WriteBlank(ByteWriter& writer)
{
    return WriteBytes(writer, " ", 1);
}

int TextCodec::CopyAll(ByteReader& reader, ByteWriter& writer)
{
    uint8_t block[128];
    for (;;)
    {
        int got = 0;
        reader.Read(block, sizeof block, &got);
        if (got <= 0)
            break;
        int written = 0;
        writer.Write(block, got, &written);
        // The reader may already be at its end after a short last block: a lost block
        // must not read as a finished copy.
        if (written != got)
            return 0;
    }
    return reader.AtEnd();
}

int SingleByteCodec::ReadChar(ByteReader& reader, char16_t* unit)
{
    uint8_t byte;
    if (!ReadByte(reader, &byte))
        return 0;
    *unit = static_cast<char16_t>(static_cast<int8_t>(byte));
    return 1;
}

int SingleByteCodec::UnreadChar(ByteReader& reader, char16_t unit)
{
    uint8_t byte;
    return ToSingleByte(unit, &byte) && reader.Unread(&byte, 1);
}

int SingleByteCodec::WriteChar(ByteWriter& writer, char16_t unit)
{
    uint8_t byte;
    return ToSingleByte(unit, &byte) && WriteBytes(writer, &byte, 1);
}

// All or nothing: a text with a unit that has no byte writes nothing and fails.
int SingleByteCodec::WriteWide(ByteWriter& writer, const char16_t* text)
{
    if (!text)
        return 1;
    uint8_t byte;
    for (const char16_t* p = text; *p; ++p)
    {
        if (!ToSingleByte(*p, &byte))
            return 0;
    }
    uint8_t block[128];
    int held = 0;
    for (const char16_t* p = text; *p; ++p)
    {
        ToSingleByte(*p, &block[held++]);
        if (held == sizeof block || !p[1])
        {
            if (!WriteBytes(writer, block, held))
                return 0;
            held = 0;
        }
    }
    return 1;
}

int SingleByteCodec::WriteAscii(ByteWriter& writer, const char* text)
{
    if (!text || !*text)
        return 1;
    return WriteBytes(writer, text, static_cast<int>(strlen(text)));
}

int Utf16LECodec::ReadChar(ByteReader& reader, char16_t* unit)
{
    uint8_t bytes[2];
    if (!reader.Read(bytes, 2, nullptr))
        return 0;
    *unit = static_cast<char16_t>(bytes[0] | (bytes[1] << 8));
    return 1;
}

int Utf16LECodec::UnreadChar(ByteReader& reader, char16_t unit)
{
    uint8_t bytes[2] = {static_cast<uint8_t>(unit & 0xFF), static_cast<uint8_t>((unit >> 8) & 0xFF)};
    return reader.Unread(bytes, 2);
}

int Utf16LECodec::WriteChar(ByteWriter& writer, char16_t unit)
{
    uint8_t bytes[2] = {static_cast<uint8_t>(unit & 0xFF), static_cast<uint8_t>((unit >> 8) & 0xFF)};
    return WriteBytes(writer, bytes, 2);
}

int Utf16BECodec::ReadChar(ByteReader& reader, char16_t* unit)
{
    uint8_t bytes[2];
    if (!reader.Read(bytes, 2, nullptr))
        return 0;
    *unit = static_cast<char16_t>((bytes[0] << 8) | bytes[1]);
    return 1;
}

int Utf16BECodec::UnreadChar(ByteReader& reader, char16_t unit)
{
    uint8_t bytes[2] = {static_cast<uint8_t>((unit >> 8) & 0xFF), static_cast<uint8_t>(unit & 0xFF)};
    return reader.Unread(bytes, 2);
}

int Utf16BECodec::WriteChar(ByteWriter& writer, char16_t unit)
{
    uint8_t bytes[2] = {static_cast<uint8_t>((unit >> 8) & 0xFF), static_cast<uint8_t>(unit & 0xFF)};
    return WriteBytes(writer, bytes, 2);
}

// Well-formed sequences only (shortest form, no value above U+10FFFF); the 3-byte forms of
// surrogate halves are let through (see the class comment). At the first byte that cannot
// continue the sequence the unit is U+FFFD and that byte is pushed back to start the next one.
// Input that ends inside a sequence reads as a failure (0).
int Utf8Codec::ReadChar(ByteReader& reader, char16_t* unit)
{
    uint8_t lead;
    if (!ReadByte(reader, &lead))
        return 0;
    if (lead < 0x80)
    {
        *unit = static_cast<char16_t>(lead);
        return 1;
    }
    int more;
    uint32_t value;
    uint8_t low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
    {
        more = 1;
        value = lead & 0x1F;
    }
    else if (lead >= 0xE0 && lead <= 0xEF)
    {
        more = 2;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0; // shorter forms are overlong
    }
    else if (lead >= 0xF0 && lead <= 0xF4)
    {
        more = 3;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90; // overlong
        else if (lead == 0xF4)
            high = 0x8F; // above U+10FFFF
    }
    else
    {
        // A stray continuation byte, an overlong lead (C0, C1) or a byte never used (F5-FF).
        *unit = kReplacement;
        return 1;
    }
    for (int i = 0; i < more; ++i)
    {
        uint8_t next;
        if (!ReadByte(reader, &next))
            return 0;
        if (next < low || next > high)
        {
            *unit = kReplacement;
            return reader.Unread(&next, 1);
        }
        low = 0x80;
        high = 0xBF;
        value = (value << 6) | (next & 0x3F);
    }
    if (value <= 0xFFFF)
    {
        *unit = static_cast<char16_t>(value);
        return 1;
    }
    value -= 0x10000;
    *unit = static_cast<char16_t>(0xD800 | (value >> 10));
    return UnreadChar(reader, static_cast<char16_t>(0xDC00 | (value & 0x3FF)));
}

int Utf8Codec::UnreadChar(ByteReader& reader, char16_t unit)
{
    uint8_t bytes[3];
    return reader.Unread(bytes, EncodeUtf8(unit, bytes));
}

int Utf8Codec::WriteChar(ByteWriter& writer, char16_t unit)
{
    uint8_t bytes[3];
    return WriteBytes(writer, bytes, EncodeUtf8(unit, bytes));
}

int Utf8Codec::WriteWide(ByteWriter& writer, const char16_t* text)
{
    if (!text)
        return 1;
    for (; *text; ++text)
    {
        if (IsHighSurrogate(text[0]) && IsLowSurrogate(text[1]))
        {
            uint32_t value = 0x10000 + ((static_cast<uint32_t>(text[0] - 0xD800) << 10) | (text[1] - 0xDC00));
            uint8_t bytes[4] = {
                static_cast<uint8_t>(0xF0 | (value >> 18)),
                static_cast<uint8_t>(0x80 | ((value >> 12) & 0x3F)),
                static_cast<uint8_t>(0x80 | ((value >> 6) & 0x3F)),
                static_cast<uint8_t>(0x80 | (value & 0x3F)),
            };
            if (!WriteBytes(writer, bytes, 4))
                return 0;
            ++text;
        }
        else if (!WriteChar(writer, *text))
        {
            return 0;
        }
    }
    return 1;
}
