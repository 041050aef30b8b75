// The process-wide services object of a plug-in file: memory, locks, time, string and
// byte helpers and a few maths routines. The audio code reaches the system only through it.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

class AlignedBuffer;

#ifdef _WIN32
using PlatformLock = CRITICAL_SECTION;
using PlatformWideChar = wchar_t;
#else
using PlatformLock = pthread_mutex_t;
// The wide strings of the plug-ins are UTF-16 on every target.
using PlatformWideChar = char16_t;
#endif

// A shared-memory mapping's handle: a HANDLE on Windows, a descriptor elsewhere.
using PlatformHandle = void*;

class PlatformBase
{
public:
    PlatformBase();
    // Clears the process-wide pointer when this object is the process-wide instance.
    virtual ~PlatformBase();

    PlatformBase(const PlatformBase&) = delete;
    PlatformBase& operator=(const PlatformBase&) = delete;

    virtual uint64_t AvailablePhysicalMemory() = 0;
    virtual void GetTimeMicroseconds(int64_t* time) = 0;
    virtual size_t ReservedBlockSize() = 0;
    virtual bool HasSse() = 0;

    // Caller-owned locks; Lock and Unlock are all the audio path waits on.
    virtual void InitLock(PlatformLock* lock) = 0;
    virtual void DeleteLock(PlatformLock* lock) = 0;
    virtual void Lock(PlatformLock* lock) = 0;
    virtual void Unlock(PlatformLock* lock) = 0;

    virtual void* Alloc(size_t bytes) = 0;
    virtual void* AllocZeroed(size_t bytes) = 0;
    virtual void Free(void* block) = 0;
    virtual void* VirtualAllocate(size_t bytes) = 0;
    virtual void VirtualRelease(void* block) = 0;

    virtual bool CreateSharedMemory(PlatformHandle* handle, void** view, const char* name, size_t size) = 0;
    virtual bool CreateSharedMemoryZeroed(PlatformHandle* handle, void** view, const char* name, size_t size) = 0;
    virtual bool OpenSharedMemory(PlatformHandle* handle, void** view, const char* name) = 0;
    virtual void CloseSharedMemory(PlatformHandle handle, void* view) = 0;

    // New owning buffers of unit 16; null when the memory cannot be had.
    virtual AlignedBuffer* NewBufferCopy(const AlignedBuffer& buffer) = 0;
    virtual AlignedBuffer* NewBufferFrom(const void* data, size_t size) = 0;
    virtual AlignedBuffer* NewBuffer(size_t size) = 0;

    virtual void* MoveBytes(void* dst, const void* src, size_t n) = 0;
    virtual int ZeroBytes(void* dst, size_t n) = 0;
    virtual size_t CopyBytes(void* dst, const void* src, size_t n) = 0;

    // The bounded copies write at most capacity characters, terminator included, and
    // always terminate when capacity is not 0. CopyString answers the characters copied
    // including the terminator.
    virtual PlatformWideChar* CopyWideN(PlatformWideChar* dst, const PlatformWideChar* src, size_t capacity) = 0;
    virtual char* CopyStringN(char* dst, const char* src, size_t capacity) = 0;
    virtual PlatformWideChar* CopyWide(PlatformWideChar* dst, const PlatformWideChar* src) = 0;
    virtual size_t CopyString(char* dst, const char* src) = 0;
    virtual size_t WideLength(const PlatformWideChar* text) = 0;
    virtual size_t StringLength(const char* text) = 0;
    // Whole-string conversions with the system code page; they answer the characters
    // written including the terminator, 0 when the text does not fit or cannot be converted.
    virtual size_t ToWide(PlatformWideChar* dst, const char* src, size_t capacity) = 0;
    virtual size_t ToNarrow(char* dst, const PlatformWideChar* src, size_t capacity) = 0;

    // Reverses the length bytes in place unless order is 1 (the data is already in the
    // wanted order).
    virtual void SwapBytes(void* buffer, size_t length, int order) = 0;

    virtual double Abs(double x) = 0;
    virtual double Sin(double x) = 0;
    virtual double Cos(double x) = 0;
    virtual double Tan(double x) = 0;
    virtual double Exp(double x) = 0;
    virtual double Pow2(double x) = 0;
    virtual double Log10(double x) = 0;
    virtual double Log2(double x) = 0;
    virtual double Pow(double a, double b) = 0;
    virtual double Sqrt(double x) = 0;
    virtual uint32_t Random32() = 0;
};

// Holds a caller-owned lock for its scope; a null lock is not taken (lists without a lock).
class PlatformLockGuard
{
public:
    PlatformLockGuard(PlatformBase& platform, PlatformLock* lock) : platform_(platform), lock_(lock)
    {
        if (lock_)
            platform_.Lock(lock_);
    }
    ~PlatformLockGuard()
    {
        if (lock_)
            platform_.Unlock(lock_);
    }
    PlatformLockGuard(const PlatformLockGuard&) = delete;
    PlatformLockGuard& operator=(const PlatformLockGuard&) = delete;

private:
    PlatformBase& platform_;
    PlatformLock* lock_;
};

// The process-wide instance, null while none exists.
PlatformBase* ThePlatform();

// Makes the process-wide Platform when none exists yet and answers the instance (null when
// it could not be made). The first plug-in instance of a file calls it with 0x10000.
PlatformBase* CreatePlatform(size_t reservedSize);

// Deletes the process-wide instance, if any. The last plug-in instance of a file calls it.
void DestroyPlatform();
