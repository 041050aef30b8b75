// Load time against the shape of the input: many items on one element (or in one response
// function) against the same number spread over many, measured in the same run. Linear
// loading keeps each ratio near 1; a walk over the stored items per insert makes it grow with
// the count.
//   xml_scale_bench [attributes=80000] [entries=300000]

#include "framework/base/tests/MemoryStreams.h"
#include "framework/skin/ResponseFunction.h"
#include "framework/xml/XmlDocument.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace
{

double Seconds(const std::function<void()>& work)
{
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// count attributes, perElement of them on each element (descending names, so every insert
// lands at the front of its map).
std::string Attributes(int count, int perElement)
{
    std::string text = "<r>";
    for (int i = count; i > 0;)
    {
        text += "<e";
        for (int k = 0; k < perElement && i > 0; ++k, --i)
            text += " a" + std::to_string(i) + "=\"" + std::to_string(i) + "\"";
        text += "/>";
    }
    return text + "</r>";
}

// Loads and saves; the seconds taken.
double LoadAndSave(const std::string& text)
{
    return Seconds([&] {
        XmlDocument doc;
        MemoryReader reader(text.data(), text.size());
        MemoryWriter writer;
        if (!doc.Init() || !doc.Load(reader) || !doc.Save(writer))
        {
            fprintf(stderr, "the generated document did not load and save\n");
            exit(1);
        }
    });
}

// count entries in descending order, perFunction of them in each response function.
double BuildFunctions(int count, int perFunction)
{
    return Seconds([&] {
        float sum = 0;
        for (int i = count; i > 0;)
        {
            std::vector<ResponseFunction::Entry> entries;
            for (int k = 0; k < perFunction && i > 0; ++k, --i)
                entries.emplace_back(static_cast<float>(i) / count, static_cast<float>(i));
            ResponseFunction function(std::move(entries));
            sum += function.Map(0.5f);
        }
        if (sum != sum)
            printf("unreachable\n");
    });
}

} // namespace

int main(int argc, char** argv)
{
    const int attributes = argc > 1 ? atoi(argv[1]) : 80000;
    const int entries = argc > 2 ? atoi(argv[2]) : 300000;

    const double oneElement = LoadAndSave(Attributes(attributes, attributes));
    const double spread = LoadAndSave(Attributes(attributes, 10));
    printf("%d attributes, load and save: on one element %.3f s, 10 per element %.3f s, ratio %.2f\n", attributes,
           oneElement, spread, oneElement / spread);

    const double oneFunction = BuildFunctions(entries, entries);
    const double spreadFunctions = BuildFunctions(entries, 10);
    printf("%d response entries, descending: in one function %.3f s, 10 per function %.3f s, ratio %.2f\n", entries,
           oneFunction, spreadFunctions, oneFunction / spreadFunctions);
    return 0;
}
