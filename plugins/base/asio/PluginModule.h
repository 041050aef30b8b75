#pragma once
// The process-wide state of one plug-in file: its live-instance count, the Platform, the
// driver link table and one list lock shared by every stream the file makes. The first live
// instance sets it up and the last one releases it.

#include "plugins/base/platform/PlatformBase.h"

#include <cstdint>

class PluginModule
{
public:
    // Answers the live-instance count before this instance (its instance index).
    static int32_t Enter();
    static void Leave();
    static int32_t LiveCount();
    // Valid between a file's first Enter and its last Leave.
    static PlatformLock* ListLock();
};
