#pragma once
// A process-wide table of a plug-in file's live instances, so that a change made by one
// instance can be passed on to the others. Every access holds a named system mutex, created
// and closed at each use, so it guards whichever host thread makes, ends or changes an
// instance. The table does not own its instances: each removes itself before it dies.

#include <cstddef>

// Holds the named mutex for its lifetime. When the mutex cannot be made, a process-local
// lock takes its place rather than letting the scan run unguarded.
class RegistryGuard
{
public:
    explicit RegistryGuard(const char* mutexName);
    ~RegistryGuard();
    RegistryGuard(const RegistryGuard&) = delete;
    RegistryGuard& operator=(const RegistryGuard&) = delete;

private:
    void* mutex_; // the named mutex's handle, or null while the local lock is held
};

template <typename Instance, size_t Slots>
class InstanceRegistry
{
public:
    explicit InstanceRegistry(const char* mutexName) : mutexName_(mutexName) {}

    // Takes the lowest empty slot; false, with nothing changed, when all are taken.
    bool Register(Instance* instance)
    {
        RegistryGuard guard(mutexName_);
        for (Instance*& slot : slots_)
        {
            if (!slot)
            {
                slot = instance;
                return true;
            }
        }
        return false;
    }

    // Clears the first slot holding the instance; false when it holds none.
    bool Unregister(Instance* instance)
    {
        RegistryGuard guard(mutexName_);
        for (Instance*& slot : slots_)
        {
            if (slot == instance)
            {
                slot = nullptr;
                return true;
            }
        }
        return false;
    }

    // Calls the operation on every registered instance in slot order, with the mutex held;
    // the operation must not change the table.
    void ForEach(void (Instance::*operation)())
    {
        if (!operation)
        {
            return;
        }
        RegistryGuard guard(mutexName_);
        for (Instance* slot : slots_)
        {
            if (slot)
            {
                (slot->*operation)();
            }
        }
    }

private:
    const char* mutexName_;
    Instance* slots_[Slots] = {}; // guarded by the named mutex
};
