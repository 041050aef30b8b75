#include "framework/base/String.h"

#include "framework/base/AnsiCodePage.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <new>

namespace
{
// The largest length whose allocation (length + 1 units) still fits an int of bytes.
const int kMaxLength = 0x3FFFFFFE;

// Fixed notation of the largest float has 39 digits before the point; with this many
// decimals the text always fits the formatting buffer below.
const int kMaxRealDecimals = 60;

StringHeap gDefaultHeap;
// Swapped by tests only, while no other thread uses strings.
StringHeap* gHeap = &gDefaultHeap;

// 8-bit text widens with sign extension: 0x41 -> U+0041, 0xE9 -> U+FFE9.
char16_t Widen(char c)
{
    return static_cast<char16_t>(static_cast<int16_t>(static_cast<signed char>(c)));
}

char16_t Unit(char16_t u)
{
    return u;
}

char16_t Unit(char c)
{
    return Widen(c);
}

char16_t FoldAscii(char16_t u)
{
    return (u >= u'A' && u <= u'Z') ? static_cast<char16_t>(u + (u'a' - u'A')) : u;
}

char16_t UpperAscii(char16_t u)
{
    return (u >= u'a' && u <= u'z') ? static_cast<char16_t>(u - (u'a' - u'A')) : u;
}

bool IsSpace(char16_t u)
{
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r';
}

bool InSet(char16_t u, const char* set)
{
    for (; *set; ++set)
    {
        if (Widen(*set) == u)
            return true;
    }
    return false;
}

int LengthOf(const char* text)
{
    if (text == nullptr)
        return 0;
    size_t n = std::strlen(text);
    return n > static_cast<size_t>(kMaxLength) ? kMaxLength + 1 : static_cast<int>(n);
}

int LengthOf(const char16_t* text)
{
    if (text == nullptr)
        return 0;
    int n = 0;
    while (text[n] != 0 && n <= kMaxLength)
        ++n;
    return n;
}

// Compares counted texts as if zero-terminated: the terminator takes part, so a proper
// prefix compares below the longer text. An empty side gives 1 unless both are empty.
template <class C>
int CompareUnits(const char16_t* a, int aLength, const C* b, int bLength, bool fold)
{
    if (aLength == 0 || bLength == 0)
        return (aLength == 0 && bLength == 0) ? 0 : 1;
    for (int i = 0;; ++i)
    {
        char16_t ua = i < aLength ? a[i] : 0;
        char16_t ub = i < bLength ? Unit(b[i]) : 0;
        if (fold)
        {
            ua = FoldAscii(ua);
            ub = FoldAscii(ub);
        }
        if (ua != ub)
            return static_cast<int>(ua) - static_cast<int>(ub);
        if (ua == 0)
            return 0;
    }
}

// Tries every start in turn, so a, a, b is found inside a, a, a, b.
template <class C>
int FindUnits(const char16_t* text, int length, const C* what, int whatLength, int start, bool fold)
{
    if (whatLength <= 0 || start < 0 || start >= length)
        return -1;
    for (int i = start; i <= length - whatLength; ++i)
    {
        int j = 0;
        for (; j < whatLength; ++j)
        {
            char16_t a = text[i + j];
            char16_t b = Unit(what[j]);
            if (fold ? FoldAscii(a) != FoldAscii(b) : a != b)
                break;
        }
        if (j == whatLength)
            return i;
    }
    return -1;
}

// Decimal digits read from the start; non-digits are passed over while the value is still
// 0 and end the scan after that. As uint32_t the value wraps modulo 2^32; reals read their
// digits as double, since a wrapped fraction of ten or more digits would be garbage.
template <class T>
T ParseDigits(const char16_t* text, int length)
{
    T value = 0;
    for (int i = 0; i < length; ++i)
    {
        char16_t u = text[i];
        if (u >= u'0' && u <= u'9')
            value = value * static_cast<T>(10) + static_cast<T>(u - u'0');
        else if (value != 0)
            break;
    }
    return value;
}

int CountDigits(uint32_t value, uint32_t base)
{
    int count = 1;
    while (value >= base)
    {
        value /= base;
        ++count;
    }
    return count;
}

// The text of another string-like object, for the virtual Compare.
bool TextOf(const Object& object, const char16_t*& text, int& length)
{
    if (const auto* s = dynamic_cast<const String*>(&object))
    {
        text = s->Buffer();
        length = s->Length();
        return true;
    }
    if (const auto* r = dynamic_cast<const StringRef*>(&object))
    {
        text = r->Buffer();
        length = r->Length();
        return true;
    }
    return false;
}
} // namespace

// ---- StringHeap ----

StringHeap::~StringHeap() = default;

char16_t* StringHeap::Allocate(int units)
{
    return new (std::nothrow) char16_t[static_cast<size_t>(units)];
}

void StringHeap::Free(char16_t* buffer)
{
    delete[] buffer;
}

StringHeap* StringHeap::Install(StringHeap* heap)
{
    StringHeap* previous = gHeap;
    gHeap = heap != nullptr ? heap : &gDefaultHeap;
    return previous;
}

// ---- StringRef ----

StringRef::StringRef(const char16_t* text) : length_(LengthOf(text)), text_(text) {}

StringRef::StringRef(const char16_t* text, int length)
    : length_(text != nullptr && length > 0 ? length : 0), text_(text)
{
}

StringRef::StringRef(const String& text) : length_(text.Length()), text_(text.Buffer()) {}

int StringRef::Compare(const Object& other) const
{
    const char16_t* text;
    int length;
    if (!TextOf(other, text, length))
        return Object::Compare(other);
    return CompareUnits(text_, length_, text, length, false);
}

// ---- String: construction and storage ----

String::String() = default;

String::~String()
{
    if (buffer_ != nullptr)
        gHeap->Free(buffer_);
}

String::String(String&& other) noexcept : length_(other.length_), buffer_(other.buffer_), capacity_(other.capacity_)
{
    other.length_ = 0;
    other.buffer_ = nullptr;
    other.capacity_ = 0;
}

String& String::operator=(String&& other) noexcept
{
    if (this != &other)
    {
        if (buffer_ != nullptr)
            gHeap->Free(buffer_);
        length_ = other.length_;
        buffer_ = other.buffer_;
        capacity_ = other.capacity_;
        other.length_ = 0;
        other.buffer_ = nullptr;
        other.capacity_ = 0;
    }
    return *this;
}

String* String::Clone() const
{
    String* copy = new (std::nothrow) String;
    if (copy == nullptr)
        return nullptr;
    if (!copy->Assign(*this))
    {
        delete copy;
        return nullptr;
    }
    return copy;
}

int String::Compare(const Object& other) const
{
    const char16_t* text;
    int length;
    if (!TextOf(other, text, length))
        return Object::Compare(other);
    return CompareUnits(buffer_, length_, text, length, false);
}

const char16_t* String::Text() const
{
    return buffer_ != nullptr ? buffer_ : u"";
}

bool String::Aliases(const char16_t* text) const
{
    std::less_equal<const char16_t*> le;
    return text != nullptr && buffer_ != nullptr && le(buffer_, text) && le(text, buffer_ + capacity_);
}

// The one place that allocates: a buffer of exactly n units plus the terminator.
int String::Reallocate(int n)
{
    char16_t* fresh = gHeap->Allocate(n + 1);
    if (fresh == nullptr)
        return 0;
    if (length_ > 0)
        std::memcpy(fresh, buffer_, sizeof(char16_t) * static_cast<size_t>(length_));
    fresh[length_] = 0;
    if (buffer_ != nullptr)
        gHeap->Free(buffer_);
    buffer_ = fresh;
    capacity_ = n;
    return 1;
}

int String::Reserve(int n)
{
    if (n < 0 || n > kMaxLength)
        return 0;
    if (capacity_ >= n)
        return 1;
    return Reallocate(n);
}

int String::SetLength(int n)
{
    if (!Reserve(n))
        return 0;
    if (buffer_ == nullptr)
        return 1;
    // Units gained are zero rather than left uninitialised.
    for (int i = length_; i < n; ++i)
        buffer_[i] = 0;
    length_ = n;
    buffer_[n] = 0;
    return 1;
}

void String::Clear()
{
    length_ = 0;
    if (buffer_ != nullptr)
        buffer_[0] = 0;
}

int String::ShrinkToFit()
{
    if (buffer_ == nullptr || capacity_ == length_)
        return 1;
    return Reallocate(length_);
}

// ---- Assign ----

int String::Assign(const StringRef& text)
{
    if (Aliases(text.Buffer()))
    {
        // Our own text, or a piece of it: never longer than what we hold.
        std::memmove(buffer_, text.Buffer(), sizeof(char16_t) * static_cast<size_t>(text.Length()));
        length_ = text.Length();
        buffer_[length_] = 0;
        return 1;
    }
    Clear();
    return Append(text);
}

int String::AssignWide(const char16_t* text)
{
    return Assign(StringRef(text));
}

int String::AssignAscii(const char* text)
{
    Clear();
    return AppendAscii(text);
}

int String::AssignAnsiDirect(const char* text)
{
    Clear();
    return AppendAnsi(text);
}

int String::AssignChar(char16_t unit)
{
    Clear();
    return AppendChar(unit);
}

int String::AssignAsciiChar(char c)
{
    Clear();
    return AppendAsciiChar(c);
}

int String::AssignUnsigned(uint32_t value, int digits)
{
    Clear();
    return AppendUnsigned(value, digits);
}

int String::AssignInt(int32_t value)
{
    Clear();
    return AppendInt(value);
}

int String::AssignHex(uint32_t value)
{
    Clear();
    return AppendHex(value, 0);
}

int String::AssignReal(float value, int decimals)
{
    Clear();
    return AppendReal(value, decimals);
}

// ---- Append ----

int String::Append(const StringRef& text)
{
    int n = text.Length();
    if (n == 0)
        return 1;
    if (n > kMaxLength - length_)
        return 0;
    // Appending (a piece of) ourselves: the text moves with the buffer.
    ptrdiff_t offset = Aliases(text.Buffer()) ? text.Buffer() - buffer_ : -1;
    if (!Reserve(length_ + n))
        return 0;
    const char16_t* source = offset >= 0 ? buffer_ + offset : text.Buffer();
    std::memmove(buffer_ + length_, source, sizeof(char16_t) * static_cast<size_t>(n));
    length_ += n;
    buffer_[length_] = 0;
    return 1;
}

int String::AppendWide(const char16_t* text)
{
    return Append(StringRef(text));
}

int String::AppendAscii(const char* text)
{
    int n = LengthOf(text);
    if (n == 0)
        return 1;
    if (n > kMaxLength - length_ || !Reserve(length_ + n))
        return 0;
    for (int i = 0; i < n; ++i)
        buffer_[length_ + i] = Widen(text[i]);
    length_ += n;
    buffer_[length_] = 0;
    return 1;
}

int String::AppendChar(char16_t unit)
{
    if (length_ >= kMaxLength)
        return 0;
    if (length_ + 1 > capacity_)
    {
        // The only doubling growth, so that text built a unit at a time stays cheap.
        int grown = length_ + 1 > kMaxLength / 2 ? kMaxLength : 2 * (length_ + 1);
        if (!Reserve(grown))
            return 0;
    }
    buffer_[length_++] = unit;
    buffer_[length_] = 0;
    return 1;
}

int String::AppendAsciiChar(char c)
{
    return AppendChar(Widen(c));
}

int String::AppendAnsi(const char* text)
{
    if (text == nullptr)
        return 0;
    int bytes = LengthOf(text);
    if (bytes == 0)
        return 1;
    if (bytes > kMaxLength)
        return 0;
    int count = AnsiCodePage::ToWide(text, bytes, nullptr, 0);
    if (count <= 0 || count > kMaxLength - length_ || !Reserve(length_ + count))
        return 0;
    // The converter gets all the room the text needs; anything short of the promised count
    // is a failure, and the terminator is put back.
    int written = AnsiCodePage::ToWide(text, bytes, buffer_ + length_, capacity_ - length_);
    if (written != count)
    {
        buffer_[length_] = 0;
        return 0;
    }
    length_ += count;
    buffer_[length_] = 0;
    return 1;
}

// Digits go in from the least significant one; digits 0 means as many as the value needs,
// n > 0 exactly n (zero-padded, or only the n least significant digits).
int String::AppendNumber(uint32_t magnitude, bool negative, int digits, uint32_t base)
{
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    int count = digits > 0 ? digits : CountDigits(magnitude, base);
    int total = count + (negative ? 1 : 0);
    if (total > kMaxLength - length_ || !Reserve(length_ + total))
        return 0;
    if (negative)
        buffer_[length_] = u'-';
    for (int i = length_ + total - 1; i >= length_ + total - count; --i)
    {
        buffer_[i] = kDigits[magnitude % base];
        magnitude /= base;
    }
    length_ += total;
    buffer_[length_] = 0;
    return 1;
}

int String::AppendUnsigned(uint32_t value, int digits)
{
    return AppendNumber(value, false, digits, 10);
}

int String::AppendInt(int32_t value)
{
    // 0 - value as unsigned, so the most negative value prints as 2147483648.
    if (value < 0)
        return AppendNumber(0u - static_cast<uint32_t>(value), true, 0, 10);
    return AppendNumber(static_cast<uint32_t>(value), false, 0, 10);
}

int String::AppendHex(uint32_t value, int digits)
{
    return AppendNumber(value, false, digits, 16);
}

int String::AppendReal(float value, int decimals)
{
    if (decimals <= 0)
        decimals = 1;
    if (decimals > kMaxRealDecimals)
        decimals = kMaxRealDecimals;
    char text[128];
    int n = std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
    if (n <= 0 || n >= static_cast<int>(sizeof text) - 1)
        return 0;
    // Trailing zeros go; a bare point gets one zero back (2.000 -> 2.0).
    while (n > 0 && text[n - 1] == '0')
        --n;
    if (n > 0 && text[n - 1] == '.')
        text[n++] = '0';
    text[n] = 0;
    return AppendAscii(text);
}

// ---- Insert and erase ----

int String::Insert(int index, const StringRef& text)
{
    if (index < 0 || index > length_)
        return 0;
    int n = text.Length();
    if (n == 0)
        return 1;
    if (Aliases(text.Buffer()))
    {
        // Moving the tail would overwrite the text being inserted: insert a copy.
        String copy;
        return copy.Assign(text) && Insert(index, copy);
    }
    if (n > kMaxLength - length_ || !Reserve(length_ + n))
        return 0;
    std::memmove(buffer_ + index + n, buffer_ + index, sizeof(char16_t) * static_cast<size_t>(length_ - index + 1));
    std::memcpy(buffer_ + index, text.Buffer(), sizeof(char16_t) * static_cast<size_t>(n));
    length_ += n;
    return 1;
}

int String::InsertWide(int index, const char16_t* text)
{
    return Insert(index, StringRef(text));
}

int String::InsertChar(int index, char16_t unit)
{
    return Insert(index, StringRef(&unit, 1));
}

int String::Erase(int index, int count)
{
    if (index < 0 || index > length_)
        return 0;
    if (count <= 0)
        return 1;
    int end = count > length_ - index ? length_ : index + count;
    if (end == index)
        return 1;
    std::memmove(buffer_ + index, buffer_ + end, sizeof(char16_t) * static_cast<size_t>(length_ - end + 1));
    length_ -= end - index;
    return 1;
}

// ---- Substrings ----

int String::Mid(const StringRef& source, int start, int count)
{
    int sourceLength = source.Length();
    if (start < 0 || start > sourceLength)
        return 0;
    if (count > sourceLength - start)
        count = sourceLength - start;
    if (count <= 0)
        return 1;
    // A piece of ourselves is never longer than what we hold, so no reallocation moves it.
    if (!Reserve(count))
        return 0;
    std::memmove(buffer_, source.Buffer() + start, sizeof(char16_t) * static_cast<size_t>(count));
    length_ = count;
    buffer_[count] = 0;
    return 1;
}

int String::Left(const StringRef& source, int n)
{
    return Mid(source, 0, n);
}

int String::Right(const StringRef& source, int n)
{
    int sourceLength = source.Length();
    if (n > sourceLength)
        n = sourceLength;
    if (n < 0)
        n = 0;
    return Mid(source, sourceLength - n, n);
}

// ---- Trimming and case ----

void String::TrimLeftChars(const char* set)
{
    if (buffer_ == nullptr || set == nullptr || length_ == 0)
        return;
    int n = 0;
    while (n < length_ && InSet(buffer_[n], set))
        ++n;
    Erase(0, n);
}

void String::TrimRightChars(const char* set)
{
    if (buffer_ == nullptr || set == nullptr || length_ == 0)
        return;
    while (length_ > 0 && InSet(buffer_[length_ - 1], set))
        --length_;
    buffer_[length_] = 0;
}

void String::TrimLeft()
{
    TrimLeftChars(" \t\n\r");
}

void String::TrimRight()
{
    TrimRightChars(" \t\n\r");
}

void String::MakeLower()
{
    for (int i = 0; i < length_; ++i)
        buffer_[i] = FoldAscii(buffer_[i]);
}

void String::MakeUpper()
{
    for (int i = 0; i < length_; ++i)
        buffer_[i] = UpperAscii(buffer_[i]);
}

int String::IsSpaceAt(int index) const
{
    return index >= 0 && index < length_ && IsSpace(buffer_[index]) ? 1 : 0;
}

// ---- Element access and export ----

char16_t String::WideCharAt(int index) const
{
    return index >= 0 && index < length_ ? buffer_[index] : 0;
}

char String::CharAt(int index) const
{
    return static_cast<char>(WideCharAt(index) & 0xFF);
}

int String::CopyToAscii(char* out, int n) const
{
    if (n == 0)
        return 1;
    if (out == nullptr || n < 0)
        return 0;
    int count = length_ < n - 1 ? length_ : n - 1;
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<char>(buffer_[i] & 0xFF);
    out[count] = 0;
    return count == length_ ? 1 : 0;
}

int String::CopyToWide(char16_t* out, int n) const
{
    if (n == 0)
        return 1;
    if (out == nullptr || n < 0)
        return 0;
    int count = length_ < n - 1 ? length_ : n - 1;
    if (count > 0)
        std::memcpy(out, buffer_, sizeof(char16_t) * static_cast<size_t>(count));
    out[count] = 0;
    return count == length_ ? 1 : 0;
}

std::unique_ptr<char[]> String::CopyLowBytes(int start, int count) const
{
    if (start < 0)
        start = 0;
    if (start > length_)
        start = length_;
    int end = (count < 0 || count > length_ - start) ? length_ : start + count;
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[static_cast<size_t>(end - start + 1)]);
    if (!bytes)
        return nullptr;
    for (int i = start; i < end; ++i)
        bytes[i - start] = static_cast<char>(buffer_[i] & 0xFF);
    bytes[end - start] = 0;
    return bytes;
}

int String::ToAnsiBuffer(char* out, int n) const
{
    if (n == 0)
        return 1;
    if (out == nullptr || n < 0)
        return 0;
    if (length_ == 0)
    {
        out[0] = 0;
        return 1;
    }
    int written = AnsiCodePage::FromWide(buffer_, length_, out, n - 1);
    if (written <= 0)
    {
        out[0] = 0;
        return 0;
    }
    out[written] = 0;
    return 1;
}

std::unique_ptr<char[]> String::ToAnsi(int* outLength) const
{
    if (outLength != nullptr)
        *outLength = 0;
    if (length_ == 0)
        return nullptr;
    int count = AnsiCodePage::FromWide(buffer_, length_, nullptr, 0);
    if (count <= 0)
        return nullptr;
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[static_cast<size_t>(count) + 1]);
    if (!bytes || AnsiCodePage::FromWide(buffer_, length_, bytes.get(), count) != count)
        return nullptr;
    bytes[count] = 0;
    if (outLength != nullptr)
        *outLength = count;
    return bytes;
}

// ---- Search ----

int String::Find(char16_t unit, int start) const
{
    if (start < 0)
        return -1;
    for (int i = start; i < length_; ++i)
    {
        if (buffer_[i] == unit)
            return i;
    }
    return -1;
}

int String::FindNoCase(char16_t unit, int start) const
{
    if (start < 0)
        return -1;
    unit = FoldAscii(unit);
    for (int i = start; i < length_; ++i)
    {
        if (FoldAscii(buffer_[i]) == unit)
            return i;
    }
    return -1;
}

int String::ReverseFind(char16_t unit) const
{
    for (int i = length_ - 1; i >= 0; --i)
    {
        if (buffer_[i] == unit)
            return i;
    }
    return -1;
}

int String::FindAnyOf(const char* set, int start) const
{
    if (set == nullptr || *set == 0 || start < 0)
        return -1;
    for (int i = start; i < length_; ++i)
    {
        if (InSet(buffer_[i], set))
            return i;
    }
    return -1;
}

int String::FindString(const StringRef& text, int start) const
{
    return FindUnits(buffer_, length_, text.Buffer(), text.Length(), start, false);
}

int String::FindWide(const char16_t* text, int start) const
{
    return FindString(StringRef(text), start);
}

int String::FindAscii(const char* text, int start) const
{
    return FindUnits(buffer_, length_, text, LengthOf(text), start, false);
}

int String::FindNoCaseString(const StringRef& text, int start) const
{
    return FindUnits(buffer_, length_, text.Buffer(), text.Length(), start, true);
}

int String::FindNoCaseAscii(const char* text, int start) const
{
    return FindUnits(buffer_, length_, text, LengthOf(text), start, true);
}

// ---- Comparison ----

int String::Compare(const char16_t* text) const
{
    return CompareUnits(buffer_, length_, text, LengthOf(text), false);
}

int String::CompareLiteral(const char* text) const
{
    return CompareUnits(buffer_, length_, text, LengthOf(text), false);
}

int String::CompareNoCase(const char16_t* text) const
{
    return CompareUnits(buffer_, length_, text, LengthOf(text), true);
}

int String::CompareNoCaseAscii(const char* text) const
{
    return CompareUnits(buffer_, length_, text, LengthOf(text), true);
}

// ---- Numbers ----

uint32_t String::ToUnsigned() const
{
    return ParseDigits<uint32_t>(buffer_, length_);
}

int32_t String::ToInt() const
{
    if (length_ == 0)
        return 0;
    bool negative = buffer_[0] == u'-';
    int skip = (negative || buffer_[0] == u'+') ? 1 : 0;
    uint32_t magnitude = ParseDigits<uint32_t>(buffer_ + skip, length_ - skip);
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

float String::ParseReal() const
{
    if (length_ == 0)
        return 0.0f;
    bool negative = buffer_[0] == u'-';
    int skip = (negative || buffer_[0] == u'+') ? 1 : 0;
    const char16_t* text = buffer_ + skip;
    int length = length_ - skip;
    double value;
    int point = 0;
    while (point < length && text[point] != u'.')
        ++point;
    if (point < length)
    {
        int decimals = length - point - 1;
        value = ParseDigits<double>(text, point) +
                ParseDigits<double>(text + point + 1, decimals) / std::pow(10.0, decimals);
    }
    else
    {
        value = ParseDigits<double>(text, length);
    }
    return static_cast<float>(negative ? -value : value);
}
