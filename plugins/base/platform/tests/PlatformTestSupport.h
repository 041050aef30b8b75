// Fixtures for tests that need the process-wide platform: one that is simply in place, and
// one whose heap allocations fail on request.
#pragma once

#include "plugins/base/platform/Platform.h"

#include <gtest/gtest.h>

// The test runs with the process-wide platform in place.
class WithPlatform : public ::testing::Test
{
protected:
    WithPlatform() { CreatePlatform(0x10000); }
};

// A platform whose heap allocations fail while asked to. Made while no other instance
// exists, it is the process-wide one.
class FailingPlatform : public Platform
{
public:
    FailingPlatform() : Platform(0x10000) {}
    void* Alloc(size_t bytes) override { return failing ? nullptr : Platform::Alloc(bytes); }
    void* AllocZeroed(size_t bytes) override { return failing ? nullptr : Platform::AllocZeroed(bytes); }
    bool failing = false;
};
