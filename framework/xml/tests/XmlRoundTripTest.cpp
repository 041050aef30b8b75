// Property: a tree of text the writer accepts reads back as the same tree, in every encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "framework/xml/XmlCData.h"
#include "framework/xml/XmlDocument.h"
#include "framework/xml/XmlElement.h"
#include "framework/xml/XmlText.h"
#include "framework/xml/tests/XmlTestSupport.h"

namespace
{

class TreeMaker
{
public:
    TreeMaker(XmlDocument& doc, unsigned seed) : doc_(doc), random_(seed) {}

    void Fill(XmlNode* node, int depth)
    {
        int count = Pick(0, depth == 0 ? 3 : 4);
        bool lastWasText = false;
        for (int i = 0; i < count; ++i)
        {
            int kind = Pick(0, depth < 4 ? 4 : 1);
            // Adjacent texts would read back as one; top-level text needs markup after it.
            if (kind == 0 && (lastWasText || (depth == 0 && i == count - 1)))
                kind = 1;
            XmlNode* child;
            if (kind == 0)
            {
                child = doc_.CreateTextNode(Text(1, 12, true).c_str());
            }
            else if (kind == 1)
            {
                XmlCData* cdata = new XmlCData(&doc_);
                cdata->Init();
                std::u16string value = Text(0, 12, false);
                while (value.find(u"]]>") != std::u16string::npos)
                    value.erase(value.find(u"]]>"), 1);
                cdata->SetNodeValue(value.c_str());
                child = cdata;
            }
            else
            {
                XmlElement* element = doc_.CreateElement(Name().c_str());
                for (int a = Pick(0, 3); a > 0; --a)
                {
                    std::u16string value = Text(0, 10, true);
                    value.erase(std::remove(value.begin(), value.end(), u'"'), value.end());
                    element->SetAttribute(Name().c_str(), Trimmed(value).c_str());
                }
                Fill(element, depth + 1);
                child = element;
            }
            ASSERT_TRUE(node->AppendChild(child));
            lastWasText = kind == 0;
        }
    }

    // The units this encoding carries: single-byte files read bytes as sign-extended units.
    void SetEncoding(int encoding) { encoding_ = encoding; }

private:
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

    char16_t Unit()
    {
        static const char16_t kPlain[] = u"abcXYZ019 \t\r\n&>'=/?!-_[]";
        switch (Pick(0, 3))
        {
        case 0:
            if (encoding_ == XmlDocument::SINGLE_BYTE)
                return static_cast<char16_t>(0xFF80 + Pick(0, 0x7F));
            return static_cast<char16_t>(Pick(0x80, 0xFFFF));
        default:
            return kPlain[Pick(0, sizeof(kPlain) / sizeof(kPlain[0]) - 2)];
        }
    }

    std::u16string Text(int minimum, int maximum, bool trimmed)
    {
        std::u16string text;
        do
        {
            text.clear();
            for (int n = Pick(minimum, maximum); n > 0; --n)
            {
                char16_t u = Unit();
                if (u != '<' || !trimmed)
                    text += u;
            }
            if (trimmed)
                text = Trimmed(text);
        } while (static_cast<int>(text.size()) < minimum);
        return text;
    }

    static std::u16string Trimmed(const std::u16string& text)
    {
        const char16_t* space = u" \t\r\n";
        size_t first = text.find_first_not_of(space);
        if (first == std::u16string::npos)
            return std::u16string();
        return text.substr(first, text.find_last_not_of(space) - first + 1);
    }

    std::u16string Name()
    {
        static const char16_t kFirst[] = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
        static const char16_t kRest[] = u"abzAZ09_";
        std::u16string name(1, kFirst[Pick(0, 51)]);
        for (int n = Pick(0, 6); n > 0; --n)
            name += kRest[Pick(0, 7)];
        return name;
    }

    XmlDocument& doc_;
    std::mt19937 random_;
    int encoding_ = XmlDocument::UTF8;
};

TEST(XmlRoundTrip, SavedTreesLoadBackUnchanged)
{
    for (unsigned seed = 1; seed <= 200; ++seed)
    {
        for (int encoding = XmlDocument::SINGLE_BYTE; encoding <= XmlDocument::UTF8; ++encoding)
        {
            XmlDocument doc;
            ASSERT_TRUE(doc.Init());
            ASSERT_TRUE(doc.SetEncoding(encoding));
            TreeMaker maker(doc, seed);
            maker.SetEncoding(encoding);
            maker.Fill(&doc, 0);
            MemoryWriter writer;
            ASSERT_TRUE(doc.Save(writer)) << "seed " << seed << " encoding " << encoding;
            XmlDocument back;
            ASSERT_TRUE(back.Init());
            ASSERT_TRUE(LoadBytes(back, writer.bytes)) << "seed " << seed << " encoding " << encoding;
            EXPECT_EQ(back.GetEncoding(), encoding);
            ASSERT_EQ(Describe(back.GetFirstChild()), Describe(doc.GetFirstChild()))
                << "seed " << seed << " encoding " << encoding;
        }
    }
}

} // namespace
