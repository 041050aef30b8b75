#include "framework/base/String.h"
#include "framework/base/tests/MemoryStreams.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

namespace
{
String Make(const char16_t* text)
{
    String s;
    EXPECT_EQ(s.AssignWide(text), 1);
    return s;
}

// Counts the buffers String takes and can be told to refuse them.
class CountingHeap : public StringHeap
{
public:
    char16_t* Allocate(int units) override
    {
        if (refuse)
            return nullptr;
        ++allocations;
        lastUnits = units;
        return StringHeap::Allocate(units);
    }

    int allocations = 0;
    int lastUnits = 0;
    bool refuse = false;
};

class StringHeapTest : public ::testing::Test
{
protected:
    void SetUp() override { previous_ = StringHeap::Install(&heap_); }
    void TearDown() override { StringHeap::Install(previous_); }

    CountingHeap heap_;

private:
    StringHeap* previous_ = nullptr;
};
} // namespace

// ---- Comparison ----

TEST(StringCompare, FollowsTheDocumentedAnswers)
{
    struct Case
    {
        const char16_t* left;
        const char16_t* right;
        int expected;
    };
    const Case cases[] = {
        {u"", nullptr, 0},       {u"", u"", 0},
        {u"", u"a", 1}, // exactly one empty side gives 1, whichever side it is
        {u"a", u"", 1},          {u"a", nullptr, 1},
        {u"abc", u"abc", 0},     {u"abc", u"abd", 'c' - 'd'},
        {u"ab", u"abc", -'c'},                                    // the terminator takes part
        {u"abc", u"ab", 'c'},    {u"\xFFFF", u"a", 0xFFFF - 'a'}, // units compare unsigned
        {u"B", u"a", 'B' - 'a'},
    };
    for (const Case& c : cases)
    {
        String s = Make(c.left);
        EXPECT_EQ(s.Compare(c.right), c.expected) << "left " << Text(s).size();
    }
}

TEST(StringCompare, NoCaseFoldsAsciiLettersOnly)
{
    struct Case
    {
        const char16_t* left;
        const char16_t* right;
        int expected;
    };
    const Case cases[] = {
        {u"ABC", u"abc", 0},
        {u"ABC", u"abd", 'c' - 'd'},
        {u"Z", u"a", 'z' - 'a'},
        {u"ab", u"ABC", -'c'}, // folded in the final subtraction too
        {u"\u00C9", u"\u00E9", 0xC9 - 0xE9},
        {u"", u"A", 1},
    };
    for (const Case& c : cases)
    {
        String s = Make(c.left);
        EXPECT_EQ(s.CompareNoCase(c.right), c.expected);
    }
    String s = Make(u"Hello");
    EXPECT_EQ(s.CompareNoCaseAscii("hELLO"), 0);
    EXPECT_EQ(s.CompareNoCaseAscii("help"), 'l' - 'p');
}

TEST(StringCompare, EightBitTextIsSignExtended)
{
    String s;
    ASSERT_EQ(s.AssignAscii("\xE9"), 1);
    ASSERT_EQ(s.Length(), 1);
    EXPECT_EQ(s.WideCharAt(0), 0xFFE9);
    EXPECT_EQ(s.CompareLiteral("\xE9"), 0);
    EXPECT_EQ(s.CompareLiteral(""), 1);
    EXPECT_GT(s.CompareLiteral("a"), 0);

    String empty;
    EXPECT_EQ(empty.CompareLiteral(nullptr), 0);
    EXPECT_EQ(empty.CompareLiteral("a"), 1);
}

TEST(StringCompare, VirtualCompareUsesTheText)
{
    String a = Make(u"apple");
    String b = Make(u"banana");
    StringRef ref(u"apple");
    const Object& asObject = b;
    EXPECT_LT(a.Compare(asObject), 0);
    EXPECT_EQ(a.Compare(static_cast<const Object&>(ref)), 0);
    EXPECT_EQ(ref.Compare(static_cast<const Object&>(b)), 'a' - 'b');

    // Not text: the root's identity order, antisymmetric and 0 only for itself.
    Object x;
    EXPECT_EQ(x.Compare(x), 0);
    EXPECT_EQ(a.Compare(x), -x.Compare(a));
    EXPECT_NE(a.Compare(x), 0);
}

TEST(StringObject, CloneCopiesTextAndRootsCloneNothing)
{
    String s = Make(u"text");
    std::unique_ptr<String> copy(s.Clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Text(*copy), u"text");
    EXPECT_NE(copy->Buffer(), s.Buffer());

    Object root;
    EXPECT_EQ(root.Clone(), nullptr);
    StringRef ref(u"x");
    EXPECT_EQ(ref.Clone(), nullptr);
}

TEST(StringRef, CountsUpToTheTerminator)
{
    EXPECT_EQ(StringRef(u"abc").Length(), 3);
    EXPECT_EQ(StringRef(nullptr).Length(), 0);
    String s = Make(u"hello");
    StringRef ref(s);
    EXPECT_EQ(ref.Length(), 5);
    EXPECT_EQ(ref.Buffer(), s.Buffer());
}

// ---- Numbers ----

TEST(StringNumbers, DecimalAndHexDigits)
{
    struct Case
    {
        uint32_t value;
        int digits;
        const char16_t* decimal;
    };
    const Case cases[] = {
        {7, 3, u"007"},   {12345, 2, u"45"}, {0, 0, u"0"}, {0, 4, u"0000"}, {4294967295u, 0, u"4294967295"},
        {100, 0, u"100"},
    };
    for (const Case& c : cases)
    {
        String s = Make(u"x");
        ASSERT_EQ(s.AppendUnsigned(c.value, c.digits), 1);
        EXPECT_EQ(Text(s), std::u16string(u"x") + c.decimal) << c.value << "/" << c.digits;
    }

    String h;
    ASSERT_EQ(h.AppendHex(0xABCDEF, 0), 1);
    ASSERT_EQ(h.AppendHex(0x1F, 4), 1);
    ASSERT_EQ(h.AppendHex(0x12345, 2), 1);
    EXPECT_EQ(Text(h), u"ABCDEF001F45");
    ASSERT_EQ(h.AssignHex(0), 1);
    EXPECT_EQ(Text(h), u"0");
}

TEST(StringNumbers, SignedIntegers)
{
    struct Case
    {
        int32_t value;
        const char16_t* text;
    };
    const Case cases[] = {
        {-12, u"-12"}, {0, u"0"}, {42, u"42"}, {INT_MAX, u"2147483647"}, {INT_MIN, u"-2147483648"},
    };
    for (const Case& c : cases)
    {
        String s;
        ASSERT_EQ(s.AssignInt(c.value), 1);
        EXPECT_EQ(Text(s), c.text);
    }
}

TEST(StringNumbers, RealsLoseTrailingZerosButKeepOneDecimal)
{
    struct Case
    {
        float value;
        int decimals;
        const char16_t* text;
    };
    const Case cases[] = {
        {1.5f, 3, u"1.5"}, {2.0f, 0, u"2.0"}, // 0 decimals are taken as 1
        {2.0f, 2, u"2.0"}, {100.0f, 1, u"100.0"}, {-0.25f, 2, u"-0.25"}, {3.14159f, 2, u"3.14"}, {0.5f, -3, u"0.5"},
    };
    for (const Case& c : cases)
    {
        String s;
        ASSERT_EQ(s.AssignReal(c.value, c.decimals), 1);
        EXPECT_EQ(Text(s), c.text) << c.value << "/" << c.decimals;
    }
}

TEST(StringNumbers, RealFormattingIsBoundedForAnyDecimalCount)
{
    // Fixed notation of a large float with many decimals used to overrun a 128-byte buffer.
    String s;
    ASSERT_EQ(s.AssignReal(3.0e38f, 1000), 1);
    String expected;
    ASSERT_EQ(expected.AssignAscii("300000000549775575777803994281145270272.0"), 1);
    EXPECT_EQ(Text(s), Text(expected));

    ASSERT_EQ(s.AssignReal(-3.0e38f, 120), 1);
    EXPECT_EQ(s.WideCharAt(0), u'-');
    EXPECT_EQ(s.Length(), 1 + 39 + 2);
    ASSERT_EQ(s.AssignReal(0.1f, 100), 1);
    EXPECT_EQ(s.FindAscii("0.100000001490116"), 0);
}

TEST(StringNumbers, ParsesUnsignedIntAndReal)
{
    struct Case
    {
        const char16_t* text;
        uint32_t asUnsigned;
        int32_t asInt;
        float asReal;
    };
    const Case cases[] = {
        {u"-42", 42, -42, -42.0f},
        {u"+7", 7, 7, 7.0f},
        {u"12ab3", 12, 12, 12.0f},
        {u"ab12", 12, 12, 12.0f}, // non-digits are passed over while the value is 0
        {u"", 0, 0, 0.0f},
        {u"3.05", 3, 3, 3.05f},
        {u"-.5", 5, -5, -0.5f},
        {u"4294967296", 0, 0, 4294967296.0f}, // wraps modulo 2^32, but not as a real
        {u"4294967295", 4294967295u, -1, 4294967295.0f},
        {u"0.66666666667", 2242157227u, -2052810069, 0.66666666667f}, // a fraction past 32 bits
        {u"1.x5", 1, 1, 1.05f},                                       // the fraction passes over non-digits too
    };
    for (const Case& c : cases)
    {
        String s = Make(c.text);
        EXPECT_EQ(s.ToUnsigned(), c.asUnsigned) << Text(s).size();
        EXPECT_EQ(s.ToInt(), c.asInt);
        EXPECT_FLOAT_EQ(s.ParseReal(), c.asReal);
    }
}

// ---- Growth and allocation ----

TEST_F(StringHeapTest, AppendGrowsExactlyAndCharsDouble)
{
    String s;
    EXPECT_EQ(s.Buffer(), nullptr);
    EXPECT_EQ(s.Capacity(), 0);
    ASSERT_EQ(s.AppendAscii("abc"), 1);
    EXPECT_EQ(s.Capacity(), 3);
    EXPECT_EQ(heap_.lastUnits, 4); // the terminator is extra
    ASSERT_EQ(s.Append(StringRef(u"de")), 1);
    EXPECT_EQ(s.Capacity(), 5);
    EXPECT_EQ(heap_.allocations, 2);

    // One unit at a time: 2 x (length + 1) whenever the buffer is full.
    String c;
    const int expected[] = {2, 2, 6, 6, 6, 6, 14, 14};
    for (int i = 0; i < 8; ++i)
    {
        ASSERT_EQ(c.AppendChar(static_cast<char16_t>(u'a' + i)), 1);
        EXPECT_EQ(c.Capacity(), expected[i]) << i;
    }
    EXPECT_EQ(Text(c), u"abcdefgh");
    EXPECT_EQ(heap_.allocations, 2 + 3);
}

TEST_F(StringHeapTest, ReserveClearAndShrink)
{
    String s;
    ASSERT_EQ(s.Reserve(10), 1);
    EXPECT_EQ(s.Capacity(), 10);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Text()[0], 0);
    ASSERT_EQ(s.Reserve(4), 1); // enough already: nothing happens
    EXPECT_EQ(heap_.allocations, 1);
    ASSERT_EQ(s.AppendAscii("abcdefghij"), 1);
    EXPECT_EQ(heap_.allocations, 1);

    s.Clear();
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Capacity(), 10);
    EXPECT_EQ(s.Text()[0], 0);

    ASSERT_EQ(s.AssignAscii("xyz"), 1);
    EXPECT_EQ(heap_.allocations, 1);
    ASSERT_EQ(s.ShrinkToFit(), 1);
    EXPECT_EQ(s.Capacity(), 3);
    EXPECT_EQ(Text(s), u"xyz");
    EXPECT_EQ(heap_.allocations, 2);

    ASSERT_EQ(s.SetLength(5), 1);
    EXPECT_EQ(Text(s), std::u16string(u"xyz\0\0", 5));
    ASSERT_EQ(s.SetLength(1), 1);
    EXPECT_EQ(Text(s), u"x");
    EXPECT_EQ(s.Reserve(-1), 0);
}

TEST_F(StringHeapTest, NumbersAndAnsiTakeOneAllocation)
{
    String s;
    ASSERT_EQ(s.AppendUnsigned(1234567, 0), 1);
    EXPECT_EQ(s.Capacity(), 7);
    ASSERT_EQ(s.AppendInt(-5), 1);
    EXPECT_EQ(s.Capacity(), 9);
    ASSERT_EQ(s.AppendAnsi("abc"), 1);
    EXPECT_EQ(s.Capacity(), 12);
    EXPECT_EQ(heap_.allocations, 3);
    EXPECT_EQ(Text(s), u"1234567-5abc");
}

TEST_F(StringHeapTest, FailedAllocationLeavesTheStringAlone)
{
    String s = Make(u"keep");
    heap_.refuse = true;
    EXPECT_EQ(s.Reserve(100), 0);
    EXPECT_EQ(s.AppendAscii("more"), 0);
    EXPECT_EQ(s.Append(StringRef(u"more")), 0);
    EXPECT_EQ(s.AppendAnsi("more"), 0);
    EXPECT_EQ(s.AppendInt(-123), 0);
    EXPECT_EQ(s.AppendReal(1.5f, 2), 0);
    EXPECT_EQ(s.Insert(2, StringRef(u"xx")), 0);
    EXPECT_EQ(Text(s), u"keep");
    EXPECT_EQ(s.Capacity(), 4);
    ASSERT_EQ(s.ShrinkToFit(), 1); // nothing to shrink, nothing asked
    EXPECT_EQ(s.Clone(), nullptr);

    String growing;
    EXPECT_EQ(growing.AppendChar(u'a'), 0);
    EXPECT_EQ(growing.Length(), 0);
    EXPECT_EQ(growing.Buffer(), nullptr);
}

TEST_F(StringHeapTest, FailedShrinkKeepsTheOldCapacity)
{
    String s;
    ASSERT_EQ(s.Reserve(20), 1);
    ASSERT_EQ(s.AppendAscii("ab"), 1);
    heap_.refuse = true;
    EXPECT_EQ(s.ShrinkToFit(), 0);
    EXPECT_EQ(s.Capacity(), 20);
    EXPECT_EQ(Text(s), u"ab");
}

// ---- Editing ----

TEST(StringEdit, AppendsFromEveryKindOfSource)
{
    String s;
    EXPECT_EQ(s.AppendAscii(nullptr), 1);
    EXPECT_EQ(s.AppendAscii(""), 1);
    EXPECT_EQ(s.AppendWide(nullptr), 1);
    EXPECT_EQ(s.Buffer(), nullptr);
    ASSERT_EQ(s.AppendWide(u"ab"), 1);
    ASSERT_EQ(s.AppendAsciiChar('c'), 1);
    ASSERT_EQ(s.AppendAsciiChar('\x80'), 1);
    EXPECT_EQ(Text(s), u"abc\xFF80");

    ASSERT_EQ(s.AssignChar(u'z'), 1);
    EXPECT_EQ(Text(s), u"z");
    ASSERT_EQ(s.AssignAsciiChar('y'), 1);
    EXPECT_EQ(Text(s), u"y");
    ASSERT_EQ(s.AssignUnsigned(5, 2), 1);
    EXPECT_EQ(Text(s), u"05");
    ASSERT_EQ(s.AssignWide(nullptr), 1);
    EXPECT_EQ(s.Length(), 0);
}

TEST(StringEdit, WorksOnItsOwnText)
{
    String s = Make(u"abc");
    ASSERT_EQ(s.Append(s), 1);
    EXPECT_EQ(Text(s), u"abcabc");
    ASSERT_EQ(s.Insert(1, s), 1);
    EXPECT_EQ(Text(s), u"aabcabcbcabc");
    ASSERT_EQ(s.Assign(StringRef(s.Buffer() + 3, 4)), 1);
    EXPECT_EQ(Text(s), u"cabc");
    ASSERT_EQ(s.Mid(s, 1, 2), 1);
    EXPECT_EQ(Text(s), u"ab");
    ASSERT_EQ(s.Assign(s), 1);
    EXPECT_EQ(Text(s), u"ab");
}

TEST(StringEdit, InsertAndErase)
{
    String s = Make(u"held");
    ASSERT_EQ(s.InsertChar(2, u'l'), 1);
    EXPECT_EQ(Text(s), u"helld");
    ASSERT_EQ(s.InsertWide(0, u">"), 1);
    ASSERT_EQ(s.InsertWide(s.Length(), u"<"), 1);
    EXPECT_EQ(Text(s), u">helld<");
    EXPECT_EQ(s.InsertWide(-1, u"x"), 0);
    EXPECT_EQ(s.InsertWide(s.Length() + 1, u"x"), 0);
    EXPECT_EQ(Text(s), u">helld<");

    struct Case
    {
        int index;
        int count;
        int result;
        const char16_t* text;
    };
    const Case cases[] = {
        {0, 0, 1, u"abcdef"}, {1, 2, 1, u"adef"}, {4, 100, 1, u"abcd"}, // the end is clamped to the length
        {6, 1, 1, u"abcdef"}, {0, 6, 1, u""},     {7, 1, 0, u"abcdef"}, {-1, 1, 0, u"abcdef"}, {2, -3, 1, u"abcdef"},
    };
    for (const Case& c : cases)
    {
        String e = Make(u"abcdef");
        EXPECT_EQ(e.Erase(c.index, c.count), c.result) << c.index << "," << c.count;
        EXPECT_EQ(Text(e), c.text);
        EXPECT_EQ(e.Text()[e.Length()], 0);
    }
}

TEST(StringEdit, Substrings)
{
    String source = Make(u"abcdef");
    struct Case
    {
        int start;
        int count;
        int result;
        const char16_t* text;
    };
    const Case cases[] = {
        {1, 3, 1, u"bcd"}, {4, 10, 1, u"ef"}, {6, 2, 1, u"old"}, // start at the length: the target is left unchanged
        {0, 0, 1, u"old"}, {7, 1, 0, u"old"}, {-1, 2, 0, u"old"},
    };
    for (const Case& c : cases)
    {
        String t = Make(u"old");
        EXPECT_EQ(t.Mid(source, c.start, c.count), c.result) << c.start;
        EXPECT_EQ(Text(t), c.text);
    }
    String t;
    ASSERT_EQ(t.Left(source, 2), 1);
    EXPECT_EQ(Text(t), u"ab");
    ASSERT_EQ(t.Right(source, 2), 1);
    EXPECT_EQ(Text(t), u"ef");
    ASSERT_EQ(t.Right(source, 99), 1);
    EXPECT_EQ(Text(t), u"abcdef");
    ASSERT_EQ(t.Left(StringRef(u"xy"), 99), 1);
    EXPECT_EQ(Text(t), u"xy");
}

TEST(StringEdit, TrimmingAndCase)
{
    String s = Make(u"   ");
    s.TrimRight();
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Text()[0], 0);

    s = Make(u"\t x");
    s.TrimLeft();
    EXPECT_EQ(Text(s), u"x");

    s = Make(u" \r\nmid \n\t");
    s.TrimLeft();
    s.TrimRight();
    EXPECT_EQ(Text(s), u"mid");

    s = Make(u"--==x=-");
    s.TrimLeftChars("-=");
    s.TrimRightChars("-=");
    EXPECT_EQ(Text(s), u"x");
    s.TrimLeftChars(nullptr);
    EXPECT_EQ(Text(s), u"x");

    String empty;
    empty.TrimLeft();
    empty.TrimRight();
    EXPECT_EQ(empty.Buffer(), nullptr);

    s = Make(u"MiXeD \u00C9\u00E9 09");
    s.MakeLower();
    EXPECT_EQ(Text(s), u"mixed \u00C9\u00E9 09");
    s.MakeUpper();
    EXPECT_EQ(Text(s), u"MIXED \u00C9\u00E9 09");

    s = Make(u"a b\tc\nd\re");
    const int spaces[] = {0, 1, 0, 1, 0, 1, 0, 1, 0};
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(s.IsSpaceAt(i), spaces[i]) << i;
    EXPECT_EQ(s.IsSpaceAt(9), 0);
    EXPECT_EQ(s.IsSpaceAt(-1), 0);
}

// ---- Search ----

TEST(StringSearch, SingleUnits)
{
    String s = Make(u"Hello, World");
    EXPECT_EQ(s.Find(u'o'), 4);
    EXPECT_EQ(s.Find(u'o', 5), 8);
    EXPECT_EQ(s.Find(u'o', 12), -1);
    EXPECT_EQ(s.Find(u'o', -1), -1);
    EXPECT_EQ(s.Find(u'z'), -1);
    EXPECT_EQ(s.FindNoCase(u'w'), 7);
    EXPECT_EQ(s.FindNoCase(u'H', 1), -1);
    EXPECT_EQ(s.ReverseFind(u'o'), 8);
    EXPECT_EQ(s.ReverseFind(u'z'), -1);
    EXPECT_EQ(String().ReverseFind(u'a'), -1);
    EXPECT_EQ(s.FindAnyOf(",W"), 5);
    EXPECT_EQ(s.FindAnyOf(",W", 6), 7);
    EXPECT_EQ(s.FindAnyOf(""), -1);
    EXPECT_EQ(s.FindAnyOf(nullptr), -1);
    EXPECT_EQ(s.FindAnyOf("H", 12), -1);
}

TEST(StringSearch, Substrings)
{
    String s = Make(u"aaab Abc abc");
    struct Case
    {
        const char16_t* what;
        int start;
        int exact;
        int noCase;
    };
    const Case cases[] = {
        {u"aab", 0, 1, 1}, // found although the first try fails half-way
        {u"abc", 0, 9, 5}, {u"abc", 6, 9, 9},  {u"ABC", 0, -1, 5}, {u"abc", 10, -1, -1},
        {u"", 0, -1, -1},  {u"a", 12, -1, -1}, {u"a", -1, -1, -1}, {u"aaab Abc abcd", 0, -1, -1},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(s.FindWide(c.what, c.start), c.exact) << c.start;
        EXPECT_EQ(s.FindString(StringRef(c.what), c.start), c.exact);
        EXPECT_EQ(s.FindNoCaseString(StringRef(c.what), c.start), c.noCase);
    }
    EXPECT_EQ(s.FindWide(nullptr), -1);
    EXPECT_EQ(s.FindAscii("b A"), 3);
    EXPECT_EQ(s.FindAscii(nullptr), -1);
    EXPECT_EQ(s.FindNoCaseAscii("B ABC"), 3);
    EXPECT_EQ(s.FindNoCaseAscii(""), -1);

    String wide;
    ASSERT_EQ(wide.AssignAscii("x\xE9y"), 1);
    EXPECT_EQ(wide.FindAscii("\xE9y"), 1);
}

// ---- Access and export ----

TEST(StringExport, ElementAccessAndCopies)
{
    String s = Make(u"A\u0142z");
    EXPECT_EQ(s.WideCharAt(1), 0x142);
    EXPECT_EQ(s.CharAt(1), '\x42');
    EXPECT_EQ(s.WideCharAt(3), 0);
    EXPECT_EQ(s.WideCharAt(-1), 0);
    EXPECT_EQ(s.CharAt(3), 0);

    char out[8];
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(s.CopyToAscii(out, 0), 1);
    EXPECT_EQ(out[0], 'x');
    EXPECT_EQ(s.CopyToAscii(nullptr, 4), 0);
    EXPECT_EQ(s.CopyToAscii(out, 4), 1);
    EXPECT_STREQ(out, "A\x42z");
    EXPECT_EQ(s.CopyToAscii(out, 3), 0); // cut
    EXPECT_STREQ(out, "A\x42");

    char16_t wide[8];
    EXPECT_EQ(s.CopyToWide(wide, 4), 1);
    EXPECT_EQ(std::u16string(wide), u"A\u0142z");
    EXPECT_EQ(s.CopyToWide(wide, 2), 0);
    EXPECT_EQ(std::u16string(wide), u"A");
    EXPECT_EQ(s.CopyToWide(nullptr, 2), 0);

    String e;
    EXPECT_EQ(e.CopyToWide(wide, 8), 1);
    EXPECT_EQ(wide[0], 0);

    String t = Make(u"hello");
    EXPECT_STREQ(t.CopyLowBytes(1, 3).get(), "ell");
    EXPECT_STREQ(t.CopyLowBytes(2, -1).get(), "llo");
    EXPECT_STREQ(t.CopyLowBytes(3, 50).get(), "lo");
    EXPECT_STREQ(t.CopyLowBytes(5, 1).get(), "");
    EXPECT_STREQ(e.CopyLowBytes(0, -1).get(), "");
}

// ---- ANSI code page ----

// The bytes are spelt in Windows-1252: it stands in natively and is the code page of the
// Wine prefix the Windows build runs in.
TEST(StringAnsi, ConvertsThroughTheCodePage)
{
    String s = Make(u"ab");
    ASSERT_EQ(s.AppendAnsi("caf\xE9 \x80"), 1);
    EXPECT_EQ(Text(s), u"abcaf\u00E9 \u20AC");
    EXPECT_EQ(s.Capacity(), s.Length()); // exactly the room the text needs
    EXPECT_EQ(s.AppendAnsi(""), 1);
    EXPECT_EQ(s.AppendAnsi(nullptr), 0);
    EXPECT_EQ(Text(s), u"abcaf\u00E9 \u20AC");

    ASSERT_EQ(s.AssignAnsiDirect("\x93q\x94"), 1);
    EXPECT_EQ(Text(s), u"\u201Cq\u201D");
}

TEST(StringAnsi, ExportsThroughTheCodePage)
{
    String s = Make(u"caf\u00E9 \u20AC");
    int length = -1;
    std::unique_ptr<char[]> bytes = s.ToAnsi(&length);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(length, 6);
    EXPECT_STREQ(bytes.get(), "caf\xE9 \x80");

    EXPECT_EQ(String().ToAnsi(&length), nullptr);
    EXPECT_EQ(length, 0);

    char out[8];
    EXPECT_EQ(s.ToAnsiBuffer(out, 7), 1);
    EXPECT_STREQ(out, "caf\xE9 \x80");
    EXPECT_EQ(s.ToAnsiBuffer(out, 6), 0); // no room for the terminator
    EXPECT_EQ(s.ToAnsiBuffer(out, 0), 1);
    EXPECT_EQ(s.ToAnsiBuffer(nullptr, 7), 0);
    EXPECT_EQ(String().ToAnsiBuffer(out, 1), 1);
    EXPECT_STREQ(out, "");

    // Room for the terminator alone: nothing beyond it is written, and the text did not fit.
    std::memset(out, 'x', sizeof out);
    EXPECT_EQ(s.ToAnsiBuffer(out, 1), 0);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(std::string(out + 1, sizeof out - 1), std::string(sizeof out - 1, 'x'));

    // Units the code page lacks come out as a replacement, not as their low byte.
    String greek = Make(u"\u03A9");
    ASSERT_EQ(greek.ToAnsiBuffer(out, 8), 1);
    EXPECT_STRNE(out, "\xA9");
}
