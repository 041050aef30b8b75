// Win32 backend of Platform: critical sections, the process heap, page-file mappings and
// the performance counter.
#include "plugins/base/platform/Platform.h"

Platform::Platform(size_t reservedSize)
    : reservedBlock_(nullptr), reservedSize_(reservedSize), ticksPerMicrosecond_(ReadTicksPerMicrosecond())
{
    reservedBlock_ = VirtualAllocate(reservedSize);
}

Platform::~Platform()
{
    VirtualRelease(reservedBlock_);
}

double Platform::ReadTicksPerMicrosecond()
{
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency))
        return 0.0;
    return static_cast<double>(frequency.QuadPart) * 0.000001;
}

uint64_t Platform::AvailablePhysicalMemory()
{
    MEMORYSTATUSEX status;
    ZeroBytes(&status, sizeof status);
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status))
        return 0;
    return status.ullAvailPhys;
}

void Platform::GetTimeMicroseconds(int64_t* time)
{
    LARGE_INTEGER counter;
    if (ticksPerMicrosecond_ > 0.0 && QueryPerformanceCounter(&counter))
    {
        *time = static_cast<int64_t>(static_cast<double>(counter.QuadPart) / ticksPerMicrosecond_);
        return;
    }
    *time = static_cast<int64_t>(GetTickCount()) * 1000;
}

void Platform::InitLock(PlatformLock* lock)
{
    InitializeCriticalSection(lock);
}
void Platform::DeleteLock(PlatformLock* lock)
{
    DeleteCriticalSection(lock);
}
void Platform::Lock(PlatformLock* lock)
{
    EnterCriticalSection(lock);
}
void Platform::Unlock(PlatformLock* lock)
{
    LeaveCriticalSection(lock);
}

void* Platform::Alloc(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

void* Platform::AllocZeroed(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void Platform::Free(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void* Platform::VirtualAllocate(size_t bytes)
{
    if (bytes == 0)
        return nullptr;
    return VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

void Platform::VirtualRelease(void* block)
{
    if (block)
        VirtualFree(block, 0, MEM_RELEASE);
}

bool Platform::CreateSharedMemory(PlatformHandle* handle, void** view, const char* name, size_t size)
{
    const uint64_t size64 = size;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, static_cast<DWORD>(size64 >> 32),
                                        static_cast<DWORD>(size64), name);
    if (!mapping)
        return false;
    void* mapped = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size);
    if (!mapped)
    {
        CloseHandle(mapping);
        return false;
    }
    *handle = mapping;
    *view = mapped;
    return true;
}

bool Platform::OpenSharedMemory(PlatformHandle* handle, void** view, const char* name)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (!mapping)
        return false;
    void* mapped = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (!mapped)
    {
        CloseHandle(mapping);
        return false;
    }
    *handle = mapping;
    *view = mapped;
    return true;
}

void Platform::CloseSharedMemory(PlatformHandle handle, void* view)
{
    if (view)
        UnmapViewOfFile(view);
    if (handle)
        CloseHandle(handle);
}

bool Platform::CreateSharedMemoryZeroed(PlatformHandle* handle, void** view, const char* name, size_t size)
{
    if (!CreateSharedMemory(handle, view, name, size))
        return false;
    ZeroBytes(*view, size);
    return true;
}

size_t Platform::ToWide(PlatformWideChar* dst, const char* src, size_t capacity)
{
    // Measured first, so a text that does not fit leaves dst untouched.
    const int needed = MultiByteToWideChar(CP_ACP, 0, src, -1, nullptr, 0);
    if (needed <= 0 || static_cast<size_t>(needed) > capacity)
        return 0;
    return static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, src, -1, dst, needed));
}

size_t Platform::ToNarrow(char* dst, const PlatformWideChar* src, size_t capacity)
{
    const int needed = WideCharToMultiByte(CP_ACP, 0, src, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0 || static_cast<size_t>(needed) > capacity)
        return 0;
    return static_cast<size_t>(WideCharToMultiByte(CP_ACP, 0, src, -1, dst, needed, nullptr, nullptr));
}
