#pragma once

#include "framework/base/ByteReader.h"
#include "framework/base/ByteWriter.h"

class String;

// Turns bytes into UTF-16 units and back in one encoding. Codecs hold no state, so one
// object may serve any number of streams. Results are 1 for success and 0 for failure
// (a read that found no more input, a write or push-back that failed) unless said otherwise.
class TextCodec
{
public:
    enum Kind
    {
        kSingleByte = 0,
        kUtf16LE = 1,
        kUtf16BE = 2,
        kUtf8 = 3
    };

    // A new codec of that kind (the caller deletes it), or null for an unknown kind.
    static TextCodec* Create(int kind);

    virtual int IsSpace(char16_t unit);
    virtual int IsBlank(char16_t unit);
    virtual int IsDigit(char16_t unit);
    // Reads units while they are space; the first other unit is pushed back (UnreadChar's result).
    // 0 when input ended first.
    virtual int SkipSpace(ByteReader& reader);
    virtual int SkipBlank(ByteReader& reader);
    // 1 once the stop unit has been consumed, 0 when input ended first.
    virtual int SkipUntil(ByteReader& reader, char16_t stop);
    // 1 once CR LF has been consumed; a CR followed by anything else also consumes that unit.
    virtual int SkipLine(ByteReader& reader);
    // Appends units before the stop unit (consumed, not appended). 1 when the stop was found.
    virtual int ReadUntil(ByteReader& reader, String& out, char16_t stop);
    // Appends count units; 1 when all of them were read.
    virtual int ReadCount(ByteReader& reader, String& out, int count);
    virtual int ReadChar(ByteReader& reader, char16_t* unit) = 0;
    // Encodes the unit and pushes its bytes back so that ReadChar gives it next.
    virtual int UnreadChar(ByteReader& reader, char16_t unit) = 0;
    virtual int WriteChar(ByteWriter& writer, char16_t unit) = 0;
    // Appends units up to CR LF (both consumed, not appended); a CR followed by anything else
    // is dropped and the unit after it appended. 1 when CR LF ended the line.
    virtual int ReadLine(ByteReader& reader, String& out);
    // Decimal digits up to the first other unit, which is pushed back; 1 unless the reader has an error.
    virtual int ReadUnsigned(ByteReader& reader, unsigned int* value);
    virtual int WriteUnsigned(ByteWriter& writer, unsigned int value, int digits);
    // Zero-terminated text; null or empty writes nothing and gives 1.
    virtual int WriteWide(ByteWriter& writer, const char16_t* text);
    // Zero-terminated 8-bit text, each byte taken as the sign-extended unit; null gives 1.
    virtual int WriteAscii(ByteWriter& writer, const char* text);
    // The raw bytes CR LF, whatever the encoding.
    virtual int WriteNewline(ByteWriter& writer);
    // One raw blank byte, whatever the encoding.
    virtual int WriteBlank(ByteWriter& writer);
    // Copies the bytes in blocks until the reader gives none; then returns the reader's AtEnd.
    // 0 as soon as the writer takes fewer bytes than it was given.
    virtual int CopyAll(ByteReader& reader, ByteWriter& writer);

    // Destroyed by the document that made it.
    virtual ~TextCodec() = default;
};

// Kind 0: one byte per unit. Bytes widen by sign extension (0x80-0xFF become 0xFF80-0xFFFF),
// as the 8-bit operations of String do.
class SingleByteCodec : public TextCodec
{
public:
    int ReadChar(ByteReader& reader, char16_t* unit) override;
    int UnreadChar(ByteReader& reader, char16_t unit) override;
    int WriteChar(ByteWriter& writer, char16_t unit) override;
    int WriteWide(ByteWriter& writer, const char16_t* text) override;
    int WriteAscii(ByteWriter& writer, const char* text) override;
};

// Kind 1: two bytes per unit, low byte first.
class Utf16LECodec : public TextCodec
{
public:
    int ReadChar(ByteReader& reader, char16_t* unit) override;
    int UnreadChar(ByteReader& reader, char16_t unit) override;
    int WriteChar(ByteWriter& writer, char16_t unit) override;
};

// Kind 2: two bytes per unit, high byte first.
class Utf16BECodec : public TextCodec
{
public:
    int ReadChar(ByteReader& reader, char16_t* unit) override;
    int UnreadChar(ByteReader& reader, char16_t unit) override;
    int WriteChar(ByteWriter& writer, char16_t unit) override;
};

// Kind 3: UTF-8. A character above U+FFFF reads as its high surrogate, the low one being
// pushed back for the next ReadChar. Malformed input reads as U+FFFD. A surrogate half on
// its own travels in its 3-byte form (ED A0-BF xx): that is how a single unit is pushed back
// or written by WriteChar, so ReadChar takes it back as that unit.
class Utf8Codec : public TextCodec
{
public:
    int ReadChar(ByteReader& reader, char16_t* unit) override;
    int UnreadChar(ByteReader& reader, char16_t unit) override;
    int WriteChar(ByteWriter& writer, char16_t unit) override;
    // A high and a low surrogate in a row are written as one 4-byte character.
    int WriteWide(ByteWriter& writer, const char16_t* text) override;
};
