#pragma once
// The effect model's tests run with the process-wide platform in place: one whose heap
// allocations fail while a test asks (all of them, or those of one size), made before
// anything else takes the place.

#include "plugins/base/platform/Platform.h"

#include <gtest/gtest.h>

#include <cstddef>

class ModelTestPlatform final : public Platform
{
public:
    ModelTestPlatform() : Platform(0x10000) {}
    void* Alloc(size_t bytes) override { return Fails(bytes) ? nullptr : Platform::Alloc(bytes); }
    void* AllocZeroed(size_t bytes) override { return Fails(bytes) ? nullptr : Platform::AllocZeroed(bytes); }

    bool failing = false;
    size_t failingSize = 0; // an allocation of exactly this many bytes fails; 0 for none

private:
    bool Fails(size_t bytes) const { return failing || (failingSize != 0 && bytes == failingSize); }
};

inline ModelTestPlatform& ModelPlatform()
{
    static ModelTestPlatform platform;
    return platform;
}

class WithModelPlatform : public ::testing::Test
{
protected:
    WithModelPlatform() { EXPECT_EQ(ThePlatform(), &ModelPlatform()); }
    ~WithModelPlatform() override
    {
        ModelPlatform().failing = false;
        ModelPlatform().failingSize = 0;
    }
};
