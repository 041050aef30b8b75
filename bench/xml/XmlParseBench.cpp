// Parse throughput of our XML loader against pugixml on the same generated skin layout file,
// measured in the same run. Prints both in MB/s and their ratio. The file stays within the
// loader's node cap (about 2 MB of this layout).
//   xml_parse_bench [megabytes=1] [rounds=10]

#include "framework/base/tests/MemoryStreams.h"
#include "framework/xml/XmlDocument.h"

#include <pugixml.hpp>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

// A fixed sequence, so every run parses the same bytes.
class Sequence
{
public:
    uint32_t Next(uint32_t range)
    {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) % range;
    }

private:
    uint32_t state_ = 12345;
};

std::string Attribute(const char* name, uint32_t value)
{
    return std::string(" ") + name + "=\"" + std::to_string(value) + "\"";
}

// Panels of controls, fonts and texts, as a mixer skin's layout file has them.
std::string MakeLayout(size_t bytes)
{
    static const char* const kControls[] = {"button", "knob", "slider", "meter", "text", "image", "combo"};
    Sequence random;
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- generated mixer layout -->\n<layout>\n";
    out += "\t<fonts>\n\t\t<font name=\"small\" family=\"arial\" style=\"bold\" size=\"11\"/>\n\t</fonts>\n";
    for (int panel = 0; out.size() < bytes; ++panel)
    {
        out += "\t<panel name=\"strip" + std::to_string(panel) + "\"" + Attribute("x", random.Next(1024)) +
               Attribute("y", random.Next(768)) + Attribute("w", 64 + random.Next(640)) +
               Attribute("h", 32 + random.Next(480)) + " color=\"#646464\" background=\"stripBack\">\n";
        for (int n = 4 + random.Next(24); n > 0; --n)
        {
            const char* kind = kControls[random.Next(7)];
            out += std::string("\t\t<") + kind + " name=\"" + kind + std::to_string(random.Next(100000)) + "\"" +
                   Attribute("x", random.Next(640)) + Attribute("y", random.Next(480)) +
                   Attribute("w", random.Next(200)) + Attribute("h", random.Next(200)) + " image=\"ctl" +
                   std::to_string(random.Next(64)) + "\" tooltip=\"IDS_TIP_" + std::to_string(random.Next(500)) + "\"";
            if (random.Next(4) == 0)
            {
                out += ">\n\t\t\t<range min=\"-144\" max=\"12\" default=\"0\"/>\n\t\t\tLevel of the strip\n\t\t</";
                out += std::string(kind) + ">\n";
            }
            else
            {
                out += "/>\n";
            }
        }
        out += "\t</panel>\n";
    }
    out += "</layout>\n";
    return out;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int CountElements(const XmlNode* node)
{
    int count = 0;
    for (; node; node = node->GetNextSibling())
    {
        if (node->GetNodeType() == XmlNode::ELEMENT_NODE)
            count += 1 + CountElements(node->GetFirstChild());
    }
    return count;
}

int CountElements(const pugi::xml_node& node)
{
    int count = 0;
    for (pugi::xml_node child : node.children())
    {
        if (child.type() == pugi::node_element)
            count += 1 + CountElements(child);
    }
    return count;
}

} // namespace

int main(int argc, char** argv)
{
    size_t megabytes = argc > 1 ? strtoul(argv[1], nullptr, 10) : 1;
    int rounds = argc > 2 ? atoi(argv[2]) : 10;
    std::string text = MakeLayout(megabytes * 1000000);
    double size = static_cast<double>(text.size()) / 1e6;

    // The best round of each, so that neither pays for a cold start.
    double ours = 1e30, theirs = 1e30;
    int ourElements = 0, theirElements = 0;
    for (int round = 0; round < rounds; ++round)
    {
        auto start = std::chrono::steady_clock::now();
        XmlDocument doc;
        MemoryReader reader(text.data(), text.size());
        if (!doc.Init() || !doc.Load(reader))
        {
            fprintf(stderr, "our loader failed on the generated file\n");
            return 1;
        }
        double elapsed = Seconds(start);
        ours = elapsed < ours ? elapsed : ours;
        ourElements = CountElements(doc.GetFirstChild());

        start = std::chrono::steady_clock::now();
        pugi::xml_document pugiDoc;
        if (!pugiDoc.load_buffer(text.data(), text.size()))
        {
            fprintf(stderr, "pugixml failed on the generated file\n");
            return 1;
        }
        elapsed = Seconds(start);
        theirs = elapsed < theirs ? elapsed : theirs;
        theirElements = CountElements(pugiDoc);
    }
    if (ourElements != theirElements)
    {
        fprintf(stderr, "element counts differ: ours %d, pugixml %d\n", ourElements, theirElements);
        return 1;
    }
    printf("generated layout: %.2f MB, %d elements, best of %d rounds\n", size, ourElements, rounds);
    printf("our loader: %8.1f MB/s\n", size / ours);
    printf("pugixml:    %8.1f MB/s\n", size / theirs);
    printf("ratio (ours / pugixml): %.4f\n", theirs / ours);
    return 0;
}
