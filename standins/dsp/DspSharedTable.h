#pragma once
// Where the DSP table lives: one block of named shared memory on Windows (the mixer's engine
// and every host's driver map the same one), plain memory of the process elsewhere.
//
// The engine owns the table through a named mutex that lives as long as its owner holds it:
// a table whose owner has ended (the mixer quit while a host kept the table mapped) is taken
// over and its routes cleared; while another owner lives, or when the block is not this
// table (another magic, version or size), nothing is claimed.
// Claim and Open run on their callers' threads (never the switch thread); they may allocate.

#include "standins/dsp/DspTable.h"

#include <string>

class DspTableOwner
{
public:
    DspTableOwner() = default;
    ~DspTableOwner() { Release(); }
    DspTableOwner(const DspTableOwner&) = delete;
    DspTableOwner& operator=(const DspTableOwner&) = delete;

    // The table, created or taken over with its routes cleared; null with the reason in
    // problem ("living owner", "magic", "version", "size" or a system failure).
    DspTable* Claim(std::string* problem);
    // Clears the routes and gives the table up (a driver may keep it mapped).
    void Release();
    DspTable* Table() const { return table_; }

private:
    [[maybe_unused]] void* mutex_ = nullptr;   // Windows: the owner mutex
    [[maybe_unused]] void* mapping_ = nullptr; // Windows: the file mapping
    DspTable* table_ = nullptr;
};

class DspTableView
{
public:
    DspTableView() = default;
    ~DspTableView() { Close(); }
    DspTableView(const DspTableView&) = delete;
    DspTableView& operator=(const DspTableView&) = delete;

    // Maps the table when there is one. Null without a table (problem left empty) and for a
    // block that is not this table (problem says why).
    DspTable* Open(std::string* problem);
    void Close();
    DspTable* Table() const { return table_; }

private:
    [[maybe_unused]] void* mapping_ = nullptr; // Windows: the file mapping
    DspTable* table_ = nullptr;
};
