// Checks arbitrary bytes as a .bmp file. What the check takes must be usable as it claims: the
// bitmap-info block and every row lie inside what was read (ASan sees any byte past them).

#include "framework/platform/graphics/BmpFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BmpFile file;
    if (!file.Parse(data, size))
        return 0;
    const size_t rowBytes = (static_cast<size_t>(file.Width()) * file.BitsPerPixel() + 31) / 32 * 4;
    if (file.Width() <= 0 || file.Height() <= 0 || file.InfoSize() < 40 || rowBytes * file.Height() > size)
    {
        fprintf(stderr, "a checked file describes more than it holds\n");
        abort();
    }
    volatile uint8_t sum = 0;
    for (size_t i = 0; i < file.InfoSize(); ++i)
        sum = sum + file.Info()[i];
    std::vector<uint8_t> bits(rowBytes * file.Height());
    file.CopyRows(bits.data(), static_cast<int>(rowBytes));
    return 0;
}
