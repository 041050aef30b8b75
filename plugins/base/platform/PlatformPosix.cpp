// POSIX backend of Platform, so the audio core builds and is tested natively: pthread
// mutexes, malloc, anonymous and POSIX shared mappings, the monotonic clock. Its code page
// is Latin-1.
#include "plugins/base/platform/Platform.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <new>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
// munmap needs the length, so every anonymous mapping starts with a header holding it.
constexpr size_t kMappingHeader = 64;

// What a shared-memory handle stands for on this backend; the creator removes the name
// when it closes the mapping.
struct SharedMapping
{
    int fd;
    size_t size;
    bool owner;
    std::string name;
};

std::string SharedName(const char* name)
{
    std::string result = "/";
    for (const char* p = name; *p; ++p)
        result += (*p == '/' || *p == '\\') ? '_' : *p;
    return result;
}

bool MapShared(PlatformHandle* handle, void** view, const char* name, size_t size, bool create)
{
    if (!name)
        return false;
    std::string shmName = SharedName(name);
    int fd = shm_open(shmName.c_str(), create ? (O_CREAT | O_RDWR) : O_RDWR, 0600);
    if (fd < 0)
        return false;
    struct stat info;
    bool ok = fstat(fd, &info) == 0;
    if (ok && create && static_cast<size_t>(info.st_size) < size)
        ok = ftruncate(fd, static_cast<off_t>(size)) == 0;
    if (ok && !create)
        size = static_cast<size_t>(info.st_size);
    void* mapped = MAP_FAILED;
    if (ok && size > 0)
        mapped = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    auto* record = mapped != MAP_FAILED ? new (std::nothrow) SharedMapping{fd, size, create, shmName} : nullptr;
    if (!record)
    {
        if (mapped != MAP_FAILED)
            munmap(mapped, size);
        close(fd);
        if (create)
            shm_unlink(shmName.c_str());
        return false;
    }
    *handle = record;
    *view = mapped;
    return true;
}
} // namespace

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
    // The monotonic clock counts nanoseconds.
    struct timespec resolution;
    return clock_getres(CLOCK_MONOTONIC, &resolution) == 0 ? 1000.0 : 0.0;
}

uint64_t Platform::AvailablePhysicalMemory()
{
    long pages = sysconf(_SC_AVPHYS_PAGES);
    long pageSize = sysconf(_SC_PAGESIZE);
    if (pages < 0 || pageSize < 0)
        return 0;
    return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize);
}

void Platform::GetTimeMicroseconds(int64_t* time)
{
    struct timespec now;
    if (ticksPerMicrosecond_ > 0.0 && clock_gettime(CLOCK_MONOTONIC, &now) == 0)
    {
        int64_t ticks = static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
        *time = static_cast<int64_t>(static_cast<double>(ticks) / ticksPerMicrosecond_);
        return;
    }
    *time = static_cast<int64_t>(std::time(nullptr)) * 1000000;
}

void Platform::InitLock(PlatformLock* lock)
{
    pthread_mutex_init(lock, nullptr);
}
void Platform::DeleteLock(PlatformLock* lock)
{
    pthread_mutex_destroy(lock);
}
void Platform::Lock(PlatformLock* lock)
{
    pthread_mutex_lock(lock);
}
void Platform::Unlock(PlatformLock* lock)
{
    pthread_mutex_unlock(lock);
}

void* Platform::Alloc(size_t bytes)
{
    return std::malloc(bytes ? bytes : 1);
}

void* Platform::AllocZeroed(size_t bytes)
{
    return std::calloc(bytes ? bytes : 1, 1);
}

void Platform::Free(void* block)
{
    std::free(block);
}

void* Platform::VirtualAllocate(size_t bytes)
{
    if (bytes == 0 || bytes > SIZE_MAX - kMappingHeader)
        return nullptr;
    void* mapped = mmap(nullptr, bytes + kMappingHeader, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    *static_cast<size_t*>(mapped) = bytes + kMappingHeader;
    return static_cast<char*>(mapped) + kMappingHeader;
}

void Platform::VirtualRelease(void* block)
{
    if (!block)
        return;
    void* mapped = static_cast<char*>(block) - kMappingHeader;
    munmap(mapped, *static_cast<size_t*>(mapped));
}

bool Platform::CreateSharedMemory(PlatformHandle* handle, void** view, const char* name, size_t size)
{
    return MapShared(handle, view, name, size, true);
}

bool Platform::OpenSharedMemory(PlatformHandle* handle, void** view, const char* name)
{
    return MapShared(handle, view, name, 0, false);
}

void Platform::CloseSharedMemory(PlatformHandle handle, void* view)
{
    auto* record = static_cast<SharedMapping*>(handle);
    if (!record)
        return;
    if (view)
        munmap(view, record->size);
    close(record->fd);
    if (record->owner)
        shm_unlink(record->name.c_str());
    delete record;
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
    size_t n = std::strlen(src) + 1;
    if (n > capacity)
        return 0;
    for (size_t i = 0; i < n; ++i)
        dst[i] = static_cast<unsigned char>(src[i]);
    return n;
}

size_t Platform::ToNarrow(char* dst, const PlatformWideChar* src, size_t capacity)
{
    size_t n = WideLength(src) + 1;
    if (n > capacity)
        return 0;
    for (size_t i = 0; i < n; ++i)
        dst[i] = src[i] < 0x100 ? static_cast<char>(src[i]) : '?';
    return n;
}
