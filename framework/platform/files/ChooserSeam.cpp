#include "framework/platform/files/ChooserSeam.h"

namespace
{
ChooserSeam* gInstalled = nullptr; // GUI thread only
} // namespace

ChooserSeam* ChooserSeam::Install(ChooserSeam* seam)
{
    ChooserSeam* previous = gInstalled;
    gInstalled = seam;
    return previous;
}

ChooserSeam* ChooserSeam::Installed()
{
    return gInstalled;
}
