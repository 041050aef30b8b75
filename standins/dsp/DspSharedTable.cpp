#include "standins/dsp/DspSharedTable.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <mutex>
#endif

#ifdef _WIN32

namespace
{
constexpr const wchar_t* kTableName = L"Local\\KivCorvanDspTable";
constexpr const wchar_t* kOwnerName = L"Local\\KivCorvanDspOwner";

// Maps the whole of a mapping and says how many bytes are there.
DspTable* MapWhole(HANDLE mapping, size_t* bytes)
{
    void* view = MapViewOfFile(mapping, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, 0);
    MEMORY_BASIC_INFORMATION info{};
    *bytes = view && VirtualQuery(view, &info, sizeof(info)) ? info.RegionSize : 0;
    return static_cast<DspTable*>(view);
}
} // namespace

DspTable* DspTableOwner::Claim(std::string* problem)
{
    Release();
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kOwnerName);
    if (!mutex)
    {
        *problem = "owner mutex " + std::to_string(GetLastError());
        return nullptr;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS)
    {
        CloseHandle(mutex);
        *problem = "living owner";
        return nullptr;
    }
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DspTable), kTableName);
    const bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    size_t bytes = 0;
    DspTable* table = mapping ? MapWhole(mapping, &bytes) : nullptr;
    if (!table)
    {
        *problem = "mapping " + std::to_string(GetLastError());
    }
    else if (!existed)
    {
        table->Format();
    }
    else if (const char* wrong = DspTable::Problem(table, bytes))
    {
        *problem = wrong;
        UnmapViewOfFile(table);
        table = nullptr;
    }
    else
    {
        table->ClearRoutes();
    }
    if (!table)
    {
        if (mapping)
            CloseHandle(mapping);
        CloseHandle(mutex);
        return nullptr;
    }
    mutex_ = mutex;
    mapping_ = mapping;
    table_ = table;
    return table;
}

void DspTableOwner::Release()
{
    if (table_)
    {
        table_->ClearRoutes();
        UnmapViewOfFile(table_);
        table_ = nullptr;
    }
    if (mapping_)
        CloseHandle(static_cast<HANDLE>(mapping_));
    if (mutex_)
        CloseHandle(static_cast<HANDLE>(mutex_));
    mapping_ = mutex_ = nullptr;
}

DspTable* DspTableView::Open(std::string* problem)
{
    Close();
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, kTableName);
    if (!mapping)
        return nullptr;
    size_t bytes = 0;
    DspTable* table = MapWhole(mapping, &bytes);
    if (const char* wrong = DspTable::Problem(table, bytes))
    {
        *problem = wrong;
        if (table)
            UnmapViewOfFile(table);
        CloseHandle(mapping);
        return nullptr;
    }
    mapping_ = mapping;
    table_ = table;
    return table;
}

void DspTableView::Close()
{
    if (table_)
        UnmapViewOfFile(table_);
    if (mapping_)
        CloseHandle(static_cast<HANDLE>(mapping_));
    table_ = nullptr;
    mapping_ = nullptr;
}

#else

namespace
{
// The process's one table: it exists from its first claim on, as a driver would keep it.
std::mutex gTableLock;
DspTable gTable;      // its header guarded by gTableLock while claimed or opened
bool gExists = false; // guarded by gTableLock
bool gOwned = false;  // guarded by gTableLock
} // namespace

DspTable* DspTableOwner::Claim(std::string* problem)
{
    Release();
    std::lock_guard<std::mutex> lock(gTableLock);
    if (gOwned)
    {
        *problem = "living owner";
        return nullptr;
    }
    if (!gExists)
    {
        gTable.Format();
        gExists = true;
    }
    else if (const char* wrong = DspTable::Problem(&gTable, sizeof(gTable)))
    {
        *problem = wrong;
        return nullptr;
    }
    else
    {
        gTable.ClearRoutes();
    }
    gOwned = true;
    table_ = &gTable;
    return table_;
}

void DspTableOwner::Release()
{
    if (!table_)
        return;
    std::lock_guard<std::mutex> lock(gTableLock);
    table_->ClearRoutes();
    gOwned = false;
    table_ = nullptr;
}

DspTable* DspTableView::Open(std::string* problem)
{
    Close();
    std::lock_guard<std::mutex> lock(gTableLock);
    if (!gExists)
        return nullptr;
    if (const char* wrong = DspTable::Problem(&gTable, sizeof(gTable)))
    {
        *problem = wrong;
        return nullptr;
    }
    table_ = &gTable;
    return table_;
}

void DspTableView::Close()
{
    table_ = nullptr;
}

#endif
