// The concrete platform services object: Win32 on Windows, POSIX elsewhere (so the audio
// core builds and is tested natively).
#pragma once

#include "plugins/base/platform/PlatformBase.h"

class Platform : public PlatformBase
{
public:
    // Commits a reserved block of reservedSize bytes; the plug-ins pass 0x10000.
    explicit Platform(size_t reservedSize);
    ~Platform() override;

    uint64_t AvailablePhysicalMemory() override;
    void GetTimeMicroseconds(int64_t* time) override;
    size_t ReservedBlockSize() override;
    bool HasSse() override;

    void InitLock(PlatformLock* lock) override;
    void DeleteLock(PlatformLock* lock) override;
    void Lock(PlatformLock* lock) override;
    void Unlock(PlatformLock* lock) override;

    void* Alloc(size_t bytes) override;
    void* AllocZeroed(size_t bytes) override;
    void Free(void* block) override;
    void* VirtualAllocate(size_t bytes) override;
    void VirtualRelease(void* block) override;

    bool CreateSharedMemory(PlatformHandle* handle, void** view, const char* name, size_t size) override;
    bool CreateSharedMemoryZeroed(PlatformHandle* handle, void** view, const char* name, size_t size) override;
    bool OpenSharedMemory(PlatformHandle* handle, void** view, const char* name) override;
    void CloseSharedMemory(PlatformHandle handle, void* view) override;

    AlignedBuffer* NewBufferCopy(const AlignedBuffer& buffer) override;
    AlignedBuffer* NewBufferFrom(const void* data, size_t size) override;
    AlignedBuffer* NewBuffer(size_t size) override;

    void* MoveBytes(void* dst, const void* src, size_t n) override;
    int ZeroBytes(void* dst, size_t n) override;
    size_t CopyBytes(void* dst, const void* src, size_t n) override;

    PlatformWideChar* CopyWideN(PlatformWideChar* dst, const PlatformWideChar* src, size_t capacity) override;
    char* CopyStringN(char* dst, const char* src, size_t capacity) override;
    PlatformWideChar* CopyWide(PlatformWideChar* dst, const PlatformWideChar* src) override;
    size_t CopyString(char* dst, const char* src) override;
    size_t WideLength(const PlatformWideChar* text) override;
    size_t StringLength(const char* text) override;
    size_t ToWide(PlatformWideChar* dst, const char* src, size_t capacity) override;
    size_t ToNarrow(char* dst, const PlatformWideChar* src, size_t capacity) override;

    void SwapBytes(void* buffer, size_t length, int order) override;

    double Abs(double x) override;
    double Sin(double x) override;
    double Cos(double x) override;
    double Tan(double x) override;
    double Exp(double x) override;
    double Pow2(double x) override;
    double Log10(double x) override;
    double Log2(double x) override;
    double Pow(double a, double b) override;
    double Sqrt(double x) override;
    uint32_t Random32() override;

private:
    // Reads the high-resolution clock's rate; 0 when there is none.
    static double ReadTicksPerMicrosecond();

    void* reservedBlock_; // committed at construction, released by the destructor
    size_t reservedSize_;
    double ticksPerMicrosecond_;
};
