#pragma once

#include "framework/base/Object.h"
#include "framework/base/StringRef.h"

#include <cstdint>
#include <memory>

// Where every String buffer comes from and goes back to. Tests install their own to count
// allocations or to make them fail.
class StringHeap
{
public:
    virtual ~StringHeap();
    virtual char16_t* Allocate(int units); // null on failure
    virtual void Free(char16_t* buffer);

    // Installs heap (null restores the default) and returns the one installed before.
    static StringHeap* Install(StringHeap* heap);
};

// Text as UTF-16 units. Operations that can allocate answer 1 on success and 0 on failure,
// leaving the string as it was. Indices and counts are in UTF-16 units.
// 8-bit ("Ascii") text is widened byte by byte with sign extension; only the "Ansi"
// operations convert through the system's ANSI code page.
class String : public Object
{
public:
    String();
    ~String() override;
    String(String&& other) noexcept;
    String& operator=(String&& other) noexcept;
    // Copies can fail, so they are made with Assign or Clone, never implicitly.
    String(const String&) = delete;
    String& operator=(const String&) = delete;

    String* Clone() const override;
    int Compare(const Object& other) const override;

    int Length() const { return length_; }
    int Capacity() const { return capacity_; }
    const char16_t* Buffer() const { return buffer_; } // null until the first growth
    const char16_t* Text() const;                      // never null

    // Storage.
    int Reserve(int n);
    int SetLength(int n);
    void Clear();
    int ShrinkToFit();

    // Assign: clear, then append as the matching Append does (on failure the string is empty).
    int Assign(const StringRef& text);
    int AssignWide(const char16_t* text);
    int AssignAscii(const char* text);
    int AssignAnsiDirect(const char* text);
    int AssignChar(char16_t unit);
    int AssignAsciiChar(char c);
    int AssignUnsigned(uint32_t value, int digits);
    int AssignInt(int32_t value);
    int AssignHex(uint32_t value);
    int AssignReal(float value, int decimals);

    // Append.
    int Append(const StringRef& text);
    int AppendWide(const char16_t* text);
    int AppendAscii(const char* text);
    int AppendChar(char16_t unit);
    int AppendAsciiChar(char c);
    int AppendAnsi(const char* text);
    int AppendUnsigned(uint32_t value, int digits);
    int AppendInt(int32_t value);
    int AppendHex(uint32_t value, int digits);
    int AppendReal(float value, int decimals);

    // Insert and erase; an index outside [0, Length()] answers 0 and changes nothing.
    int Insert(int index, const StringRef& text);
    int InsertWide(int index, const char16_t* text);
    int InsertChar(int index, char16_t unit);
    int Erase(int index, int count);

    // Substrings of source into this string; a start outside [0, source length] answers 0.
    int Mid(const StringRef& source, int start, int count);
    int Left(const StringRef& source, int n);
    int Right(const StringRef& source, int n);

    // Trimming and case (ASCII letters only).
    void TrimLeftChars(const char* set);
    void TrimRightChars(const char* set);
    void TrimLeft();
    void TrimRight();
    void MakeLower();
    void MakeUpper();
    int IsSpaceAt(int index) const;

    // Element access and export.
    char16_t WideCharAt(int index) const;
    char CharAt(int index) const;
    int CopyToAscii(char* out, int n) const;
    int CopyToWide(char16_t* out, int n) const;
    std::unique_ptr<char[]> CopyLowBytes(int start, int count) const;
    int ToAnsiBuffer(char* out, int n) const;
    std::unique_ptr<char[]> ToAnsi(int* outLength = nullptr) const;

    // Search: an index or -1.
    int Find(char16_t unit, int start = 0) const;
    int FindNoCase(char16_t unit, int start = 0) const;
    int ReverseFind(char16_t unit) const;
    int FindAnyOf(const char* set, int start = 0) const;
    int FindString(const StringRef& text, int start = 0) const;
    int FindWide(const char16_t* text, int start = 0) const;
    int FindAscii(const char* text, int start = 0) const;
    int FindNoCaseString(const StringRef& text, int start = 0) const;
    int FindNoCaseAscii(const char* text, int start = 0) const;

    // Comparison: 0 equal; else this unit minus the other at the first difference.
    // Null and empty are the same empty text; exactly one empty side gives 1.
    int Compare(const char16_t* text) const;
    int CompareLiteral(const char* text) const;
    int CompareNoCase(const char16_t* text) const;
    int CompareNoCaseAscii(const char* text) const;

    // Numbers.
    uint32_t ToUnsigned() const;
    int32_t ToInt() const;
    float ParseReal() const;

private:
    int Reallocate(int n);
    int AppendNumber(uint32_t magnitude, bool negative, int digits, uint32_t base);
    bool Aliases(const char16_t* text) const;

    int length_ = 0;
    char16_t* buffer_ = nullptr; // owned; holds a zero unit at length_ when present
    int capacity_ = 0;           // units without the terminator
};
