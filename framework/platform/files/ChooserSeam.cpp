#include "framework/platform/files/ChooserSeam.h"

namespace
{
ChooserSeam* installed = nullptr; // GUI thread only
} // namespace

ChooserSeam* ChooserSeam::Install(ChooserSeam* seam)
{
    ChooserSeam* previous = installed;
    installed = seam;
    return previous;
}

ChooserSeam* ChooserSeam::Installed()
{
    return installed;
}
