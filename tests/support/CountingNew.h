#pragma once
// Counts every operator new of a test executable, for tests that show a path allocates
// nothing: include this header in exactly one source file of the executable (it replaces the
// global operators), and compare gNewCalls before and after.

// Once the replacement operators below are inlined, g++ takes their free for a mismatch
// with the new it sees at the call.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <atomic>
#include <cstdlib>
#include <new>

// Every operator new of the executable so far.
inline std::atomic<long> gNewCalls{0};

namespace
{
void* CountedAlloc(std::size_t size) noexcept
{
    gNewCalls.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
} // namespace

void* operator new(std::size_t size)
{
    if (void* block = CountedAlloc(size))
        return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    if (void* block = CountedAlloc(size))
        return block;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAlloc(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return CountedAlloc(size);
}
void operator delete(void* block) noexcept
{
    std::free(block);
}
void operator delete[](void* block) noexcept
{
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}
void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
