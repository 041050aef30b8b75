// Loads arbitrary bytes as an XML document. What loaded and saved must load again, and saving
// that gives the same bytes: the writer only writes what the reader gives back.

#include "framework/base/tests/MemoryStreams.h"
#include "framework/xml/XmlDocument.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{

#define FUZZ_CHECK(condition)                                                                                          \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!(condition))                                                                                              \
        {                                                                                                              \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                              \
            abort();                                                                                                   \
        }                                                                                                              \
    } while (0)

// 1 and the saved bytes when the document loaded and saved.
int LoadAndSave(const uint8_t* data, size_t size, std::vector<uint8_t>& saved)
{
    XmlDocument doc;
    if (!doc.Init())
        return 0;
    MemoryReader reader(data, size);
    if (!doc.Load(reader))
        return 0;
    MemoryWriter writer;
    if (!doc.Save(writer))
        return 0;
    saved.swap(writer.bytes);
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> saved;
    if (!LoadAndSave(data, size, saved))
        return 0;
    std::vector<uint8_t> again;
    FUZZ_CHECK(LoadAndSave(saved.data(), saved.size(), again));
    FUZZ_CHECK(again == saved);
    return 0;
}
